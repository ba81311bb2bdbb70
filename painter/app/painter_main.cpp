// quenda-painter: paints the regions and lines of a drawing sequence. A drawing named on the
// command line opens its sequence on that drawing.

#include <QApplication>
#include <QStringList>

#include "painter/app/main_frame.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-painter", "[DRAWING.qds]",
           "Paints the regions and lines of an analyzed drawing sequence, starting at DRAWING."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Painter"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CMainFrame frame;
  frame.show();
  // Work a crash left unsaved comes first: opening another drawing would write it away.
  const bool restored = frame.OfferRecovery();
  const QStringList arguments = QApplication::arguments();
  if (!restored && arguments.size() > 1)
    frame.OpenFile(arguments.at(1), quenda::SequenceStart::NamedDrawing);
  return application.exec();
}

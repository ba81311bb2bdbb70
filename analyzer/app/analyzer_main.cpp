// quenda-analyzer: turns the pencil drawings of a sequence into lines and numbered regions,
// one drawing at a time or the whole sequence in one batch run. A drawing named on the command
// line is loaded.

#include <QApplication>
#include <QStringList>

#include "analyzer/app/analyzer_frame.h"
#include "analyzer/app/startup_picture.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-analyzer", "[DRAWING.qds]",
           "Turns the pencil drawings of a sequence into lines and numbered regions."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Analyzer"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CAnalyzerFrame frame;
  frame.showMaximized();
  (new quenda::StartupPicture(frame))->show();  // deletes itself when it closes
  // Work a crash left unsaved comes first: opening another drawing would drop it.
  const bool restored = frame.OfferRecovery();
  const QStringList arguments = QApplication::arguments();
  if (!restored && arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

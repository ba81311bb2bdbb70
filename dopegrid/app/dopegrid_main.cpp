// quenda-dopegrid: the exposure sheet. A sheet named on the command line is opened.

#include <QApplication>
#include <QStringList>

#include "dopegrid/app/dopegrid_frame.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-dopegrid", "[SHEET.dgr]",
           "The exposure sheet: times drawings on levels against a sound track."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Dopegrid"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CDopegridFrame frame;
  frame.show();
  // Work a crash left unsaved comes first; the sheet it restores is the window's document.
  const bool restored = frame.OfferRecovery();
  const QStringList arguments = QApplication::arguments();
  if (!restored && arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

// quenda-panorama: makes colour backgrounds and cuts their transparency masks. A background
// named on the command line is opened.

#include <QApplication>
#include <QStringList>

#include "panorama/app/panorama_frame.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-panorama", "[BACKGROUND.tga]",
           "Makes colour backgrounds and cuts their transparency masks."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Panorama"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CPanoramaFrame frame;
  frame.show();
  // Work a crash left unsaved comes first; the background it restores is the window's.
  const bool restored = frame.OfferRecovery();
  const QStringList arguments = QApplication::arguments();
  if (!restored && arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

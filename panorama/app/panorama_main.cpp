// quenda-panorama: makes colour backgrounds and cuts their transparency masks. A background
// named on the command line is opened.

#include <QApplication>
#include <QStringList>

#include "panorama/app/panorama_frame.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Panorama"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CPanoramaFrame frame;
  frame.show();
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

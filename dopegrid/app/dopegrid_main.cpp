// quenda-dopegrid: the exposure sheet. A sheet named on the command line is opened.

#include <QApplication>
#include <QStringList>

#include "dopegrid/app/dopegrid_frame.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Dopegrid"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CDopegridFrame frame;
  frame.show();
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

// quenda-painter: paints the regions and lines of a drawing sequence. A drawing named on the
// command line opens its sequence.

#include <QApplication>
#include <QStringList>

#include "painter/app/main_frame.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Painter"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CMainFrame frame;
  frame.show();
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

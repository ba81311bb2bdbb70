// quenda-scanner: scans pencil drawings into a drawing sequence. A frame named on the command
// line opens its sequence.

#include <QApplication>
#include <QStringList>

#include "scanner/app/scanner_frame.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-scanner", "[DRAWING.qds]",
           "Scans pencil drawings into a drawing sequence from a SANE scanner (SANE_CONFIG_DIR "
           "chooses its configuration, as for every SANE program), or imports numbered Targa "
           "or bitmap pictures."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Scanner"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::scanner::CScannerFrame frame;
  frame.show();
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

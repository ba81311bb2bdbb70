// quenda-scanner: scans pencil drawings into a drawing sequence. A frame named on the command
// line opens its sequence.

#include <QApplication>
#include <QCommandLineParser>

#include "scanner/app/scanner_frame.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Scanner"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  QApplication::setApplicationVersion(QStringLiteral(QUENDA_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Scans pencil drawings into a drawing sequence (SANE scanners; "
                     "SANE_CONFIG_DIR chooses the configuration as for every SANE program)."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("DRAWING.qds"),
                               QStringLiteral("A frame of the sequence to open."),
                               QStringLiteral("[DRAWING.qds]"));
  parser.process(application);
  quenda::scanner::CScannerFrame frame;
  frame.show();
  if (!parser.positionalArguments().isEmpty()) frame.OpenFile(parser.positionalArguments().at(0));
  return application.exec();
}

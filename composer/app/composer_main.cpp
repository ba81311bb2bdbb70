// quenda-composer: composites rendered sequences, pictures and effects into a movie. A
// composition named on the command line is opened.

#include <QApplication>
#include <QStringList>

#include "composer/app/composer_frame.h"
#include "ui/program_options.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-composer", "[MOVIE.cmp]",
           "Composites rendered sequences, backgrounds and effects into a movie."}))
    return *done;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenda Composer"));
  QApplication::setOrganizationName(QStringLiteral("Quenda"));
  quenda::CComposerFrame frame;
  frame.show();
  // Work a crash left unsaved comes first; the movie it restores is the window's document.
  const bool restored = frame.OfferRecovery();
  const QStringList arguments = QApplication::arguments();
  if (!restored && arguments.size() > 1) frame.OpenFile(arguments.at(1));
  return application.exec();
}

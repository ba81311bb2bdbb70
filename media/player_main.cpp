// quenda-player MOVIE.avi|.mp4|.mov: the movie player on its own.

#include <QApplication>
#include <cstdio>

#include "media/movie_player.h"
#include "ui/program_options.h"
#include "ui/qt_prompt.h"

int main(int argc, char** argv) {
  if (auto done = quenda::HandleProgramOptions(
          argc, argv,
          {"quenda-player", "MOVIE.avi|.mp4|.mov", "Plays a flipbook, preview or exported movie."}))
    return *done;
  if (argc != 2) {
    std::fprintf(stderr, "usage: quenda-player MOVIE.avi|.mp4|.mov\n");
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("quenda-player");
  quenda::QtPrompt prompt;
  quenda::MoviePlayer player(prompt);
  if (!player.Open(argv[1])) return 1;
  player.exec();
  return 0;
}

#pragma once
// `--movie` for render and compose: the movie options, the sound decoded from its own file, the
// encoder fed frame by frame as the job makes them, and the report of what the movie holds.

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "cli/command.h"
#include "common/pcm_sound.h"
#include "common/raster.h"
#include "media/movie_encoder.h"

namespace quenda::cli {

// The options besides --movie itself that only a movie takes.
inline const std::set<std::string> kMovieOptions{"--movie",       "--rate",      "--codec",
                                                 "--crf",         "--preset",    "--sound",
                                                 "--sound-start", "--background"};

// The lines of `--help` that describe them; `rateLine` says where the default rate comes from.
std::string MovieOptionsHelp(std::string_view rateLine);

struct MovieOptions {
  std::string path;
  MovieEncoderSettings encoder;
  std::optional<std::string> soundPath;
  int soundStart = 1;  // the job's frame (from 1) under the sound's first sample
};

// Reads the movie options into `options` (codec from the name, --codec agreeing). Answers the
// usage error's reason, or nothing. `lastFrame` bounds --sound-start.
std::optional<std::string> ReadMovieOptions(const Arguments& parsed, FrameRate defaultRate,
                                            int lastFrame, MovieOptions& options);
// The movie options given without --movie, as a usage error's reason; nothing when none are.
std::optional<std::string> MovieOptionsWithoutMovie(const Arguments& parsed);

class FrameProgress;
class InterruptStop;

class MovieOutput {
 public:
  // `firstFrame` is the job's frame (from 1) of the movie's first picture.
  MovieOutput(CommandIo& io, std::string_view command, MovieOptions options, int firstFrame);

  // Decodes the sound from the file named (not the sheet's copy); false after saying why.
  bool LoadSound();
  // Encodes one picture, opening the movie with the first; false after saying why.
  bool Take(const Raster& picture);
  // Puts the movie in place and says what it holds; false after saying why it could not.
  // A movie without a single picture is not written.
  bool Finish();
  // Drops the movie after a failed run; the file at the path stays as it was.
  void Discard() { encoder_.Discard(); }

 private:
  CommandIo& io_;
  std::string command_;
  MovieOptions options_;
  int firstFrame_;
  PcmSound sound_;
  bool opened_ = false;
  MovieEncoder encoder_;
};

// The end of a movie run over frames first..last (from 1): a finished or interrupted run puts
// the movie of the frames made in place (an interrupt says which are left out), a failed one
// drops it. Answers the exit code.
int FinishMovieRun(CommandIo& io, std::string_view command, const FrameProgress& progress,
                   const InterruptStop& stop, MovieOutput& movie, bool finished, int first,
                   int last);

}  // namespace quenda::cli

#pragma once
// File > Export Movie in the programs: the movie settings the dialog collects, the sound read
// from its own file, the encoder fed each frame as the job makes it, and the end of the run. A
// run stopped by the user still puts the movie of the frames made in place and says how long it
// is; a failed run leaves the last good movie. Messages go through the prompt.

#include <optional>
#include <string>

#include "common/pcm_sound.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "media/movie_encoder.h"

namespace quenda {

struct MovieExportSettings {
  std::string path;
  MovieEncoderSettings encoder;  // codec, rate, CRF, background
  std::optional<std::string> soundPath;
  int soundStart = 1;  // the frame (from 1) under the sound's first sample
};

class MovieExport {
 public:
  // `firstFrame` is the frame (from 1) of the movie's first picture.
  MovieExport(MovieExportSettings settings, int firstFrame);

  // Each step says its failure through the prompt it is given: the job's own, on its thread.
  // Decodes the sound from its file; false after the message.
  bool LoadSound(Prompt& prompt);
  // One picture, opening the movie with the first; false after the message.
  bool Take(const Raster& picture, Prompt& prompt);
  // After the job: `made` when it ran to its end; a stop puts the frames made in place too.
  // Answers whether a movie was put in place (and said so).
  bool End(bool made, bool stopped, Prompt& prompt);

 private:
  MovieExportSettings settings_;
  int firstFrame_;
  PcmSound sound_;
  MovieEncoder encoder_;
  bool opened_ = false;
  int width_ = 0, height_ = 0;
};

// Hands the job's progress on, remembering whether STOP was asked for.
class StopNoticingProgress final : public Progress {
 public:
  explicit StopNoticingProgress(Progress& inner) : inner_(inner) {}
  void SetStage(std::string_view text) override { inner_.SetStage(text); }
  void SetPercent(int percent) override { inner_.SetPercent(percent); }
  bool StopRequested() override { return stopped_ = inner_.StopRequested() || stopped_; }
  bool stopped() const { return stopped_; }

 private:
  Progress& inner_;
  bool stopped_ = false;
};

}  // namespace quenda

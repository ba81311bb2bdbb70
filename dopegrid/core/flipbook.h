#pragma once
// Flipbooks: a stretch of the sheet composited frame by frame into a movie, with the sound
// track lined up to its first frame, written through a MovieWriter.

#include <optional>
#include <string>
#include <vector>

#include "common/last_preview.h"
#include "common/movie_writer.h"
#include "common/result.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/core/sound_track.h"

namespace quenda {

inline constexpr int kMinFlipbookSize = 50;
inline constexpr int kMaxFlipbookSize = 800;
inline constexpr int kDefaultFlipbookSize = 400;
inline constexpr int kDefaultFlipbookQuality = 5000;
inline constexpr int kMaxFlipbookQuality = 10000;
inline constexpr int kMaxFlipbookRate = 100;

struct FlipbookSettings {
  CompositeMode mode = CompositeMode::Scanned;
  int quality = kDefaultFlipbookQuality;
  int firstFrame = 0;  // from 0, inclusive
  int lastFrame = 0;
  std::vector<int> levels;  // ascending
  int size = kDefaultFlipbookSize;
  int frameRate = 25;
  uint8_t backgroundRed = 255, backgroundGreen = 255, backgroundBlue = 255;
  int jobs = 1;  // frames composited at once; the movie is that of one job
};

struct FlipbookGeometry {
  int width = 0;  // grown to a multiple of 4, always by at least 1
  int height = 0;
  float scale = 0;
};
FlipbookGeometry FlipbookGeometryFor(const CommonFrame& frame, int size);

enum class FlipbookOutcome {
  NotWritten,  // refused before the movie was opened
  Failed,      // a frame could not be read or written: not played
  Stopped,     // the user stopped it: what was written is played
  Finished,
};
inline bool ShouldPlay(FlipbookOutcome outcome) {
  return outcome == FlipbookOutcome::Stopped || outcome == FlipbookOutcome::Finished;
}

// Generate: range pass, movie opened at `moviePath`, the sound block when `sound` is given
// (loaded and shown), then every frame. The writer is closed on every way out, except that a
// failed movie the user named is discarded.
FlipbookOutcome GenerateFlipbook(const FlipbookSettings& settings, const SheetSource& source,
                                 const SoundTrack* sound, MovieWriter& writer,
                                 const std::string& moviePath, Prompt& prompt, Progress& progress,
                                 OldMovie old = OldMovie::Delete);

// The fixed place of the last flipbook, in the user's cache directory (ending with '/').
std::string PreviewMoviePath(const std::string& cacheDirectory);
// Save Last Flipbook: SaveLastPreview, showing its message; false after a failure. (Show Last
// Flipbook checks with CheckLastPreview.)
bool SaveLastFlipbook(const std::string& moviePath, const std::string& target, Prompt& prompt);

}  // namespace quenda

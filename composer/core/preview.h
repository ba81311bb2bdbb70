#pragma once
// Preview: a range of frames composited at full, half or quarter size into one movie through
// a MovieWriter, with a progress display and STOP between frames.

#include <string>

#include "common/last_preview.h"
#include "common/movie_writer.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/result.h"
#include "composer/core/compose_frame.h"

namespace quenda {

inline constexpr int kPreviewMaxQuality = 10000;

struct PreviewSettings {
  int quality = 5000;  // 0..10000, handed to the movie writer
  int scaling = 1;     // 0 FULL, 1 HALF, 2 QUARTER
  int startFrame = 1;  // 1-based
  int endFrame = 1;
  int step = 1;
};

// The dialog's defaults for a movie: HALF, quality 5000, frames 1..frames, step 1.
PreviewSettings DefaultPreviewSettings(const Composition& composition);
// The dialog's rules: a frame of 0 becomes 1, one beyond the movie its last frame, the start
// stays at most the end; a step of 0 becomes 1 and one above the frame rate the frame rate.
PreviewSettings NormalizePreviewSettings(PreviewSettings settings, const Composition& composition);

// The picture: width and height divided by 2^scaling, the width then raised to the next
// multiple of 4 (always larger).
BufferSize PreviewPictureSize(int width, int height, int scaling);

enum class PreviewOutcome { Finished, Stopped, CouldNotOpen, WriteFailed };

struct PreviewResult {
  PreviewOutcome outcome = PreviewOutcome::Finished;
  int framesWritten = 0;
};

// Replaces the movie at `path` with the frames of `settings` (normalised first). Finished and
// Stopped movies are complete and closed and can be played; the caller plays them.
PreviewResult GeneratePreview(const Composition& composition, PreviewSettings settings,
                              const std::string& path, MovieWriter& writer, Prompt& prompt,
                              Progress& progress, const ComposeSink& sink = {},
                              OldMovie old = OldMovie::Delete);

}  // namespace quenda

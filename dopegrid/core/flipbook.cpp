#include "dopegrid/core/flipbook.h"

#include <algorithm>
#include <filesystem>

#include "common/atomic_file.h"
#include "common/file_io.h"
#include "common/frame_in_hand_progress.h"
#include "common/frame_runner.h"

namespace quenda {

FlipbookGeometry FlipbookGeometryFor(const CommonFrame& frame, int size) {
  long long w0 = (long long)frame.maxX - frame.minX + 1;
  long long h0 = (long long)frame.maxY - frame.minY + 1;
  FlipbookGeometry g;
  if (h0 < w0) {
    g.width = size;
    g.height = int(size * h0 / w0);
  } else {
    g.height = size;
    g.width = int(size * w0 / h0);
  }
  // A sliver of a frame still gets a row and a column.
  g.width = std::max(g.width, 1);
  g.height = std::max(g.height, 1);
  g.scale = std::min(float(g.height) / float(frame.maxY - frame.minY),
                     float(g.width) / float(frame.maxX - frame.minX));
  g.width = g.width - g.width % 4 + 4;
  return g;
}

FlipbookOutcome GenerateFlipbook(const FlipbookSettings& settings, const SheetSource& source,
                                 const SoundTrack* sound, MovieWriter& writer,
                                 const std::string& moviePath, Prompt& prompt, Progress& progress,
                                 OldMovie old) {
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.mode;
  job.backgroundRed = settings.backgroundRed;
  job.backgroundGreen = settings.backgroundGreen;
  job.backgroundBlue = settings.backgroundBlue;
  if (!CheckJobCells(job, source, prompt) || !ScanRange(job, source, RangeUser::Flipbook, prompt)) {
    prompt.Message("Error Finding Cells!", MessageIcon::Error);
    return FlipbookOutcome::NotWritten;
  }
  FlipbookGeometry geometry = FlipbookGeometryFor(job.frame, settings.size);
  job.width = geometry.width;
  job.height = geometry.height;
  job.scale = geometry.scale;

  std::error_code ignored;
  if (old == OldMovie::Delete) std::filesystem::remove(moviePath, ignored);
  if (!writer.Open(moviePath, settings.quality, settings.frameRate, job.width, job.height)) {
    prompt.Message("Unable to create an avi preview file", MessageIcon::Error);
    return FlipbookOutcome::NotWritten;
  }
  progress.SetStage("Generating FlipBook...");

  // The last flipbook is the programs' own file and keeps what was made; a movie the user
  // named stays as it was rather than give way to a shortened one.
  auto fail = [&](const char* message) {
    prompt.Message(message, MessageIcon::Error);
    if (old == OldMovie::LeaveToWriter)
      writer.Discard();
    else
      writer.Close();
    return FlipbookOutcome::Failed;
  };
  if (sound && sound->loaded) {
    // The sound is cut into frames of the movie's own rate, so it keeps pace with the pictures.
    SoundTrack paced = *sound;
    paced.frameRate = settings.frameRate;
    std::vector<uint8_t> block = FlipbookSoundBlock(paced, job.firstFrame, job.lastFrame);
    if (!block.empty()) {
      progress.SetStage("Preparing Audio...");
      if (!writer.WriteSound(sound->format, block.data(), block.size()))
        return fail("Problem Writing flipbook to disk");
    }
  }
  FlipbookOutcome outcome = FlipbookOutcome::Finished;
  FrameInHandProgress shown(progress, job.firstFrame);
  shown.FramesPlanned(job.lastFrame - job.firstFrame + 1);
  // Frames are composited ahead on workers while this thread writes the movie in order.
  struct Composited {
    Raster picture;
    bool built = false;
    DeferredPrompt said;
  };
  RunFramesInOrder(
      job.firstFrame, job.lastFrame, settings.jobs,
      [&](int f) {
        // The frame the movie waits for says what it does; those made ahead stay quiet.
        FrameInHandProgress::Frame inside = shown.ForFrame(f);
        CompositeJob own = job;
        own.picture = Raster(job.width, job.height, 3);
        Composited frame;
        frame.built = job.mode == CompositeMode::Painted
                          ? CompositePainted(own, source, f, frame.said, inside)
                          : CompositeScanned(own, source, f, frame.said, inside);
        frame.picture = std::move(own.picture);
        return frame;
      },
      [&](int f, Composited& frame) {
        shown.SetStage("Preparing Frame : " + std::to_string(f + 1));
        frame.said.Replay(prompt);
        if (!frame.built) {
          outcome = fail("Problem reading a frame");
          return false;
        }
        if (!writer.WriteFrame(f - job.firstFrame, frame.picture.data())) {
          outcome = fail("Problem Writing flipbook to disk");
          return false;
        }
        shown.SetPercent((f - job.firstFrame + 1) * 100 / (job.lastFrame - job.firstFrame + 1));
        shown.FrameCommitted(f + 1, moviePath);
        if (shown.StopRequested() && prompt.AskYesNo("Do you want to stop generating flipbook?")) {
          prompt.Message("Stopped after Frame : " + std::to_string(f + 1));
          outcome = FlipbookOutcome::Stopped;
          return false;
        }
        shown.Committed(f);
        return true;
      });
  if (outcome == FlipbookOutcome::Failed) return outcome;
  writer.Close();
  return outcome;
}

std::string PreviewMoviePath(const std::string& cacheDirectory) {
  return cacheDirectory + "preview.avi";
}

bool SaveLastFlipbook(const std::string& moviePath, const std::string& target, Prompt& prompt) {
  Status saved = SaveLastPreview(moviePath, target);
  if (!saved) prompt.Message(saved.message(), MessageIcon::Error);
  return saved.ok();
}

}  // namespace quenda

#include "composer/core/preview.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {

PreviewSettings DefaultPreviewSettings(const Composition& composition) {
  PreviewSettings settings;
  settings.endFrame = composition.frames;
  return settings;
}

PreviewSettings NormalizePreviewSettings(PreviewSettings s, const Composition& composition) {
  auto frameField = [&](int v) { return std::clamp(v, 1, std::max(composition.frames, 1)); };
  s.startFrame = frameField(s.startFrame);
  s.endFrame = frameField(s.endFrame);
  s.startFrame = std::min(s.startFrame, s.endFrame);
  s.step = std::clamp(s.step, 1, std::max(composition.frameRate, 1));
  s.quality = std::clamp(s.quality, 0, kPreviewMaxQuality);
  s.scaling = std::clamp(s.scaling, 0, 2);
  return s;
}

BufferSize PreviewPictureSize(int width, int height, int scaling) {
  int w = width >> scaling, h = height >> scaling;
  return {w + (4 - w % 4), h};
}

PreviewResult GeneratePreview(const Composition& composition, PreviewSettings settings,
                              const std::string& path, MovieWriter& writer, Prompt& prompt,
                              Progress& progress, const ComposeSink& sink, OldMovie old) {
  settings = NormalizePreviewSettings(settings, composition);
  PreviewResult result;
  BufferSize size = PreviewPictureSize(composition.width, composition.height, settings.scaling);
  if (old == OldMovie::Delete) std::remove(path.c_str());
  int rate = std::max(composition.frameRate / settings.step, 1);
  if (!writer.Open(path, settings.quality, rate, size.width, size.height)) {
    prompt.Message("Unable to create an avi preview file", MessageIcon::Error);
    result.outcome = PreviewOutcome::CouldNotOpen;
    return result;
  }
  progress.SetCaption("Preparing Avi Preview...");
  progress.SetStage("Preparing Avi Preview...");
  // Previews are drawn without antialiasing at the chosen scaling, whatever the document says.
  ComposeOptions options{settings.scaling, false, false, 0};
  int span = settings.endFrame - settings.startFrame + 1;
  progress.FramesPlanned((span - 1) / settings.step + 1);
  for (int k = settings.startFrame; k <= settings.endFrame; k += settings.step) {
    // The caption names the frame; the text says what is being done to it.
    progress.SetCaption("Preparing Frame : " + std::to_string(k));
    progress.SetStage("Compositing...");
    progress.SetPercent((k - settings.startFrame) * 100 / span);
    FrameBuffer frame = ComposeFrame(composition, k - 1, options, sink);
    if (!writer.WriteFrame(result.framesWritten, frame.bgr.data())) {
      prompt.Message("Problem Writing flipbook to disk, Disk Full?", MessageIcon::Error);
      writer.Close();
      result.outcome = PreviewOutcome::WriteFailed;
      return result;
    }
    ++result.framesWritten;
    progress.FrameCommitted(k, path);
    if (progress.StopRequested() && prompt.AskYesNo("Do you want to stop generating preview?")) {
      prompt.Message("Stopped after Frame : " + std::to_string(k));
      result.outcome = PreviewOutcome::Stopped;
      break;
    }
  }
  writer.Close();
  return result;
}

}  // namespace quenda

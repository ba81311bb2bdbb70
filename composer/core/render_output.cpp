#include "composer/core/render_output.h"

#include <algorithm>
#include <cstdio>

#include "common/atomic_file.h"
#include "common/frame_picture.h"
#include "common/frame_runner.h"
#include "common/path.h"

namespace quenda {

RenderOutputSettings DefaultRenderOutputSettings(const Composition& composition) {
  RenderOutputSettings settings;
  settings.frameEnd = composition.frames;
  return settings;
}

RenderOutputSettings NormalizeRenderOutputSettings(RenderOutputSettings s,
                                                   const Composition& composition) {
  int last = std::max(composition.frames, 1);
  s.frameStart = std::clamp(s.frameStart, 1, last);
  s.frameEnd = std::clamp(s.frameEnd, 1, last);
  s.frameStart = std::min(s.frameStart, s.frameEnd);
  return s;
}

std::string OutputDirectoryFromPick(const std::string& picked) {
  return DirectoryOf(picked);
}

std::string RenderFilePath(const RenderOutputSettings& settings, int frame) {
  long long number = static_cast<long long>(settings.startNumber) + (frame - settings.frameStart);
  char digits[32];
  std::snprintf(digits, sizeof digits, "%0*lld", settings.leadingZeros ? kRenderNumberDigits : 0,
                number);
  return settings.directory + settings.name + digits +
         std::string(PictureFormatExtension(settings.format));
}

Raster RenderPicture(const Composition& composition, const RenderOutputSettings& settings,
                     int frame, const ComposeSink& sink) {
  ComposeOptions options{0, settings.best, settings.matte, 0};
  FrameBuffer first = ComposeFrame(composition, frame - 1, options, sink);
  FrameBuffer second;
  if (settings.fields) {
    options.timeOffset = 0.5;
    second = ComposeFrame(composition, frame - 1, options, sink);
  }
  Raster picture(composition.width, composition.height, settings.matte ? 4 : 3);
  const int w = picture.width(), h = picture.height();
  for (int row = 0; row < h; ++row) {
    const FrameBuffer* source = &first;
    if (settings.fields) {
      int line = h - row;  // 1 for the top line
      bool oddLine = line % 2 == 1;
      bool fromFirst = settings.fieldOrder == FieldOrder::Odd ? oddLine : !oddLine;
      source = fromFirst ? &first : &second;
    }
    for (int col = 0; col < w; ++col) {
      std::size_t from = std::size_t(row) * std::size_t(source->width) + std::size_t(col);
      uint8_t* to = picture.At(col, row);
      to[0] = source->bgr[from * 3];
      to[1] = source->bgr[from * 3 + 1];
      to[2] = source->bgr[from * 3 + 2];
      if (settings.matte) to[3] = source->matte[from];
    }
  }
  return picture;
}

RenderOutputResult RenderFrames(const Composition& composition, const RenderOutputSettings& job,
                                Prompt& prompt, Progress& progress, int writeFirst, int writeLast,
                                const ComposeSink& sink, int jobs) {
  RenderOutputSettings settings = NormalizeRenderOutputSettings(job, composition);
  auto fileName = [&](int frame) { return RenderFilePath(settings, frame); };
  auto write = [&](int frame, const Raster& picture) {
    std::string path = RenderFilePath(settings, frame);
    const FramePictureOptions options{settings.format, settings.depth, FrameAlpha::ComposerMatte,
                                      double(composition.dpi)};
    Status written =
        WriteFramePicture(path, picture, options,
                          WriteMessages("Could not write " + path + ", disk full or read only?"));
    if (!written) prompt.Message(written.message(), MessageIcon::Error);
    return bool(written);
  };
  return RenderFramesTo(composition, settings, prompt, progress, writeFirst, writeLast, sink, jobs,
                        {write, fileName});
}

RenderOutputResult RenderFramesTo(const Composition& composition, const RenderOutputSettings& job,
                                  Prompt& prompt, Progress& progress, int writeFirst, int writeLast,
                                  const ComposeSink& sink, int jobs,
                                  const ComposedFrameTaker& taker) {
  RenderOutputSettings settings = NormalizeRenderOutputSettings(job, composition);
  int first = writeFirst > 0 ? std::max(writeFirst, settings.frameStart) : settings.frameStart;
  int last = writeLast > 0 ? std::min(writeLast, settings.frameEnd) : settings.frameEnd;
  RenderOutputResult result;
  progress.SetStage("Rendering...");
  progress.FramesPlanned(last - first + 1);
  struct Rendered {
    Raster picture;
    DeferredPrompt said;
  };
  RunFramesInOrder(
      first, last, jobs,
      [&](int frame) {
        Rendered rendered;
        ComposeSink own{sink.prompt ? &rendered.said : nullptr, {}};
        if (sink.status)
          own.status = [&said = rendered.said](const std::string& line) { said.Note(line); };
        rendered.picture = RenderPicture(composition, settings, frame, own);
        return rendered;
      },
      [&](int frame, Rendered& rendered) {
        progress.SetStage("Rendering Frame : " + std::to_string(frame));
        progress.SetPercent((frame - first) * 100 / (last - first + 1));
        if (sink.prompt)
          rendered.said.Replay(*sink.prompt, sink.status);
        else
          rendered.said.Replay(prompt, sink.status);
        if (!taker.take(frame, rendered.picture)) {
          result.outcome = RenderOutputOutcome::WriteFailed;
          return false;
        }
        ++result.filesWritten;
        progress.FrameCommitted(frame, taker.fileName(frame));
        if (progress.StopRequested() && prompt.AskYesNo("Do you want to stop rendering?")) {
          prompt.Message("Stopped after Frame : " + std::to_string(frame));
          result.outcome = RenderOutputOutcome::Stopped;
          return false;
        }
        return true;
      });
  return result;
}

}  // namespace quenda

// `quenda preview`: a composition's frames at full, half or quarter size as one movie (AVI, MP4
// or MOV).

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "common/progress.h"
#include "composer/core/composition_file.h"
#include "composer/core/preview.h"
#include "composer/core/render_inputs.h"
#include "media/avi_writer.h"
#include "media/encoded_movie_writer.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda preview MOVIE.cmp --out MOVIE.avi|.mp4|.mov [--scale full|half|quarter]\n"
    "                      [--step N] [--quality Q] [--frames A-B] [--yes] [--allow-missing]\n"
    "Writes the frames (default: all) at the scale (default half) into one movie, every Nth\n"
    "frame at the frame rate divided by N; quality 0..10000 (default 5000). The movie is AVI,\n"
    "H.264 (.mp4) or ProRes 4444 (.mov) by the name's extension; for .mp4 the H.264 CRF is\n"
    "51 - Q x 51 / 10000, rounded (5000 gives 26, 10000 is lossless). The movie's width\n"
    "is raised to the next multiple of 4. --yes discards clips whose pictures are all missing;\n"
    "clip pictures that are missing or unreadable are named and nothing is written (exit 1)\n"
    "unless --allow-missing leaves them out.\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, closes the movie with the frames made so far, names the\n"
    "frames left out and exits 130.\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "preview", reason, kUsage);
}

int RunPreviewCommand(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--out", "--scale", "--step", "--quality", "--frames"},
                   {"--yes", "--allow-missing"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one composition");
  if (!parsed.Value("--out")) return UsageError(io, "--out is needed");
  if (!HasMovieExtension(*parsed.Value("--out")))
    return UsageError(io, std::string(kMovieNameError));
  ConsolePrompt prompt(io, parsed.Has("--yes"), parsed.Has("--yes"));
  // Without --yes no clip is discarded: the input check below names what is missing.
  const std::string& path = parsed.positional()[0];
  prompt.Name("preview", path);
  Result<Composition> loaded =
      parsed.Has("--yes") ? LoadComposition(path, prompt) : ReadComposition(path);
  if (!loaded) return ReportFileError(io, "preview", path, loaded.message());
  const Composition& c = *loaded;
  PreviewSettings settings = DefaultPreviewSettings(c);
  std::string scale = parsed.Value("--scale").value_or("half");
  if (scale == "full")
    settings.scaling = 0;
  else if (scale == "quarter")
    settings.scaling = 2;
  else if (scale != "half")
    return UsageError(io, "--scale must be full, half or quarter");
  if (auto text = parsed.Value("--step")) {
    auto step = ParseInt(*text, 1, c.frameRate);
    if (!step) return UsageError(io, "--step must be 1..frame rate");
    settings.step = *step;
  }
  if (auto text = parsed.Value("--quality")) {
    auto quality = ParseInt(*text, 0, kPreviewMaxQuality);
    if (!quality) return UsageError(io, "--quality must be 0..10000");
    settings.quality = *quality;
  }
  if (auto text = parsed.Value("--frames")) {
    auto range = ParseRange(*text, 1, c.frames);
    if (!range) return UsageError(io, "--frames must be A-B within the movie's frames");
    settings.startFrame = range->first;
    settings.endFrame = range->second;
  }
  if (!ReportMissingInputs(
          io, "preview", path,
          CheckClipInputs(c, settings.startFrame, settings.endFrame, settings.step),
          parsed.Has("--allow-missing")))
    return 1;
  prompt.SetFile(*parsed.Value("--out"));
  // The name's extension chooses the kind: AVI as before, or H.264 / ProRes 4444.
  AviWriter avi(prompt);
  EncodedMovieWriter encoded(prompt);
  const bool isEncoded = CodecForMovieName(*parsed.Value("--out")).has_value();
  MovieWriter& writer = isEncoded ? static_cast<MovieWriter&>(encoded) : avi;
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop);
  ComposeSink sink{&prompt,
                   [&](const std::string& line) { ReportFileError(io, "preview", {}, line); }};
  std::string out = *parsed.Value("--out");
  PreviewResult result = GeneratePreview(c, settings, out, writer, stop.prompt(), progress, sink,
                                         OldMovie::LeaveToWriter);
  progress.Finish();
  if (result.outcome != PreviewOutcome::Finished ||
      !(isEncoded ? encoded.Succeeded() : avi.Succeeded())) {
    if (stop.Interrupted())
      ReportInterrupt(io, "preview", progress, settings.startFrame, settings.endFrame, "",
                      settings.step);
    return stop.ExitCode(1);
  }
  io.out << "wrote " << out << ": " << result.framesWritten << " frames\n";
  return 0;
}

}  // namespace

const Command& PreviewCommand() {
  static const Command kCommand{"preview", "write a composition's preview movie (AVI, MP4 or MOV)",
                                kUsage, RunPreviewCommand};
  return kCommand;
}

}  // namespace quenda::cli

// `quenda flipbook`: a stretch of an exposure sheet as a movie (AVI, MP4 or MOV), with a sound
// track.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "cli/sheet_command_support.h"
#include "common/progress.h"
#include "common/wave_file.h"
#include "dopegrid/core/flipbook.h"
#include "dopegrid/core/job_inputs.h"
#include "media/avi_writer.h"
#include "media/encoded_movie_writer.h"
#include "media/sound_decoder.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda flipbook SHEET.dgr --out MOVIE.avi|.mp4|.mov [--painted] [--frames A-B]\n"
    "                       [--levels L,...] [--size S] [--rate R] [--quality Q]\n"
    "                       [--sound FILE [--sound-start F]] [--allow-missing] [--jobs N]\n"
    "                       [--threads N]\n"
    "Composites every frame of the range and writes them as a movie: AVI, H.264 (.mp4) or\n"
    "ProRes 4444 (.mov) by the name's extension.\n\n"
    "  --painted        painted frames (default: the scanned drawings)\n"
    "  --frames A-B     from 1 (default: every frame of the sheet)\n"
    "  --levels L,..    level indices (0 is the front level) or names (default: all)\n"
    "  --size S         the longer side in pixels, 50..800 (default 400)\n"
    "  --rate R         frames per second, 1..100 (default 25)\n"
    "  --quality Q      0 (worst) .. 10000 (best), default 5000; for .mp4 the H.264 CRF is\n"
    "                   51 - Q x 51 / 10000, rounded (5000 gives 26, 10000 is lossless)\n"
    "  --sound FILE     laid under the frames: any sound FFmpeg decodes (WAV, AIFF, FLAC,\n"
    "                   MP3, Ogg, M4A...), converted to 8-bit mono on load\n"
    "  --sound-start F  the sheet frame (from 1) where the sound starts (default 1)\n"
    "  --allow-missing  write the movie without the drawings (for painted frames also region,\n"
    "                   paint and colour set files) and sound that are missing or unreadable;\n"
    "                   by default they are named and nothing is written (exit 1)\n"
    "  --jobs N         frames composited at once (default: the cores, or\n"
    "                   SLURM_CPUS_PER_TASK); the movie is that of --jobs 1 with the same\n"
    "                   --threads\n"
    "  --threads N      threads inside each frame, the movie encoder's included (default:\n"
    "                   the cores divided among the --jobs, at least 1); an H.264 movie's\n"
    "                   bytes depend on it, AVI and ProRes ones do not\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, closes the movie with the frames made so far, names the\n"
    "frames left out and exits 130.\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "flipbook", reason, kUsage);
}

int RunFlipbookCommand(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args,
                   {"--out", "--frames", "--levels", "--size", "--rate", "--quality", "--sound",
                    "--sound-start", "--jobs", "--threads"},
                   {"--painted", "--allow-missing"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one sheet");
  auto out = parsed.Value("--out");
  if (!out) return UsageError(io, "--out is required");
  if (!HasMovieExtension(*out)) return UsageError(io, std::string(kMovieNameError));
  FlipbookSettings settings;
  if (parsed.Has("--painted")) settings.mode = CompositeMode::Painted;
  if (auto text = parsed.Value("--size")) {
    auto size = ParseInt(*text, kMinFlipbookSize, kMaxFlipbookSize);
    if (!size) return UsageError(io, "--size must be a whole number from 50 to 800");
    settings.size = *size;
  }
  if (auto text = parsed.Value("--rate")) {
    auto rate = ParseInt(*text, 1, kMaxFlipbookRate);
    if (!rate) return UsageError(io, "--rate must be a whole number from 1 to 100");
    settings.frameRate = *rate;
  }
  if (auto text = parsed.Value("--quality")) {
    auto quality = ParseInt(*text, 0, kMaxFlipbookQuality);
    if (!quality) return UsageError(io, "--quality must be a whole number from 0 to 10000");
    settings.quality = *quality;
  }

  if (!ReadJobs(parsed.Value("--jobs"), settings.jobs))
    return UsageError(io, std::string(kJobsError));
  if (!ReadThreads(parsed.Value("--threads"), settings.jobs))
    return UsageError(io, std::string(kThreadsError));

  const std::string& path = parsed.positional()[0];
  std::optional<SheetFileContents> stored = ReadStoredSheet(path, io, "flipbook");
  if (!stored) return 1;
  const CSheetGrid& sheet = stored->sheet;
  Result<DrawnPart> part = ParseDrawnPart(parsed, sheet);
  if (!part) return UsageError(io, part.message());
  settings.firstFrame = part->firstFrame;
  settings.lastFrame = part->lastFrame;
  FitThreadsToFrames(parsed.Value("--threads"), settings.jobs,
                     settings.lastFrame - settings.firstFrame + 1);
  settings.levels = part->levels;
  if (parsed.Has("--sound-start") && !parsed.Has("--sound"))
    return UsageError(io, "--sound-start needs --sound");
  std::optional<int> soundStart;
  if (auto text = parsed.Value("--sound-start")) {
    soundStart = ParseInt(*text, 1, std::max(sheet.frameCount - 1, 1));
    if (!soundStart) return UsageError(io, "--sound-start must be a frame of the sheet, from 1");
  }
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.mode;
  Status drawings =
      CheckJobInputs({stored->sheet, stored->sequences}, job, job.firstFrame, job.lastFrame);
  auto wave = parsed.Value("--sound");
  Status sound = wave ? CheckSoundInput(*wave) : Status{};
  std::string lines = drawings.message();
  if (!sound) lines += (lines.empty() ? "" : "\n") + sound.message();
  if (!ReportMissingInputs(io, "flipbook", path, lines.empty() ? Status{} : Status{Error{lines}},
                           parsed.Has("--allow-missing")))
    return 1;

  ConsolePrompt prompt(io, false);
  prompt.Name("flipbook", path);
  CDopegridDoc doc(prompt);
  if (!doc.OnOpenDocument(path)) return 1;
  const FfmpegSoundDecoder decoder;
  doc.SetSoundDecoder(&decoder);
  if (wave && sound) {
    prompt.SetFile(*wave);
    if (!doc.LoadSoundFile(*wave)) return 1;
    if (soundStart && !doc.SetSoundSettings(settings.frameRate, *soundStart)) return 1;
  }
  CSheetGrid shown = drawings ? doc.sheet()
                              : WithoutMissingInputs({doc.sheet(), doc.sequences()}, job,
                                                     job.firstFrame, job.lastFrame);
  prompt.SetFile(*out);
  // The name's extension chooses the kind: AVI as before, or H.264 / ProRes 4444.
  AviWriter avi(prompt);
  EncodedMovieWriter encoded(prompt);
  const bool isEncoded = CodecForMovieName(*out).has_value();
  MovieWriter& writer = isEncoded ? static_cast<MovieWriter&>(encoded) : avi;
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop);
  SheetSource source{shown, doc.sequences()};
  FlipbookOutcome outcome =
      GenerateFlipbook(settings, source, doc.sound().loaded ? &doc.sound() : nullptr, writer, *out,
                       stop.prompt(), progress, OldMovie::LeaveToWriter);
  progress.Finish();
  if (outcome != FlipbookOutcome::Finished ||
      !(isEncoded ? encoded.Succeeded() : avi.Succeeded())) {
    if (stop.Interrupted())
      ReportInterrupt(io, "flipbook", progress, settings.firstFrame + 1, settings.lastFrame + 1,
                      "");
    return stop.ExitCode(1);
  }
  io.out << "wrote " << *out << ": " << settings.lastFrame - settings.firstFrame + 1
         << " frames at " << settings.frameRate << " per second"
         << (doc.sound().loaded ? ", with sound" : "") << "\n";
  return 0;
}

}  // namespace

const Command& FlipbookCommand() {
  static const Command kCommand{"flipbook", "write an exposure sheet's frames as a movie", kUsage,
                                RunFlipbookCommand};
  return kCommand;
}

}  // namespace quenda::cli

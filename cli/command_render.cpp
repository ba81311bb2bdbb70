// `quenda render`: frames of an exposure sheet as numbered 32-bit Targa files, or one movie.

#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "cli/movie_output.h"
#include "cli/picture_output.h"
#include "cli/sheet_command_support.h"
#include "common/progress.h"
#include "dopegrid/core/job_inputs.h"
#include "dopegrid/core/render.h"

namespace quenda::cli {
namespace {

const std::string kUsage =
    "usage: quenda render SHEET.dgr --out DIR --name NAME [--frames A-B] [--write A-B]\n"
    "                     [--levels L,...] [--size full|half|quarter] [--quality best|fast]\n"
    "                     [--line-test] [--allow-missing] [--jobs N] [--threads N]\n"
    "                     [--format F] [--depth 8|16]\n"
    "       quenda render SHEET.dgr --movie OUT.mp4|OUT.mov [--rate R] [--codec C] [--crf N]\n"
    "                     [--preset P] [--background RRGGBB] [--sound FILE [--sound-start F]]\n"
    "                     [--frames A-B] [--levels ...] [--size ...] [--quality ...]\n"
    "                     [--line-test] [--allow-missing] [--jobs N] [--threads N]\n"
    "Writes DIR/NAME0001.tga onwards (the frame number from 1, four digits at least; .png,\n"
    ".tif or .exr with --format): painted frames with transparency (straight alpha; exr\n"
    "premultiplied), or the pencil drawings alone with --line-test. Their resolution is the\n"
    "drawings' at the render's size.\n\n"
    "  --frames A-B   the whole job, from 1 (default: every frame of the sheet); it fixes the\n"
    "                 picture's frame, so split runs must all give the same range\n"
    "  --write A-B    the part of the job this run writes (default: all of it)\n"
    "  --levels L,..  level indices (0 is the front level) or names (default: all)\n"
    "  --size         full (default), half or quarter of the drawings' resolution\n"
    "  --quality      best (bilinear, default) or fast; full size is always fast\n"
    "  --allow-missing  render without the drawings (and for painted frames the region, paint\n"
    "                 and colour set files) that are missing or unreadable; by default they\n"
    "                 are named and nothing is written (exit 1)\n"
    "  --jobs N       frames made at once (default: the cores, or SLURM_CPUS_PER_TASK); the\n"
    "                 files are those of --jobs 1 with the same --threads\n"
    "  --threads N    threads inside each frame, the movie encoder's included (default: the\n"
    "                 cores divided among the --jobs, at least 1); files are the same with\n"
    "                 any N, H.264 movies only with the same N\n"
    "  --format F     tga (default), png, tiff or exr: the Targa's channels exactly in png\n"
    "                 and tiff, half floats in linear light in exr\n"
    "  --depth 8|16   bits per channel of png and tiff (default 8); 16 scales the values\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, keeps whole files, names the --write that resumes the\n"
    "job and exits 130; a movie is closed with the frames made, its length said.\n\n" +
    MovieOptionsHelp("default 25; a sheet keeps no rate");

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "render", reason, kUsage);
}

// The frame in hand names the messages said while it is made and saved (a frame that cannot be
// saved is told without its file); the job's own questions, between frames, name none.
class NamingFrames final : public Progress {
 public:
  NamingFrames(Progress& inner, ConsolePrompt& prompt, const RenderSettings& settings, int first)
      : inner_(inner), prompt_(prompt), settings_(settings), next_(first) {}
  void SetStage(std::string_view text) override {
    prompt_.SetFile(RenderFileName(settings_.directory, settings_.name, next_, settings_.format));
    inner_.SetStage(text);
  }
  void SetPercent(int percent) override { inner_.SetPercent(percent); }
  bool StopRequested() override { return inner_.StopRequested(); }
  void FramesPlanned(int count) override { inner_.FramesPlanned(count); }
  void FrameCommitted(int frameNumber, std::string_view file) override {
    inner_.FrameCommitted(frameNumber, file);
    next_ = frameNumber + 1;
    prompt_.SetFile({});
  }

 private:
  Progress& inner_;
  ConsolePrompt& prompt_;
  const RenderSettings& settings_;
  int next_;
};

int RunRenderCommand(std::span<const std::string> args, CommandIo& io) {
  std::set<std::string> valued{"--out",     "--name", "--frames",  "--write",  "--levels", "--size",
                               "--quality", "--jobs", "--threads", "--format", "--depth"};
  valued.insert(kMovieOptions.begin(), kMovieOptions.end());
  Arguments parsed(args, valued, {"--line-test", "--allow-missing"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one sheet");
  const bool movie = parsed.Has("--movie");
  if (movie && (parsed.Has("--out") || parsed.Has("--name") || parsed.Has("--write")))
    return UsageError(io, "--movie writes one file: leave out --out, --name and --write");
  if (auto reason = MovieOptionsWithoutMovie(parsed); reason && !movie)
    return UsageError(io, *reason);
  RenderSettings settings;
  settings.directory = parsed.Value("--out").value_or("");
  if (!settings.directory.empty() && settings.directory.back() != '/') settings.directory += '/';
  if (!parsed.Value("--name") && !movie) return UsageError(io, "--name is required");
  settings.name = parsed.Value("--name").value_or("");
  std::string size = parsed.Value("--size").value_or("full");
  if (size == "half")
    settings.size = RenderSize::Half;
  else if (size == "quarter")
    settings.size = RenderSize::Quarter;
  else if (size != "full")
    return UsageError(io, "--size must be full, half or quarter");
  std::string quality = parsed.Value("--quality").value_or("best");
  if (quality == "fast")
    settings.quality = RenderQuality::Fast;
  else if (quality != "best")
    return UsageError(io, "--quality must be best or fast");
  if (parsed.Has("--line-test")) settings.kind = RenderKind::LineTest;
  if (!ReadJobs(parsed.Value("--jobs"), settings.jobs))
    return UsageError(io, std::string(kJobsError));
  if (!ReadThreads(parsed.Value("--threads"), settings.jobs))
    return UsageError(io, std::string(kThreadsError));
  Result<PictureOutput> output = ReadPictureOutput(parsed);
  if (!output) return UsageError(io, output.message());
  settings.format = output->format;
  settings.depth = output->depth;

  const std::string& path = parsed.positional()[0];
  std::optional<SheetFileContents> stored = ReadStoredSheet(path, io, "render");
  if (!stored) return 1;
  const CSheetGrid& sheet = stored->sheet;
  Result<DrawnPart> part = ParseDrawnPart(parsed, sheet);
  if (!part) return UsageError(io, part.message());
  settings.firstFrame = part->firstFrame;
  settings.lastFrame = part->lastFrame;
  settings.levels = part->levels;
  if (auto text = parsed.Value("--write")) {
    auto range = ParseRange(*text, settings.firstFrame + 1, settings.lastFrame + 1);
    if (!range) return UsageError(io, "--write must be A-B within --frames");
    settings.writeFirst = range->first - 1;
    settings.writeLast = range->second - 1;
  }
  MovieOptions movieOptions;
  if (movie)
    if (auto reason = ReadMovieOptions(parsed, {25, 1}, sheet.frameCount, movieOptions))
      return UsageError(io, *reason);
  // The settings' own refusals (of the options' values) come before the input check, as the
  // dialog's would.
  if (Status refusal = CheckRenderSettings(settings); !refusal && !movie)
    return UsageError(io, refusal.message());
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.kind == RenderKind::Painted ? CompositeMode::Painted : CompositeMode::Scanned;
  int first = settings.writeFirst.value_or(settings.firstFrame);
  int last = settings.writeLast.value_or(settings.lastFrame);
  FitThreadsToFrames(parsed.Value("--threads"), settings.jobs, last - first + 1);
  Status inputs = CheckJobInputs({stored->sheet, stored->sequences}, job, first, last);
  if (!ReportMissingInputs(io, "render", path, inputs, parsed.Has("--allow-missing"))) return 1;

  ConsolePrompt prompt(io, false);
  prompt.Name("render", path);
  CDopegridDoc doc(prompt);
  if (!doc.OnOpenDocument(path)) return 1;
  prompt.SetFile({});
  CSheetGrid rendered =
      inputs ? doc.sheet() : WithoutMissingInputs({doc.sheet(), doc.sequences()}, job, first, last);
  if (!settings.directory.empty()) {
    std::error_code ignored;  // a folder that cannot be made is reported by the first save
    std::filesystem::create_directories(settings.directory, ignored);
  }
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop);
  SheetSource source{rendered, doc.sequences()};
  if (movie) {
    MovieOutput output(io, "render", movieOptions, first + 1);
    if (!output.LoadSound()) return 1;
    prompt.SetFile(movieOptions.path);
    const bool made = RenderFramesTo(
        settings, source, stop.prompt(), progress,
        {[&](int, const Raster& picture, double, Progress&) { return output.Take(picture); },
         [](int) { return std::string(); }});
    progress.Finish();
    return FinishMovieRun(io, "render", progress, stop, output, made, first + 1, last + 1);
  }
  NamingFrames naming(progress, prompt, settings, first + 1);
  const bool finished = RunRender(settings, source, stop.prompt(), naming);
  progress.Finish();
  if (!finished) {
    if (stop.Interrupted()) ReportInterrupt(io, "render", progress, first + 1, last + 1, "--write");
    return stop.ExitCode(1);
  }
  io.out << "wrote "
         << RenderFileName(settings.directory, settings.name, first + 1, settings.format) << " .. "
         << RenderFileName(settings.directory, settings.name, last + 1, settings.format) << "\n";
  return 0;
}

}  // namespace

const Command& RenderCommand() {
  static const Command kCommand{"render", "render exposure sheet frames to Targa files or a movie",
                                kUsage, RunRenderCommand};
  return kCommand;
}

}  // namespace quenda::cli

// `quenda compose`: frames of a composition as numbered Targa files, whole or in parts, or one
// movie.

#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "cli/movie_output.h"
#include "cli/picture_output.h"
#include "common/progress.h"
#include "composer/core/composition_file.h"
#include "composer/core/render_inputs.h"
#include "composer/core/render_output.h"

namespace quenda::cli {
namespace {

const std::string kUsage =
    "usage: quenda compose MOVIE.cmp --out DIR --name NAME [--frames A-B] [--write A-B]\n"
    "                      [--start-number N] [--no-leading-zeros] [--matte]\n"
    "                      [--fields odd|even] [--quality best|fast] [--yes]\n"
    "                      [--allow-missing] [--jobs N] [--threads N] [--format F]\n"
    "                      [--depth 8|16]\n"
    "       quenda compose MOVIE.cmp --movie OUT.mp4|OUT.mov [--rate R] [--codec C]\n"
    "                      [--crf N] [--preset P] [--background RRGGBB]\n"
    "                      [--sound FILE [--sound-start F]] [--frames A-B] [--matte]\n"
    "                      [--fields odd|even] [--quality best|fast] [--yes]\n"
    "                      [--allow-missing] [--jobs N] [--threads N]\n"
    "Writes DIR/NAME0000.tga onwards (.png, .tif or .exr with --format), one file per movie\n"
    "frame: colour, or with --matte the composed colour and the matte as alpha (in exr the\n"
    "colour as composed, the header saying the alpha is the matte), at the movie's dpi.\n\n"
    "  --frames A-B        the whole job, from 1 (default: every frame); file numbers count\n"
    "                      from its first frame, so split runs must all give the same range\n"
    "  --write A-B         the part of the job this run writes (default: all of it)\n"
    "  --start-number N    the number of the job's first file (default 0)\n"
    "  --no-leading-zeros  numbers without zeros in front (default: four digits at least)\n"
    "  --fields odd|even   interleave two half-frames, that field first in time\n"
    "  --quality           best (bilinear, default) or fast (nearest pixel)\n"
    "  --yes               discard clips whose pictures are all missing\n"
    "  --allow-missing     write the frames without clip pictures that are missing or\n"
    "                      unreadable (default: name them and write nothing, exit 1)\n"
    "  --jobs N            frames made at once (default: the cores, or\n"
    "                      SLURM_CPUS_PER_TASK); the files are those of --jobs 1\n"
    "                      with the same --threads\n"
    "  --threads N         threads inside each frame, the movie encoder's included\n"
    "                      (default: the cores divided among the --jobs, at least 1);\n"
    "                      files are the same with any N, H.264 movies only with the same N\n"
    "  --format F          tga (default), png, tiff or exr: the Targa's channels exactly in\n"
    "                      png and tiff, half floats in linear light in exr\n"
    "  --depth 8|16        bits per channel of png and tiff (default 8); 16 scales them\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, keeps whole files, names the --write that resumes the\n"
    "job and exits 130; a movie is closed with the frames made, its length said.\n\n" +
    MovieOptionsHelp("default: the composition's") +
    "A ProRes 4444 movie holds the matte as its alpha with --matte, else it is opaque.\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "compose", reason, kUsage);
}

int RunComposeCommand(std::span<const std::string> args, CommandIo& io) {
  std::set<std::string> valued{"--out",          "--name",   "--frames",  "--write",
                               "--start-number", "--fields", "--quality", "--jobs",
                               "--threads",      "--format", "--depth"};
  valued.insert(kMovieOptions.begin(), kMovieOptions.end());
  Arguments parsed(args, valued, {"--no-leading-zeros", "--matte", "--yes", "--allow-missing"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one composition");
  const bool movie = parsed.Has("--movie");
  if (movie && (parsed.Has("--out") || parsed.Has("--name") || parsed.Has("--write") ||
                parsed.Has("--start-number") || parsed.Has("--no-leading-zeros")))
    return UsageError(io,
                      "--movie writes one file: leave out --out, --name, --write, "
                      "--start-number and --no-leading-zeros");
  if (auto reason = MovieOptionsWithoutMovie(parsed); reason && !movie)
    return UsageError(io, *reason);
  if (!parsed.Value("--out") && !movie) return UsageError(io, "--out is needed");
  if (!parsed.Value("--name") && !movie) return UsageError(io, "--name is needed");
  ConsolePrompt prompt(io, parsed.Has("--yes"), parsed.Has("--yes"));
  // Without --yes no clip is discarded: the input check below names what is missing.
  const std::string& path = parsed.positional()[0];
  prompt.Name("compose", path);
  Result<Composition> loaded =
      parsed.Has("--yes") ? LoadComposition(path, prompt) : ReadComposition(path);
  if (!loaded) return ReportFileError(io, "compose", path, loaded.message());
  prompt.SetFile({});  // the frames' messages name their own files
  const Composition& c = *loaded;
  RenderOutputSettings settings = DefaultRenderOutputSettings(c);
  settings.directory = parsed.Value("--out").value_or("./");
  if (settings.directory.back() != '/') settings.directory += '/';
  settings.name = parsed.Value("--name").value_or("");
  settings.leadingZeros = !parsed.Has("--no-leading-zeros");
  settings.matte = parsed.Has("--matte");
  if (auto text = parsed.Value("--start-number")) {
    auto number = ParseInt(*text, 0, 99999999);
    if (!number) return UsageError(io, "--start-number must be a whole number from 0");
    settings.startNumber = *number;
  }
  if (auto text = parsed.Value("--fields")) {
    if (*text != "odd" && *text != "even") return UsageError(io, "--fields must be odd or even");
    settings.fields = true;
    settings.fieldOrder = *text == "odd" ? FieldOrder::Odd : FieldOrder::Even;
  }
  std::string quality = parsed.Value("--quality").value_or("best");
  if (quality != "best" && quality != "fast")
    return UsageError(io, "--quality must be best or fast");
  settings.best = quality == "best";
  int jobs = 1;
  if (!ReadJobs(parsed.Value("--jobs"), jobs)) return UsageError(io, std::string(kJobsError));
  if (!ReadThreads(parsed.Value("--threads"), jobs))
    return UsageError(io, std::string(kThreadsError));
  Result<PictureOutput> output = ReadPictureOutput(parsed);
  if (!output) return UsageError(io, output.message());
  settings.format = output->format;
  settings.depth = output->depth;
  if (auto text = parsed.Value("--frames")) {
    auto range = ParseRange(*text, 1, c.frames);
    if (!range) return UsageError(io, "--frames must be A-B within the movie's frames");
    settings.frameStart = range->first;
    settings.frameEnd = range->second;
  }
  int writeFirst = settings.frameStart, writeLast = settings.frameEnd;
  if (auto text = parsed.Value("--write")) {
    auto range = ParseRange(*text, settings.frameStart, settings.frameEnd);
    if (!range) return UsageError(io, "--write must be A-B within --frames");
    writeFirst = range->first;
    writeLast = range->second;
  }
  FitThreadsToFrames(parsed.Value("--threads"), jobs, writeLast - writeFirst + 1);
  MovieOptions movieOptions;
  if (movie)
    if (auto reason = ReadMovieOptions(parsed, {c.frameRate, 1}, c.frames, movieOptions))
      return UsageError(io, *reason);
  if (!ReportMissingInputs(io, "compose", path, CheckClipInputs(c, writeFirst, writeLast),
                           parsed.Has("--allow-missing")))
    return 1;
  if (movie) {
    MovieOutput output(io, "compose", movieOptions, writeFirst);
    if (!output.LoadSound()) return 1;
    InterruptStop stop(prompt);
    FrameProgress progress(io, stop);
    ComposeSink sink{&prompt,
                     [&](const std::string& line) { ReportFileError(io, "compose", {}, line); }};
    RenderOutputResult result =
        RenderFramesTo(c, settings, stop.prompt(), progress, writeFirst, writeLast, sink, jobs,
                       {[&](int, const Raster& picture) { return output.Take(picture); },
                        [](int) { return std::string(); }});
    progress.Finish();
    return FinishMovieRun(io, "compose", progress, stop, output,
                          result.outcome == RenderOutputOutcome::Finished, writeFirst, writeLast);
  }
  std::error_code ignored;  // a folder that cannot be made is reported by the first write
  std::filesystem::create_directories(settings.directory, ignored);
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop);
  ComposeSink sink{&prompt,
                   [&](const std::string& line) { ReportFileError(io, "compose", {}, line); }};
  RenderOutputResult result =
      RenderFrames(c, settings, stop.prompt(), progress, writeFirst, writeLast, sink, jobs);
  progress.Finish();
  if (result.outcome != RenderOutputOutcome::Finished) {
    if (stop.Interrupted())
      ReportInterrupt(io, "compose", progress, writeFirst, writeLast, "--write");
    return stop.ExitCode(1);
  }
  io.out << "wrote " << RenderFilePath(settings, writeFirst) << " .. "
         << RenderFilePath(settings, writeLast) << "\n";
  return 0;
}

}  // namespace

const Command& ComposeCommand() {
  static const Command kCommand{"compose", "render composition frames to Targa files or a movie",
                                kUsage, RunComposeCommand};
  return kCommand;
}

}  // namespace quenda::cli

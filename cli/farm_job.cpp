#include "cli/farm_job.h"

#include <climits>
#include <filesystem>
#include <map>
#include <set>

#include "cli/arguments.h"
#include "cli/close_gaps_option.h"
#include "cli/frame_progress.h"
#include "cli/picture_output.h"
#include "common/drawing_scan.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/region_file.h"
#include "common/targa.h"
#include "composer/core/composition_file.h"
#include "composer/core/render_output.h"
#include "dopegrid/core/render.h"
#include "dopegrid/core/sheet_file.h"
#include "farm/core/frame_chunks.h"

namespace quenda::cli {
namespace {

struct OptionSets {
  std::set<std::string> valued;
  std::set<std::string> flags;
};

// The plain commands' options that a task may carry; --jobs and the chunk are the farm's.
const OptionSets kAnalyzeOptions{{"--settings", "--frames", "--close-gaps", "--threads"},
                                 {"--yes"}};
const OptionSets kRenderOptions{{"--out", "--name", "--frames", "--levels", "--size", "--quality",
                                 "--format", "--depth", "--threads"},
                                {"--line-test", "--allow-missing"}};
const OptionSets kComposeOptions{{"--out", "--name", "--frames", "--start-number", "--fields",
                                  "--quality", "--format", "--depth", "--threads"},
                                 {"--no-leading-zeros", "--matte", "--yes", "--allow-missing"}};

std::string ToolPath() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("quenda") : self.string();
}

std::string Folder(std::string path) {
  path = AbsolutePath(path);
  if (path.back() != '/') path += '/';
  return path;
}

// The tool, the command, its file and the options given, with every path made absolute (a
// task may start in another folder) and without --frames, which the caller sets.
std::vector<std::string> TaskWords(std::string_view command, std::span<const std::string> args,
                                   const OptionSets& options, const std::string& file) {
  std::vector<std::string> words{ToolPath(), std::string(command), AbsolutePath(file)};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (!options.valued.count(word)) {
      if (options.flags.count(word)) words.push_back(word);
      continue;
    }
    const std::string& value = args[++i];
    if (word == "--frames") continue;
    words.push_back(word);
    words.push_back(word == "--out"        ? Folder(value)
                    : word == "--settings" ? AbsolutePath(value)
                                           : value);
  }
  return words;
}

struct Planner {
  CommandIo& io;
  std::string_view usage;
  int& code;

  std::optional<FarmJob> Usage(const std::string& reason) {
    code = ReportUsageError(io, "farm", reason, usage);
    return std::nullopt;
  }
  std::optional<FarmJob> FileError(const std::string& file, const std::string& message) {
    code = ReportFileError(io, "farm", file, message);
    return std::nullopt;
  }
};

std::optional<FarmJob> PlanAnalyze(const Arguments& parsed, std::span<const std::string> args,
                                   Planner& plan) {
  const std::string& picked = parsed.positional()[0];
  if (!FrameExists(picked)) return plan.FileError(picked, "the file does not exist");
  if (!IsSequenceFileName(picked)) return plan.Usage(std::string(kInvalidSequenceFileName));
  std::pair<int, int> numbers{0, INT_MAX};
  if (auto text = parsed.Value("--frames")) {
    auto range = ParseRange(*text, 0, INT_MAX);
    if (!range) return plan.Usage("--frames must be A-B, frame numbers with A <= B");
    numbers = *range;
  }
  // Checked here, or every task would fail on it.
  if (auto gaps = parsed.Value("--close-gaps"); gaps && !ParseCloseGaps(*gaps))
    return plan.Usage(std::string(kCloseGapsError));
  const std::string absolute = AbsolutePath(picked);
  const DrawingSequence sequence = OpenSequence(absolute, TitleOf(absolute));
  FarmJob job;
  job.command = "analyze";
  job.words = TaskWords("analyze", args, kAnalyzeOptions, picked);
  job.chunkOption = "--frames";
  // Without settings the task would ask whether the standard ones will do; nobody answers.
  if (!parsed.Value("--settings") && !parsed.Has("--yes")) job.words.push_back("--yes");
  job.logFolder = sequence.directory;
  std::map<std::string, std::string> drawings;  // region file -> its drawing
  const FolderListing folder = SequenceFolder(sequence);
  for (const FrameTag& tag : sequence.frames) {
    if (tag.number < numbers.first || tag.number > numbers.second) continue;
    if (job.frames.empty() || job.frames.back() != tag.number) job.frames.push_back(tag.number);
    const std::string regions = SequenceFilePath(sequence, tag, ".rgn", folder);
    drawings[regions] = SequenceFilePath(sequence, tag, ".qds", folder);
    job.outputs.push_back({tag.number, FormatFrameTag(tag), regions});
  }
  if (job.frames.empty()) return plan.Usage("no frame of " + sequence.name + " is in --frames");
  // A region file is whole when the analyzer would read it for its drawing.
  job.read = [drawings](const farm::ExpectedOutput& output) -> Status {
    const std::string& drawing = drawings.at(output.path);
    Result<DrawingScanHeader> header = ReadDrawingScanHeader(drawing, ScanReader::Analyzer);
    if (!header) return header.status();
    return ReadRegionFile(output.path, header->width, header->height, RegionReader::Analyzer)
        .status();
  };
  return job;
}

// The job's whole range, A-B within 1..frameCount, from --frames or every frame.
std::optional<std::pair<int, int>> WholeJob(const Arguments& parsed, int frameCount) {
  if (auto text = parsed.Value("--frames")) return ParseRange(*text, 1, frameCount);
  if (frameCount < 1) return std::nullopt;
  return std::pair{1, frameCount};
}

// Render and compose: a file per frame of the document's `frameCount`, written by tasks that
// each get the whole job.
std::optional<FarmJob> PlanFrameFiles(std::string_view command, const Arguments& parsed,
                                      std::span<const std::string> args, const OptionSets& options,
                                      int frameCount, std::string_view document, Planner& plan) {
  const auto out = parsed.Value("--out");
  if (!out) return plan.Usage("--out is needed");
  if (!parsed.Value("--name")) return plan.Usage("--name is needed");
  auto whole = WholeJob(parsed, frameCount);
  if (!whole)
    return plan.Usage("--frames must be A-B within the " + std::string(document) + " frames");
  FarmJob job;
  job.command = command;
  job.words = TaskWords(command, args, options, parsed.positional()[0]);
  job.chunkOption = "--write";
  job.words.push_back("--frames");
  job.words.push_back(std::to_string(whole->first) + "-" + std::to_string(whole->second));
  job.frames = farm::FrameSpan(whole->first, whole->second);
  job.logFolder = Folder(*out);
  Result<PictureOutput> picture = ReadPictureOutput(parsed);
  if (!picture) return plan.Usage(picture.message());
  // Each file is read back by the reader of its format (Targa as the composer reads clips).
  job.read = [format = picture->format](const farm::ExpectedOutput& output) -> Status {
    return CheckFramePicture(output.path, format);
  };
  job.format = picture->format;
  return job;
}

std::optional<FarmJob> PlanRender(const Arguments& parsed, std::span<const std::string> args,
                                  Planner& plan) {
  const std::string& path = parsed.positional()[0];
  Result<SheetFileContents> stored = LoadSheetFile(path);
  if (!stored) return plan.FileError(path, stored.message());
  std::optional<FarmJob> job = PlanFrameFiles("render", parsed, args, kRenderOptions,
                                              stored->sheet.frameCount, "sheet's", plan);
  if (!job) return job;
  const std::string name = *parsed.Value("--name");
  for (int frame : job->frames)
    job->outputs.push_back(
        {frame, std::to_string(frame), RenderFileName(job->logFolder, name, frame, job->format)});
  return job;
}

std::optional<FarmJob> PlanCompose(const Arguments& parsed, std::span<const std::string> args,
                                   Planner& plan) {
  const std::string& path = parsed.positional()[0];
  Result<Composition> loaded = ReadComposition(path);
  if (!loaded) return plan.FileError(path, loaded.message());
  RenderOutputSettings settings;
  if (auto text = parsed.Value("--start-number")) {
    auto number = ParseInt(*text, 0, 99999999);
    if (!number) return plan.Usage("--start-number must be a whole number from 0");
    settings.startNumber = *number;
  }
  std::optional<FarmJob> job =
      PlanFrameFiles("compose", parsed, args, kComposeOptions, loaded->frames, "movie's", plan);
  if (!job) return job;
  settings.frameStart = job->frames.front();
  settings.frameEnd = job->frames.back();
  settings.name = *parsed.Value("--name");
  settings.leadingZeros = !parsed.Has("--no-leading-zeros");
  settings.directory = job->logFolder;
  settings.format = job->format;
  for (int frame : job->frames)
    job->outputs.push_back({frame, std::to_string(frame), RenderFilePath(settings, frame)});
  return job;
}

}  // namespace

std::optional<FarmJob> PlanFarmJob(std::string_view command, std::span<const std::string> args,
                                   CommandIo& io, std::string_view usage, int& code) {
  Planner plan{io, usage, code};
  const OptionSets* options = command == "analyze"   ? &kAnalyzeOptions
                              : command == "render"  ? &kRenderOptions
                              : command == "compose" ? &kComposeOptions
                                                     : nullptr;
  if (!options) return plan.Usage("unknown farm command '" + std::string(command) + "'");
  for (const std::string& word : args)
    if (word == "--jobs" || word == "--write")
      return plan.Usage(word +
                        " is the farm's to give: --cpus sets each task's jobs, --chunk "
                        "its frames");
  Arguments parsed(args, options->valued, options->flags);
  if (!parsed.error().empty()) return plan.Usage(parsed.error());
  // Checked here, or every task would fail on it.
  if (auto threads = parsed.Value("--threads"); threads && !ParseInt(*threads, 1, 256))
    return plan.Usage(std::string(kThreadsError));
  if (parsed.positional().size() != 1)
    return plan.Usage("give exactly one " + std::string(command == "analyze"  ? "drawing scan"
                                                        : command == "render" ? "sheet"
                                                                              : "composition"));
  if (command == "analyze") return PlanAnalyze(parsed, args, plan);
  if (command == "render") return PlanRender(parsed, args, plan);
  return PlanCompose(parsed, args, plan);
}

}  // namespace quenda::cli

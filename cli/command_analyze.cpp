// `quenda analyze`: the region files of a drawing sequence, or of a stretch of its frames, as
// the analyzer's batch run makes them.

#include <climits>
#include <optional>

#include "analyzer/core/batch_process.h"
#include "analyzer/core/line_settings_file.h"
#include "cli/arguments.h"
#include "cli/close_gaps_option.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "common/frame_sequence.h"
#include "common/path.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda analyze FRAME.qds [--settings FILE.rls] [--frames A-B] [--yes] [--jobs N]\n"
    "                      [--threads N] [--close-gaps N] [--keep-unchecked-paint]\n"
    "Finds the lines and regions of every drawing of the sequence that FRAME.qds belongs to\n"
    "and writes each region file beside its drawing (walk3.qds gives walk3.rgn), replacing\n"
    "any there. One line per frame: the region file, its number of regions and the time taken.\n"
    "A paint file beside a region file keeps its paint: each new region takes the colour of\n"
    "most of its pixels, and the line says how many regions changed colour or became\n"
    "unfilled; one made for other regions is set aside as NAME.pnt.stale, and so is one\n"
    "whose old region file is missing or unreadable, since nothing tells which regions it\n"
    "was made for.\n"
    "A drawing that cannot be read stops the run with the reader's message (exit code 1);\n"
    "a region file that cannot be written is reported and the run goes on (exit code 1).\n\n"
    "  --settings FILE.rls  the line settings for every frame (default: the standard ones)\n"
    "  --frames A-B         only the frames whose NUMBER, as in the file names, is A..B\n"
    "                       (3-7 takes walk3, walk3a .. walk7; 5 takes walk5 and walk5a);\n"
    "                       split runs write exactly the files of one whole run\n"
    "  --yes                answer OK to \"Process with current regions settings?\", asked\n"
    "                       when no --settings file is given: on a terminal the question\n"
    "                       waits for the answer; without one nothing is processed (exit\n"
    "                       code 2)\n"
    "  --jobs N             drawings analyzed at once (default: the cores, or\n"
    "                       SLURM_CPUS_PER_TASK); files and lines are those of --jobs 1\n"
    "  --threads N          threads inside each drawing (default: the cores divided among\n"
    "                       the --jobs, at least 1); the files are the same with any N\n"
    "  --close-gaps N       join each stroke end to a line it stops at most N pixels\n"
    "                       short of (0..20; default 0, none; 20 suits pencil at 300\n"
    "                       dpi and at 150): the joins part regions but draw nothing. N is\n"
    "                       no line setting: neither the .rls file nor the region file\n"
    "                       keeps it, so the analyzer's Load Regions and a later\n"
    "                       analysis use the analyzer's current setting, not this one\n"
    "  --keep-unchecked-paint  keep a paint file that has no old region file to check it\n"
    "                       against as it is, when it has the new region count (the\n"
    "                       region files were removed and the settings are the same)\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, names the --frames that resume the run and exits 130.\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "analyze", reason, kUsage);
}

// The indices of the frames numbered first..last; nothing when none is.
std::optional<FrameIndexRange> IndicesOfNumbers(const DrawingSequence& sequence, int first,
                                                int last) {
  FrameIndexRange range{-1, -1};
  for (int i = 0; i < sequence.frameCount; ++i) {
    const int number = sequence.frames[std::size_t(i)].number;
    if (number < first || number > last) continue;
    if (range.first < 0) range.first = i;
    range.last = i;
  }
  if (range.first < 0) return std::nullopt;
  return range;
}

int RunAnalyze(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--settings", "--frames", "--jobs", "--threads", "--close-gaps"},
                   {"--yes", "--keep-unchecked-paint"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one drawing scan");
  const std::string& picked = parsed.positional()[0];
  // A mistyped path is told as such, not as a name that breaks the naming rule.
  if (!FrameExists(picked))
    return ReportFileError(io, "analyze", picked, "the file does not exist");
  if (!IsSequenceFileName(picked)) return UsageError(io, std::string(kInvalidSequenceFileName));
  std::optional<std::pair<int, int>> numbers;
  if (auto text = parsed.Value("--frames")) {
    numbers = ParseRange(*text, 0, INT_MAX);
    if (!numbers) return UsageError(io, "--frames must be A-B, frame numbers with A <= B");
  }
  int jobs = 1;
  if (!ReadJobs(parsed.Value("--jobs"), jobs)) return UsageError(io, std::string(kJobsError));
  if (!ReadThreads(parsed.Value("--threads"), jobs))
    return UsageError(io, std::string(kThreadsError));
  int closeGaps = 0;
  if (auto text = parsed.Value("--close-gaps")) {
    auto value = ParseCloseGaps(*text);
    if (!value) return UsageError(io, std::string(kCloseGapsError));
    closeGaps = *value;
  }

  ConsolePrompt prompt(io, parsed.Has("--yes"));
  prompt.Name("analyze", picked);
  RedlineSettings settings;
  const auto settingsPath = parsed.Value("--settings");
  if (settingsPath) {
    Status loaded = LoadRedlineSettings(*settingsPath, settings);
    if (!loaded)
      return ReportFileError(io, "analyze", *settingsPath, loaded.message() + " " + *settingsPath);
  }
  if (!ConfirmBatchProcess(true, settingsPath.has_value(), prompt)) {
    io.err << FileMessage("analyze", picked,
                          prompt.unanswered()
                              ? "nothing processed: the question has no one to answer it without "
                                "a terminal; --yes answers OK, --settings FILE.rls gives the "
                                "settings"
                              : "nothing processed")
           << "\n";
    return 2;
  }
  const DrawingSequence sequence = OpenSequence(picked, TitleOf(picked));
  if (sequence.truncated > 0)
    io.err << FileMessage("analyze", picked,
                          std::to_string(sequence.truncated) + " drawings of " + sequence.name +
                              " beyond the first " + std::to_string(sequence.capacity) +
                              " are left out")
           << "\n";
  FrameIndexRange range = AllFrames(sequence);
  if (numbers) {
    auto found = IndicesOfNumbers(sequence, numbers->first, numbers->second);
    if (!found) {
      // An empty share of a split run is no failure.
      io.err << FileMessage("analyze", picked,
                            "no frame of " + sequence.name + " is numbered " +
                                std::to_string(numbers->first) + "-" +
                                std::to_string(numbers->second) + "; nothing to do")
             << "\n";
      return 0;
    }
    range = *found;
  }
  FitThreadsToFrames(parsed.Value("--threads"), jobs, range.last - range.first + 1);

  BatchObserver observer;
  // A frame's messages are about its drawing.
  observer.frameStarted = [&prompt](int, const std::string& scan) { prompt.SetFile(scan); };
  observer.frameDone = [&io](const BatchFrameReport& frame) {
    io.out << FileNameOf(frame.regionPath);
    if (frame.written) {
      io.out << "  " << frame.regions << " regions  " << frame.milliseconds << " ms";
      if (const std::string paint = PaintKeptText(frame.paint); !paint.empty())
        io.out << "  " << paint;
      io.out << "\n";
    } else
      io.out << "  not written\n";
    io.out.flush();
  };
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop);
  const UncheckedPaint unchecked =
      parsed.Has("--keep-unchecked-paint") ? UncheckedPaint::Keep : UncheckedPaint::SetAside;
  BatchResult result = RunBatchProcess(sequence, range, settings, stop.prompt(), progress, observer,
                                       jobs, closeGaps, unchecked);
  progress.Finish();
  if (result.end == BatchEnd::Stopped && stop.Interrupted()) {
    const int next = result.frames.empty() ? range.first : result.frames.back().index + 1;
    const auto numberOf = [&](int index) { return sequence.frames[std::size_t(index)].number; };
    io.err << "quenda analyze: interrupted";
    if (!result.frames.empty()) io.err << " after " << FileNameOf(result.frames.back().regionPath);
    if (next > range.last)
      io.err << "; every frame is done\n";
    else
      io.err << "; resume with --frames " << numberOf(next) << "-" << numberOf(range.last) << "\n";
    return stop.ExitCode(1);
  }
  if (result.end == BatchEnd::BadFrame) return 1;
  return result.WrittenCount() == int(result.frames.size()) ? 0 : 1;
}

}  // namespace

const Command& AnalyzeCommand() {
  static const Command kCommand{"analyze", "write the region files of a drawing sequence", kUsage,
                                RunAnalyze};
  return kCommand;
}

}  // namespace quenda::cli

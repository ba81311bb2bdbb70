#include "analyzer/core/batch_process.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <optional>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_runner.h"
#include "common/large_pages.h"
#include "common/path.h"
#include "common/region_file.h"

namespace quenda {
namespace {

constexpr std::string_view kNoMemoryForFrame =
    "Seq: Image too large: Not enough memory for buffers";

using Clock = std::chrono::steady_clock;

// The drawing of one frame, or the message that stops the run.
Result<WorkingImage> LoadFrame(const std::string& scanPath, Prompt& prompt) {
  Result<LoadedDrawingScan> loaded = ReadDrawingScan(scanPath, ScanReader::Analyzer);
  if (!loaded) return Error{loaded.message()};
  if (!loaded->idText.empty()) prompt.Message(loaded->idText);
  // The interactive load goes on with paper where the pixels ran out; a batch run would store
  // regions of that paper for the painter, so the short scan stops it instead.
  if (loaded->warning) return Error{*loaded->warning};
  DrawingScan& scan = loaded->scan;
  const int width = scan.picture.width(), height = scan.picture.height();
  return MakeWorkingImage(width, height, std::move(scan.picture.bytes()), Display::None);
}

// Lines and regions of a loaded frame, ready for its region file; false (with the failure in
// the report) when the drawing has more regions than a region file holds.
bool AnalyzeFrame(WorkingImage& image, const RedlineSettings& settings, int closeGaps,
                  BatchFrameReport& report, Prompt& prompt) {
  // Nobody watches the passes of one frame; the run reports whole frames.
  NullProgress passes;
  GenerateLines(image, settings, 0, image.width(), 0, image.height(), passes);
  (void)CloseGapsOfDrawing(image, closeGaps, passes);
  // Only the region file is wanted: the grey picture has done its work once the lines are found,
  // and nobody has painted a line of the fresh regions yet.
  ReleaseLarge(image.grey);
  Status extracted = ExtractRegions(image, settings, passes, LineColours::OneForAll);
  if (!extracted) {
    // Too many regions for a region file: no file rather than one whose numbers wrap.
    report.failure = extracted.message();
    prompt.Message(report.failure, MessageIcon::Warning);
    return false;
  }
  ResetRegionColours(image);
  report.regions = image.regions.RegionTotal();
  return true;
}

void WriteFrame(const WorkingImage& image, const std::string& paintPath, BatchFrameReport& report,
                Prompt& prompt, UncheckedPaint unchecked) {
  Result<RegionReplacement> written = ReplaceRegionsKeepingPaint(
      report.regionPath, paintPath, image.regions, RegionWriter::Analyzer, unchecked);
  if (!written) {
    report.failure = written.message();
    prompt.Message(report.failure, MessageIcon::Warning);
    return;
  }
  report.paint = std::move(*written);
  report.written = true;
}

// One frame as a worker leaves it for its turn.
struct AnalyzedFrame {
  BatchFrameReport report;
  std::optional<WorkingImage> shown;     // the drawing as loaded, for drawingLoaded
  std::optional<WorkingImage> analyzed;  // ready to write
  std::optional<std::string> stopMessage;
  std::string paintPath;
  DeferredPrompt said;
  Clock::duration took{};
};

AnalyzedFrame ComputeFrame(const DrawingSequence& sequence, const FolderListing& folder, int index,
                           const RedlineSettings& settings, int closeGaps, bool keepDrawing) {
  const auto started = Clock::now();
  AnalyzedFrame frame;
  BatchFrameReport& report = frame.report;
  report.index = index;
  report.tag = sequence.frames[std::size_t(index)];
  report.scanPath = FramePath(sequence, index, frame.said, folder);
  report.regionPath = RegionPath(sequence, index, frame.said, folder);
  frame.paintPath = PaintPath(sequence, index, frame.said, folder);
  try {
    Result<WorkingImage> image = LoadFrame(report.scanPath, frame.said);
    if (!image) {
      frame.stopMessage = image.message();
    } else {
      if (keepDrawing) frame.shown = *image;
      if (AnalyzeFrame(*image, settings, closeGaps, report, frame.said))
        frame.analyzed = std::move(*image);
    }
  } catch (const std::bad_alloc&) {
    frame.stopMessage = std::string(kNoMemoryForFrame);
  }
  frame.took = Clock::now() - started;
  return frame;
}

}  // namespace

bool ConfirmBatchProcess(bool sequenceChosen, bool settingsFileLoaded, Prompt& prompt) {
  if (!sequenceChosen) {
    prompt.Message(kSelectSequenceFirst);
    return false;
  }
  if (settingsFileLoaded) return true;
  return prompt.AskOkCancel(kProcessWithCurrentSettings);
}

std::string ProcessingFrameTitle(std::string_view scanPath, std::string_view normalTitle) {
  std::string title(normalTitle);
  title += " Processing Frame: ";
  title += scanPath;
  return title;
}

std::string PaintChangesSummary(const BatchResult& result) {
  std::string summary;
  for (const BatchFrameReport& frame : result.frames) {
    const RegionReplacement& paint = frame.paint;
    const bool unchanged = paint.paint == PaintKept::NoPaint ||
                           (paint.paint == PaintKept::Carried && paint.changedColour == 0 &&
                            paint.becameUnfilled == 0);
    if (!frame.written || unchanged) continue;
    if (!summary.empty()) summary += "\n";
    summary += FileNameOf(frame.regionPath) + ": " + PaintKeptText(paint);
  }
  return summary;
}

std::vector<std::string> UncheckedPaintFiles(const DrawingSequence& sequence,
                                             FrameIndexRange range) {
  std::vector<std::string> unchecked;
  const FolderListing folder = SequenceFolder(sequence);
  const int last = std::min(range.last, sequence.frameCount - 1);
  for (int i = std::max(range.first, 0); i <= last; ++i) {
    const FrameTag& tag = sequence.frames[std::size_t(i)];
    const std::string paint = SequenceFilePath(sequence, tag, ".pnt", folder);
    if (EntryExists(paint) && !EntryExists(SequenceFilePath(sequence, tag, ".rgn", folder)))
      unchecked.push_back(paint);
  }
  return unchecked;
}

UncheckedPaint AskAboutUncheckedPaint(const std::vector<std::string>& paintPaths, Prompt& prompt) {
  if (paintPaths.empty()) return UncheckedPaint::SetAside;
  const std::string first = FileNameOf(paintPaths.front());
  const std::size_t more = paintPaths.size() - 1;
  const bool one = more == 0;
  const std::string them = one ? "it" : "each";
  const std::string text =
      (one ? first + " has no old region file to check its paint against."
           : first + " and " + std::to_string(more) + " more paint file" + (more == 1 ? "" : "s") +
                 " have no old region file to check their paint against.") +
      " Keep " + them +
      " as it is where the new regions are as many (it may then colour other regions than it "
      "was painted on), or set " +
      them + " aside as " + (one ? first : std::string("NAME.pnt")) +
      ".stale, to take back by hand?";
  const std::optional<int> answer =
      prompt.AskChoice({"Quenda Analyzer", text, {}, {"Keep", "Set Aside"}});
  return answer == 0 ? UncheckedPaint::Keep : UncheckedPaint::SetAside;
}

int BatchResult::WrittenCount() const {
  return int(std::count_if(frames.begin(), frames.end(),
                           [](const BatchFrameReport& f) { return f.written; }));
}

BatchResult RunBatchProcess(const DrawingSequence& sequence, FrameIndexRange range,
                            const RedlineSettings& settings, Prompt& prompt, Progress& progress,
                            const BatchObserver& observer, int jobs, int closeGaps,
                            UncheckedPaint unchecked) {
  // Taken once: what the caller changes while the run goes on cannot reach later frames.
  const RedlineSettings runSettings = settings;
  const int last = std::min(range.last, sequence.frameCount - 1);
  const int first = std::max(range.first, 0);
  const int total = std::max(last - first + 1, 0);

  BatchResult result;
  // The run starts with the stop flag cleared: a press left from before is not for this run.
  (void)progress.StopRequested();
  const bool keepDrawing = bool(observer.drawingLoaded);
  progress.FramesPlanned(total);
  // Listed once for the run: each frame's region file changes the folder.
  const FolderListing folder = SequenceFolder(sequence);
  RunFramesInOrder(
      first, last, jobs,
      [&](int index) {
        return ComputeFrame(sequence, folder, index, runSettings, closeGaps, keepDrawing);
      },
      [&](int index, AnalyzedFrame& frame) {
        const auto started = Clock::now();
        BatchFrameReport& report = frame.report;
        progress.SetStage("Processing Frame: " + FileNameOf(report.scanPath));
        progress.SetPercent((index - first) * 100 / total);
        if (observer.frameStarted) observer.frameStarted(index, report.scanPath);
        if (frame.shown) observer.drawingLoaded(*frame.shown);
        frame.shown.reset();
        frame.said.Replay(prompt);
        if (frame.stopMessage) {
          prompt.Message(*frame.stopMessage);
          result.end = BatchEnd::BadFrame;
          result.badFrameMessage = std::move(*frame.stopMessage);
          return false;
        }
        if (frame.analyzed) WriteFrame(*frame.analyzed, frame.paintPath, report, prompt, unchecked);
        report.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  frame.took + (Clock::now() - started))
                                  .count();
        result.frames.push_back(report);
        if (observer.frameDone) observer.frameDone(result.frames.back());
        progress.SetPercent((index - first + 1) * 100 / total);
        progress.FrameCommitted(report.tag.number, report.regionPath);

        if (progress.StopRequested() && prompt.AskOkCancel(kStopFindingRegions)) {
          result.end = BatchEnd::Stopped;
          return false;
        }
        return true;
      });
  return result;
}

}  // namespace quenda

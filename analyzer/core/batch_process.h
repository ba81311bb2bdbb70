#pragma once
// Batch processing: the region file of every drawing of a sequence (or of a stretch of it) in
// one run. Each frame is loaded, its lines generated and its regions extracted over the whole
// drawing, and its region file written beside the drawing scan.
//
// The line settings are taken once, when the run starts, and used for every frame; they are
// also the settings stored in every region file, so the files of one run always agree.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/core/working_image.h"
#include "common/frame_sequence.h"
#include "common/paint_carry.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/redline_settings.h"

namespace quenda {

inline constexpr std::string_view kSelectSequenceFirst = "You must select a sequence first";
inline constexpr std::string_view kProcessWithCurrentSettings =
    "Process with current regions settings?";
inline constexpr std::string_view kStopFindingRegions =
    "Are you sure, you will stop finding regions?";
// The analyzer's window title when it is not processing.
inline constexpr std::string_view kAnalyzerTitle =
    "Compatible Scanner :: Quenda Animation Paint System";

// The checks of the batch dialog's PROCESS button: true when the run may start. Without a
// sequence the user is told to select one; when no settings file was loaded in the dialog the
// user confirms the current settings (Cancel keeps the dialog open).
bool ConfirmBatchProcess(bool sequenceChosen, bool settingsFileLoaded, Prompt& prompt);

// "<title> Processing Frame: <path>", the window title while a frame is processed.
std::string ProcessingFrameTitle(std::string_view scanPath,
                                 std::string_view normalTitle = kAnalyzerTitle);

// Frame indices first..last (from 0, inclusive) of a sequence.
struct FrameIndexRange {
  int first = 0;
  int last = -1;
};
inline FrameIndexRange AllFrames(const DrawingSequence& sequence) {
  return {0, sequence.frameCount - 1};
}

// What became of one frame.
struct BatchFrameReport {
  int index = 0;  // into sequence.frames
  FrameTag tag;
  std::string scanPath;
  std::string regionPath;
  int regions = 0;           // regions found, the background included (the file's regionCount + 1)
  int64_t milliseconds = 0;  // loading, lines, regions and writing
  bool written = false;
  std::string failure;  // why no region file was written; empty when written
  // The paint file beside the region file: carried to the new regions, or set aside.
  RegionReplacement paint;
};

enum class BatchEnd {
  Finished,  // every frame of the range was processed
  Stopped,   // the user confirmed STOP
  BadFrame,  // a drawing scan was missing or unreadable; that frame has no report
};

struct BatchResult {
  BatchEnd end = BatchEnd::Finished;
  std::vector<BatchFrameReport> frames;  // in the order processed
  std::string badFrameMessage;           // the reader's message when end is BadFrame
  int WrittenCount() const;
};

// For the window, which has no line per frame: one line for each frame whose paint did not stay
// exactly as it was ("walk3.rgn: paint kept: 2 regions changed colour, 0 became unfilled"), or
// nothing when every frame kept its paint unchanged.
std::string PaintChangesSummary(const BatchResult& result);

// The paint files of `range` (cut to the sequence) with no old region file beside them to
// check them against, in frame order: a run sets them aside unless told to keep them. A region
// file there that does not read is not looked into; its paint is set aside as ever.
std::vector<std::string> UncheckedPaintFiles(const DrawingSequence& sequence,
                                             FrameIndexRange range);
// Asked once before a run when `paintPaths` (UncheckedPaintFiles) holds any, naming the first
// and how many: "Keep" or "Set Aside". Set Aside when there are none, and when no one answers.
UncheckedPaint AskAboutUncheckedPaint(const std::vector<std::string>& paintPaths, Prompt& prompt);

// Hooks for the program's window; each may be left empty.
struct BatchObserver {
  // Before a frame is loaded (the analyzer sets ProcessingFrameTitle here).
  std::function<void(int index, const std::string& scanPath)> frameStarted;
  // The drawing just loaded, before line generation (the analyzer shows the grey drawing).
  std::function<void(const WorkingImage& image)> drawingLoaded;
  // After the frame's region file was written or refused.
  std::function<void(const BatchFrameReport& report)> frameDone;
};

// Runs over the frames of `range` (cut to the sequence) in order, with `settings` for all.
//
// - Progress gets one stage text per frame ("Processing Frame: walk3.qds") and the percentage
//   of frames done; STOP is read once after each frame, and a Progress answers true when STOP
//   was pressed since it was last read (so reading clears it). It is also read once before the
//   first frame, so that a press left from before the run is dropped. When it was pressed the user
//   is asked kStopFindingRegions: OK ends the run after that frame, Cancel goes on.
// - A drawing scan that cannot be opened or read, or whose pixel data ends early, stops the run
//   at that frame with the reader's message; region files written before stay. A short scan is
//   not processed, since its region file would describe paper the drawing never had.
// - A region file that cannot be written, and a drawing with more regions than a region file
//   holds, show their message; that frame gets no new file and the run goes on.
// Every message and question goes through `prompt`. Existing region files are replaced
// without asking; a paint file beside one keeps its paint on the new regions and is written
// with the new region file (common/paint_carry.h).
// Up to `jobs` frames are analyzed at once, ahead of the one being written; the files, messages,
// reports and observer calls are those of a one-job run, in frame order, all on the calling
// thread (frames analyzed ahead of a stop are dropped).
// Gaps of up to `closeGaps` pixels in every frame's lines are closed (0: none), as Mark Regions
// closes them. A paint file without an old region file to check it against is set aside,
// unless `unchecked` keeps it (see ReplaceRegionsKeepingPaint).
BatchResult RunBatchProcess(const DrawingSequence& sequence, FrameIndexRange range,
                            const RedlineSettings& settings, Prompt& prompt, Progress& progress,
                            const BatchObserver& observer = {}, int jobs = 1, int closeGaps = 0,
                            UncheckedPaint unchecked = UncheckedPaint::SetAside);

}  // namespace quenda

#pragma once
// Painting a whole sequence in the analyzer: the frames' files (drawing scan, region file and
// paint file), the "Frame No?" entry, auto fill from another frame by the region vote, and the
// render of painted frames to 32-bit Targa files. Plain functions on plain values; the document
// holds the frame in hand and shows what they report.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/core/working_image.h"
#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/result.h"

namespace quenda {

inline constexpr std::string_view kOpenBaseFileFirst = "You must open the base file first";
inline constexpr std::string_view kProcessWithCurrentColorModel =
    "Process with current color model?";
inline constexpr std::string_view kExitSequencePaintQuestion =
    "Are you sure you want to exit sequence paint?";
inline constexpr std::string_view kSequenceImageMissing = "Fatal: Image file does not exist:";
inline constexpr std::string_view kSequenceRegionMissing = "Fatal: region file does not exist:";
inline constexpr std::string_view kSequenceSizesDiffer =
    "Fatal: Image and region sizes does not match:";
inline constexpr std::string_view kSequencePaintUnreadable = "Fatal: paint file can not be opened:";
inline constexpr std::string_view kSequencePaintNotWritten =
    "Fatal: Error opening paint file writing\n";
inline constexpr std::string_view kEnterFrameNumber = "You must enter a frame number";
inline constexpr std::string_view kFrameValueTooHigh = "Value to high!";
inline constexpr std::string_view kFrameOutOfRange = "Frame out of range";
inline constexpr std::string_view kAutoFillInSingleFrame =
    "Can not autopaint in single frame paint!";
inline constexpr std::string_view kAutoFillFirstFrame = "Can not autopaint first frame!";
inline constexpr std::string_view kAutoFillSameFrame = "Can not autopaint with the same frame!";
inline constexpr std::string_view kSourceImageMissing = "Previous frame image file does not exist!";
inline constexpr std::string_view kSourceRegionsMissing = "Previous frame regions does not exist!";
inline constexpr std::string_view kSourcePaintMissing = "Previous frame paint data does not exist!";
inline constexpr std::string_view kRenderHeaderInvalid = "You must give a valid header";
inline constexpr std::string_view kRenderEntryInvalid = "Invalid entry";
inline constexpr std::string_view kRenderEndBeforeStart = "End no must be greater than start no";
inline constexpr std::string_view kRenderRangeInvalid = "Invalid render range";
inline constexpr std::string_view kRenderNotAllPainted =
    "You have not painted all requested frames, continue?";
inline constexpr std::string_view kRenderFilesMissing =
    "Fatal: At least one of the image or region file does not exist";
inline constexpr std::string_view kRenderCancelled = "Render Cancelled!";
inline constexpr std::string_view kRenderSelectionTitle = "Quenda: Render Sequence: Selection";
inline constexpr std::string_view kPaintSelectionTitle = "Quenda: Paint Sequence: Selection";

// "Fatal error: <what> \n<path>", how a frame that cannot be loaded is reported.
std::string SequenceFatalMessage(std::string_view what, std::string_view path);
// "<title>::Painting Frame--> <name><frame text>".
std::string PaintingFrameTitle(const DrawingSequence& sequence, int index);
// "<title> Rendering Frame: <number>".
std::string RenderingFrameTitle(int frameNumber);

// One frame of the sequence as loaded: the drawing with its regions and paints, the grey
// stretched with the region file's clamps, and where the drawing lies on the peg bar.
struct FramePlacement {
  int peg = 0;
  int originX = 0;
  int originY = 0;
};
// What a frame's files held when it was loaded or last written. A frame is written back only
// where it differs, so that paint the analyzer cannot show (colours beyond its set) is never
// rewritten by a frame that was only looked at.
struct SequenceFrameFiles {
  std::vector<int32_t> regionColor;
  RegionData regions;
  bool paintStale = false;  // the paint file was made for other regions: set aside before new
                            // paint replaces it
};
struct SequenceFrame {
  WorkingImage image;
  RedlineSettings settings;  // the region file's
  FramePlacement placement;
  SequenceFrameFiles onDisk;
};

// The painted regions of a frame as its region colours tell, for the unfilled count and the
// paint file's painted count: regionCount less the regions that carry the unfilled colour.
int PaintedRegionCount(const WorkingImage& image);

// Reads frame `index`: the drawing scan and region file must exist, the region file must match
// the drawing's size; the paint file is read when there is one, else region 1 is transparent
// and the rest unfilled. The filled count is counted from the colours, whatever the file
// stores. A paint file made for other regions is told (naming it and its region file) and reads
// as no paint. Every failure is shown through `prompt` and returned; nothing is kept of a frame
// that failed.
Result<SequenceFrame> LoadSequenceFrame(const DrawingSequence& sequence, int index,
                                        const ColorSet& colors, Prompt& prompt);

// The paint file (with the painted count) and then the region file of the frame in hand, each
// only when it differs from `onDisk`, which then follows what was written. A stale paint file is
// moved aside before new paint is written. A paint file that cannot be written is reported and
// the region file is left alone.
Status SaveSequenceFrame(const WorkingImage& image, const DrawingSequence& sequence, int index,
                         SequenceFrameFiles& onDisk, Prompt& prompt);

// "The colour set /a/walk.col holds 57 colours, more than the 40 the analyzer paints with; paint
// this sequence in the painter, or its other colours would be lost."
std::string ColorSetTooLargeText(const std::string& path, int count);
// "/a/walk.col was not written: it holds 12 colours and the analyzer's set only 8."
std::string ColorSetKeptText(const std::string& path, int fileCount, int count);

// The "Frame No?" entry: a frame number, a letter after it for an inserted frame. Gives the
// frame's index, or the message: nothing typed, a number above the sequence's last frame, or no
// frame of that number.
Result<int> FrameNumberEntry(std::string_view text, const DrawingSequence& sequence);

// Auto fill of `target` (placed on the peg bar by `placement`) from frame
// `sourceIndex`: its drawing scan header, region map and paint file, which must all exist.
// Takes the undo copy of the region colours, gives every region the colour of the source region
// that covers most of it, and counts the unfilled regions that received a colour. A refusal is
// shown and changes nothing.
Status AutoFillFromFrame(WorkingImage& target, const FramePlacement& placement,
                         const DrawingSequence& sequence, int sourceIndex, const ColorSet& colors,
                         Prompt& prompt);

// The render dialog's fields as typed.
struct RenderEntries {
  std::string directory;  // the output directory; empty for the sequence's own
  std::string header;
  std::string startText;
  std::string endText;
};

struct RenderRequest {
  std::string directory;  // ends with a separator unless empty
  std::string header;
  std::vector<int> frames;  // indices into the sequence, ascending
};

// The dialog's checks in order: a header of letters only, two numbers, start not above end,
// both within the sequence's first and last frame numbers (and at least one frame between them).
Result<RenderRequest> CheckRenderEntries(const RenderEntries& entries,
                                         const DrawingSequence& sequence);
// The requested frames that have no paint file.
std::vector<int> UnpaintedFrames(const RenderRequest& request, const DrawingSequence& sequence);
// directory + header + frame text + ".tga".
std::string RenderOutputPath(const RenderRequest& request, const FrameTag& tag);

struct RenderResult {
  int written = 0;
  bool cancelled = false;
  bool failed = false;
};

struct RenderObserver {
  // Before a frame is loaded (the window sets RenderingFrameTitle here).
  std::function<void(int index, const FrameTag& tag)> frameStarted;
};

// Loads, composites, filters and writes every requested frame in order. A frame whose drawing
// scan or region file is missing ends the run with kRenderFilesMissing; STOP, read after each
// frame, ends it with kRenderCancelled. Reads only files, `sequence` and `colors`, so it may run
// on a worker thread.
RenderResult RunRenderSequence(const DrawingSequence& sequence, const RenderRequest& request,
                               const ColorSet& colors, Prompt& prompt, Progress& progress,
                               const RenderObserver& observer = {});

}  // namespace quenda

#include "painter/core/painter_doc.h"

#include <algorithm>
#include <cstdio>

#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"
#include "painter/core/frame_composition.h"
#include "painter/core/next_unpainted.h"

namespace quenda {

std::string FramesLeftOutText(int capacity, int leftOut) {
  return "Only the first " + std::to_string(capacity) + " frames were opened; " +
         std::to_string(leftOut) + (leftOut == 1 ? " frame was" : " frames were") + " left out.";
}

ChoiceQuestion FrameNotSavedQuestion(std::string_view frameName) {
  return {std::string(kFrameNotSavedCaption),
          "The changes to " + std::string(frameName) + " could not be saved.",
          {},
          {"Retry", "Discard", "Stay"}};
}

CPainterDoc::CPainterDoc(Prompt& prompt) : prompt_(prompt) {}

CPainterDoc::~CPainterDoc() {
  // The views may be gone already; the frame is still saved. Nobody can stay any more, so
  // there is no question; after a refused close the failure has been told already.
  ForgetListeners();
  if (!closeRefused_) SaveCurrentFrame();
}

void CPainterDoc::UpdateAllViews(PainterHint hint, ImageRect rect, int region) {
  UpdateAllViews(PainterUpdate{hint, rect, region});
}

bool CPainterDoc::OpenSequence() {
  recentFileNote_ = RecentFileNote::None;
  auto picked = prompt_.PickFile(kOpenSequenceTitle, kDrawingFileFilter, directory());
  if (!picked) return false;
  return OpenSequenceFile(*picked);
}

bool CPainterDoc::OpenSequenceFile(const std::string& path, SequenceStart start) {
  recentFileNote_ = RecentFileNote::None;
  if (!IsSequenceFileName(path)) {
    prompt_.Message(kInvalidSequenceFileName, MessageIcon::Error);
    return false;
  }
  recentFilePath_ = path;
  recentFileNote_ = RecentFileNote::Add;
  // A recent-file entry or a typed path may name a drawing that is gone; offering it again
  // would only bring the same message.
  if (!FrameExists(path)) {
    recentFileNote_ = RecentFileNote::Drop;
    prompt_.Message(std::string(kImageMissing) + path, MessageIcon::Error);
    return false;
  }
  // Everything is checked before anything of the open sequence is replaced, so a refused
  // sequence leaves the current one exactly as it was.
  DrawingSequence next = quenda::OpenSequence(path, TitleOf(path), kPainterSequenceCapacity);
  if (next.frameCount == 0) {
    recentFileNote_ = RecentFileNote::Drop;
    prompt_.Message(std::string(kImageMissing) + path, MessageIcon::Error);
    return false;
  }
  const FolderListing folder = SequenceFolder(next);  // listed once for all frames
  for (int i = 0; i < next.frameCount; ++i) {
    if (!FileOpensForReading(SequenceFilePath(next, next.frames[i], ".rgn", folder))) {
      prompt_.Message(kUnprocessedFrames, MessageIcon::Error);
      return false;
    }
  }
  if (sequenceOpen_ && !LeaveCurrentFrame()) return false;
  sequence_ = std::move(next);
  LoadColorSet(colors_, ColorSetPath(sequence_), prompt_);
  onDisk_.Clear();
  heldFrame_ = {};
  onDisk_.Remember(ColorSetPath(sequence_));
  sequenceOpen_ = true;
  int first = 0;
  if (start == SequenceStart::NamedDrawing) {
    const FrameTag named = ParseFrameTag(FileNameOf(path));
    auto found = std::find(sequence_.frames.begin(), sequence_.frames.end(), named);
    if (found != sequence_.frames.end()) first = int(found - sequence_.frames.begin());
  }
  currentFrame_ = first;
  currentColor_ = 0;
  viewMode_ = ViewMode::RegionsPainted;
  tool_ = PainterTool::RegionFill;
  brushSize_ = kDefaultBrushSize;
  iconsStale_ = false;
  penActive_ = false;
  GoToFrame(first, PainterHint::SequenceOpened);
  UpdateAllViews(PainterHint::FrameChanged);
  if (sequence_.truncated > 0)
    prompt_.Message(FramesLeftOutText(sequence_.capacity, sequence_.truncated),
                    MessageIcon::Warning);
  return true;
}

FramePaths CPainterDoc::PathsOf(int index) const {
  if (index < 0 || index >= sequence_.frameCount) return {};
  const FrameTag& tag = sequence_.frames[index];
  return {SequenceFilePath(sequence_, tag, ".qds"), SequenceFilePath(sequence_, tag, ".rgn"),
          SequenceFilePath(sequence_, tag, ".pnt")};
}

bool CPainterDoc::LoadFrameInto(PainterFrame& target, int index) {
  if (index < 0 || index >= sequence_.frameCount) {
    prompt_.Message(kIllegalFrameNumber, MessageIcon::Error);
    target = PainterFrame{};
    return false;
  }
  return LoadPainterFrame(target, PathsOf(index), colors_.count, prompt_);
}

void CPainterDoc::GoToFrame(int index, PainterHint hint) {
  currentFrame_ = index;
  selectedRegion_ = 0;
  penActive_ = false;
  frameLoaded_ = LoadFrameInto(frame_, index);
  HoldFrameFiles();
  referenceLoaded_ = false;
  referencePicture_ = Raster();
  UpdateAllViews(hint);
}

CPainterDoc::FrameWrite CPainterDoc::WriteCurrentFrame() {
  if (!sequenceOpen_) return FrameWrite::Written;
  if (iconsStale_) {
    UpdateAllViews(PainterHint::RedrawIcons);
    iconsStale_ = false;
  }
  // A frame that failed to load holds nothing, so nothing is written under its name.
  const FrameWrite written = frameLoaded_ ? WriteFrameFiles() : FrameWrite::Written;
  if (written == FrameWrite::Failed) ++failedFrameSaves_;
  UpdateAllViews(PainterHint::FrameSaved);
  return written;
}

bool CPainterDoc::SaveCurrentFrame() {
  return WriteCurrentFrame() == FrameWrite::Written;
}

bool CPainterDoc::LeaveCurrentFrame() {
  for (;;) {
    const FrameWrite written = WriteCurrentFrame();
    if (written == FrameWrite::Written) return true;
    // Cancelled before saving over another program's files: the user stays on the frame.
    if (written == FrameWrite::Kept) return false;
    const std::string frameName =
        sequence_.name + FormatFrameTag(sequence_.frames[std::size_t(currentFrame_)]);
    const std::optional<int> answer = prompt_.AskChoice(FrameNotSavedQuestion(frameName));
    if (answer == kRetrySave) continue;
    if (answer != kDiscardChanges) return false;
    // The strip already shows the files; the frame is left before its memory is shown again.
    frame_.paintChanged = frame_.regionChanged = false;
    return true;
  }
}

bool CPainterDoc::SelectFrame(int index) {
  if (!sequenceOpen_ || index < 0 || index >= sequence_.frameCount || index == currentFrame_)
    return false;
  if (!LeaveCurrentFrame()) return false;
  GoToFrame(index);
  return true;
}

bool CPainterDoc::NextUnpainted() {
  if (!sequenceOpen_) return false;
  const int speckSize = autoPaintOptions_.speckSize;
  for (int index : NextUnpaintedOrder(currentFrame_, sequence_.frameCount)) {
    UnpaintedRegion found;
    if (index == currentFrame_) {
      if (frameLoaded_) found = LargestUnpaintedRegion(frame_, speckSize);
    } else if (auto other = ReadFramePaint(PathsOf(index), colors_.count)) {
      // A drawing whose files do not read is passed over; going to it says what is wrong.
      found = LargestUnpaintedRegion(*other, speckSize);
    }
    if (!found) continue;
    if (index != currentFrame_ && !SelectFrame(index)) return false;
    selectedRegion_ = found.region;
    UpdateAllViews(PainterHint::SelectRegion, WholeImage(frame_.width, frame_.height),
                   found.region);
    return true;
  }
  prompt_.Message(kNothingUnpaintedText, MessageIcon::Information);
  return false;
}

bool CPainterDoc::CanGoForward() const {
  return sequenceOpen_ && currentFrame_ < sequence_.frameCount - 1;
}

bool CPainterDoc::CanGoBack() const {
  return sequenceOpen_ && currentFrame_ > 0;
}

bool CPainterDoc::NextFrame() {
  return CanGoForward() && SelectFrame(currentFrame_ + 1);
}

bool CPainterDoc::PreviousFrame() {
  return CanGoBack() && SelectFrame(currentFrame_ - 1);
}

bool CPainterDoc::FirstFrame() {
  return CanGoBack() && SelectFrame(0);
}

bool CPainterDoc::LastFrame() {
  return CanGoForward() && SelectFrame(sequence_.frameCount - 1);
}

bool CPainterDoc::Undo() {
  if (!CanEdit() || !UndoLastChange(frame_)) return false;
  UpdateAllViews(PainterHint::RedrawAll);
  return true;
}

bool CPainterDoc::Close() {
  closeRefused_ = sequenceOpen_ && !LeaveCurrentFrame();
  return !closeRefused_;
}

std::optional<std::string> CPainterDoc::PaintedStateText() const {
  if (!sequenceOpen_) return std::nullopt;
  return FramePaintedStateText(currentFrame_);
}

std::optional<std::pair<int, int>> CPainterDoc::UnfilledOf(int index, bool unsaved) const {
  const FramePaths paths = PathsOf(index);
  // The paths are resolved already: looking again for another case would list the folder.
  if (paths.paint.empty() || !FileOpensForReading(paths.paint)) return std::nullopt;
  if (index == currentFrame_ && frameLoaded_ && (unsaved || !frameModified()))
    return std::pair{CountUnfilledRegions(frame_), frame_.region.RegionTotal()};
  auto header = ReadDrawingScanHeader(paths.scan, ScanReader::Painter);
  if (!header) return std::nullopt;
  auto map = ReadRegionMap(paths.region, header->width, header->height, RegionReader::Painter);
  if (!map) return std::nullopt;
  auto paint = ReadPaintFile(paths.paint, map->regionCount, colors_.count);
  if (!paint) return std::nullopt;
  int unfilled = 0;
  for (std::size_t r = kBackgroundRegion; r < paint->regionColor.size(); ++r)
    if (paint->regionColor[r] == kUnfilledColor) ++unfilled;
  return std::pair{unfilled, map->regionCount + 1};
}

std::string CPainterDoc::FramePaintedStateText(int index) const {
  const auto counts = UnfilledOf(index);
  if (!counts) return std::string(kNoPaintInfo);
  const auto [unfilled, total] = *counts;
  if (unfilled == 0) return std::string(kAllRegionsPainted);
  if (unfilled == total) return std::string(kNoRegionPainted);
  char text[64];
  std::snprintf(text, sizeof text, "%d regions not painted", unfilled);
  return std::string(text);
}

PaintState CPainterDoc::FramePaintState(int index) const {
  // The strip's mark tells what is on disk, like its icon.
  const auto counts = UnfilledOf(index, false);
  if (!counts) {
    const FramePaths paths = PathsOf(index);
    // A paint file that is there but whose frame does not read counts as unpainted.
    return !paths.paint.empty() && FileOpensForReading(paths.paint) ? PaintState::SomeUnpainted
                                                                    : PaintState::NoPaintFile;
  }
  return counts->first == 0 ? PaintState::AllPainted : PaintState::SomeUnpainted;
}

Raster CPainterDoc::FrameIcon(int index, int side) const {
  // A frame whose paint did not reach its files must not look saved in the strip.
  if (index == currentFrame_ && frameLoaded_ && !frameModified())
    return ComposeFrameIcon(frame_.region, frame_.regionColor, colors_, side);
  return ReadFrameIcon(PathsOf(index), colors_, side).icon;
}

void CPainterDoc::SetTool(PainterTool tool) {
  if (!sequenceOpen_) return;
  tool_ = tool;
  viewMode_ = ModeForTool(tool);
  penActive_ = false;
  UpdateAllViews(PainterHint::StateChanged);
  UpdateAllViews(PainterHint::RedrawAll);
}

bool CPainterDoc::IsViewModeEnabled(ViewMode mode) const {
  if (!sequenceOpen_) return false;
  switch (mode) {
    case ViewMode::RegionLine:
      return tool_ == PainterTool::RegionPen;
    case ViewMode::RegionsPainted:
    case ViewMode::XRay:
      return tool_ == PainterTool::RegionFill;
    case ViewMode::Composited:
      return true;
  }
  return false;
}

bool CPainterDoc::SetViewMode(ViewMode mode) {
  if (!IsViewModeEnabled(mode)) return false;
  viewMode_ = mode;
  UpdateAllViews(PainterHint::StateChanged);
  UpdateAllViews(PainterHint::RedrawAll);
  return true;
}

void CPainterDoc::SetBrushSize(int size) {
  if (!sequenceOpen_ || size < kMinBrushSize || size > kMaxBrushSize) return;
  brushSize_ = size;
  UpdateAllViews(PainterHint::StateChanged);
}

void CPainterDoc::SetCurrentColor(int index) {
  // Entries 1 and 2 are not listed, so no tool paints with them.
  if (!sequenceOpen_ || index < 0 || index >= colors_.count || index == kUnfilledColor ||
      index == kLineColor)
    return;
  currentColor_ = index;
  UpdateAllViews(PainterHint::StateChanged);
}

}  // namespace quenda

// The tools of paint mode: each gesture hands the drawing's region data to a common painting
// tool, keeps the unfilled count and the one undo (the old values of what a gesture changes),
// and redraws what changed.
#include <algorithm>
#include <charconv>

#include "analyzer/core/analyzer_doc.h"

namespace quenda {
namespace {

BrushAction ActionFor(PaintTool tool) {
  switch (tool) {
    case PaintTool::Rubber:
    case PaintTool::RubberRect:
      return BrushAction::RubOut;
    case PaintTool::UnRubber:
    case PaintTool::UnRubberRect:
      return BrushAction::UnRub;
    default:
      return BrushAction::PaintLine;
  }
}

bool IsBrushTool(PaintTool tool) {
  return tool == PaintTool::Rubber || tool == PaintTool::UnRubber || tool == PaintTool::AnimBrush;
}

bool IsRectTool(PaintTool tool) {
  return tool == PaintTool::AnimBrushRect || tool == PaintTool::RubberRect ||
         tool == PaintTool::UnRubberRect;
}

}  // namespace

void CAnalyzerDoc::SetPaintTool(PaintTool tool) {
  tool_ = tool;
  Notify(AnalyzerHint::StateChanged);
  SetViewMode(ModeForTool(tool));
}

void CAnalyzerDoc::SetViewMode(ViewMode mode) {
  if (mode == viewMode_) return;
  viewMode_ = mode;
  if (painting_) ShowPaintAndRedraw(WholeImage(image_.width(), image_.height()));
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::SetBrushSize(int size) {
  brushSize_ = std::clamp(size, kMinBrushSize, kMaxBrushSize);
  Notify(AnalyzerHint::StateChanged);
}

Status CAnalyzerDoc::BrushSizeEntry(std::string_view text) {
  constexpr std::string_view kBrushSizeRange = "Brush Size must be between 1 and 6";
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int size = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, size);
  if (text.empty() || error != std::errc() || stop != end || size < kMinBrushSize ||
      size > kMaxBrushSize) {
    prompt_.Message(kBrushSizeRange);
    return Error{std::string(kBrushSizeRange)};
  }
  SetBrushSize(size);
  return Status::Ok();
}

void CAnalyzerDoc::AutoPaintFromTools() {
  if (sequence_)
    (void)AutoFillPrevious();  // a refusal has been shown
  else if (painting_)
    prompt_.Message("Can not autopaint in single frame paint!");
}

void CAnalyzerDoc::TakePaintUndo(int kind) {
  journal_.Stop();
  undo_.Take({MakePaintUndoCopy({image_.regions, image_.regionColor}, kind), image_.filledCount});
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::TakeJournalledUndo(int kind) {
  PaintUndo undo;
  undo.copy.kind = kind;
  undo.filledCount = image_.filledCount;
  undo_.Take(std::move(undo));
  journal_.Begin(kind, image_.width(), image_.height());
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::JournalBefore(const ImageRect& area) {
  if (undo_.get() != nullptr) journal_.Keep(image_.regions, area);
}

void CAnalyzerDoc::KeepPaintUndoChanges() {
  PaintUndo* undo = undo_.get();
  if (journal_.active())
    journal_.Finish(image_.regions, undo ? &undo->copy : nullptr);
  else if (undo)
    KeepPaintUndoDifferences({image_.regions, image_.regionColor}, undo->copy);
}

bool CAnalyzerDoc::UndoPaint() {
  if (!painting_) return false;
  // Undone during a stroke: what it changed so far.
  if (journal_.active()) KeepPaintUndoChanges();
  std::optional<PaintUndo> undo = undo_.Release();
  if (!undo) return false;
  RestorePaintUndoCopy({image_.regions, image_.regionColor}, std::move(undo->copy));
  image_.filledCount = undo->filledCount;
  ShowPaintAndRedraw(WholeImage(image_.width(), image_.height()));
  SetPaintTitle();
  Notify(AnalyzerHint::StateChanged);
  return true;
}

void CAnalyzerDoc::PaintPress(ImagePoint image, ImagePoint window, PaintButton button) {
  if (!painting_ || button_ != PaintButton::None || button == PaintButton::None) return;
  button_ = button;
  gestureTool_ = tool_;
  pressImage_ = lastImage_ = image;
  pressWindow_ = window;
  strokeRefused_ = false;
  if (button != PaintButton::Left) return;
  if (gestureTool_ == PaintTool::RegionPen) strokeBox_ = StrokeBox::At(image);
  if (IsBrushTool(gestureTool_)) TakeJournalledUndo(UndoKindFor(ActionFor(gestureTool_)));
}

void CAnalyzerDoc::PaintMove(ImagePoint image) {
  if (!painting_ || button_ != PaintButton::Left) return;
  const ImagePoint from = lastImage_;
  lastImage_ = image;
  if (gestureTool_ == PaintTool::RegionPen) {
    const ImageRect drawn = DrawPenLine(image_.regions, from, image);
    strokeBox_.Extend(image);
    if (drawn.IsEmpty()) return;
    // The copy cannot know of the new lines: restoring it would undo more than one step.
    undo_.Drop();
    ShowPaintAndRedraw(drawn);
    return;
  }
  if (!IsBrushTool(gestureTool_)) return;
  if (gestureTool_ == PaintTool::AnimBrush && currentColor_ == kTransparentColor) {
    if (!strokeRefused_) prompt_.Message(kTransparentBrushMessage, MessageIcon::Warning);
    strokeRefused_ = true;
    return;
  }
  // The segment's stamps lie inside the box of its two ends' footprints.
  JournalBefore(UniteRects(BrushFootprint(from, brushSize_), BrushFootprint(image, brushSize_)));
  ShowPaintAndRedraw(StampSegment({image_.regions, image_.regionColor}, from, image, brushSize_,
                                  ActionFor(gestureTool_), currentColor_));
}

void CAnalyzerDoc::PaintRelease(ImagePoint image, ImagePoint window) {
  if (!painting_ || button_ == PaintButton::None) return;
  const PaintButton button = std::exchange(button_, PaintButton::None);
  const PaintTarget target{image_.regions, image_.regionColor};
  const ImageRect whole = WholeImage(image_.width(), image_.height());
  if (button == PaintButton::Right) {
    if (gestureTool_ == PaintTool::RegionFill) {
      if (auto color = PickColorAt(image_.regions, image_.regionColor, image))
        SetCurrentColor(*color);
    } else if (gestureTool_ == PaintTool::RegionPen) {
      PenRelease(image, /*gapClose=*/true);
    }
    return;
  }
  switch (gestureTool_) {
    case PaintTool::RegionFill:
      RegionFillRelease(image, window);
      break;
    case PaintTool::AnimFill: {
      if (!target.Contains(image)) break;
      // The line a fill follows may cross the whole drawing: its undo keeps only its tiles.
      const std::vector<std::size_t> reached = AnimFillPixels(image_.regions, image, currentColor_);
      TakeJournalledUndo(kUndoAnimColors);
      journal_.KeepPixels(image_.regions, reached);
      ShowPaintAndRedraw(PaintLinePixels(target, reached, currentColor_));
      KeepPaintUndoChanges();
      break;
    }
    case PaintTool::RegionPen:
      PenRelease(image, /*gapClose=*/false);
      break;
    default:
      // A stroke is complete on release: its undo keeps only the pixels it changed.
      if (IsBrushTool(gestureTool_)) KeepPaintUndoChanges();
      if (!IsRectTool(gestureTool_)) break;
      if (gestureTool_ == PaintTool::AnimBrushRect && currentColor_ == kTransparentColor) {
        prompt_.Message(kTransparentBrushMessage, MessageIcon::Warning);
        break;
      }
      TakeJournalledUndo(UndoKindFor(ActionFor(gestureTool_)));
      JournalBefore(DragRect(image_.width(), image_.height(), pressImage_, image));
      if (!ApplyRectTool(target, pressImage_, image, ActionFor(gestureTool_), currentColor_)
               .IsEmpty())
        ShowPaintAndRedraw(whole);
      KeepPaintUndoChanges();
      break;
  }
}

void CAnalyzerDoc::RegionFillRelease(ImagePoint image, ImagePoint window) {
  if (IsClickDrag(window.x - pressWindow_.x, window.y - pressWindow_.y)) {
    FillRegionAt(image.x, image.y);
    return;
  }
  TakePaintUndo(kUndoRegionColors);
  const RegionFillResult fill = FillRegionsInside({image_.regions, image_.regionColor}, pressImage_,
                                                  image, currentColor_, viewMode_);
  image_.filledCount += fill.filled;
  ShowPaintAndRedraw(fill.redraw);
  SetPaintTitle();
}

void CAnalyzerDoc::PenRelease(ImagePoint image, bool gapClose) {
  const PaintTarget target{image_.regions, image_.regionColor};
  if (gapClose) {
    const GapResult gaps = CloseGaps(target, pressImage_, image);
    if (!gaps.ran) return;
    // Pen flags are gone and lines may have been added: an older flags copy no longer fits.
    undo_.Drop();
    SplitDone(gaps.split);
    ShowPaintAndRedraw(WholeImage(image_.width(), image_.height()));
    return;
  }
  PaintMove(image);
  SplitDone(SplitRegions(target, strokeBox_));
}

void CAnalyzerDoc::SplitDone(const SplitResult& split) {
  if (split.regionsAdded == 0) return;
  undo_.Drop();
  // Every new piece has the colour of the region it came from: a painted one is painted.
  for (std::size_t i = 1; i < split.shownRegions.size(); i += 2)
    if (image_.regionColor[std::size_t(split.shownRegions[i])] != kUnfilledColor)
      ++image_.filledCount;
  image_.regionColorUndo.resize(image_.regionColor.size(), 0);
  ShowPaintAndRedraw(WholeImage(image_.width(), image_.height()));
  SetPaintTitle();
  Notify(AnalyzerHint::StateChanged);
}

}  // namespace quenda

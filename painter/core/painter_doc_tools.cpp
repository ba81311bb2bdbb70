// The painting commands of the document: each hands the loaded frame to a tool operation and
// tells the views what to redraw. Nothing is changed after a frame failed to load.
#include "painter/core/painter_doc.h"

namespace quenda {
namespace {

BrushAction ActionFor(PainterTool tool) {
  switch (tool) {
    case PainterTool::Rubber:
    case PainterTool::RubberRect:
      return BrushAction::RubOut;
    case PainterTool::UnRubber:
    case PainterTool::UnRubberRect:
      return BrushAction::UnRub;
    default:
      return BrushAction::PaintLine;
  }
}

bool IsBrushTool(PainterTool tool) {
  return tool == PainterTool::Rubber || tool == PainterTool::UnRubber ||
         tool == PainterTool::AnimBrush;
}

bool IsRectTool(PainterTool tool) {
  return tool == PainterTool::AnimBrushRect || tool == PainterTool::RubberRect ||
         tool == PainterTool::UnRubberRect;
}

}  // namespace

void CPainterDoc::RegionFillRelease(ImagePoint pressScreen, ImagePoint releaseScreen,
                                    ImagePoint pressImage, ImagePoint releaseImage) {
  if (!CanEdit() || tool_ != PainterTool::RegionFill) return;
  if (IsClickDrag(releaseScreen.x - pressScreen.x, releaseScreen.y - pressScreen.y)) {
    const ImageRect changed = FillRegionAt(frame_, releaseImage, currentColor_, viewMode_);
    if (!changed.IsEmpty()) UpdateAllViews(PainterHint::RedrawRect, changed);
    return;
  }
  FillRegionsInside(frame_, pressImage, releaseImage, currentColor_, viewMode_);
  UpdateAllViews(PainterHint::RedrawAll);
}

void CPainterDoc::PickColor(ImagePoint at) {
  if (!CanEdit() || tool_ != PainterTool::RegionFill) return;
  if (auto color = PickColorAt(frame_, at)) SetCurrentColor(*color);
}

void CPainterDoc::AnimFill(ImagePoint at) {
  if (!CanEdit() || tool_ != PainterTool::AnimFill) return;
  const ImageRect changed = AnimFillAt(frame_, at, currentColor_);
  if (!changed.IsEmpty()) UpdateAllViews(PainterHint::RedrawAll);
}

void CPainterDoc::BrushPress(ImagePoint) {
  strokeRefused_ = false;
  if (!CanEdit() || !IsBrushTool(tool_)) return;
  quenda::BrushPress(frame_, ActionFor(tool_));
}

void CPainterDoc::BrushRelease() {
  if (!CanEdit() || !IsBrushTool(tool_)) return;
  KeepUndoDifferences(frame_);
}

void CPainterDoc::BrushMove(ImagePoint from, ImagePoint to) {
  if (!CanEdit() || !IsBrushTool(tool_)) return;
  if (tool_ == PainterTool::AnimBrush && currentColor_ == kTransparentColor) {
    if (!strokeRefused_) {
      strokeRefused_ = true;
      prompt_.Message(kTransparentBrushMessage, MessageIcon::Warning);
    }
    return;
  }
  const ImageRect changed =
      StampSegment(frame_, from, to, brushSize_, ActionFor(tool_), currentColor_);
  if (!changed.IsEmpty()) UpdateAllViews(PainterHint::RedrawRect, changed);
}

void CPainterDoc::RectangleRelease(ImagePoint press, ImagePoint release) {
  if (!CanEdit() || !IsRectTool(tool_)) return;
  if (tool_ == PainterTool::AnimBrushRect && currentColor_ == kTransparentColor) {
    prompt_.Message(kTransparentBrushMessage, MessageIcon::Warning);
    return;
  }
  ApplyRectTool(frame_, press, release, ActionFor(tool_), currentColor_);
  UpdateAllViews(PainterHint::RedrawAll);
}

void CPainterDoc::PenPress(ImagePoint at) {
  if (!CanEdit() || tool_ != PainterTool::RegionPen) return;
  penPrevious_ = at;
  strokeBox_ = StrokeBox::At(at);
  penActive_ = true;
}

void CPainterDoc::PenMove(ImagePoint to) {
  if (!CanEdit() || !penActive_) return;
  const ImageRect drawn = DrawPenLine(frame_, penPrevious_, to);
  strokeBox_.Extend(to);
  penPrevious_ = to;
  if (!drawn.IsEmpty()) {
    // The undo copy cannot know of the new lines: restoring it would undo more than one step.
    frame_.undo.Drop();
    UpdateAllViews(PainterHint::RedrawRect, drawn);
  }
}

SplitResult CPainterDoc::PenRelease(ImagePoint at) {
  if (!CanEdit() || !penActive_) return {};
  PenMove(at);
  penActive_ = false;
  SplitResult result = SplitRegions(frame_, strokeBox_);
  if (result.regionsAdded > 0) {
    for (int region : result.shownRegions)
      UpdateAllViews(PainterHint::ShowRegion, WholeImage(frame_.width, frame_.height), region);
    viewMode_ = ViewMode::RegionsPainted;
    UpdateAllViews(PainterHint::StateChanged);
    UpdateAllViews(PainterHint::RedrawAll);
  }
  return result;
}

GapResult CPainterDoc::GapCloseRelease(ImagePoint press, ImagePoint release) {
  if (!CanEdit() || tool_ != PainterTool::RegionPen) return {};
  GapResult result = CloseGaps(frame_, press, release);
  if (!result.ran) return result;
  // Pen flags are gone and lines may have been added: an older flags copy no longer fits.
  frame_.undo.Drop();
  for (int region : result.split.shownRegions)
    UpdateAllViews(PainterHint::ShowRegion, WholeImage(frame_.width, frame_.height), region);
  if (result.split.regionsAdded > 0) {
    viewMode_ = ViewMode::RegionsPainted;
    UpdateAllViews(PainterHint::StateChanged);
  }
  UpdateAllViews(PainterHint::RedrawAll);
  return result;
}

}  // namespace quenda

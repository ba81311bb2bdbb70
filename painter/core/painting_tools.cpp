#include "painter/core/painting_tools.h"

namespace quenda {

std::string_view ToolStatusText(PainterTool tool) {
  switch (tool) {
    case PainterTool::RegionFill:
      return "Fills the region with current color";
    case PainterTool::AnimFill:
      return "Fills the animators line with the current color";
    case PainterTool::RegionPen:
      return "Modifies the region lines";
    case PainterTool::Rubber:
      return "Rubbes out the animators line";
    case PainterTool::UnRubber:
      return "Brings back the animators line";
    case PainterTool::AnimBrush:
      return "Brush that paints only animators line";
    case PainterTool::AnimBrushRect:
      return "A Rectangle tools that paints only the animators line with current color";
    case PainterTool::RubberRect:
      return "Rubbes out animator line with a rectangle";
    case PainterTool::UnRubberRect:
      return "Brings back the animators line with a rectangle";
  }
  return {};
}

ImageRect DragRect(const PainterFrame& frame, ImagePoint press, ImagePoint release) {
  return DragRect(frame.width, frame.height, press, release);
}

ImageRect FillRegionAt(PainterFrame& frame, ImagePoint at, int color, ViewMode mode) {
  if (frame.empty() || !frame.Contains(at.x, at.y)) return {};
  TakeUndoCopy(frame, kUndoRegionColors);
  frame.paintChanged = true;
  return FillRegionAt(PaintTargetOf(frame), at, color, mode).redraw;
}

ImageRect FillRegionsInside(PainterFrame& frame, ImagePoint press, ImagePoint release, int color,
                            ViewMode mode) {
  if (frame.empty()) return {};
  TakeUndoCopy(frame, kUndoRegionColors);
  frame.paintChanged = true;
  return FillRegionsInside(PaintTargetOf(frame), press, release, color, mode).redraw;
}

std::optional<int> PickColorAt(const PainterFrame& frame, ImagePoint at) {
  if (frame.empty()) return std::nullopt;
  return PickColorAt(frame.region, frame.regionColor, at);
}

std::vector<std::size_t> AnimFillPixels(const PainterFrame& frame, ImagePoint at, int color) {
  if (frame.empty()) return {};
  return AnimFillPixels(frame.region, at, color);
}

ImageRect AnimFillAt(PainterFrame& frame, ImagePoint at, int color) {
  if (frame.empty() || !frame.Contains(at.x, at.y)) return {};
  // The line a fill follows may cross the whole drawing: its undo keeps only the tiles it
  // changes, never a copy of every line colour.
  const std::vector<std::size_t> reached = AnimFillPixels(frame.region, at, color);
  TakeJournalledUndo(frame, kUndoAnimColors);
  frame.journal.KeepPixels(frame.region, reached);
  frame.regionChanged = true;
  const ImageRect changed = PaintLinePixels(PaintTargetOf(frame), reached, color);
  KeepUndoDifferences(frame);
  return changed;
}

void BrushPress(PainterFrame& frame, BrushAction action) {
  if (frame.empty()) return;
  TakeJournalledUndo(frame, UndoKindFor(action));
}

ImageRect StampSegment(PainterFrame& frame, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color) {
  // The segment's stamps lie inside the box of its two ends' footprints.
  JournalBefore(frame, UniteRects(BrushFootprint(from, size), BrushFootprint(to, size)));
  const ImageRect changed = StampSegment(PaintTargetOf(frame), from, to, size, action, color);
  if (!changed.IsEmpty()) frame.regionChanged = true;
  return changed;
}

ImageRect ApplyRectTool(PainterFrame& frame, ImagePoint press, ImagePoint release,
                        BrushAction action, int color) {
  if (frame.empty()) return {};
  TakeJournalledUndo(frame, UndoKindFor(action));
  JournalBefore(frame, DragRect(frame, press, release));
  const ImageRect changed = ApplyRectTool(PaintTargetOf(frame), press, release, action, color);
  if (!changed.IsEmpty()) frame.regionChanged = true;
  KeepUndoDifferences(frame);
  return changed;
}

}  // namespace quenda

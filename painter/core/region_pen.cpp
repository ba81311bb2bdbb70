#include "painter/core/region_pen.h"

namespace quenda {
namespace {

void SplitDone(PainterFrame& frame, const SplitResult& split) {
  if (split.regionsAdded == 0) return;
  frame.undo.Drop();
  frame.regionChanged = true;
  frame.paintChanged = true;
}

}  // namespace

ImageRect DrawPenLine(PainterFrame& frame, ImagePoint from, ImagePoint to) {
  if (frame.empty()) return {};
  return DrawPenLine(frame.region, from, to);
}

SplitResult SplitRegions(PainterFrame& frame, StrokeBox box) {
  if (frame.empty()) return {};
  SplitResult result = SplitRegions(PaintTargetOf(frame), box);
  SplitDone(frame, result);
  return result;
}

GapResult CloseGaps(PainterFrame& frame, ImagePoint press, ImagePoint release) {
  if (frame.empty()) return {};
  GapResult result = CloseGaps(PaintTargetOf(frame), press, release);
  SplitDone(frame, result.split);
  return result;
}

int NeighbourCode(const PainterFrame& frame, int x, int y) {
  return NeighbourCode(frame.region, x, y);
}

}  // namespace quenda

#pragma once
// The region pen on the painter's loaded frame: the common pen, splitting and gap closing, with
// the frame's changed flags set and its undo copy dropped once the region table has grown.

#include "common/region_pen.h"
#include "painter/core/painter_frame.h"

namespace quenda {

ImageRect DrawPenLine(PainterFrame& frame, ImagePoint from, ImagePoint to);
SplitResult SplitRegions(PainterFrame& frame, StrokeBox box);
GapResult CloseGaps(PainterFrame& frame, ImagePoint press, ImagePoint release);
int NeighbourCode(const PainterFrame& frame, int x, int y);

}  // namespace quenda

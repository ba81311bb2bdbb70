#pragma once
// The region pen: new region lines drawn into a drawing's region data, the splitting of every
// region a stroke cuts into pieces, and the closing of one-pixel gaps inside a rectangle. All
// flood work uses explicit work lists, so a region of any size is safe.

#include <vector>

#include "common/image_rect.h"
#include "common/paint_tools.h"
#include "common/region_data.h"

namespace quenda {

// Smallest and largest x and y of the positions of a stroke, inclusive.
struct StrokeBox {
  int minX = 0;
  int minY = 0;
  int maxX = -1;
  int maxY = -1;

  static StrokeBox At(ImagePoint p) { return {p.x, p.y, p.x, p.y}; }
  void Extend(ImagePoint p);
};

// Sets region line and pen flags along the segment, both ends clamped into the picture.
// Nothing when both ends fall on the same pixel. Marks nothing changed. Returns the box drawn.
ImageRect DrawPenLine(RegionData& region, ImagePoint from, ImagePoint to);

// What a split did: the number of regions added and the regions to show one after another
// (each split shows the old piece, then the new one).
struct SplitResult {
  int regionsAdded = 0;
  std::vector<int> shownRegions;
};

// Splits every region within the (widened) box that lines now cut into pieces. Each new region
// takes the next number and the colour of the region it came from. When any was added, the
// region and paint data changed and an undo copy taken before no longer fits the region table.
// The table never grows beyond what a region file can hold.
SplitResult SplitRegions(const PaintTarget& target, StrokeBox box);

// Gap closing over the rectangle of a right-button drag (image points): every pen line becomes
// an ordinary region line, one-pixel gaps between line ends are bridged, and if anything was
// bridged the regions over the rectangle are split. `bridged` counts the pixels set.
struct GapResult {
  int bridged = 0;
  SplitResult split;
  bool ran = false;  // false when the rectangle was too small to do anything
};
GapResult CloseGaps(const PaintTarget& target, ImagePoint press, ImagePoint release);

// The sum of the values of the line neighbours of (x, y) (see region_pen.cpp), and whether a
// code bridges a gap.
int NeighbourCode(const RegionData& region, int x, int y);
bool IsGapCode(int code);

}  // namespace quenda

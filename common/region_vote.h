#pragma once
// The region vote of auto paint, on plain region maps: a source frame laid over a target on the
// peg holes, every target region voting by pixel overlap for a source region. The painter and
// the analyzer both paint from a neighbour this way.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/peg_turn.h"
#include "common/region_data.h"

namespace quenda {

// One frame's region numbers, width * height of them, rows from the bottom; numbers run
// 1 .. regionCount + 1.
struct RegionMapView {
  const uint16_t* map = nullptr;
  int width = 0;
  int height = 0;
  int regionCount = 0;
  // Per-pixel flags of the region file, or none; only the shape matching reads them.
  const uint8_t* flags = nullptr;
};

// A pixel of the view on or beside (diagonals included) one of its line pixels; false outside
// the picture. The view must carry flags. Inline: the matchers ask it for every outline pixel of
// every motion they try.
inline bool NearLine(const RegionMapView& view, int x, int y) {
  const int w = view.width, h = view.height;
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
    const uint8_t* row = view.flags + std::size_t(ny) * std::size_t(w);
    for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx)
      if (row[nx] & kFlagRegionLine) return true;
  }
  return false;
}

// Where a frame lies on the peg bar: its size and its bed position.
struct PegPlacement {
  int width = 0;
  int height = 0;
  int originX = 0;
  int originY = 0;
};

// Source pixel (x, y) lies over target pixel (x + shift.x, y + shift.y). Both frames are placed
// by `targetPeg`, the target's peg position.
PegOffset PegAlignmentShift(int targetPeg, const PegPlacement& target, const PegPlacement& source);

// For every target region 1 .. regionCount + 1, the source region it takes its colour from: the
// one covering most of its pixels, ties to the smaller number, source region 1 when none covers
// it. Element 0 is unused.
std::vector<int> VoteRegionMaps(const RegionMapView& target, const RegionMapView& source,
                                PegOffset shift);

}  // namespace quenda

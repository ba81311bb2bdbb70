#pragma once
// The region vote of auto paint, on plain region maps: a source frame laid over a target on the
// peg holes, every target region voting by pixel overlap for a source region. The painter and
// the analyzer both paint from a neighbour this way.

#include <cstdint>
#include <vector>

#include "common/peg_turn.h"

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

#pragma once
// Where a region lies in the source when the motion of its figure lays its outline on the
// source's lines: there, not wherever a look-alike of it happens to be. Two walkers crossing
// cut each other into pieces differently in every drawing, and a piece of one walker's shirt
// may look more like a piece of the other's coat than like any piece of the shirt; but the
// shirt's motion lays the piece on the shirt. A pair with a source region that such a region
// does not lie on costs more in the assignment, so that its own motion, which would lay it on
// the look-alike, cannot vouch for it.

#include <cstdint>
#include <utility>
#include <vector>

#include "autopaint/line_distance.h"
#include "autopaint/pair_costs.h"
#include "autopaint/region_overlap.h"

namespace quenda {

// What a region's pixels cover in the source: pixels per source region (increasing region
// number) and all the region's pixels off the lines.
struct Placement {
  std::vector<std::pair<int, int64_t>> over;
  int64_t total = 0;
};

class PlacedRegions {
 public:
  // For the target regions of `tables`, none placed yet; with `sourceColors` (one per source
  // region, 1 for unfilled), a region lying on a source region's colour lies on it too.
  PlacedRegions(const ShapeTables& tables, const std::vector<int32_t>* sourceColors);

  // Region r moved by (x, y) (target pixel p on source pixel p + (x, y)) and fitted within
  // `reach` to the source's `lines` is placed where it then lies, if that lays enough of its
  // outline on them. Each region from one thread only, none while costs are read.
  void PlaceAt(RegionOverlap& at, int r, int x, int y, const LineDistance& lines, int tolerance,
               int reach);

  // How much more pairing r with s costs: nothing for a region not placed, the most for a
  // pair whose source region (and colour) the placed region does not lie on at all.
  double Cost(int r, int s) const;

 private:
  const ShapeTables& tables_;
  const std::vector<int32_t>* sourceColors_;
  std::vector<Placement> placed_;
};

}  // namespace quenda

#pragma once
// A drawing's region pixels off the lines, gathered region by region when first asked: as runs
// along rows, the pixels beside a line, and those line pixels themselves. What is laid on
// another drawing to see what lies under a region, and where its outline lands.

#include <cstdint>
#include <utility>
#include <vector>

#include "autopaint/region_shapes.h"
#include "common/region_vote.h"

namespace quenda {

class RegionPixels {
 public:
  struct Run {
    int y, x0, x1;
  };
  struct Of {
    bool gathered = false;
    int64_t count = 0;
    std::vector<Run> runs;
    // Its pixels beside one of the drawing's line pixels (4-connected), and those line pixels
    // (one for each of its pixels beside each).
    std::vector<std::pair<int, int>> outline, rim;
  };

  // `shapes` (the view's, MeasureRegionShapes) bound each region's search; both must outlive
  // this.
  RegionPixels(const RegionMapView& view, const std::vector<RegionShape>& shapes);

  const Of& Pixels(int r);
  // Gathers the pixels of every region of `regions` (no region twice) at once, on the inner
  // threads, each region by one, so that Pixels() then only reads, from any thread.
  void Gather(const std::vector<int>& regions);

 private:
  bool OnOutline(std::size_t i, int x, int y) const;
  void AddRim(Of& p, std::size_t i, int x, int y) const;

  RegionMapView view_;
  const std::vector<RegionShape>& shapes_;
  std::vector<Of> pixels_;  // per region
};

}  // namespace quenda

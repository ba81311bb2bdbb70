#pragma once
// What a region map says about each region's shape and neighbours: area, centre, spread and
// box of every region, and how much border every pair of regions shares. Shared by the shape
// matching of auto paint and the speck rule.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/region_vote.h"

namespace quenda {

// One region's pixels off the lines. Moments are about the region's own centre.
struct RegionShape {
  int64_t area = 0;
  double cx = 0, cy = 0;             // centre
  double sxx = 0, syy = 0, sxy = 0;  // second central moments per pixel
  int minX = 0, minY = 0, maxX = -1, maxY = -1;

  // The two axes of the region's spread, longest first (pixels, one standard deviation).
  double MajorAxis() const;
  double MinorAxis() const;
};

// Shapes of regions 0 .. regionCount + 1; pixels with numbers beyond the table are skipped,
// and line pixels too when the view has flags.
std::vector<RegionShape> MeasureRegionShapes(const RegionMapView& view);

// Border shared by each pair of regions: one count per line pixel that has both regions among
// the pixels around it (off the lines), so the line between two regions is their border and a
// speck enclosed by lines borders the regions across them. Where regions touch without a line,
// each touching pixel pair counts.
class RegionBorders {
 public:
  explicit RegionBorders(const RegionMapView& view);

  // The neighbours of `region` with the border each shares, in increasing region order.
  const std::vector<std::pair<int, int64_t>>& Neighbours(int region) const;

 private:
  std::vector<std::vector<std::pair<int, int64_t>>> neighbours_;
};

}  // namespace quenda

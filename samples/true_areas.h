#pragma once
// The truth of a sample drawing as areas: which of the figure's shapes every pixel shows, the
// connected areas they make, and how well the regions of an analysis keep those areas apart.
// The benchmarks measure line generation and gap closing with it.

#include <cstdint>
#include <vector>

#include "common/region_data.h"
#include "samples/figure_parts.h"

namespace quenda::samples {

// Per pixel, rows from the bottom: 0 for paper, else 1 + the index of the last shape whose
// outline holds the pixel's centre (the shape drawn over the others there).
std::vector<uint16_t> RenderShapeMap(const std::vector<PartShape>& shapes, int width, int height);

// The 4-connected areas of equal shape (paper included, as shape 0).
struct TrueAreas {
  std::vector<int32_t> area;    // per pixel, the area's index
  std::vector<uint16_t> shape;  // per area
  std::vector<int64_t> pixels;  // per area
};
TrueAreas FindTrueAreas(const std::vector<uint16_t>& shapeMap, int width, int height);

// How the regions keep the areas, judged on each area's core: its pixels off the region lines
// whose 5 x 5 block lies wholly in it (where a drawn line runs a pixel off its shape's outline
// nothing is judged, and slivers thinner than 5 pixels are no areas). An area of at least
// `leastPixels` core pixels keeps a region of its own when the region holding most of its core
// is itself at least 90 % that area's core: lines of the shapes it covers may divide it, but
// no gap has let it run into another area. The paper joined to the figure is the paper core in
// regions that are mostly figure, with the figure core in regions that are mostly paper.
inline constexpr int kCoreReach = 2;
struct AreaScore {
  int areas = 0;      // areas of at least the least size
  int ownRegion = 0;  // of them, those that kept a region of their own
  int64_t paperPixels = 0;
  int64_t paperJoined = 0;
  AreaScore& operator+=(const AreaScore& o);
};
AreaScore ScoreAreas(const TrueAreas& truth, const RegionData& regions, int width, int height,
                     int64_t leastPixels);

}  // namespace quenda::samples

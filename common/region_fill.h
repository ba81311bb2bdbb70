#pragma once
// The region fill of the painting programs: which region a click lands in, which regions a
// dragged rectangle holds, and the rule by which a region takes the current colour.

#include <cstdint>
#include <vector>

#include "common/region_data.h"

namespace quenda {

// The region number under pixel (x, y), y upwards; -1 outside the picture or its map.
int RegionAtPixel(const RegionData& regions, int x, int y);

// The regions whose whole box lies inside left..right, bottom..top (edges included).
std::vector<int> RegionsInsideRect(const RegionData& regions, int left, int bottom, int right,
                                   int top);

// What filling one region did.
struct RegionFillOutcome {
  bool changed = false;      // the region took the colour
  bool wasUnfilled = false;  // it had the unfilled colour before
};

// The region takes `color` unless `keepPainted` (X-ray) protects one that is already painted.
// A number outside `regionColor` changes nothing.
RegionFillOutcome FillRegion(std::vector<int32_t>& regionColor, int region, int color,
                             bool keepPainted);

}  // namespace quenda

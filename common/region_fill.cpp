#include "common/region_fill.h"

#include "common/color_set.h"

namespace quenda {

int RegionAtPixel(const RegionData& regions, int x, int y) {
  if (x < 0 || y < 0 || x >= regions.width || y >= regions.height) return -1;
  const std::size_t i = std::size_t(y) * std::size_t(regions.width) + std::size_t(x);
  if (i >= regions.regionMap.size()) return -1;
  return regions.regionMap[i];
}

std::vector<int> RegionsInsideRect(const RegionData& regions, int left, int bottom, int right,
                                   int top) {
  std::vector<int> inside;
  const int last = regions.RegionTotal();
  for (int r = kBackgroundRegion; r <= last && std::size_t(r) < regions.regionBounds.size(); ++r) {
    const RegionBox& b = regions.regionBounds[r];
    if (b.IsEmpty()) continue;
    if (b.minX >= left && b.minY >= bottom && b.maxX <= right && b.maxY <= top) inside.push_back(r);
  }
  return inside;
}

RegionFillOutcome FillRegion(std::vector<int32_t>& regionColor, int region, int color,
                             bool keepPainted) {
  if (region < 0 || std::size_t(region) >= regionColor.size()) return {};
  int32_t& current = regionColor[region];
  const bool unfilled = current == kUnfilledColor;
  if (!unfilled && keepPainted) return {};
  current = color;
  return {true, unfilled};
}

}  // namespace quenda

#include "common/region_data.h"

#include <algorithm>

#include "common/color_set.h"

namespace quenda {

bool RegionData::IsConsistent() const {
  if (width < 0 || height < 0 || regionCount < 0) return false;
  std::size_t pixels = PixelCount();
  const bool colours = uniformAnimColor ? animColor.empty() : animColor.size() == pixels;
  return flags.size() == pixels && regionMap.size() == pixels && colours &&
         regionBounds.size() == std::size_t(regionCount) + 2;
}

RegionData MakeBlankRegionData(int width, int height, const RedlineSettings& settings) {
  RegionData data;
  data.width = width;
  data.height = height;
  data.settings = settings;
  data.regionCount = 0;
  std::size_t pixels = data.PixelCount();
  data.flags.assign(pixels, 0);
  data.regionMap.assign(pixels, uint16_t(kBackgroundRegion));
  data.animColor.assign(pixels, uint16_t(kAnimLineColor));
  data.regionBounds.assign(2, EmptyRegionBox(width, height));
  ComputeRegionBounds(data);
  return data;
}

void ComputeRegionBounds(RegionData& data) {
  std::fill(data.regionBounds.begin(), data.regionBounds.end(),
            EmptyRegionBox(data.width, data.height));
  if (data.width <= 0 || data.height <= 0 || data.regionMap.size() != data.PixelCount()) return;
  const std::size_t boxes = data.regionBounds.size();
  for (int y = 0; y < data.height; ++y) {
    const uint16_t* row = data.regionMap.data() + std::size_t(y) * std::size_t(data.width);
    for (int x = 0; x < data.width; ++x) {
      if (row[x] >= boxes) continue;
      RegionBox& box = data.regionBounds[row[x]];
      box.minX = std::min(box.minX, x);
      box.maxX = std::max(box.maxX, x);
      box.minY = std::min(box.minY, y);
      box.maxY = std::max(box.maxY, y);
    }
  }
}

}  // namespace quenda

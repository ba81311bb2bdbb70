#pragma once
// Painter frames on constructed region maps (autopaint/tests/constructed_map.h), for the tests
// of auto paint through the painter's frames.

#include <cstdint>
#include <utility>
#include <vector>

#include "autopaint/tests/constructed_map.h"
#include "common/color_set.h"
#include "common/region_data.h"
#include "painter/core/painter_frame.h"

namespace quenda::testing {

// A frame of `width` x `height` whose pixel (x, y) lies in region regionAt(x, y), with `colors`
// per region (the rest unfilled).
template <class RegionAt>
PainterFrame MakeFrameOf(int width, int height, RegionAt regionAt, std::vector<int32_t> colors) {
  ConstructedMap m = MakeMap(width, height, regionAt);
  PainterFrame f;
  f.width = width, f.height = height;
  f.region = MakeBlankRegionData(width, height);
  f.region.regionMap = std::move(m.map);
  f.region.flags = std::move(m.flags);
  f.region.regionCount = m.regionCount;
  f.region.regionBounds.resize(std::size_t(m.regionCount) + 2);
  ComputeRegionBounds(f.region);
  colors.resize(std::size_t(m.regionCount) + 2, kUnfilledColor);
  f.regionColor = colors;
  return f;
}

}  // namespace quenda::testing

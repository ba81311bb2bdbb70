#pragma once
// The pictures of a drawing's regions that need no scan, as both painting programs show them:
// the region lines alone on white, the regions in their colours, and X-ray (the regions still
// unfilled in white, the others black). Rows bottom first, bytes blue, green, red.

#include <cstdint>
#include <vector>

#include "common/color_set.h"
#include "common/image_rect.h"
#include "common/paint_tools.h"
#include "common/raster.h"
#include "common/region_data.h"
#include "common/sample_grid.h"

namespace quenda {

// Composes the pixels of `area` (clipped to the region data) in `mode` into `picture`, which
// has 3 channels and is at least as large. Composited needs the scan and composes nothing here.
void ComposeRegionView(const RegionData& region, const std::vector<int32_t>& regionColor,
                       const ColorSet& colors, ViewMode mode, const ImageRect& area,
                       Raster& picture);
// The same pixels on `grid` only, sample (i, j) into pixel (i, j) of `out` (3 channels, at least
// columns x rows): what a view shows of a large drawing without a whole-size picture. A grid
// that reaches outside the region data composes nothing.
void SampleRegionView(const RegionData& region, const std::vector<int32_t>& regionColor,
                      const ColorSet& colors, ViewMode mode, const SampleGrid& grid,
                      RasterView out);

}  // namespace quenda

#pragma once
// The analyzer's composite of a painted drawing: the painted layer (blue, green, red, alpha)
// with black where a region is transparent, then smoothed by a 5 x 5 filter before it is saved.

#include "analyzer/core/working_image.h"
#include "common/color_set.h"
#include "common/raster.h"
#include "common/sample_grid.h"

namespace quenda {

// Four channels, width x height, bottom row first. Empty without regions.
Raster ComposePaintedLayer(const WorkingImage& image, const ColorSet& colors);

// The same layer's blue, green and red inside `rect` (cut to the picture) into `display`, a
// 3-channel picture at least as large: the result view of paint mode.
void ShowPaintedLayer(const WorkingImage& image, const ColorSet& colors, PixelRect rect,
                      Raster& display);
// The same on `grid` only, sample (i, j) into pixel (i, j) of `out` (3 channels, at least
// columns x rows); a grid reaching outside the picture composes nothing.
void SamplePaintedLayer(const WorkingImage& image, const ColorSet& colors, const SampleGrid& grid,
                        RasterView out);

// Each channel of each pixel: the 5 x 5 neighbourhood weighted 125 at the centre, 5 on the ring
// around it and 1 on the outer ring, divided by 181; beyond the edge the edge pixel repeats.
Raster FilterComposite(const Raster& layer);

}  // namespace quenda

#pragma once
// What the analyzer's window shows of a drawing, composed from the working image for the samples
// of a grid only (sample (i, j) into pixel (i, j) of `out`, 3 channels, at least columns x rows):
// the window keeps what is in sight, never a display picture of the drawing's size. A grid that
// reaches outside the picture composes nothing.

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/working_image.h"
#include "common/color_set.h"
#include "common/paint_tools.h"
#include "common/sample_grid.h"

namespace quenda {

// The grey drawing as three equal channels (the flag map may be empty).
void SampleGrey(const WorkingImage& image, const SampleGrid& grid, RasterView out);

// The join pixels that are still region lines in `colour`, over what `out` holds.
void SampleJoinPixels(const WorkingImage& image, const SampleGrid& grid, RasterView out,
                      Bgr colour = kJoinColour);

// The grey drawing with every region line in `line` and the joins apart from them, as marked
// or loaded regions show outside paint mode.
void SampleRegionLines(const WorkingImage& image, Bgr line, const SampleGrid& grid, RasterView out);

// Paint mode's picture in `mode`: the painted layer, or the regions' view with the joins where
// the region lines show.
void SamplePaintView(const WorkingImage& image, const ColorSet& colors, ViewMode mode,
                     const SampleGrid& grid, RasterView out);

}  // namespace quenda

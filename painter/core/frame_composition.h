#pragma once
// Composing a loaded frame into a 24-bit picture for the picture view and the frame strip.
// The picture is a Raster of 3 channels (blue, green, red), frame.rowPixels pixels per row and
// frame.height rows, row 0 the bottom row; the spare pixels at the end of each row are left as
// they are.

#include "common/color_set.h"
#include "common/image_rect.h"
#include "common/raster.h"
#include "common/region_file.h"
#include "common/sample_grid.h"
#include "painter/core/painter_frame.h"
#include "painter/core/painting_tools.h"

namespace quenda {

// Whether the region pen is the current tool: Composited mode then shows lines over the scan.
enum class PenComposition { Off, On };

// A picture of the right size for ComposeFrame, black.
Raster MakeFramePicture(const PainterFrame& frame);

// Recomposes the pixels of `area` (clipped to the frame) in `mode`. `picture` must come from
// MakeFramePicture for this frame (its size is checked; a mismatch composes nothing).
void ComposeFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                  PenComposition pen, const ImageRect& area, Raster& picture);
// The same pixels on `grid` only, sample (i, j) into pixel (i, j) of `out` (3 channels, at least
// columns x rows): what the view shows without a picture of the whole frame. A grid that reaches
// outside the frame composes nothing.
void SampleFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                 PenComposition pen, const SampleGrid& grid, RasterView out);
// The whole frame into a fresh picture.
Raster ComposeWholeFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                         PenComposition pen = PenComposition::Off);

// The frame strip's icon: `side` x `side` pixels (side a positive multiple of 4), the frame in
// Regions Painted mode reduced by nearest neighbour, grey (128, 128, 128) beyond the picture.
inline constexpr uint8_t kStripGrey = 128;
Raster ComposeFrameIcon(const RegionData& region, const std::vector<int32_t>& regionColor,
                        const ColorSet& colors, int side);
// The same from only the pixels the icon shows (IconSamplePoints, ascending and each once, read
// by DecodeRegionSamples): the strip makes icons of frames it never loads whole.
std::vector<std::size_t> IconSamplePoints(int width, int height, int side);
Raster ComposeFrameIcon(const RegionSamples& samples, const std::vector<int32_t>& regionColor,
                        const ColorSet& colors, int side);

}  // namespace quenda

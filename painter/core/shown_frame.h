#pragma once
// What the painter's view shows of the loaded frame: the frame composed in the view mode with,
// for a moment, a preview over it (the RegionFill hover, the AnimFill hover, or the region a
// split shows). The view asks for the pixels it draws only, so no picture of the whole frame
// is kept; the pixels are those the previews of preview_composition.h put into a whole picture.

#include <cstddef>
#include <vector>

#include "common/sample_grid.h"
#include "painter/core/frame_composition.h"

namespace quenda {

struct FramePreview {
  enum class Kind { None, RegionFill, LineFill, Split };
  Kind kind = Kind::None;
  int region = 0;                       // RegionFill and Split
  int color = 0;                        // RegionFill and LineFill
  std::vector<std::size_t> linePixels;  // LineFill, ascending
  ImageRect box;                        // what the preview covers, to redraw when it goes

  bool shown() const { return kind != Kind::None; }
};

// The RegionFill hover of `region` in `color`: nothing shown for a region without pixels.
FramePreview RegionFillPreview(const PainterFrame& frame, int region, int color);
// The AnimFill hover: the connected animator line under the point as if filled with `color`;
// nothing shown off the lines.
FramePreview LineFillPreview(const PainterFrame& frame, ImagePoint at, int color);
// A split showing `region` alone, over the whole frame.
FramePreview SplitPreview(const PainterFrame& frame, int region);

// The shown pixels on `grid` into `out` (3 channels, at least columns x rows); a grid reaching
// outside the frame composes nothing.
void SampleShownFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                      PenComposition pen, const FramePreview& preview, const SampleGrid& grid,
                      RasterView out);

}  // namespace quenda

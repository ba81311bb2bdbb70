#pragma once
// What the picture view shows for a moment without changing the frame: the RegionFill hover
// preview, the AnimFill hover preview and the regions a split shows one at a time. Each draws
// into a picture from MakeFramePicture and returns the rectangle it touched.

#include "painter/core/frame_composition.h"

namespace quenda {

// The region's box composed in `mode`, then the region's own pixels on every even row in
// `color`. Nothing for a region without pixels.
ImageRect ComposeRegionFillPreview(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                                   PenComposition pen, int region, int color, Raster& picture);

// The connected animator line under the point composited as if AnimFill had given it `color`
// (the rest of the picture is expected to show Composited already). Nothing off the lines.
ImageRect ComposeAnimFillPreview(const PainterFrame& frame, const ColorSet& colors, ImagePoint at,
                                 int color, Raster& picture);

// The whole frame as a split shows one region: that region black, every other region white,
// region lines in the line colour.
void ComposeSplitHighlight(const PainterFrame& frame, const ColorSet& colors, int region,
                           Raster& picture);

}  // namespace quenda

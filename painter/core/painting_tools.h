#pragma once
// The painting tools on the painter's loaded frame. The tools themselves are the common ones;
// here each takes its undo copy before it changes anything and sets the changed flag of what
// it touched, and returns the rectangle the views must redraw (empty when nothing needs
// redrawing).

#include <optional>
#include <string_view>
#include <vector>

#include "common/image_rect.h"
#include "common/paint_tools.h"
#include "painter/core/painter_frame.h"

namespace quenda {

using PainterTool = PaintTool;

std::string_view ToolStatusText(PainterTool tool);

// The rectangle of a drag between two image points: ordered, right column and top row
// excluded, clipped to the picture.
ImageRect DragRect(const PainterFrame& frame, ImagePoint press, ImagePoint release);

// RegionFill on one region: the undo copy of region colours, then the region under the point
// takes `color` unless X-Ray mode protects an already painted region. Outside the picture
// nothing happens. Redraw: the region's box.
ImageRect FillRegionAt(PainterFrame& frame, ImagePoint at, int color, ViewMode mode);
// RegionFill over a drag: every region whose whole box lies inside the ordered image
// rectangle (edges included) is filled by the same rule, under one undo copy.
ImageRect FillRegionsInside(PainterFrame& frame, ImagePoint press, ImagePoint release, int color,
                            ViewMode mode);

// The colour picker: the colour of the region under the point, unless the point is outside
// the picture or the colour is unfilled or line.
std::optional<int> PickColorAt(const PainterFrame& frame, ImagePoint at);

// AnimFill: the connected animator line under the point (eight neighbours by pixel index)
// takes `color`. Inside the picture the undo copy is taken and the region data marked
// changed even when the pixel is no line.
ImageRect AnimFillAt(PainterFrame& frame, ImagePoint at, int color);
// The pixels that fill would change, for its preview and the fill itself.
std::vector<std::size_t> AnimFillPixels(const PainterFrame& frame, ImagePoint at, int color);

// The undo a brush press starts; the stroke keeps the old tiles it crosses as it goes.
void BrushPress(PainterFrame& frame, BrushAction action);
// Stamps the brush along one mouse move. Returns the changed box.
ImageRect StampSegment(PainterFrame& frame, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color);
// The three rectangle tools, keeping the old tiles under the rectangle just before. An empty
// rectangle changes nothing but still takes an undo step.
ImageRect ApplyRectTool(PainterFrame& frame, ImagePoint press, ImagePoint release,
                        BrushAction action, int color);

}  // namespace quenda

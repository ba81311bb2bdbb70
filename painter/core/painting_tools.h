#pragma once
// The painting tools as operations on a loaded frame in image pixels. Each takes its undo copy
// before it changes anything, sets the changed flag of what it touched, and returns the
// rectangle the views must redraw (empty when nothing needs redrawing).

#include <optional>
#include <string_view>
#include <vector>

#include "painter/core/image_rect.h"
#include "painter/core/painter_frame.h"

namespace quenda {

enum class PainterTool : int {
  RegionFill = 0,
  AnimFill = 1,
  RegionPen = 2,
  Rubber = 3,
  UnRubber = 4,
  AnimBrush = 5,
  AnimBrushRect = 6,
  RubberRect = 7,
  UnRubberRect = 8,
};
inline constexpr int kToolCount = 9;

enum class ViewMode : int { RegionLine = 0, RegionsPainted = 1, Composited = 2, XRay = 3 };
inline constexpr int kViewModeCount = 4;

// The view mode that choosing a tool switches to.
ViewMode ModeForTool(PainterTool tool);
std::string_view ToolStatusText(PainterTool tool);

inline constexpr int kMinBrushSize = 1;
inline constexpr int kMaxBrushSize = 6;
// A drag spanning fewer square screen pixels than this is a click.
inline constexpr int kClickArea = 25;

inline constexpr std::string_view kTransparentBrushMessage =
    "Can not paint animators lines with transparent color, please select rubber to remove "
    "animators lines";

// The square a brush of `size` covers at (x, y), before clipping: 4 * size - 2 pixels wide,
// reaching one pixel further right and up than left and down.
ImageRect BrushFootprint(ImagePoint at, int size);

// The rectangle of a drag between two image points: ordered, right column and top row
// excluded, clipped to the picture.
ImageRect DragRect(const PainterFrame& frame, ImagePoint press, ImagePoint release);

// True when a drag of (dx, dy) screen pixels counts as a click.
bool IsClickDrag(int dxScreen, int dyScreen);

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

enum class BrushAction { PaintLine, RubOut, UnRub };
// The undo copy a brush press takes.
void BrushPress(PainterFrame& frame, BrushAction action);
// Stamps the brush along one mouse move. Returns the changed box.
ImageRect StampSegment(PainterFrame& frame, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color);
// The three rectangle tools. An empty rectangle changes nothing but still takes the copy.
ImageRect ApplyRectTool(PainterFrame& frame, ImagePoint press, ImagePoint release,
                        BrushAction action, int color);

}  // namespace quenda

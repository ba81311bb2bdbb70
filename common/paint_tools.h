#pragma once
// The painting tools of the painting programs, as operations on one drawing's region data and
// region colours in image pixels (x to the right, y upwards, pixel i = y * width + x). They
// change only the data they are named for and return the rectangle the views must redraw
// (empty when nothing needs redrawing); the caller takes the undo copy before (UndoKindFor
// says which) and marks for saving what changed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/image_rect.h"
#include "common/region_data.h"
#include "common/undo_differences.h"

namespace quenda {

// What the tools paint: the region data of one drawing (flags, animator colours, region map,
// boxes) and the colour set index of every region. Both must outlive the target.
struct PaintTarget {
  RegionData& region;
  std::vector<int32_t>& regionColor;

  int width() const { return region.width; }
  int height() const { return region.height; }
  bool empty() const { return region.width <= 0 || region.height <= 0; }
  bool Contains(ImagePoint p) const {
    return p.x >= 0 && p.y >= 0 && p.x < region.width && p.y < region.height;
  }
  std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(region.width) + x; }
};

// The tools, numbered as both programs number them.
enum class PaintTool : int {
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

// Region lines alone, regions in their colours, the composited drawing, and the unfilled
// regions in white.
enum class ViewMode : int { RegionLine = 0, RegionsPainted = 1, Composited = 2, XRay = 3 };
inline constexpr int kViewModeCount = 4;

// The view mode that choosing a tool switches to.
ViewMode ModeForTool(PaintTool tool);

inline constexpr int kMinBrushSize = 1;
inline constexpr int kMaxBrushSize = 6;
// A drag spanning fewer square screen pixels than this is a click.
inline constexpr int kClickArea = 25;

inline constexpr std::string_view kTransparentBrushMessage =
    "Can not paint animators lines with transparent color, please select rubber to remove "
    "animators lines";

// What an undo copy holds; bits, so that a copy could hold several.
enum UndoKind : int {
  kUndoNothing = 0,
  kUndoRegionColors = 1,
  kUndoAnimColors = 2,
  kUndoFlags = 4,
};

// The copy taken before a change: the parts that `kind` names. Once the change is complete the
// per-pixel parts may be cut down to their differences (KeepPaintUndoDifferences).
struct PaintUndoCopy {
  int kind = kUndoNothing;
  std::vector<int32_t> regionColor;
  std::vector<uint16_t> animColor;
  std::vector<uint8_t> flags;
  std::optional<ChangedRuns<uint16_t>> animChanges;  // in place of animColor
  std::optional<ChangedRuns<uint8_t>> flagChanges;   // in place of flags
};

PaintUndoCopy MakePaintUndoCopy(const PaintTarget& target, int kind);
// For a change that is complete: the line colours and flags keep only what it changed. Nothing
// may change them afterwards but another command that takes its own copy first.
void KeepPaintUndoDifferences(const PaintTarget& target, PaintUndoCopy& copy);
// Puts back each part the copy holds.
void RestorePaintUndoCopy(const PaintTarget& target, PaintUndoCopy copy);
// The bytes the copy holds, whole parts and differences alike.
std::size_t PaintUndoBytes(const PaintUndoCopy& copy);

// The square a brush of `size` covers at (x, y), before clipping: 4 * size - 2 pixels wide,
// reaching one pixel further right and up than left and down.
ImageRect BrushFootprint(ImagePoint at, int size);

// The rectangle of a drag between two image points: ordered, right column and top row
// excluded, clipped to a picture of width x height.
ImageRect DragRect(int width, int height, ImagePoint press, ImagePoint release);

// True when a drag of (dx, dy) screen pixels counts as a click.
bool IsClickDrag(int dxScreen, int dyScreen);

// What a region fill did: the rectangle to redraw, and how many regions that were unfilled
// took a colour other than unfilled.
struct RegionFillResult {
  ImageRect redraw;
  int filled = 0;
};

// RegionFill on one region: the region under the point takes `color` unless X-Ray mode
// protects an already painted region. Outside the picture nothing happens. Redraw: the
// region's box (its undo copy: kUndoRegionColors).
RegionFillResult FillRegionAt(const PaintTarget& target, ImagePoint at, int color, ViewMode mode);
// RegionFill over a drag: every region whose whole box lies inside the ordered image
// rectangle (edges included) is filled by the same rule. Redraw: the whole picture.
RegionFillResult FillRegionsInside(const PaintTarget& target, ImagePoint press, ImagePoint release,
                                   int color, ViewMode mode);

// The colour picker: the colour of the region under the point, unless the point is outside
// the picture or the colour is unfilled or line.
std::optional<int> PickColorAt(const RegionData& region, const std::vector<int32_t>& regionColor,
                               ImagePoint at);

// AnimFill: the connected animator line under the point (eight neighbours by pixel index)
// takes `color`. Inside the picture the whole picture is to be redrawn even when the pixel is
// no line (its undo copy: kUndoAnimColors).
ImageRect AnimFillAt(const PaintTarget& target, ImagePoint at, int color);
// The pixels that fill would change, for its preview, its undo and the fill itself.
std::vector<std::size_t> AnimFillPixels(const RegionData& region, ImagePoint at, int color);
// The fill of pixels AnimFillPixels found; the same redraw as AnimFillAt.
ImageRect PaintLinePixels(const PaintTarget& target, const std::vector<std::size_t>& pixels,
                          int color);

enum class BrushAction { PaintLine, RubOut, UnRub };
// The undo copy a brush or rectangle tool takes.
int UndoKindFor(BrushAction action);
// Stamps the brush along one mouse move. Returns the changed box.
ImageRect StampSegment(const PaintTarget& target, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color);
// The three rectangle tools: the whole picture to redraw, or nothing for an empty rectangle.
ImageRect ApplyRectTool(const PaintTarget& target, ImagePoint press, ImagePoint release,
                        BrushAction action, int color);

}  // namespace quenda

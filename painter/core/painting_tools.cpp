#include "painter/core/painting_tools.h"

#include <cstdlib>
#include <vector>

#include "common/color_set.h"
#include "common/region_fill.h"
#include "painter/core/segment_walk.h"

namespace quenda {
namespace {

ImageRect BoxRect(const PainterFrame& frame, int region) {
  if (region < 0 || std::size_t(region) >= frame.region.regionBounds.size()) return {};
  const RegionBox& b = frame.region.regionBounds[region];
  if (b.IsEmpty()) return {};
  return ClipRect({b.minX, b.maxX + 1, b.minY, b.maxY + 1}, frame.width, frame.height);
}

// Fills one region by the RegionFill rule; no undo copy.
void FillOne(PainterFrame& frame, int region, int color, ViewMode mode) {
  (void)FillRegion(frame.regionColor, region, color, mode == ViewMode::XRay);
}

void ApplyAt(PainterFrame& frame, std::size_t i, BrushAction action, int color) {
  switch (action) {
    case BrushAction::PaintLine:
      frame.region.animColor[i] = uint16_t(color);
      break;
    case BrushAction::RubOut:
      frame.region.flags[i] |= kFlagRubbedOut;
      break;
    case BrushAction::UnRub:
      frame.region.flags[i] &= uint8_t(~kFlagRubbedOut);
      break;
  }
}

void ApplyOver(PainterFrame& frame, const ImageRect& r, BrushAction action, int color) {
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) ApplyAt(frame, frame.Index(x, y), action, color);
}

int UndoKindFor(BrushAction action) {
  return action == BrushAction::PaintLine ? kUndoAnimColors : kUndoFlags;
}

}  // namespace

ViewMode ModeForTool(PainterTool tool) {
  switch (tool) {
    case PainterTool::RegionFill:
      return ViewMode::RegionsPainted;
    case PainterTool::RegionPen:
      return ViewMode::RegionLine;
    default:
      return ViewMode::Composited;
  }
}

std::string_view ToolStatusText(PainterTool tool) {
  switch (tool) {
    case PainterTool::RegionFill:
      return "Fills the region with current color";
    case PainterTool::AnimFill:
      return "Fills the animators line with the current color";
    case PainterTool::RegionPen:
      return "Modifies the region lines";
    case PainterTool::Rubber:
      return "Rubbes out the animators line";
    case PainterTool::UnRubber:
      return "Brings back the animators line";
    case PainterTool::AnimBrush:
      return "Brush that paints only animators line";
    case PainterTool::AnimBrushRect:
      return "A Rectangle tools that paints only the animators line with current color";
    case PainterTool::RubberRect:
      return "Rubbes out animator line with a rectangle";
    case PainterTool::UnRubberRect:
      return "Brings back the animators line with a rectangle";
  }
  return {};
}

ImageRect BrushFootprint(ImagePoint at, int size) {
  return {at.x + 2 - 2 * size, at.x + 2 * size, at.y + 2 - 2 * size, at.y + 2 * size};
}

ImageRect DragRect(const PainterFrame& frame, ImagePoint press, ImagePoint release) {
  ImageRect r{std::min(press.x, release.x), std::max(press.x, release.x),
              std::min(press.y, release.y), std::max(press.y, release.y)};
  return ClipRect(r, frame.width, frame.height);
}

bool IsClickDrag(int dxScreen, int dyScreen) {
  return std::llabs(static_cast<long long>(dxScreen) * dyScreen) < kClickArea;
}

ImageRect FillRegionAt(PainterFrame& frame, ImagePoint at, int color, ViewMode mode) {
  if (frame.empty() || !frame.Contains(at.x, at.y)) return {};
  const int region = RegionAtPixel(frame.region, at.x, at.y);
  TakeUndoCopy(frame, kUndoRegionColors);
  FillOne(frame, region, color, mode);
  frame.paintChanged = true;
  return BoxRect(frame, region);
}

ImageRect FillRegionsInside(PainterFrame& frame, ImagePoint press, ImagePoint release, int color,
                            ViewMode mode) {
  if (frame.empty()) return {};
  const int left = std::min(press.x, release.x), right = std::max(press.x, release.x);
  const int bottom = std::min(press.y, release.y), top = std::max(press.y, release.y);
  TakeUndoCopy(frame, kUndoRegionColors);
  for (int r : RegionsInsideRect(frame.region, left, bottom, right, top))
    FillOne(frame, r, color, mode);
  frame.paintChanged = true;
  return WholeImage(frame.width, frame.height);
}

std::optional<int> PickColorAt(const PainterFrame& frame, ImagePoint at) {
  if (frame.empty() || !frame.Contains(at.x, at.y)) return std::nullopt;
  const int region = frame.region.regionMap[frame.Index(at.x, at.y)];
  if (std::size_t(region) >= frame.regionColor.size()) return std::nullopt;
  const int color = frame.regionColor[region];
  if (color == kUnfilledColor || color == kLineColor) return std::nullopt;
  return color;
}

std::vector<std::size_t> AnimFillPixels(const PainterFrame& frame, ImagePoint at, int color) {
  std::vector<std::size_t> reached;
  if (frame.empty() || !frame.Contains(at.x, at.y)) return reached;
  const uint16_t target = uint16_t(color);
  const auto& flags = frame.region.flags;
  const auto& anim = frame.region.animColor;
  const long long size = static_cast<long long>(frame.PixelCount());
  const long long w = frame.width;
  const long long offsets[8] = {1, -1, w, -w, w + 1, w - 1, -w + 1, -w - 1};
  std::vector<bool> seen(frame.PixelCount(), false);
  std::vector<long long> work{static_cast<long long>(frame.Index(at.x, at.y))};
  while (!work.empty()) {
    const long long i = work.back();
    work.pop_back();
    if (seen[i] || !(flags[i] & kFlagAnimatorLine) || anim[i] == target) continue;
    seen[i] = true;
    reached.push_back(std::size_t(i));
    for (long long d : offsets) {
      const long long n = i + d;
      if (n >= 0 && n < size) work.push_back(n);
    }
  }
  return reached;
}

ImageRect AnimFillAt(PainterFrame& frame, ImagePoint at, int color) {
  if (frame.empty() || !frame.Contains(at.x, at.y)) return {};
  TakeUndoCopy(frame, kUndoAnimColors);
  frame.regionChanged = true;
  for (std::size_t i : AnimFillPixels(frame, at, color))
    frame.region.animColor[i] = uint16_t(color);
  return WholeImage(frame.width, frame.height);
}

void BrushPress(PainterFrame& frame, BrushAction action) {
  if (frame.empty()) return;
  TakeUndoCopy(frame, UndoKindFor(action));
}

ImageRect StampSegment(PainterFrame& frame, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color) {
  if (frame.empty()) return {};
  ImageRect changed;
  WalkSegment(from, to, [&](int x, int y) {
    const ImageRect r = ClipRect(BrushFootprint({x, y}, size), frame.width, frame.height);
    if (r.IsEmpty()) return;
    ApplyOver(frame, r, action, color);
    changed = UniteRects(changed, r);
  });
  if (!changed.IsEmpty()) frame.regionChanged = true;
  return changed;
}

ImageRect ApplyRectTool(PainterFrame& frame, ImagePoint press, ImagePoint release,
                        BrushAction action, int color) {
  if (frame.empty()) return {};
  TakeUndoCopy(frame, UndoKindFor(action));
  const ImageRect r = DragRect(frame, press, release);
  if (r.IsEmpty()) return {};
  ApplyOver(frame, r, action, color);
  frame.regionChanged = true;
  return WholeImage(frame.width, frame.height);
}

}  // namespace quenda

#include "common/paint_tools.h"

#include <cstdlib>

#include "common/color_set.h"
#include "common/region_fill.h"
#include "common/segment_walk.h"

namespace quenda {
namespace {

ImageRect BoxRect(const PaintTarget& target, int region) {
  if (region < 0 || std::size_t(region) >= target.region.regionBounds.size()) return {};
  const RegionBox& b = target.region.regionBounds[region];
  if (b.IsEmpty()) return {};
  return ClipRect({b.minX, b.maxX + 1, b.minY, b.maxY + 1}, target.width(), target.height());
}

// Fills one region by the RegionFill rule; 1 when it was unfilled and now is not.
int FillOne(const PaintTarget& target, int region, int color, ViewMode mode) {
  const RegionFillOutcome outcome =
      FillRegion(target.regionColor, region, color, mode == ViewMode::XRay);
  return outcome.wasUnfilled && color != kUnfilledColor ? 1 : 0;
}

void ApplyAt(const PaintTarget& target, std::size_t i, BrushAction action, int color) {
  switch (action) {
    case BrushAction::PaintLine:
      target.region.animColor[i] = uint16_t(color);
      break;
    case BrushAction::RubOut:
      target.region.flags[i] |= kFlagRubbedOut;
      break;
    case BrushAction::UnRub:
      target.region.flags[i] &= uint8_t(~kFlagRubbedOut);
      break;
  }
}

void ApplyOver(const PaintTarget& target, const ImageRect& r, BrushAction action, int color) {
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) ApplyAt(target, target.Index(x, y), action, color);
}

}  // namespace

ViewMode ModeForTool(PaintTool tool) {
  switch (tool) {
    case PaintTool::RegionFill:
      return ViewMode::RegionsPainted;
    case PaintTool::RegionPen:
      return ViewMode::RegionLine;
    default:
      return ViewMode::Composited;
  }
}

PaintUndoCopy MakePaintUndoCopy(const PaintTarget& target, int kind) {
  PaintUndoCopy copy;
  copy.kind = kind;
  if (kind & kUndoRegionColors) copy.regionColor = target.regionColor;
  if (kind & kUndoAnimColors) copy.animColor = target.region.animColor;
  if (kind & kUndoFlags) copy.flags = target.region.flags;
  return copy;
}

void KeepPaintUndoDifferences(const PaintTarget& target, PaintUndoCopy& copy) {
  if ((copy.kind & kUndoAnimColors) && !copy.animChanges) {
    copy.animChanges = DifferencesOf(copy.animColor, target.region.animColor);
    if (copy.animChanges) std::vector<uint16_t>().swap(copy.animColor);
  }
  if ((copy.kind & kUndoFlags) && !copy.flagChanges) {
    copy.flagChanges = DifferencesOf(copy.flags, target.region.flags);
    if (copy.flagChanges) std::vector<uint8_t>().swap(copy.flags);
  }
}

void RestorePaintUndoCopy(const PaintTarget& target, PaintUndoCopy copy) {
  if (copy.kind & kUndoRegionColors) target.regionColor = std::move(copy.regionColor);
  if (copy.kind & kUndoAnimColors) {
    if (copy.animChanges)
      RestoreDifferences(*copy.animChanges, target.region.animColor);
    else
      target.region.animColor = std::move(copy.animColor);
  }
  if (copy.kind & kUndoFlags) {
    if (copy.flagChanges)
      RestoreDifferences(*copy.flagChanges, target.region.flags);
    else
      target.region.flags = std::move(copy.flags);
  }
}

namespace {

template <typename T>
std::size_t HeldBytes(const std::vector<T>& values) {
  return values.capacity() * sizeof(T);
}

template <typename T>
std::size_t HeldBytes(const std::optional<ChangedRuns<T>>& changes) {
  return changes ? HeldBytes(changes->runs) + HeldBytes(changes->old) : 0;
}

}  // namespace

std::size_t PaintUndoBytes(const PaintUndoCopy& copy) {
  return HeldBytes(copy.regionColor) + HeldBytes(copy.animColor) + HeldBytes(copy.flags) +
         HeldBytes(copy.animChanges) + HeldBytes(copy.flagChanges);
}

ImageRect BrushFootprint(ImagePoint at, int size) {
  return {at.x + 2 - 2 * size, at.x + 2 * size, at.y + 2 - 2 * size, at.y + 2 * size};
}

ImageRect DragRect(int width, int height, ImagePoint press, ImagePoint release) {
  ImageRect r{std::min(press.x, release.x), std::max(press.x, release.x),
              std::min(press.y, release.y), std::max(press.y, release.y)};
  return ClipRect(r, width, height);
}

bool IsClickDrag(int dxScreen, int dyScreen) {
  return std::llabs(static_cast<long long>(dxScreen) * dyScreen) < kClickArea;
}

RegionFillResult FillRegionAt(const PaintTarget& target, ImagePoint at, int color, ViewMode mode) {
  if (target.empty() || !target.Contains(at)) return {};
  const int region = RegionAtPixel(target.region, at.x, at.y);
  const int filled = FillOne(target, region, color, mode);
  return {BoxRect(target, region), filled};
}

RegionFillResult FillRegionsInside(const PaintTarget& target, ImagePoint press, ImagePoint release,
                                   int color, ViewMode mode) {
  if (target.empty()) return {};
  const int left = std::min(press.x, release.x), right = std::max(press.x, release.x);
  const int bottom = std::min(press.y, release.y), top = std::max(press.y, release.y);
  RegionFillResult result{WholeImage(target.width(), target.height()), 0};
  for (int r : RegionsInsideRect(target.region, left, bottom, right, top))
    result.filled += FillOne(target, r, color, mode);
  return result;
}

std::optional<int> PickColorAt(const RegionData& region, const std::vector<int32_t>& regionColor,
                               ImagePoint at) {
  const int number = RegionAtPixel(region, at.x, at.y);
  if (number < 0 || std::size_t(number) >= regionColor.size()) return std::nullopt;
  const int color = regionColor[std::size_t(number)];
  if (color == kUnfilledColor || color == kLineColor) return std::nullopt;
  return color;
}

std::vector<std::size_t> AnimFillPixels(const RegionData& region, ImagePoint at, int color) {
  std::vector<std::size_t> reached;
  if (at.x < 0 || at.y < 0 || at.x >= region.width || at.y >= region.height) return reached;
  const uint16_t target = uint16_t(color);
  const auto& flags = region.flags;
  const auto& anim = region.animColor;
  const long long size = static_cast<long long>(region.PixelCount());
  const long long w = region.width;
  const long long offsets[8] = {1, -1, w, -w, w + 1, w - 1, -w + 1, -w - 1};
  std::vector<bool> seen(region.PixelCount(), false);
  std::vector<long long> work{static_cast<long long>(at.y) * w + at.x};
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

ImageRect PaintLinePixels(const PaintTarget& target, const std::vector<std::size_t>& pixels,
                          int color) {
  if (target.empty()) return {};
  for (std::size_t i : pixels) target.region.animColor[i] = uint16_t(color);
  return WholeImage(target.width(), target.height());
}

ImageRect AnimFillAt(const PaintTarget& target, ImagePoint at, int color) {
  if (target.empty() || !target.Contains(at)) return {};
  return PaintLinePixels(target, AnimFillPixels(target.region, at, color), color);
}

int UndoKindFor(BrushAction action) {
  return action == BrushAction::PaintLine ? kUndoAnimColors : kUndoFlags;
}

ImageRect StampSegment(const PaintTarget& target, ImagePoint from, ImagePoint to, int size,
                       BrushAction action, int color) {
  if (target.empty()) return {};
  ImageRect changed;
  WalkSegment(from, to, [&](int x, int y) {
    const ImageRect r = ClipRect(BrushFootprint({x, y}, size), target.width(), target.height());
    if (r.IsEmpty()) return;
    ApplyOver(target, r, action, color);
    changed = UniteRects(changed, r);
  });
  return changed;
}

ImageRect ApplyRectTool(const PaintTarget& target, ImagePoint press, ImagePoint release,
                        BrushAction action, int color) {
  if (target.empty()) return {};
  const ImageRect r = DragRect(target.width(), target.height(), press, release);
  if (r.IsEmpty()) return {};
  ApplyOver(target, r, action, color);
  return WholeImage(target.width(), target.height());
}

}  // namespace quenda

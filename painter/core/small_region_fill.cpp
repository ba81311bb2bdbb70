#include "painter/core/small_region_fill.h"

#include <algorithm>

#include "autopaint/region_shapes.h"
#include "common/color_set.h"

namespace quenda {
namespace {

// Pixels of `region` off the lines, counting no further than `limit`.
int OffLinePixels(const PainterFrame& frame, int region, int limit) {
  const auto& bounds = frame.region.regionBounds;
  if (region < 0 || std::size_t(region) >= bounds.size()) return 0;
  const RegionBox& box = bounds[std::size_t(region)];
  int count = 0;
  for (int y = std::max(box.minY, 0); y <= std::min(box.maxY, frame.height - 1); ++y)
    for (int x = std::max(box.minX, 0); x <= std::min(box.maxX, frame.width - 1); ++x) {
      const std::size_t i = frame.Index(x, y);
      if (frame.region.regionMap[i] != region || (frame.region.flags[i] & kFlagRegionLine))
        continue;
      if (++count >= limit) return count;
    }
  return count;
}

}  // namespace

bool IsSpeck(const PainterFrame& frame, int region, int speckSize) {
  return OffLinePixels(frame, region, speckSize) < speckSize;
}

int CountUnfilledSpecks(const PainterFrame& frame, int speckSize) {
  int count = 0;
  for (std::size_t r = kBackgroundRegion; r < frame.regionColor.size(); ++r)
    if (frame.regionColor[r] == kUnfilledColor && IsSpeck(frame, int(r), speckSize)) ++count;
  return count;
}

int SettleSpecks(const PainterFrame& frame, std::vector<int32_t>& colors, int speckSize) {
  std::vector<std::pair<int, int>> specks;  // size, region
  for (std::size_t r = kBackgroundRegion; r < colors.size(); ++r) {
    if (colors[r] != kUnfilledColor) continue;
    const int size = OffLinePixels(frame, int(r), speckSize);
    if (size < speckSize) specks.push_back({size, int(r)});
  }
  if (specks.empty() || frame.empty()) return 0;
  std::sort(specks.begin(), specks.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  const RegionBorders borders(RegionMapView{frame.region.regionMap.data(), frame.width,
                                            frame.height, frame.region.regionCount,
                                            frame.region.flags.data()});
  int painted = 0;
  for (bool changed = true; changed;) {
    changed = false;
    for (const auto& [size, r] : specks) {
      if (colors[std::size_t(r)] != kUnfilledColor) continue;
      int64_t most = 0;
      int32_t colour = kUnfilledColor;
      for (const auto& [n, border] : borders.Neighbours(r)) {
        if (std::size_t(n) >= colors.size() || colors[std::size_t(n)] == kUnfilledColor) continue;
        if (border > most) most = border, colour = colors[std::size_t(n)];
      }
      if (colour == kUnfilledColor) continue;
      colors[std::size_t(r)] = colour;
      ++painted;
      changed = true;
    }
  }
  return painted;
}

int PaintSpecks(PainterFrame& frame, int speckSize) {
  std::vector<int32_t> colors = frame.regionColor;
  const int painted = SettleSpecks(frame, colors, speckSize);
  if (painted == 0) return 0;
  TakeUndoCopy(frame, kUndoRegionColors);
  frame.regionColor = std::move(colors);
  frame.paintChanged = true;
  return painted;
}

}  // namespace quenda

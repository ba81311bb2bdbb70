#include "painter/core/next_unpainted.h"

#include <algorithm>

#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "painter/core/small_region_fill.h"

namespace quenda {
UnpaintedRegion LargestUnpaintedRegion(const PainterFrame& frame, int speckSize) {
  const std::size_t regions = frame.regionColor.size();
  std::vector<int64_t> pixels(regions, 0);
  const std::size_t count = std::min(frame.PixelCount(), frame.region.regionMap.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t r = frame.region.regionMap[i];
    if (r < regions && !(frame.region.flags[i] & kFlagRegionLine)) ++pixels[r];
  }
  UnpaintedRegion largest;
  for (std::size_t r = kBackgroundRegion; r < regions; ++r) {
    if (frame.regionColor[r] != kUnfilledColor || pixels[r] <= largest.pixels) continue;
    if (IsSpeck(frame, int(r), speckSize)) continue;
    largest = {int(r), pixels[r]};
  }
  return largest;
}

std::vector<int> NextUnpaintedOrder(int current, int frameCount) {
  std::vector<int> order;
  if (frameCount <= 0) return order;
  current = std::clamp(current, 0, frameCount - 1);
  for (int k = 1; k <= frameCount; ++k) order.push_back((current + k) % frameCount);
  return order;
}

std::optional<PainterFrame> ReadFramePaint(const FramePaths& paths, int colorCount) {
  auto header = ReadDrawingScanHeader(paths.scan, ScanReader::Painter);
  if (!header) return std::nullopt;
  auto region = ReadRegionFile(paths.region, header->width, header->height, RegionReader::Painter);
  if (!region) return std::nullopt;
  PainterFrame frame;
  frame.width = header->width;
  frame.height = header->height;
  // As loading does: a paint file that is there but does not read is a failure, not no paint.
  if (!paths.paint.empty() && EntryExists(paths.paint)) {
    auto paint = ReadPaintFile(paths.paint, region->regionCount, colorCount);
    if (!paint) return std::nullopt;
    frame.regionColor = std::move(paint->regionColor);
  } else {
    frame.regionColor = DefaultPaint(region->regionCount);
  }
  frame.region = std::move(region.value());
  return frame;
}

}  // namespace quenda

#include "common/region_view.h"

#include <array>

namespace quenda {
namespace {

using Bgr3 = std::array<uint8_t, 3>;

Bgr3 ColorOf(const ColorSet& colors, int index) {
  if (index < 0 || index >= kColorSlots) index = kTransparentColor;
  const ColorEntry& e = colors.entries[index];
  return {e.blue, e.green, e.red};
}

void Put(uint8_t* p, const Bgr3& c) {
  p[0] = c[0];
  p[1] = c[1];
  p[2] = c[2];
}

}  // namespace

void ComposeRegionView(const RegionData& region, const std::vector<int32_t>& regionColor,
                       const ColorSet& colors, ViewMode mode, const ImageRect& area,
                       Raster& picture) {
  if (mode == ViewMode::Composited || picture.channels() != 3 || region.regionMap.empty() ||
      picture.width() < region.width || picture.height() < region.height)
    return;
  const ImageRect r = ClipRect(area, region.width, region.height);
  if (r.IsEmpty()) return;
  // The colour of every region number, so the pixel loops index one small table.
  std::vector<Bgr3> regionRgb(regionColor.size());
  for (std::size_t n = 0; n < regionColor.size(); ++n)
    regionRgb[n] = ColorOf(colors, regionColor[n]);
  if (regionRgb.empty()) regionRgb.push_back(ColorOf(colors, kTransparentColor));
  // A number beyond the table (a damaged file) shows as number 0 does.
  auto regionAt = [&](std::size_t n) -> const Bgr3& {
    return n < regionRgb.size() ? regionRgb[n] : regionRgb[0];
  };
  const Bgr3 line = ColorOf(colors, kLineColor);
  const Bgr3 white{255, 255, 255};
  const Bgr3 black{0, 0, 0};
  const auto& flags = region.flags;
  const auto& map = region.regionMap;
  // One loop per mode, so the mode is decided once and not per pixel.
  auto forEach = [&](auto&& pixel) {
    for (int y = r.y0; y < r.y1; ++y) {
      uint8_t* out = picture.At(r.x0, y);
      std::size_t i = std::size_t(y) * std::size_t(region.width) + std::size_t(r.x0);
      for (int x = r.x0; x < r.x1; ++x, ++i, out += 3) pixel(map[i], flags[i], out);
    }
  };
  switch (mode) {
    case ViewMode::RegionLine:
      forEach([&](std::size_t, uint8_t f, uint8_t* out) {
        Put(out, (f & kFlagRegionLine) ? line : white);
      });
      break;
    case ViewMode::RegionsPainted:
      forEach([&](std::size_t n, uint8_t f, uint8_t* out) {
        Put(out, (f & kFlagRegionLine) ? line : regionAt(n));
      });
      break;
    case ViewMode::XRay:
      forEach([&](std::size_t n, uint8_t f, uint8_t* out) {
        const bool unfilled = n < regionColor.size() && regionColor[n] == kUnfilledColor;
        Put(out, unfilled ? white : (f & kFlagRegionLine) ? line : black);
      });
      break;
    case ViewMode::Composited:
      break;
  }
}

}  // namespace quenda

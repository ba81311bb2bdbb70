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

void SampleRegionView(const RegionData& region, const std::vector<int32_t>& regionColor,
                      const ColorSet& colors, ViewMode mode, const SampleGrid& grid,
                      RasterView out) {
  if (mode == ViewMode::Composited || out.channels != 3 || out.width < grid.columns ||
      out.height < grid.rows || !grid.Inside(region.width, region.height) ||
      region.regionMap.size() != region.PixelCount() || region.flags.size() != region.PixelCount())
    return;
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
  const std::size_t step = std::size_t(grid.step);
  // One loop per mode, so the mode is decided once and not per pixel.
  auto forEach = [&](auto&& pixel) {
    for (int j = 0; j < grid.rows; ++j) {
      uint8_t* to = out.Row(j);
      std::size_t i = std::size_t(grid.Y(j)) * std::size_t(region.width) + std::size_t(grid.x0);
      for (int c = 0; c < grid.columns; ++c, i += step, to += 3) pixel(map[i], flags[i], to);
    }
  };
  switch (mode) {
    case ViewMode::RegionLine:
      forEach([&](std::size_t, uint8_t f, uint8_t* to) {
        Put(to, (f & kFlagRegionLine) ? line : white);
      });
      break;
    case ViewMode::RegionsPainted:
      forEach([&](std::size_t n, uint8_t f, uint8_t* to) {
        Put(to, (f & kFlagRegionLine) ? line : regionAt(n));
      });
      break;
    case ViewMode::XRay:
      forEach([&](std::size_t n, uint8_t f, uint8_t* to) {
        const bool unfilled = n < regionColor.size() && regionColor[n] == kUnfilledColor;
        Put(to, unfilled ? white : (f & kFlagRegionLine) ? line : black);
      });
      break;
    case ViewMode::Composited:
      break;
  }
}

void ComposeRegionView(const RegionData& region, const std::vector<int32_t>& regionColor,
                       const ColorSet& colors, ViewMode mode, const ImageRect& area,
                       Raster& picture) {
  if (picture.channels() != 3 || picture.width() < region.width || picture.height() < region.height)
    return;
  const ImageRect r = ClipRect(area, region.width, region.height);
  if (r.IsEmpty()) return;
  SampleRegionView(region, regionColor, colors, mode, EveryPixel(r),
                   PictureFrom(picture.view(), r.x0, r.y0));
}

}  // namespace quenda

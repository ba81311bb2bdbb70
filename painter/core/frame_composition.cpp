#include "painter/core/frame_composition.h"

#include <algorithm>
#include <array>

#include "common/region_view.h"

namespace quenda {
namespace {

using Bgr = std::array<uint8_t, 3>;

Bgr ColorOf(const ColorSet& colors, int index) {
  if (index < 0 || index >= kColorSlots) index = kTransparentColor;
  const ColorEntry& e = colors.entries[index];
  return {e.blue, e.green, e.red};
}

// The colour of every region number, so the pixel loops index one small table.
std::vector<Bgr> RegionColours(const std::vector<int32_t>& regionColor, const ColorSet& colors) {
  std::vector<Bgr> table(regionColor.size());
  for (std::size_t r = 0; r < regionColor.size(); ++r) table[r] = ColorOf(colors, regionColor[r]);
  return table;
}

const Bgr kWhite{255, 255, 255};

void Put(uint8_t* p, const Bgr& c) {
  p[0] = c[0];
  p[1] = c[1];
  p[2] = c[2];
}

}  // namespace

Raster MakeFramePicture(const PainterFrame& frame) {
  return Raster(frame.rowPixels, frame.height, 3);
}

void SampleFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                 PenComposition pen, const SampleGrid& grid, RasterView out) {
  if (frame.empty() || out.channels != 3 || out.width < grid.columns || out.height < grid.rows ||
      !grid.Inside(frame.width, frame.height))
    return;
  if (mode != ViewMode::Composited) {
    SampleRegionView(frame.region, frame.regionColor, colors, mode, grid, out);
    return;
  }
  const std::size_t pixels = frame.PixelCount();
  if (frame.region.flags.size() != pixels || frame.region.regionMap.size() != pixels ||
      frame.region.animColor.size() != pixels || frame.scan.bytes().size() < pixels)
    return;
  std::vector<Bgr> regionRgb = RegionColours(frame.regionColor, colors);
  if (regionRgb.empty()) regionRgb.push_back(ColorOf(colors, kTransparentColor));
  const Bgr line = ColorOf(colors, kLineColor);
  const auto& flags = frame.region.flags;
  const auto& map = frame.region.regionMap;
  const auto& anim = frame.region.animColor;
  const uint8_t* scan = frame.scan.data();
  auto regionAt = [&](std::size_t i) -> const Bgr& {
    const std::size_t n = map[i];
    return n < regionRgb.size() ? regionRgb[n] : regionRgb[0];
  };
  std::array<Bgr, kColorSlots> palette;
  for (int c = 0; c < kColorSlots; ++c) palette[c] = ColorOf(colors, c);

  const std::size_t step = std::size_t(grid.step);
  // One loop per composition, so it is decided once and not per pixel.
  auto forEach = [&](auto&& pixel) {
    for (int j = 0; j < grid.rows; ++j) {
      uint8_t* to = out.Row(j);
      std::size_t i = frame.Index(grid.x0, grid.Y(j));
      for (int c = 0; c < grid.columns; ++c, i += step, to += 3) pixel(i, flags[i], to);
    }
  };
  if (pen == PenComposition::On) {
    forEach([&](std::size_t i, uint8_t f, uint8_t* to) {
      if (f & kFlagRegionLine) {
        Put(to, line);
      } else if (f & kFlagRubbedOut) {
        Put(to, kWhite);
      } else {
        const uint8_t g = scan[i];
        Put(to, {g, g, g});
      }
    });
    return;
  }
  forEach([&](std::size_t i, uint8_t f, uint8_t* to) {
    const unsigned g = scan[i];
    // Paper (255) shows the region colour and full ink (0) the line colour exactly as the blend
    // gives them; only the grey levels between need the arithmetic.
    if ((f & kFlagRubbedOut) || g == 255) {
      Put(to, regionAt(i));
      return;
    }
    const Bgr& ac = palette[anim[i] < kColorSlots ? anim[i] : kAnimLineColor];
    if (g == 0) {
      Put(to, ac);
      return;
    }
    const Bgr& rc = regionAt(i);
    for (int c = 0; c < 3; ++c) to[c] = uint8_t((g * rc[c] + (255 - g) * ac[c]) / 255);
  });
}

void ComposeFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                  PenComposition pen, const ImageRect& area, Raster& picture) {
  if (frame.empty() || picture.width() != frame.rowPixels || picture.height() != frame.height ||
      picture.channels() != 3)
    return;
  const ImageRect r = ClipRect(area, frame.width, frame.height);
  if (r.IsEmpty()) return;
  SampleFrame(frame, colors, mode, pen, EveryPixel(r), PictureFrom(picture.view(), r.x0, r.y0));
}

Raster ComposeWholeFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                         PenComposition pen) {
  Raster picture = MakeFramePicture(frame);
  ComposeFrame(frame, colors, mode, pen, WholeImage(frame.width, frame.height), picture);
  return picture;
}

namespace {

// The picture's pixel for each icon pixel, nearest neighbour, rows and columns ascending.
template <class Visit>
void ForEachIconPixel(int width, int height, int side, Visit visit) {
  const double scale = std::max(double(width) / side, double(height) / side);
  for (int j = 0; j < side; ++j) {
    const int y = int(j * scale);
    if (y >= height) break;
    for (int i = 0; i < side; ++i) {
      const int x = int(i * scale);
      if (x >= width) break;
      visit(i, j, std::size_t(y) * std::size_t(width) + std::size_t(x));
    }
  }
}

Bgr IconColour(uint8_t flags, std::size_t region, const std::vector<Bgr>& regionRgb,
               const Bgr& line, const ColorSet& colors) {
  return (flags & kFlagRegionLine)   ? line
         : region < regionRgb.size() ? regionRgb[region]
                                     : ColorOf(colors, kTransparentColor);
}

}  // namespace

Raster ComposeFrameIcon(const RegionData& region, const std::vector<int32_t>& regionColor,
                        const ColorSet& colors, int side) {
  Raster icon(std::max(side, 0), std::max(side, 0), 3, kStripGrey);
  if (side <= 0 || region.width <= 0 || region.height <= 0 || !region.IsConsistent()) return icon;
  const std::vector<Bgr> regionRgb = RegionColours(regionColor, colors);
  const Bgr line = ColorOf(colors, kLineColor);
  ForEachIconPixel(region.width, region.height, side, [&](int i, int j, std::size_t p) {
    Put(icon.At(i, j), IconColour(region.flags[p], region.regionMap[p], regionRgb, line, colors));
  });
  return icon;
}

std::vector<std::size_t> IconSamplePoints(int width, int height, int side) {
  std::vector<std::size_t> points;
  if (side <= 0 || width <= 0 || height <= 0) return points;
  ForEachIconPixel(width, height, side, [&](int, int, std::size_t p) { points.push_back(p); });
  // An icon larger than the picture shows a pixel more than once, a row again after the next.
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  return points;
}

Raster ComposeFrameIcon(const RegionSamples& samples, const std::vector<int32_t>& regionColor,
                        const ColorSet& colors, int side) {
  Raster icon(std::max(side, 0), std::max(side, 0), 3, kStripGrey);
  const std::vector<std::size_t> points = IconSamplePoints(samples.width, samples.height, side);
  if (points.empty() || points.size() != samples.flags.size()) return icon;
  const std::vector<Bgr> regionRgb = RegionColours(regionColor, colors);
  const Bgr line = ColorOf(colors, kLineColor);
  ForEachIconPixel(samples.width, samples.height, side, [&](int i, int j, std::size_t p) {
    const std::size_t k =
        std::size_t(std::lower_bound(points.begin(), points.end(), p) - points.begin());
    Put(icon.At(i, j), IconColour(samples.flags[k], samples.regionMap[k], regionRgb, line, colors));
  });
  return icon;
}

}  // namespace quenda

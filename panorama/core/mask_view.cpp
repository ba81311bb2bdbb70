// Flips and quarter turns of the image and mask, and the 24-bit view picture.

#include <algorithm>
#include <cstring>
#include <vector>

#include "panorama/core/mask_ops.h"

namespace quenda {

void FlipHorizontal(Raster& picture) {
  const int w = picture.width(), c = picture.channels();
  for (int y = 0; y < picture.height(); ++y) {
    uint8_t* row = picture.Row(y);
    for (int x = 0; x < w / 2; ++x)
      std::swap_ranges(row + x * c, row + x * c + c, row + (w - 1 - x) * c);
  }
}

void FlipVertical(Raster& picture) {
  const std::size_t bytes = std::size_t(picture.width()) * std::size_t(picture.channels());
  for (int y = 0, h = picture.height(); y < h / 2; ++y)
    std::swap_ranges(picture.Row(y), picture.Row(y) + bytes, picture.Row(h - 1 - y));
}

namespace {

// Walks the turned picture in tiles so that the columns read from the source stay in cache.
template <class SourceOf>
Raster Turn(const Raster& picture, SourceOf sourceOf) {
  const int c = picture.channels();
  Raster turned(picture.height(), picture.width(), c);
  constexpr int kTile = 64;
  for (int ty = 0; ty < turned.height(); ty += kTile)
    for (int tx = 0; tx < turned.width(); tx += kTile)
      for (int y = ty; y < std::min(ty + kTile, turned.height()); ++y)
        for (int x = tx; x < std::min(tx + kTile, turned.width()); ++x) {
          const auto [sx, sy] = sourceOf(x, y);
          std::memcpy(turned.At(x, y), picture.At(sx, sy), std::size_t(c));
        }
  return turned;
}

struct Point2 {
  int x, y;
};

}  // namespace

Raster RotateClockwise(const Raster& picture) {
  const int w = picture.width();
  // (x, y) went to (y, w - 1 - x).
  return Turn(picture, [w](int x, int y) { return Point2{w - 1 - y, x}; });
}

Raster RotateCounterClockwise(const Raster& picture) {
  const int h = picture.height();
  // (x, y) went to (h - 1 - y, x).
  return Turn(picture, [h](int x, int y) { return Point2{y, h - 1 - x}; });
}

Raster ComposeView(ConstRasterView image, ConstRasterView mask, PanoramaViewMode mode,
                   const PanoramaViewSettings& settings) {
  const int w = image.width, h = image.height;
  Raster view(w, h, 3, (std::ptrdiff_t(w) * 3 + 3) & ~std::ptrdiff_t(3), 0);
  if (mode == PanoramaViewMode::WithMask) {
    const int tint[3] = {settings.mask.blue, settings.mask.green, settings.mask.red};
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = image.Row(y);
      const uint8_t* m = mask.Row(y);
      uint8_t* out = view.Row(y);
      for (int x = 0; x < w; ++x)
        for (int ch = 0; ch < 3; ++ch) {
          const int a = 255 - m[x] / 2;
          out[3 * x + ch] = uint8_t((p[3 * x + ch] * a + tint[ch] * (255 - a)) / 255);
        }
    }
    return view;
  }
  const int cell = std::max(1, settings.gridSize);
  const int grid[2][3] = {{settings.grid1.blue, settings.grid1.green, settings.grid1.red},
                          {settings.grid2.blue, settings.grid2.green, settings.grid2.red}};
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = image.Row(y);
    const uint8_t* m = mask.Row(y);
    uint8_t* out = view.Row(y);
    const int cellY = y / cell;
    for (int x = 0; x < w; ++x) {
      const int* g = grid[(x / cell + cellY) & 1];
      for (int ch = 0; ch < 3; ++ch)
        out[3 * x + ch] = uint8_t((g[ch] * (255 - m[x]) + p[3 * x + ch] * m[x]) / 255);
    }
  }
  return view;
}

}  // namespace quenda

#include "analyzer/core/paint_composite.h"

#include <algorithm>
#include <array>

#include "common/paint_layer.h"

namespace quenda {

Raster ComposePaintedLayer(const WorkingImage& image, const ColorSet& colors) {
  if (!image.HasRegions()) return {};
  const int w = image.width(), h = image.height();
  Raster layer(w, h, 4);
  const PaintLayerPixels pixels(image.regions, image.grey.data(), w, h, image.regionColor, colors);
  const long long count = (long long)w * h;
  for (long long i = 0; i < count; ++i) {
    uint8_t* p = layer.data() + 4 * i;
    if (!pixels.Make(i, p)) p[0] = p[1] = p[2] = 0;
  }
  return layer;
}

void ShowPaintedLayer(const WorkingImage& image, const ColorSet& colors, PixelRect rect,
                      Raster& display) {
  if (!image.HasRegions()) return;
  rect = ClipToPicture(image, rect);
  const int w = image.width();
  const PaintLayerPixels pixels(image.regions, image.grey.data(), w, image.height(),
                                image.regionColor, colors);
  for (int y = rect.y0; y < rect.y1; ++y) {
    for (int x = rect.x0; x < rect.x1; ++x) {
      uint8_t p[4];
      if (!pixels.Make((long long)y * w + x, p)) p[0] = p[1] = p[2] = 0;
      uint8_t* d = display.At(x, y);
      d[0] = p[0], d[1] = p[1], d[2] = p[2];
    }
  }
}

void SamplePaintedLayer(const WorkingImage& image, const ColorSet& colors, const SampleGrid& grid,
                        RasterView out) {
  if (!image.HasRegions() || !grid.Inside(image.width(), image.height()) || out.channels != 3 ||
      out.width < grid.columns || out.height < grid.rows)
    return;
  const int w = image.width();
  const PaintLayerPixels pixels(image.regions, image.grey.data(), w, image.height(),
                                image.regionColor, colors);
  for (int j = 0; j < grid.rows; ++j) {
    long long i = (long long)grid.Y(j) * w + grid.x0;
    uint8_t* to = out.Row(j);
    for (int c = 0; c < grid.columns; ++c, i += grid.step, to += 3) {
      uint8_t p[4];
      if (!pixels.Make(i, p)) p[0] = p[1] = p[2] = 0;
      to[0] = p[0], to[1] = p[1], to[2] = p[2];
    }
  }
}

Raster FilterComposite(const Raster& layer) {
  const int w = layer.width(), h = layer.height(), channels = layer.channels();
  Raster out(w, h, channels);
  if (w <= 0 || h <= 0) return out;
  constexpr std::array<std::array<int, 5>, 5> kWeights{{
      {1, 1, 1, 1, 1},
      {1, 5, 5, 5, 1},
      {1, 5, 125, 5, 1},
      {1, 5, 5, 5, 1},
      {1, 1, 1, 1, 1},
  }};
  constexpr int kWeightSum = 181;
  for (int y = 0; y < h; ++y) {
    std::array<const uint8_t*, 5> rows;
    for (int j = 0; j < 5; ++j) rows[j] = layer.Row(std::clamp(y + j - 2, 0, h - 1));
    uint8_t* target = out.Row(y);
    for (int x = 0; x < w; ++x) {
      std::array<int, 5> columns;
      for (int i = 0; i < 5; ++i) columns[i] = std::clamp(x + i - 2, 0, w - 1) * channels;
      for (int c = 0; c < channels; ++c) {
        int sum = 0;
        for (int j = 0; j < 5; ++j)
          for (int i = 0; i < 5; ++i) sum += kWeights[j][i] * rows[j][columns[i] + c];
        target[x * channels + c] = uint8_t(sum / kWeightSum);
      }
    }
  }
  return out;
}

}  // namespace quenda

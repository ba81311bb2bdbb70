#include "panorama/oracle/literal_mask.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quenda::literal {

namespace {

// Rows beyond the top and bottom count as `outside`; columns beyond the sides are skipped.
void Neighbourhood(RasterView mask, bool largest, int outside) {
  const Raster original(
      mask.width, mask.height, 1,
      std::vector<uint8_t>(mask.pixels,
                           mask.pixels + std::size_t(mask.width) * std::size_t(mask.height)));
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      int best = largest ? 0 : 255;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || nx >= mask.width) continue;
          const int value = ny < 0 || ny >= mask.height ? outside : *original.At(nx, ny);
          best = largest ? std::max(best, value) : std::min(best, value);
        }
      *mask.At(x, y) = uint8_t(best);
    }
}

}  // namespace

void GrowMask(RasterView mask) {
  Neighbourhood(mask, true, 0);
}

void ShrinkMask(RasterView mask) {
  Neighbourhood(mask, false, 255);
}

void SmoothMask(RasterView mask) {
  static const int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
  for (int y = 1; y < mask.height - 1; ++y)
    for (int x = 1; x < mask.width - 1; ++x) {
      int sum = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) sum += kWeights[j + 1][i + 1] * *mask.At(x + i, y + j);
      *mask.At(x, y) = uint8_t(sum / 16);
    }
}

void InvertMask(RasterView mask) {
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) *mask.At(x, y) = uint8_t(255 - *mask.At(x, y));
}

void ApplyKeyer(ConstRasterView image, RasterView mask, const KeyerSettings& settings) {
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      const uint8_t* p = image.At(x, y);
      const double dr = settings.red - p[2], dg = settings.green - p[1], db = settings.blue - p[0];
      const double d = std::sqrt(dr * dr + dg * dg + db * db);
      const double t = settings.tolerance * 765 * 0.01;
      const int k = d >= t ? 0 : int(255 * (t - d) / t);
      uint8_t& m = *mask.At(x, y);
      switch (settings.operation) {
        case KeyerOperation::Add:
          m = uint8_t(m + (255 - m) * k / 255);
          break;
        case KeyerOperation::Subtract:
          m = uint8_t((255 - k) * m / 255);
          break;
        case KeyerOperation::Replace:
          m = uint8_t(k);
          break;
      }
    }
}

}  // namespace quenda::literal

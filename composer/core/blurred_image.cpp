#include "composer/core/blurred_image.h"

#include <algorithm>

namespace quenda {

namespace {

constexpr uint32_t kLargestWindow = (2 * kMaxBlurRadius + 1) * (2 * kMaxBlurRadius + 1);

// n / d as (n * ceil(2^32 / d)) >> 32. With n = q d + r the product over 2^32 is
// n / d + n e / (d 2^32), e = ceil(2^32 / d) d - 2^32 < d, which stays below q + 1 while
// n e < 2^32: true for every sum of a window (n <= 255 * 961, e < 961).
struct Reciprocals {
  std::array<uint64_t, kLargestWindow + 1> m{};
  Reciprocals() {
    for (uint64_t d = 1; d <= kLargestWindow; ++d) m[d] = ((uint64_t(1) << 32) + d - 1) / d;
  }
};

const Reciprocals& TheReciprocals() {
  static const Reciprocals reciprocals;
  return reciprocals;
}

inline uint8_t Divide(uint32_t n, uint32_t d, const Reciprocals& r) {
  return uint8_t((uint64_t(n) * r.m[d]) >> 32);
}

// Blue, green and red of the pixels that count, their number, and alpha. A row's window holds
// at most 31 pixels, so its sums fit in 16 bits; the column windows need 32.
constexpr int kPlanes = 5;
using Sums = std::array<uint32_t, kPlanes>;
using RowSums = std::array<uint16_t, kPlanes>;

}  // namespace

BlurredImage::BlurredImage(const ClipImage& image, int rx, int ry)
    : width_(image.width), rx_(rx), ry_(ry) {
  const int w = image.width, h = image.height;
  const bool alpha = image.hasAlpha;
  std::vector<RowSums> rowSums(std::size_t(w) * std::size_t(h));
  // Along each row: a prefix sum over the row padded with its end pixels repeated.
  std::vector<Sums> prefix(std::size_t(w + 2 * rx + 1));
  for (int y = 0; y < h; ++y) {
    Sums running{};
    prefix[0] = running;
    for (int i = 0; i < w + 2 * rx; ++i) {
      const uint8_t* p = image.At(std::clamp(i - rx, 0, w - 1), y);
      if (!alpha || p[3] != 0) {
        running[0] += p[0];
        running[1] += p[1];
        running[2] += p[2];
        running[3] += 1;
      }
      if (alpha) running[4] += p[3];
      prefix[std::size_t(i) + 1] = running;
    }
    RowSums* out = &rowSums[std::size_t(y) * std::size_t(w)];
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < kPlanes; ++k)
        out[x][k] = uint16_t(prefix[std::size_t(x + 2 * rx + 1)][k] - prefix[std::size_t(x)][k]);
  }
  // Down each column: a running window over the rows, clamped at both ends.
  const Reciprocals& r = TheReciprocals();
  const uint32_t visited = uint32_t(2 * rx + 1) * uint32_t(2 * ry + 1);
  std::vector<Sums> window(std::size_t(w), Sums{});
  for (int j = -ry; j <= ry; ++j) {
    const RowSums* row = &rowSums[std::size_t(std::clamp(j, 0, h - 1)) * std::size_t(w)];
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < kPlanes; ++k) window[std::size_t(x)][k] += row[x][k];
  }
  pixels_.resize(std::size_t(w) * std::size_t(h) * 4);
  for (int y = 0; y < h; ++y) {
    uint8_t* out = pixels_.data() + std::size_t(y) * std::size_t(w) * 4;
    for (int x = 0; x < w; ++x, out += 4) {
      const Sums& s = window[std::size_t(x)];
      if (alpha) {
        if (s[3] > 0) {
          out[0] = Divide(s[0], s[3], r);
          out[1] = Divide(s[1], s[3], r);
          out[2] = Divide(s[2], s[3], r);
        } else {
          out[0] = out[1] = out[2] = 0;
        }
        out[3] = Divide(s[4], visited, r);
      } else {
        out[0] = Divide(s[0], visited, r);
        out[1] = Divide(s[1], visited, r);
        out[2] = Divide(s[2], visited, r);
        out[3] = 255;
      }
    }
    if (y + 1 == h) break;
    const RowSums* leaving = &rowSums[std::size_t(std::clamp(y - ry, 0, h - 1)) * std::size_t(w)];
    const RowSums* entering =
        &rowSums[std::size_t(std::clamp(y + ry + 1, 0, h - 1)) * std::size_t(w)];
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < kPlanes; ++k) window[std::size_t(x)][k] += entering[x][k] - leaving[x][k];
  }
}

}  // namespace quenda

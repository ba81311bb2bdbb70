#include "media/movie_picture_planes.h"

#include <cmath>
#include <cstring>

#include "common/thread_pool.h"

namespace quenda::media {
namespace {

// BT.709 luma weights.
constexpr double kRed = 0.2126, kBlue = 0.0722, kGreen = 1 - kRed - kBlue;
constexpr int kShift = 16;

constexpr int Fixed(double value) {
  return int(value * (1 << kShift) + (value < 0 ? -0.5 : 0.5));
}

// Weights of red, green and blue for one component, scaled to the `range` of its levels;
// colour differences sum to zero so that every grey has no colour.
struct Weights {
  int red, green, blue;
};
constexpr Weights Luma(double range) {
  return {Fixed(kRed * range / 255), Fixed(kGreen * range / 255), Fixed(kBlue * range / 255)};
}
constexpr Weights BlueDifference(double range) {
  const int red = Fixed(-kRed / (2 * (1 - kBlue)) * range / 255);
  const int blue = Fixed(0.5 * range / 255);
  return {red, -red - blue, blue};
}
constexpr Weights RedDifference(double range) {
  const int red = Fixed(0.5 * range / 255);
  const int blue = Fixed(-kBlue / (2 * (1 - kRed)) * range / 255);
  return {red, -red - blue, blue};
}

// Limited range: 8-bit luma 16..235 and colour 16..240 about 128; 10-bit four times that.
constexpr Weights kY8 = Luma(219), kCb8 = BlueDifference(224), kCr8 = RedDifference(224);
constexpr Weights kY10 = Luma(876), kCb10 = BlueDifference(896), kCr10 = RedDifference(896);

struct Rgb {
  int red, green, blue;
};

// Rounds `weights` times a colour scaled by 2^extraShift, plus `offset`.
inline int Apply(const Weights& w, Rgb c, int offset, int extraShift) {
  const int shift = kShift + extraShift;
  return (w.red * c.red + w.green * c.green + w.blue * c.blue + (offset << shift) +
          (1 << (shift - 1))) >>
         shift;
}

// One pixel laid over the background; outside the picture the background itself.
inline Rgb Over(const uint8_t* row, int x, int width, int channels, Background b) {
  if (!row || x >= width) return {b.red, b.green, b.blue};
  const uint8_t* p = row + std::ptrdiff_t(x) * channels;
  const int a = channels == 4 ? p[3] : 255;
  if (a == 255) return {p[2], p[1], p[0]};
  return {(p[2] * a + b.red * (255 - a) + 127) / 255, (p[1] * a + b.green * (255 - a) + 127) / 255,
          (p[0] * a + b.blue * (255 - a) + 127) / 255};
}

inline void Put10(uint8_t* plane, int x, int value) {
  const auto v = uint16_t(value);
  std::memcpy(plane + std::ptrdiff_t(x) * 2, &v, 2);  // the planes are little-endian, as x86
}

}  // namespace

void PictureToYuv420(ConstRasterView picture, int paddedWidth, int paddedHeight,
                     Background background, const Planes& out) {
  const int width = picture.width, height = picture.height, channels = picture.channels;
  // Top row first: movie row y is the picture's row height - 1 - y.
  auto source = [&](int y) { return y < height ? picture.Row(height - 1 - y) : nullptr; };
  // Each pair of rows writes only its own rows of the planes: bands of pairs run at once.
  ParallelBands(0, paddedHeight / 2, [&](int firstPair, int endPair) {
    for (int y = 2 * firstPair; y < 2 * endPair; y += 2) {
      const uint8_t* rows[2] = {source(y), source(y + 1)};
      uint8_t* luma[2] = {out.data[0] + std::ptrdiff_t(y) * out.stride[0],
                          out.data[0] + std::ptrdiff_t(y + 1) * out.stride[0]};
      uint8_t* cb = out.data[1] + std::ptrdiff_t(y / 2) * out.stride[1];
      uint8_t* cr = out.data[2] + std::ptrdiff_t(y / 2) * out.stride[2];
      for (int x = 0; x < paddedWidth; x += 2) {
        Rgb sum{0, 0, 0};
        for (int r = 0; r < 2; ++r)
          for (int c = 0; c < 2; ++c) {
            const Rgb p = Over(rows[r], x + c, width, channels, background);
            luma[r][x + c] = uint8_t(Apply(kY8, p, 16, 0));
            sum.red += p.red, sum.green += p.green, sum.blue += p.blue;
          }
        cb[x / 2] = uint8_t(Apply(kCb8, sum, 128, 2));
        cr[x / 2] = uint8_t(Apply(kCr8, sum, 128, 2));
      }
    }
  });
}

void PictureToYuva444p10(ConstRasterView picture, const Planes& out) {
  const int width = picture.width, height = picture.height, channels = picture.channels;
  ParallelBands(0, height, [&](int firstRow, int endRow) {
    for (int y = firstRow; y < endRow; ++y) {
      const uint8_t* in = picture.Row(height - 1 - y);
      uint8_t* planes[4];
      for (int i = 0; i < 4; ++i) planes[i] = out.data[i] + std::ptrdiff_t(y) * out.stride[i];
      for (int x = 0; x < width; ++x, in += channels) {
        const Rgb p{in[2], in[1], in[0]};
        const int a = channels == 4 ? in[3] : 255;
        Put10(planes[0], x, Apply(kY10, p, 64, 0));
        Put10(planes[1], x, Apply(kCb10, p, 512, 0));
        Put10(planes[2], x, Apply(kCr10, p, 512, 0));
        Put10(planes[3], x, (a * 1023 + 127) / 255);
      }
    }
  });
}

}  // namespace quenda::media

// The one-pass picture conversion against a literal one in floating point, pixel by pixel, on
// generated cels: odd sides padded with the background, pictures with and without alpha.

#include "media/movie_picture_planes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/thread_pool.h"
#include "testing/inner_threads.h"

namespace quenda::media {
namespace {

constexpr double kRed = 0.2126, kBlue = 0.0722, kGreen = 1 - kRed - kBlue;

// Flat colours in bands with soft edges and an alpha that runs from clear to opaque.
Raster MakeCel(int width, int height, int channels, int seed) {
  Raster picture(width, height, channels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = picture.At(x, y);
      const int band = (x / 5 + y / 3 + seed) % 4;
      p[0] = uint8_t(band * 80 + (x * 7) % 15);
      p[1] = uint8_t(255 - band * 60 - (y * 5) % 11);
      p[2] = uint8_t((x * y + seed * 37) % 256);
      if (channels == 4) p[3] = uint8_t(x == 0 ? 0 : x == 1 ? 255 : (x * 29 + y * 13) % 256);
    }
  return picture;
}

struct Colour {
  double red, green, blue;
};

// The picture's pixel at movie position (x, y), top row first, over the background as 8-bit
// values; the background itself past the picture's sides.
Colour Literal(const Raster& picture, int x, int y, Background b) {
  if (x >= picture.width() || y >= picture.height())
    return {double(b.red), double(b.green), double(b.blue)};
  const uint8_t* p = picture.At(x, picture.height() - 1 - y);
  const int a = picture.channels() == 4 ? p[3] : 255;
  auto over = [&](int value, int under) {
    return double((value * a + under * (255 - a) + 127) / 255);
  };
  return {over(p[2], b.red), over(p[1], b.green), over(p[0], b.blue)};
}

int Round(double value) {
  return int(std::floor(value + 0.5));
}
double Luma(Colour c) {
  return (kRed * c.red + kGreen * c.green + kBlue * c.blue) / 255;
}
double BlueDifference(Colour c) {
  return (c.blue / 255 - Luma(c)) / (2 * (1 - kBlue));
}
double RedDifference(Colour c) {
  return (c.red / 255 - Luma(c)) / (2 * (1 - kRed));
}

struct Case {
  int width, height, channels;
  Background background;
};

class Yuv420 : public ::testing::TestWithParam<Case> {};

TEST_P(Yuv420, EveryValueAsTheLiteralConversionWithinARoundingStep) {
  const Case c = GetParam();
  const Raster picture = MakeCel(c.width, c.height, c.channels, 3);
  const int pw = (c.width + 1) / 2 * 2, ph = (c.height + 1) / 2 * 2;
  std::vector<uint8_t> y(std::size_t(pw) * ph), cb(std::size_t(pw / 2) * (ph / 2)), cr(cb.size());
  PictureToYuv420(picture, pw, ph, c.background,
                  Planes{{y.data(), cb.data(), cr.data(), nullptr}, {pw, pw / 2, pw / 2, 0}});
  int worst = 0;
  for (int row = 0; row < ph; ++row)
    for (int x = 0; x < pw; ++x) {
      const int want = Round(16 + 219 * Luma(Literal(picture, x, row, c.background)));
      worst = std::max(worst, std::abs(y[std::size_t(row) * pw + x] - want));
    }
  for (int row = 0; row < ph / 2; ++row)
    for (int x = 0; x < pw / 2; ++x) {
      Colour mean{0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        const Colour p = Literal(picture, 2 * x + k % 2, 2 * row + k / 2, c.background);
        mean = {mean.red + p.red / 4, mean.green + p.green / 4, mean.blue + p.blue / 4};
      }
      const std::size_t at = std::size_t(row) * (pw / 2) + x;
      worst = std::max(worst, std::abs(cb[at] - Round(128 + 224 * BlueDifference(mean))));
      worst = std::max(worst, std::abs(cr[at] - Round(128 + 224 * RedDifference(mean))));
    }
  EXPECT_LE(worst, 1);
}

INSTANTIATE_TEST_SUITE_P(Pictures, Yuv420,
                         ::testing::Values(Case{16, 8, 3, {255, 255, 255}},
                                           Case{17, 9, 4, {255, 255, 255}},
                                           Case{33, 20, 4, {20, 140, 250}},
                                           Case{1, 1, 4, {0, 0, 0}}));

TEST(Yuva444p10, EveryValueAsTheLiteralConversionWithinARoundingStep) {
  for (int channels : {3, 4}) {
    const Raster picture = MakeCel(21, 13, channels, 1);
    const int w = picture.width(), h = picture.height();
    std::vector<uint8_t> planes[4];
    for (auto& plane : planes) plane.assign(std::size_t(w) * h * 2, 0);
    PictureToYuva444p10(
        picture, Planes{{planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()},
                        {w * 2, w * 2, w * 2, w * 2}});
    int worst = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = picture.At(x, h - 1 - y);
        const Colour colour{double(p[2]), double(p[1]), double(p[0])};
        const double want[4] = {64 + 876 * Luma(colour), 512 + 896 * BlueDifference(colour),
                                512 + 896 * RedDifference(colour),
                                channels == 4 ? p[3] * 1023.0 / 255 : 1023};
        for (int i = 0; i < 4; ++i) {
          uint16_t got = 0;
          std::memcpy(&got, planes[i].data() + (std::size_t(y) * w + x) * 2, 2);
          worst = std::max(worst, std::abs(int(got) - Round(want[i])));
        }
      }
    EXPECT_LE(worst, 1) << channels << " channels";
  }
}

// Rows converted in bands on several threads: the planes of one thread, padding rows included.
TEST(PicturePlanes, BandsOnAnyThreadCountGiveTheOneThreadPlanes) {
  const Raster picture = MakeCel(23, 291, 4, 5);
  const int pw = 24, ph = 292;
  auto convert = [&](int threads) {
    const quenda::testing::InnerThreadsSetTo set(threads);
    std::vector<uint8_t> yuv420[3] = {std::vector<uint8_t>(std::size_t(pw) * ph),
                                      std::vector<uint8_t>(std::size_t(pw) * ph / 4),
                                      std::vector<uint8_t>(std::size_t(pw) * ph / 4)};
    PictureToYuv420(picture, pw, ph, {20, 140, 250},
                    Planes{{yuv420[0].data(), yuv420[1].data(), yuv420[2].data(), nullptr},
                           {pw, pw / 2, pw / 2, 0}});
    const int w = picture.width(), h = picture.height();
    std::vector<uint8_t> yuva[4];
    for (auto& plane : yuva) plane.assign(std::size_t(w) * h * 2, 0);
    PictureToYuva444p10(picture,
                        Planes{{yuva[0].data(), yuva[1].data(), yuva[2].data(), yuva[3].data()},
                               {w * 2, w * 2, w * 2, w * 2}});
    std::vector<std::vector<uint8_t>> all(std::begin(yuv420), std::end(yuv420));
    all.insert(all.end(), std::begin(yuva), std::end(yuva));
    return all;
  };
  const auto one = convert(1);
  // The padding row at the bottom is the background's, not what the buffer held.
  EXPECT_NE(one[0][std::size_t(pw) * (ph - 1)], 0);
  for (int threads : {2, 7}) EXPECT_EQ(convert(threads), one) << threads;
}

}  // namespace
}  // namespace quenda::media

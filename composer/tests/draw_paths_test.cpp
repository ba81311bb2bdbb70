// The clip drawer's shortcuts held to the literal drawer: sampling four channels at once, the
// blur built from running column sums, a leading Blur sampled as a picture, transparent
// pixels dropped early, and rows longer than one pass of columns.

#include <gtest/gtest.h>

#include <algorithm>

#include "composer/core/blurred_image.h"
#include "composer/core/draw_clip.h"
#include "composer/oracle/literal_draw_clip.h"
#include "composer/tests/composer_test_files.h"

namespace quenda {
namespace {

using testing::Filled;
using testing::Pattern;

// Large transparent blocks beside opaque and part-transparent ones, colours at the extremes:
// sums of the blur reach their largest and spans of alpha 0 are common.
ClipImage Blocks(int width, int height, bool alpha) {
  ClipImage image = Pattern(width, height, alpha, 77);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = const_cast<uint8_t*>(image.At(x, y));
      const int block = (x / 6 + y / 5) % 3;
      if (block == 0) p[0] = p[1] = p[2] = 255;
      if (alpha) p[3] = block == 1 ? 0 : (block == 0 ? 255 : p[3]);
    }
  return image;
}

using Runs = std::vector<std::vector<EffectParams>>;

// Every image, placement, effect run, quality below `qualities` and antialiasing drawn by the
// fast and the literal drawer into a width x height buffer of grey 90 and matte `matte`, compared
// byte for byte with the matte; `frame` times the ripples.
void ExpectSameAsLiteral(const std::vector<ClipImage>& images,
                         const std::vector<ClipPlacement>& placements, const Runs& runs, int frame,
                         int qualities, int width, int height, int matte) {
  for (const ClipImage& image : images)
    for (const ClipPlacement& placement : placements)
      for (const auto& effects : runs)
        for (int quality = 0; quality < qualities; ++quality)
          for (bool antialias : {false, true}) {
            FrameBuffer fast = Filled(width, height, 90, matte), literal = fast;
            const DrawSettings settings{frame, quality, antialias};
            DrawClip(image, placement, effects, settings, fast);
            oracle::LiteralDrawClip(image, placement, effects, settings, literal);
            ASSERT_EQ(fast.bgr, literal.bgr)
                << image.width() << "x" << image.height() << " channels " << image.channels()
                << " at " << placement.x << "," << placement.y << " effects " << effects.size()
                << " q" << quality << " aa" << antialias;
            ASSERT_EQ(fast.matte, literal.matte);
          }
}

TEST(ClipSample, FourChannelsAtOnceMatchTheFormulaUpToTheLastPixel) {
  for (bool alpha : {false, true}) {
    const ClipImage image = Pattern(47, 33, alpha, 12);
    // Fractions of every kind, down to the top right neighbour being the image's last pixel.
    for (double sy : {0.0, 0.25, 7.999999, 16.5, 31.0, 31.75, 31.9999999})
      for (double sx : {0.0, 0.125, 1.5, 23.3333, 44.999, 45.0, 45.5, 45.9999999}) {
        const Rgba fast = SampleImage(image, sx, sy, true);
        ASSERT_EQ(fast, oracle::LiteralSample(image, sx, sy, true)) << sx << "," << sy;
        const uint8_t* p00 = image.At(int(sx), int(sy));
        const std::size_t pixelBytes = alpha ? 4 : 3, row = 47 * pixelBytes;
        ASSERT_EQ(
            clip_sample::BilinearScalar(p00, pixelBytes, row, alpha, sx - int(sx), sy - int(sy)),
            fast);
        ASSERT_EQ(SampleImage(image, sx, sy, false), oracle::LiteralSample(image, sx, sy, false));
      }
  }
}

TEST(BlurredImage, BothArithmeticsMatchTheLiteralBlurAtEveryWindowNearTheEdges) {
  // Blocks of odd sizes with extreme sums, and a plain pattern under every pairing of radii.
  std::vector<std::pair<int, int>> radii = {{0, 4}, {7, 2}};
  for (int rx : {0, 1, 6, 15})
    for (int ry : {0, 2, 15}) radii.emplace_back(rx, ry);
  for (bool alpha : {false, true})
    for (const ClipImage& image : {Blocks(1, 1, alpha), Blocks(2, 3, alpha), Blocks(47, 33, alpha),
                                   Blocks(3, 40, alpha), Pattern(19, 13, alpha, 42)}) {
      const int w = image.width(), h = image.height();
      for (auto [rx, ry] : radii) {
        const BlurredImage vector(image, rx, ry, BlurArithmetic::Vector);
        const BlurredImage scalar(image, rx, ry, BlurArithmetic::Scalar);
        ASSERT_EQ(vector.image().bytes().size(), std::size_t(w * h * 4));
        for (int ty = 0; ty < h; ++ty)
          for (int tx = 0; tx < w; ++tx) {
            const Rgba expected = oracle::LiteralBlur(image, tx, ty, rx, ry);
            ASSERT_EQ(vector.At(tx, ty), expected)
                << tx << "," << ty << " in " << w << "x" << h << " r " << rx << "," << ry
                << " alpha " << alpha;
            ASSERT_EQ(scalar.At(tx, ty), expected) << tx << "," << ty << " r " << rx << "," << ry;
          }
      }
    }
}

TEST(BlurredImage, FullWindowsOfBrightPixelsDivideExactly) {
  // Every window sum is 255 times the count of pixels with alpha: the largest quotients.
  ClipImage image(31, 31, 4, 255);
  for (int i = 0; i < 31 * 31; ++i) image.data()[4 * i + 3] = uint8_t(i % 7 == 0 ? 0 : 255 - i % 5);
  const BlurredImage blurred(image, 15, 15);
  for (int ty = 0; ty < 31; ty += 3)
    for (int tx = 0; tx < 31; tx += 2) {
      const Rgba b = blurred.At(tx, ty);
      ASSERT_EQ(b, oracle::LiteralBlur(image, tx, ty, 15, 15)) << tx << "," << ty;
      ASSERT_EQ(b.r, 255);
    }
}

TEST(DrawClip, PlacementsSamplingAndEveryEffectMatchTheLiteralDrawer) {
  const std::vector<ClipPlacement> placements = {
      {23, 16, 1, 1, 0},        {2, 30, 1.7, 0.6, 0},       {40, 10, 0.8, 1.3, 0.7},
      {25, 20, 2.5, 2.5, -2.9}, {-5, -3, 1, 1, 3.14159265}, {26, 19, 0.31, 0.45, 1.2}};
  const Runs runs = {
      {},
      {{ClipKind::Blur, 15, 15}},
      {{ClipKind::Blur, 3, 0}, {ClipKind::Blur, 0, 5}},
      {{ClipKind::DirectionalBlur, 7, 33}, {ClipKind::Transparency, 35, 0}},
      {{ClipKind::BrightnessContrast, 40, -90}, {ClipKind::HueSaturation, 100, -30}},
      {{ClipKind::BrightnessContrast, -127, 127}, {ClipKind::HueSaturation, -127, 127}},
      {{ClipKind::Underwater, 13, 50}, {ClipKind::Blur, 2, 4}, {ClipKind::Underwater, 0, 7}},
  };
  std::vector<ClipImage> images;
  int seed = 0;
  for (bool alpha : {false, true})
    for (auto [w, h] : {std::pair{47, 33}, std::pair{5, 4}, std::pair{2, 2}})
      images.push_back(Pattern(w, h, alpha, ++seed));
  ExpectSameAsLiteral(images, placements, runs, 11, 3, 52, 40, 0);
}

TEST(DrawClip, EffectOrdersAroundBlursAndTransparentPixels) {
  const Runs runs = {
      // A leading Blur is sampled as a picture, then colour effects run on it.
      {{ClipKind::Blur, 2, 3}, {ClipKind::HueSaturation, 60, 20}, {ClipKind::Transparency, 30, 0}},
      // A Directional Blur replaces the sample; a Blur then replaces it again.
      {{ClipKind::DirectionalBlur, 4, 120},
       {ClipKind::Blur, 1, 1},
       {ClipKind::Transparency, 10, 0}},
      // A Blur after another effect (not the order the engine hands over, but allowed).
      {{ClipKind::Transparency, 50, 0},
       {ClipKind::Blur, 3, 3},
       {ClipKind::BrightnessContrast, 9, 9}},
      // Only colour effects: pixels whose sample has alpha 0 are dropped before them.
      {{ClipKind::Transparency, 100, 0}},
      {{ClipKind::HueSaturation, -40, 90}},
      // Ripples move the point the Blur is looked up at.
      {{ClipKind::Underwater, 9, 40}, {ClipKind::Blur, 0, 6}, {ClipKind::HueSaturation, 5, 5}},
  };
  ExpectSameAsLiteral({Blocks(37, 29, false), Blocks(37, 29, true)},
                      {{24, 17, 1, 1, 0}, {20, 15, 1.6, 0.7, 0.5}, {30, 12, 0.9, 1.2, -2.2}}, runs,
                      5, 2, 52, 40, 9);
}

TEST(DrawClip, RowsLongerThanOnePassOfColumns) {
  // A wide buffer and a clip stretched across it: rows run through several passes, and their
  // joins must not drop, repeat or shift a pixel.
  ExpectSameAsLiteral(
      {Blocks(61, 9, false), Blocks(61, 9, true)}, {{700, 4, 23.5, 1, 0}, {650, 5, 20, 0.8, 0.02}},
      {{}, {{ClipKind::Blur, 2, 1}}, {{ClipKind::BrightnessContrast, 20, 10}}}, 0, 1, 1404, 10, 9);
  // The stretched clip really covers columns of several passes.
  FrameBuffer buffer = Filled(1404, 10, 90, 9);
  DrawClip(Blocks(61, 9, false), {700, 4, 23.5, 1, 0}, {}, {}, buffer);
  int drawn = 0;
  for (int x = 0; x < 1404; ++x) drawn += buffer.matte[std::size_t(4 * 1404 + x)] == 255;
  EXPECT_GT(drawn, 1000);
}

}  // namespace
}  // namespace quenda

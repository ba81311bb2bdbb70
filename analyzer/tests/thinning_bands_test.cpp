// Thinning in bands of rows on several threads: the line map is that of one thread, byte for
// byte, for strokes that cross the bands' seams at every angle and thickness, for dense maps
// where a changed decision at a seam runs on into the band, and for thinning again around
// added pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/thinning.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/region_data.h"
#include "common/stripes.h"
#include "common/thread_pool.h"
#include "testing/inner_threads.h"

namespace quenda {
namespace {

using namespace testing;

constexpr int kThreads[] = {2, 7};

// Straight strokes 1 to 8 pixels thick through points on the seams of `threads` bands, one
// every 7.5 degrees, each a little lighter than the last so their crossings differ.
std::vector<uint8_t> SeamStrokes(int width, int height, int threads) {
  std::vector<uint8_t> grey(std::size_t(width) * height, 240);
  const Stripes bands(1, height - 1, threads);
  int stroke = 0;
  for (int k = 1; k < bands.count(); ++k)
    for (int step = 0; step < 24; ++step, ++stroke) {
      const double angle = step * std::numbers::pi / 24, cx = 8 + (stroke * 37) % (width - 16);
      const double cy = bands.Start(k) - 0.5 + (stroke % 3) * 0.5, half = 0.5 + (stroke % 8) / 2.0;
      const double dx = std::cos(angle), dy = std::sin(angle);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const double along = (x - cx) * dx + (y - cy) * dy;
          const double across = -(x - cx) * dy + (y - cy) * dx;
          if (std::abs(across) <= half && std::abs(along) < 40) {
            uint8_t& g = grey[std::size_t(y) * width + x];
            g = std::min<uint8_t>(g, uint8_t(20 + stroke % 60));
          }
        }
    }
  return grey;
}

// The flags thinning leaves on `flags` over `rect` with `threads` threads.
std::vector<uint8_t> Thinned(std::vector<uint8_t> flags, int width, PixelRect rect, int threads,
                             const std::vector<std::ptrdiff_t>* changed = nullptr) {
  ThinLines(flags, width, rect, changed, false, threads);
  return flags;
}

class ThinningInBands : public ::testing::Test {
 protected:
  InnerThreadsRestored restored_;
};

TEST_F(ThinningInBands, StrokesAcrossTheSeamsAtEveryAngleThinAsOnOneThreadAndTheLoops) {
  const int width = 230, height = 900;
  for (int seams : {2, 7}) {
    SCOPED_TRACE(::testing::Message() << "strokes on the seams of " << seams << " bands");
    const std::vector<uint8_t> grey = SeamStrokes(width, height, seams);
    NullProgress progress;
    WorkingImage literal = MakeWorkingImage(width, height, grey);
    GenerateLinesLiteral(literal, {}, 0, width, 0, height, progress);
    for (int threads : {1, 2, 7}) {
      SCOPED_TRACE(::testing::Message() << threads << " threads");
      SetInnerThreads(threads);
      WorkingImage image = MakeWorkingImage(width, height, grey);
      GenerateLines(image, {}, 0, width, 0, height, progress);
      EXPECT_EQ(image.regions.flags, literal.regions.flags);
      EXPECT_TRUE(image.display == literal.display) << "display images differ";
    }
    // The strokes were thinned, not left as they were picked up.
    std::size_t dark = 0, lines = 0;
    for (std::size_t i = 0; i < grey.size(); ++i)
      dark += grey[i] < 100, lines += literal.regions.flags[i] & kFlagRegionLine;
    EXPECT_LT(lines * 2, dark);
  }
}

TEST_F(ThinningInBands, DenseMapsWhoseSeamDecisionsRunIntoTheBands) {
  // Half the pixels lines: most decisions hang on a neighbour's, so a seam's correction
  // travels far; a rectangle inside the picture keeps its border and the rest untouched.
  const int width = 150, height = 640;
  const PixelRect rects[] = {{0, width, 0, height}, {7, 141, 33, 600}, {0, 9, 0, height}};
  int seed = 40;
  for (const PixelRect& rect : rects)
    for (int percent : {30, 50, 75}) {
      SCOPED_TRACE(::testing::Message() << percent << "% lines, rect " << rect.x0 << ".." << rect.x1
                                        << " x " << rect.y0 << ".." << rect.y1);
      std::vector<uint8_t> map = RandomLineMap(width, height, percent, uint32_t(seed++));
      // Marks and other bits left from earlier work, which thinning clears or keeps.
      for (std::size_t i = 0; i < map.size(); i += 5) map[i] |= uint8_t(i % 3 == 0 ? 2 : 4);
      const std::vector<uint8_t> one = Thinned(map, width, rect, 1);
      EXPECT_NE(one, map);
      for (int threads : kThreads) EXPECT_EQ(Thinned(map, width, rect, threads), one) << threads;
    }
}

TEST_F(ThinningInBands, ThinningAroundAddedPixelsIsThinningEverything) {
  const int width = 170, height = 700;
  const PixelRect all{0, width, 0, height};
  std::vector<uint8_t> map = Thinned(RandomLineMap(width, height, 45, 7), width, all, 1);
  // Pixels added to the thinned lines, many on the seams, as growth adds them.
  std::mt19937 random(8);
  std::vector<std::ptrdiff_t> added;
  for (int k = 0; k < 900; ++k) {
    const int x = 1 + int(random() % (width - 2));
    const int y =
        k % 2 ? 1 + int(random() % (height - 2)) : Stripes(1, height - 1, 7).Start(k % 6 + 1);
    const std::ptrdiff_t i = std::ptrdiff_t(y) * width + x;
    if (map[std::size_t(i)] & kFlagRegionLine) continue;
    map[std::size_t(i)] |= kFlagRegionLine;
    added.push_back(i);
  }
  const std::vector<uint8_t> everything = Thinned(map, width, all, 1);
  EXPECT_NE(everything, map);
  for (int threads : {1, 2, 7})
    EXPECT_EQ(Thinned(map, width, all, threads, &added), everything) << threads << " threads";
}

}  // namespace
}  // namespace quenda

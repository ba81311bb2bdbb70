// Line generation where the literal comparison does not reach: rectangles beyond the picture,
// the stage reports against their literal texts, and showing the clamped picture. Thresholds,
// thinning, growth, borders and the display are compared with the literal loops in
// analysis_matches_literal_test.

#include "analyzer/core/line_generation.h"

#include <gtest/gtest.h>

#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/scripted_prompt.h"

namespace quenda {
namespace {

Bgr Shown(const WorkingImage& image, int x, int y) {
  const uint8_t* p = image.display.At(x, y);
  return {p[0], p[1], p[2]};
}

TEST(LineGeneration, RectanglesPastThePictureAreCut) {
  auto grey = testing::RandomDrawing(40, 30, testing::DrawingKind::Mixed, 5);
  WorkingImage whole = MakeWorkingImage(40, 30, grey);
  WorkingImage past = MakeWorkingImage(40, 30, grey);
  NullProgress progress;
  GenerateLines(whole, {}, 0, 40, 0, 30, progress);
  GenerateLines(past, {}, -5, 400, -1, 31, progress);
  EXPECT_EQ(past.regions.flags, whole.regions.flags);
  EXPECT_TRUE(past.display == whole.display);
  WorkingImage empty = MakeWorkingImage(40, 30, grey);
  GenerateLines(empty, {}, 30, 10, 0, 30, progress);  // inverted: nothing to do
  for (uint8_t f : empty.regions.flags) EXPECT_EQ(f, 0);
}

TEST(LineGeneration, ReportsEachStageAndShowClampedImageLeavesFlags) {
  std::vector<uint8_t> grey(81, 240);
  for (int x = 1; x <= 7; ++x) grey[4 * 9 + std::size_t(x)] = 0;  // a stroke on row 4
  WorkingImage image = MakeWorkingImage(9, 9, grey);
  ScriptedProgress progress;
  GenerateLines(image, {}, 0, 9, 0, 9, progress);
  EXPECT_EQ(progress.stages, (std::vector<std::string>{"Preparing...", "Pass 1...", "Pass 2...",
                                                       "Pass 3...", "Pass 4...", "Done"}));
  EXPECT_EQ(progress.percents, (std::vector<int>{1, 10, 50, 70, 90, 100}));

  const auto flags = image.regions.flags;
  ShowClampedImage(image, {100, 150, 220, 50}, 0, 5, 0, 9);
  EXPECT_EQ(image.regions.flags, flags);
  EXPECT_EQ(Shown(image, 4, 4), (Bgr{0, 0, 0}));      // line pixel now shows its grey
  EXPECT_EQ(Shown(image, 5, 4), kDefaultLineColour);  // outside the rectangle: unchanged
  EXPECT_EQ(Shown(image, 1, 1), (Bgr{255, 255, 255}));
}

}  // namespace
}  // namespace quenda

// Line generation on hand-made drawings: thresholds, dots, growth across gaps, borders, test
// rectangles, the display and the progress reports.

#include "analyzer/core/line_generation.h"

#include <gtest/gtest.h>

#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/scripted_prompt.h"

namespace quenda {
namespace {

constexpr uint8_t kPaper = 240;

// A picture of paper with the listed pixels set to a grey.
struct Drawing {
  int width, height;
  std::vector<uint8_t> grey;
  Drawing(int w, int h) : width(w), height(h), grey(std::size_t(w) * h, kPaper) {}
  Drawing& Set(int x, int y, uint8_t g) {
    grey[std::size_t(y) * width + x] = g;
    return *this;
  }
  Drawing& Row(int y, int x0, int x1, uint8_t g) {
    for (int x = x0; x <= x1; ++x) Set(x, y, g);
    return *this;
  }
  WorkingImage Lines(const RedlineSettings& settings = {}) const {
    WorkingImage image = MakeWorkingImage(width, height, grey);
    NullProgress progress;
    GenerateLines(image, settings, 0, width, 0, height, progress);
    return image;
  }
};

uint8_t FlagAt(const WorkingImage& image, int x, int y) {
  return image.regions.flags[std::size_t(y) * image.width() + x];
}
bool IsLine(const WorkingImage& image, int x, int y) {
  return FlagAt(image, x, y) & 1;
}
int LineCount(const WorkingImage& image) {
  int n = 0;
  for (uint8_t f : image.regions.flags) n += f & 1;
  return n;
}
Bgr Shown(const WorkingImage& image, int x, int y) {
  const uint8_t* p = image.display.At(x, y);
  return {p[0], p[1], p[2]};
}
Bgr GreyShown(uint8_t g) {
  return {g, g, g};
}

TEST(LineGeneration, PickUpIsStrictlyDarkerThanTheSetting) {
  // With the defaults, 99 is a line and 100 is not; a lone dot is neither thinned away nor
  // grown, since its code is 0 and its block holds one line pixel.
  WorkingImage dark = Drawing(7, 7).Set(3, 3, 99).Set(4, 4, 149).Lines();
  EXPECT_TRUE(IsLine(dark, 3, 3));
  EXPECT_EQ(LineCount(dark), 1);
  WorkingImage light = Drawing(7, 7).Set(3, 3, 100).Lines();
  EXPECT_EQ(LineCount(light), 0);
  EXPECT_EQ(FlagAt(light, 3, 3), kFlagAnimatorLine);  // still ink: darker than white clamp
}

TEST(LineGeneration, StrokeEndsGrowOnlyOverPixelsDarkerThanGrowth) {
  // A horizontal stroke x 2..5 on row 3; the next pixel to the right is 149 or 150.
  for (uint8_t next : {uint8_t(149), uint8_t(150)}) {
    SCOPED_TRACE(int(next));
    WorkingImage image = Drawing(12, 7).Row(3, 2, 5, 0).Set(6, 3, next).Lines();
    for (int x = 2; x <= 5; ++x) EXPECT_TRUE(IsLine(image, x, 3));
    EXPECT_EQ(IsLine(image, 6, 3), next == 149);
    EXPECT_EQ(LineCount(image), next == 149 ? 5 : 4);
  }
}

TEST(LineGeneration, GrowthBridgesALightGapAndStopsAtPaper) {
  // Two strokes on row 4 with a gap of three pencil-grey pixels between them, then paper.
  WorkingImage image =
      Drawing(20, 9).Row(4, 2, 7, 10).Row(4, 8, 10, 130).Row(4, 11, 15, 10).Lines();
  for (int x = 2; x <= 15; ++x) EXPECT_TRUE(IsLine(image, x, 4)) << x;
  EXPECT_EQ(LineCount(image), 14);
  // Growth follows its direction through the window: a diagonal stroke end takes the 2 x 2
  // block ahead of it.
  WorkingImage diagonal =
      Drawing(12, 12).Set(2, 2, 0).Set(3, 3, 0).Set(4, 4, 0).Set(5, 5, 120).Set(6, 6, 120).Lines();
  EXPECT_TRUE(IsLine(diagonal, 5, 5));
  EXPECT_TRUE(IsLine(diagonal, 6, 6));
}

TEST(LineGeneration, ThickStrokesThinToOnePixel) {
  Drawing drawing(30, 11);
  for (int y = 3; y <= 7; ++y) drawing.Row(y, 2, 27, 20);
  WorkingImage image = drawing.Lines();
  // Inside the stroke (away from its rounded ends) every column keeps exactly one pixel.
  for (int x = 6; x <= 23; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 11; ++y) inColumn += IsLine(image, x, y);
    EXPECT_EQ(inColumn, 1) << "column " << x;
  }
  for (uint8_t f : image.regions.flags) EXPECT_EQ(f & kFlagTemporary, 0);
}

TEST(LineGeneration, BorderPixelsAreNeverThinnedGrownOrStrokeEnds) {
  // A picture dark all over: thinning cannot touch the outer ring.
  WorkingImage solid = Drawing(6, 5)
                           .Row(0, 0, 5, 0)
                           .Row(1, 0, 5, 0)
                           .Row(2, 0, 5, 0)
                           .Row(3, 0, 5, 0)
                           .Row(4, 0, 5, 0)
                           .Lines();
  for (int x = 0; x < 6; ++x) EXPECT_TRUE(IsLine(solid, x, 0) && IsLine(solid, x, 4)) << x;
  for (int y = 0; y < 5; ++y) EXPECT_TRUE(IsLine(solid, 0, y) && IsLine(solid, 5, y)) << y;
  // A stroke running into the left border over growable grey: the border pixel stays
  // unlined and unmarked; a lone line pixel on the border is no stroke end.
  WorkingImage edge = Drawing(10, 7)
                          .Row(3, 2, 6, 0)
                          .Set(1, 3, 120)
                          .Set(0, 3, 120)
                          .Set(0, 5, 0)
                          .Set(1, 5, 120)
                          .Lines();
  EXPECT_TRUE(IsLine(edge, 1, 3));
  EXPECT_EQ(FlagAt(edge, 0, 3), kFlagAnimatorLine);
  EXPECT_EQ(FlagAt(edge, 1, 5), kFlagAnimatorLine);
}

TEST(LineGeneration, DisplayStretchesGreyAndPaintsLines) {
  Drawing drawing(8, 3);
  const uint8_t greys[8] = {0, 49, 50, 51, 135, 219, 220, 255};
  for (int x = 0; x < 8; ++x) drawing.Set(x, 1, greys[x]);
  WorkingImage image = MakeWorkingImage(8, 3, drawing.grey);
  NullProgress progress;
  const Bgr line{1, 2, 3};
  GenerateLines(image, {}, 0, 8, 0, 3, progress, line);
  // Below black clamp 0, at or above white clamp 255, linear between: 255 / 170 * (g - 50).
  const uint8_t shown[8] = {0, 0, 0, 1, 127, 253, 255, 255};
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(Shown(image, x, 1), IsLine(image, x, 1) ? line : GreyShown(shown[x])) << x;
    EXPECT_EQ((FlagAt(image, x, 1) & kFlagAnimatorLine) != 0, greys[x] < 220) << x;
  }
  // Equal clamps show every pixel as the clamp, apart from line pixels.
  WorkingImage flat = MakeWorkingImage(8, 3, drawing.grey);
  GenerateLines(flat, {100, 150, 80, 80}, 0, 8, 0, 3, progress, line);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(Shown(flat, x, y), IsLine(flat, x, y) ? line : GreyShown(80));
  // The spare pixels at the end of each display row are left alone.
  for (int y = 0; y < 3; ++y)
    for (int x = 8; x < DisplayRowPixels(8); ++x) EXPECT_EQ(Shown(flat, x, y), GreyShown(0));
}

TEST(LineGeneration, TestRectangleRewritesOnlyItselfExceptGrowthMarks) {
  // A stroke ends at the right inner edge of the rectangle 2..9 x 1..7 and points out over
  // growable grey that runs past it.
  Drawing drawing(16, 9);
  drawing.Row(4, 3, 8, 0).Row(4, 9, 12, 120);
  WorkingImage image = MakeWorkingImage(16, 9, drawing.grey);
  std::fill(image.regions.flags.begin(), image.regions.flags.end(), uint8_t(0x30));
  image.display.bytes().assign(image.display.bytes().size(), 77);
  NullProgress progress;
  GenerateLines(image, {}, 2, 10, 1, 8, progress);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 16; ++x) {
      bool inside = x >= 2 && x < 10 && y >= 1 && y < 8;
      if (inside) continue;
      uint8_t expected = (y == 4 && x >= 10 && x <= 12) ? 0x32 : 0x30;  // marked, not lined
      EXPECT_EQ(FlagAt(image, x, y), expected) << x << "," << y;
      EXPECT_EQ(Shown(image, x, y), GreyShown(77)) << x << "," << y;
    }
  // The rectangle's own border column got the mark too but thinning cleared it; the inner
  // part turned it into line.
  EXPECT_EQ(FlagAt(image, 9, 4), kFlagAnimatorLine);
  EXPECT_TRUE(IsLine(image, 8, 4));
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
  EXPECT_EQ(LineCount(empty), 0);
}

TEST(LineGeneration, ReportsEachStageAndShowClampedImageLeavesFlags) {
  Drawing drawing(9, 9);
  drawing.Row(4, 1, 7, 0);
  WorkingImage image = MakeWorkingImage(9, 9, drawing.grey);
  ScriptedProgress progress;
  GenerateLines(image, {}, 0, 9, 0, 9, progress);
  EXPECT_EQ(progress.stages, (std::vector<std::string>{"Preparing...", "Pass 1...", "Pass 2...",
                                                       "Pass 3...", "Pass 4...", "Done"}));
  EXPECT_EQ(progress.percents, (std::vector<int>{1, 10, 50, 70, 90, 100}));

  const auto flags = image.regions.flags;
  ShowClampedImage(image, {100, 150, 220, 50}, 0, 5, 0, 9);
  EXPECT_EQ(image.regions.flags, flags);
  EXPECT_EQ(Shown(image, 4, 4), GreyShown(0));        // line pixel now shows its grey
  EXPECT_EQ(Shown(image, 5, 4), kDefaultLineColour);  // outside the rectangle: unchanged
  EXPECT_EQ(Shown(image, 1, 1), GreyShown(255));
}

}  // namespace
}  // namespace quenda

// Line generation and region extraction where the literal comparison does not reach:
// rectangles beyond the picture, refusals and their messages, the stage reports against their
// literal texts, showing the clamped picture, and the sample figure under the default settings.
// Thresholds, thinning, growth, numbering, boxes and colours are compared with the literal
// loops in analysis_matches_literal_test.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_regions.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"

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

TEST(LineGeneration, ShowClampedImageLeavesFlags) {
  std::vector<uint8_t> grey(81, 240);
  for (int x = 1; x <= 7; ++x) grey[4 * 9 + std::size_t(x)] = 0;  // a stroke on row 4
  WorkingImage image = MakeWorkingImage(9, 9, grey);
  NullProgress progress;
  GenerateLines(image, {}, 0, 9, 0, 9, progress);
  const auto flags = image.regions.flags;
  ShowClampedImage(image, {100, 150, 220, 50}, 0, 5, 0, 9);
  EXPECT_EQ(image.regions.flags, flags);
  EXPECT_EQ(Shown(image, 4, 4), (Bgr{0, 0, 0}));      // line pixel now shows its grey
  EXPECT_EQ(Shown(image, 5, 4), kDefaultLineColour);  // outside the rectangle: unchanged
  EXPECT_EQ(Shown(image, 1, 1), (Bgr{255, 255, 255}));
}

TEST(RegionExtraction, MoreRegionsThanAFileHoldsAreRefused) {
  // Lone non-line pixels at even positions of a line-filled picture: 300 x 300 regions.
  const int side = 600;
  std::vector<uint8_t> flags(std::size_t(side) * side, 1);
  for (int y = 0; y < side; y += 2)
    for (int x = 0; x < side; x += 2) flags[std::size_t(y) * side + x] = 0;
  WorkingImage image = MakeWorkingImage(side, side, std::vector<uint8_t>(flags.size(), 10));
  image.regions.flags = flags;
  WorkingImage literal = image;
  NullProgress progress;
  Status status = ExtractRegions(image, {}, progress);
  EXPECT_EQ(status.message(), "Too many regions in this drawing: 90000 (at most 65535)");
  EXPECT_FALSE(image.HasRegions());
  EXPECT_TRUE(image.regionColor.empty());
  EXPECT_EQ(ExtractRegionsLiteral(literal, {}, progress).message(), status.message());
  EXPECT_EQ(image.grey, literal.grey);
}

// A closed box of ink on light paper, 6 x 5: one region inside the outline.
TEST(RegionExtraction, MarkingNeedsAPictureAndReportsItsStages) {
  WorkingImage nothing;
  NullProgress progress;
  EXPECT_EQ(MarkRegions(nothing, {}, progress).message(), "Can not mark regions without a picture");
  EXPECT_EQ(ExtractRegions(nothing, {}, progress).message(),
            "Can not mark regions without a picture");

  std::vector<uint8_t> grey(30, 240);
  for (int x = 1; x <= 4; ++x) grey[6 * 1 + x] = grey[6 * 3 + x] = 0;
  grey[6 * 2 + 1] = grey[6 * 2 + 4] = 0;
  WorkingImage image = MakeWorkingImage(6, 5, grey);
  ScriptedProgress stages;
  ASSERT_TRUE(MarkRegions(image, {}, stages));
  EXPECT_EQ(image.regions.regionCount, 1);
  EXPECT_EQ(image.regionColor, (std::vector<int32_t>{0, 0, 1}));
  // The fill passes; the other reports are held to the literal loops' reports.
  std::vector<std::pair<std::string, int>> fill;
  for (std::size_t k = 0; k < stages.stages.size(); ++k)
    if (stages.stages[k].starts_with("Fill"))
      fill.emplace_back(stages.stages[k], stages.percents[k]);
  EXPECT_EQ(fill, (std::vector<std::pair<std::string, int>>{{"Fill Pass 1...", 25},
                                                            {"Fill Pass 2...", 50},
                                                            {"Fill Pass 3...", 75},
                                                            {"Fill Pass 4...", 99}}));
}

// The sample walking figure: the faint stretches of its head and back outlines are grown over,
// so head and body are closed regions, while the bare gaps of the number circle stay open.
WorkingImage Analyse(const DrawingScan& scan, const RedlineSettings& settings) {
  WorkingImage image =
      MakeWorkingImage(scan.picture.width(), scan.picture.height(), scan.picture.bytes());
  NullProgress progress;
  Status status = MarkRegions(image, settings, progress);
  EXPECT_TRUE(status) << status.message();
  return image;
}

// The region under a point, which must lie off every line.
int RegionAt(const WorkingImage& image, samples::Point p) {
  const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
    ADD_FAILURE() << x << "," << y << " is off the picture";
    return -1;
  }
  const std::size_t i = std::size_t(y) * std::size_t(image.width()) + std::size_t(x);
  EXPECT_EQ(image.regions.flags[i] & kFlagRegionLine, 0) << x << "," << y << " is on a line";
  return image.regions.regionMap[i];
}

// Inside the number circle: below its top gap and level with its side gap.
samples::Point CircleInside(const samples::SampleDrawing& drawing) {
  const samples::LineGap& top = drawing.gaps[2];
  const samples::LineGap& side = drawing.gaps[3];
  return {double(top.x0), double(side.y0)};
}

TEST(SampleRegions, HeadAndBodyCloseOnlyThroughGrowthAndTheCircleStaysOpen) {
  RedlineSettings noGrowth;
  noGrowth.lineGrowth = noGrowth.linePickUp;
  for (auto [width, height] : {std::pair{1240, 1754}, {320, 452}})
    for (int frame : {0, 3, 6}) {
      SCOPED_TRACE(::testing::Message() << width << "x" << height << " frame " << frame);
      samples::SampleOptions options{.width = width, .height = height};
      samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, frame, 8);
      ASSERT_EQ(drawing.gaps.size(), 4u);

      WorkingImage image = Analyse(drawing.scan, RedlineSettings{});
      const int face = RegionAt(image, drawing.face);
      const int back = RegionAt(image, drawing.back);
      EXPECT_NE(face, kBackgroundRegion);
      EXPECT_NE(back, kBackgroundRegion);
      EXPECT_NE(face, back);
      EXPECT_EQ(RegionAt(image, CircleInside(drawing)), kBackgroundRegion);

      // Without growth the faint stretches are gaps, and both run out into the background.
      WorkingImage open = Analyse(drawing.scan, noGrowth);
      EXPECT_EQ(RegionAt(open, drawing.face), kBackgroundRegion);
      EXPECT_EQ(RegionAt(open, drawing.back), kBackgroundRegion);
    }
}

}  // namespace
}  // namespace quenda

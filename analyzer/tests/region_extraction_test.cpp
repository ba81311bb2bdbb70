// Region extraction on hand-made line maps: numbering, how line pixels join regions, boxes,
// the stretched grey, colours, messages and progress.

#include "analyzer/core/region_extraction.h"

#include <gtest/gtest.h>

#include "analyzer/core/line_generation.h"
#include "analyzer/oracle/literal_regions.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/scripted_prompt.h"

namespace quenda {
namespace {

// A working image whose flag map is drawn from text: '#' a line pixel, '.' not. The first
// string is the top row, as pictures are read.
WorkingImage FromLines(const std::vector<std::string>& rows, uint8_t grey = 128) {
  const int h = int(rows.size()), w = int(rows[0].size());
  WorkingImage image = MakeWorkingImage(w, h, std::vector<uint8_t>(std::size_t(w) * h, grey));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.regions.flags[std::size_t(y) * w + x] = rows[h - 1 - y][x] == '#' ? 1 : 0;
  return image;
}

Status Extract(WorkingImage& image, const RedlineSettings& settings = {}) {
  NullProgress progress;
  return ExtractRegions(image, settings, progress);
}

int RegionAt(const WorkingImage& image, int x, int y) {
  return image.regions.regionMap[std::size_t(y) * image.width() + x];
}

TEST(RegionExtraction, BlankDrawingIsOneRegionWithNothingToPaint) {
  WorkingImage image = FromLines({"....", "....", "...."});
  ASSERT_TRUE(Extract(image));
  EXPECT_EQ(image.regions.regionCount, 0);
  EXPECT_EQ(image.regions.regionMap, std::vector<uint16_t>(12, 1));
  EXPECT_EQ(image.regions.regionBounds.at(1), (RegionBox{0, 2, 3, 0}));
  EXPECT_EQ(image.regions.animColor, std::vector<uint16_t>(12, uint16_t(kAnimLineColor)));
  EXPECT_EQ(image.regionColor.size(), 2u);
  EXPECT_EQ(image.filledCount, 0);
}

TEST(RegionExtraction, ClosedOutlineGivesInsideAndOutsideAndSharesItsLine) {
  WorkingImage image = FromLines({
      "........",
      ".#####..",
      ".#...#..",
      ".#...#..",
      ".#####..",
      "........",
  });
  ASSERT_TRUE(Extract(image));
  EXPECT_EQ(image.regions.regionCount, 1);  // one region left to paint
  EXPECT_EQ(RegionAt(image, 0, 0), 1);
  EXPECT_EQ(RegionAt(image, 3, 2), 2);
  // A line pixel takes the last non-line neighbour met with dx outer, dy inner: the
  // bottom-left corner looks up-right last (inside), the top-right corner (outside).
  EXPECT_EQ(RegionAt(image, 1, 1), 2);
  EXPECT_EQ(RegionAt(image, 5, 4), 1);
  // The right side looks right last, which is outside; the left side sees the inside last.
  EXPECT_EQ(RegionAt(image, 5, 2), 1);
  EXPECT_EQ(RegionAt(image, 1, 2), 2);
  EXPECT_EQ(image.regions.regionBounds.at(2), (RegionBox{1, 3, 4, 1}));
  EXPECT_EQ(image.regions.regionBounds.at(1), (RegionBox{0, 5, 7, 0}));

  ResetRegionColours(image);
  EXPECT_EQ(image.regionColor.at(1), uint32_t(kTransparentColor));
  EXPECT_EQ(image.regionColor.at(2), uint32_t(kUnfilledColor));
}

TEST(RegionExtraction, GapsMergeAndDiagonalStepsSeparate) {
  WorkingImage gap = FromLines({
      ".......",
      ".#####.",
      ".#...#.",
      ".#.....",
      ".#####.",
      ".......",
  });
  ASSERT_TRUE(Extract(gap));
  EXPECT_EQ(gap.regions.regionCount, 0);
  // Areas meeting only across a one-pixel diagonal line stay apart.
  WorkingImage diagonal = FromLines({
      "...#",
      "..#.",
      ".#..",
      "#...",
  });
  ASSERT_TRUE(Extract(diagonal));
  EXPECT_EQ(diagonal.regions.regionCount, 1);
  EXPECT_NE(RegionAt(diagonal, 1, 0), RegionAt(diagonal, 0, 1));
  EXPECT_EQ(RegionAt(diagonal, 1, 0), RegionAt(diagonal, 3, 2));
}

TEST(RegionExtraction, LineAtTheBottomLeftCornerCanLeaveRegionOneEmpty) {
  // Two line pixels start the first row, so the first area's label is 2 and label 1 lives on
  // only in the corner, which then joins the area: number 1 holds no pixel.
  WorkingImage image = FromLines({"....", "....", "##.."});
  ASSERT_TRUE(Extract(image));
  EXPECT_EQ(image.regions.regionCount, 1);
  EXPECT_EQ(image.regions.regionMap, std::vector<uint16_t>(12, 2));
  EXPECT_TRUE(image.regions.regionBounds.at(1).IsEmpty());
  EXPECT_EQ(image.regions.regionBounds.at(1), EmptyRegionBox(4, 3));
  // A single line pixel at the row start shares its label with the run after it.
  WorkingImage single = FromLines({"....", "#..."});
  ASSERT_TRUE(Extract(single));
  EXPECT_EQ(single.regions.regionCount, 0);
}

TEST(RegionExtraction, WalledInLinePixelKeepsItsRowLabel) {
  // The centre of a solid block has no non-line neighbour: a region of its own.
  WorkingImage own = FromLines({".....", ".###.", ".###.", ".###.", "....."});
  ASSERT_TRUE(Extract(own));
  EXPECT_EQ(own.regions.regionCount, 1);
  EXPECT_EQ(RegionAt(own, 2, 2), 2);
  EXPECT_EQ(own.regions.regionBounds.at(2), (RegionBox{2, 2, 2, 2}));
  // Here its row label is also the smallest label of the area that begins at the start of
  // its row (walled off below), so it joins that area instead.
  WorkingImage shared = FromLines({
      ".#....",
      ".####.",
      ".####.",
      "#####.",
      ".#....",
      ".#....",
  });
  ASSERT_TRUE(Extract(shared));
  EXPECT_EQ(RegionAt(shared, 3, 3), RegionAt(shared, 0, 3));
  EXPECT_NE(RegionAt(shared, 0, 3), RegionAt(shared, 0, 0));
}

TEST(RegionExtraction, NeighboursWrapAcrossRowEnds) {
  // (0, 1) touches only line pixels, but its dx = -1 neighbour by linear index is the last
  // pixel of the row below, (3, 0); (3, 1) sees (3, 2) before the wrapped (0, 2).
  WorkingImage image = FromLines({
      "##..",
      "####",
      "###.",
  });
  NullProgress progress;
  WorkingImage literal = image;
  ASSERT_TRUE(Extract(image));
  ASSERT_TRUE(ExtractRegionsLiteral(literal, {}, progress));
  EXPECT_EQ(image.regions.regionMap, literal.regions.regionMap);
  EXPECT_EQ(RegionAt(image, 0, 1), RegionAt(image, 3, 0));
  EXPECT_EQ(RegionAt(image, 3, 1), RegionAt(image, 3, 2));
  EXPECT_NE(RegionAt(image, 3, 0), RegionAt(image, 3, 2));
}

TEST(RegionExtraction, GreyEndsAsTheStretchedPictureLineGenerationShowed) {
  std::vector<uint8_t> grey(13 * 7);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = uint8_t(i * 37 % 256);
  WorkingImage image = MakeWorkingImage(13, 7, grey);
  const RedlineSettings settings{90, 140, 200, 60};
  NullProgress progress;
  GenerateLines(image, settings, 0, 13, 0, 7, progress);
  ASSERT_TRUE(ExtractRegions(image, settings, progress));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) {
      std::size_t i = std::size_t(y) * 13 + x;
      EXPECT_EQ(image.grey[i], StretchGrey(grey[i], 200, 60));
      if (!(image.regions.flags[i] & kFlagRegionLine)) {
        EXPECT_EQ(image.grey[i], image.display.At(x, y)[1]);
      }
    }
  EXPECT_EQ(image.regions.settings, settings);
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
  Status status = Extract(image);
  EXPECT_EQ(status.message(), "Too many regions in this drawing: 90000 (at most 65535)");
  EXPECT_FALSE(image.HasRegions());
  EXPECT_TRUE(image.regionColor.empty());
  NullProgress progress;
  EXPECT_EQ(ExtractRegionsLiteral(literal, {}, progress).message(), status.message());
  EXPECT_EQ(image.grey, literal.grey);
}

TEST(RegionExtraction, MarkingNeedsAPictureAndReportsItsStages) {
  WorkingImage nothing;
  NullProgress progress;
  EXPECT_EQ(MarkRegions(nothing, {}, progress).message(), "Can not mark regions without a picture");
  EXPECT_EQ(ExtractRegions(nothing, {}, progress).message(),
            "Can not mark regions without a picture");

  WorkingImage image = FromLines({"......", ".####.", ".#..#.", ".####.", "......"}, 40);
  image.regions.flags.assign(image.regions.flags.size(), 0);
  for (int x = 1; x <= 4; ++x) image.grey[6 * 1 + x] = image.grey[6 * 3 + x] = 0;
  image.grey[6 * 2 + 1] = image.grey[6 * 2 + 4] = 0;
  for (int i : {0, 5, 6, 11, 12, 17, 24, 29}) image.grey[i] = 240;
  for (int x = 0; x < 6; ++x) image.grey[x] = image.grey[24 + x] = 240;
  for (int y = 0; y < 5; ++y) image.grey[6 * y] = image.grey[6 * y + 5] = 240;
  image.grey[6 * 2 + 2] = image.grey[6 * 2 + 3] = 240;
  ScriptedProgress stages;
  ASSERT_TRUE(MarkRegions(image, {}, stages));
  EXPECT_EQ(image.regions.regionCount, 1);
  EXPECT_EQ(image.regionColor, (std::vector<uint32_t>{0, 0, 1}));
  // 30 pixels: the region pass reports every third pixel, the boxes every column.
  std::vector<std::string> expected = {
      "Preparing...", "Pass 1...",      "Pass 2...",      "Pass 3...",      "Pass 4...",
      "Done",         "Fill Pass 1...", "Fill Pass 2...", "Fill Pass 3...", "Fill Pass 4..."};
  std::vector<int> percents = {1, 10, 50, 70, 90, 100, 25, 50, 75, 99, 0};
  expected.push_back("Region Pass...");
  for (int i = 0; i < 30; i += 3)
    expected.push_back("Region Pass..."), percents.push_back(i * 100 / 30);
  expected.push_back("Finishing...");
  percents.push_back(0);
  for (int x = 0; x < 6; ++x) expected.push_back("Finishing..."), percents.push_back(x * 100 / 6);
  expected.push_back("Done");
  percents.push_back(100);
  EXPECT_EQ(stages.stages, expected);
  EXPECT_EQ(stages.percents, percents);
}

}  // namespace
}  // namespace quenda

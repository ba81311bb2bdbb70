// Region extraction where the literal comparison does not reach: its refusals and their
// messages, and the stage reports against their literal texts. Numbering, how line pixels join
// regions, boxes, the stretched grey and colours are compared with the literal loops in
// analysis_matches_literal_test.

#include "analyzer/core/region_extraction.h"

#include <gtest/gtest.h>

#include "analyzer/core/line_generation.h"
#include "analyzer/oracle/literal_regions.h"
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
  EXPECT_EQ(image.regionColor, (std::vector<int32_t>{0, 0, 1}));
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

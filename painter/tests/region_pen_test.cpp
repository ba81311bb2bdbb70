// The region pen: pen lines, splitting regions cut by a stroke (and the files that carry the
// grown region table), and closing one-pixel gaps.
#include "painter/core/region_pen.h"

#include <gtest/gtest.h>

#include <set>

#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/painter_doc.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

const std::vector<std::string> kBox = {
    "................",  //
    ".##############.",  //
    ".#............#.",  //
    ".#............#.",  //
    ".#............#.",  //
    ".##############.",  //
    "................",  //
};
constexpr int kTop = 5;     // image row of the box's top line
constexpr int kBottom = 1;  // and of its bottom line

// Distinct region numbers among the non-line pixels of the box interior.
std::set<int> InteriorRegions(const PainterFrame& frame) {
  std::set<int> regions;
  for (int y = kBottom + 1; y < kTop; ++y)
    for (int x = 2; x < 14; ++x) {
      const std::size_t i = frame.Index(x, y);
      if (!(frame.region.flags[i] & kFlagRegionLine)) regions.insert(frame.region.regionMap[i]);
    }
  return regions;
}

SplitResult Stroke(PainterFrame& frame, std::vector<ImagePoint> points) {
  StrokeBox box = StrokeBox::At(points.front());
  for (std::size_t k = 1; k < points.size(); ++k) {
    DrawPenLine(frame, points[k - 1], points[k]);
    box.Extend(points[k]);
  }
  return SplitRegions(frame, box);
}

TEST(PenLine, ClampsItsEndsAndAClickDrawsNothing) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const auto flags = frame.region.flags;
  EXPECT_TRUE(DrawPenLine(frame, {4, 3}, {4, 3}).IsEmpty());
  EXPECT_TRUE(DrawPenLine(frame, {-5, -5}, {-1, -9}).IsEmpty());  // both clamp onto (0, 0)
  EXPECT_EQ(frame.region.flags, flags);
  const ImageRect drawn = DrawPenLine(frame, {3, -10}, {3, 100});
  EXPECT_EQ(drawn, (ImageRect{3, 4, 0, 7}));
  for (int y = 0; y < frame.height; ++y)
    EXPECT_EQ(frame.region.flags[frame.Index(3, y)] & 0x11, 0x11);
  EXPECT_FALSE(frame.regionChanged || frame.paintChanged);
}

TEST(Split, AStrokeFromLineToLineSplitsTheRegionInTwoKeepingItsColour) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const int box = testing::RegionAtText(frame.region, 3, 3);
  frame.regionColor[box] = 9;
  const int before = frame.region.regionCount;
  const SplitResult result = Stroke(frame, {{6, kTop}, {6, kBottom}});
  EXPECT_EQ(result.regionsAdded, 1);
  EXPECT_EQ(frame.region.regionCount, before + 1);
  const int added = frame.region.RegionTotal();
  EXPECT_EQ(result.shownRegions, (std::vector<int>{box, added}));
  EXPECT_EQ(InteriorRegions(frame), (std::set<int>{box, added}));
  EXPECT_EQ(frame.regionColor.size(), std::size_t(added) + 1);
  EXPECT_EQ(frame.regionColor[added], 9);
  EXPECT_EQ(frame.regionColor[box], 9);
  EXPECT_TRUE(frame.regionChanged && frame.paintChanged);
  EXPECT_TRUE(frame.region.IsConsistent());
  // Every pixel lies inside its region's box, line pixels that changed region included.
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const RegionBox& b = frame.region.regionBounds[frame.region.regionMap[frame.Index(x, y)]];
      ASSERT_TRUE(x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY) << x << "," << y;
    }
  }
}

TEST(Split, AStrokeCuttingTheRegionInThreeAddsTwoRegions) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const SplitResult result = Stroke(frame, {{5, kTop}, {5, kBottom}, {10, kBottom}, {10, kTop}});
  EXPECT_EQ(result.regionsAdded, 2);
  EXPECT_EQ(InteriorRegions(frame).size(), 3u);
}

TEST(Split, AStrokeEndingInsideTheRegionSplitsNothing) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const RegionData before = frame.region;
  const SplitResult result = Stroke(frame, {{6, kTop}, {6, kBottom + 2}});
  EXPECT_EQ(result.regionsAdded, 0);
  EXPECT_EQ(frame.region.regionCount, before.regionCount);
  EXPECT_EQ(frame.region.regionMap, before.regionMap);
  EXPECT_FALSE(frame.regionChanged || frame.paintChanged);
}

TEST(Split, AHugeRegionSplitsWithoutDeepRecursion) {
  std::vector<std::string> picture(700, std::string(900, '.'));
  for (auto& row : picture) row[0] = row[899] = '#';
  picture[0] = picture[699] = std::string(900, '#');
  PainterFrame frame = testing::FrameFromPicture(picture);
  const SplitResult result = Stroke(frame, {{450, 699}, {450, 0}});
  EXPECT_EQ(result.regionsAdded, 1);
  EXPECT_NE(frame.region.regionMap[frame.Index(100, 300)],
            frame.region.regionMap[frame.Index(800, 300)]);
}

TEST(Split, TheRegionTableNeverGrowsPastWhatARegionFileHolds) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  // Pad the table with regions that have no pixels, up to the last number a file can hold.
  frame.region.regionCount = kMaxRegions - 1;
  frame.region.regionBounds.resize(kMaxRegions + 1, EmptyRegionBox(frame.width, frame.height));
  frame.regionColor.resize(kMaxRegions + 1, kUnfilledColor);
  const SplitResult result = Stroke(frame, {{6, kTop}, {6, kBottom}});
  EXPECT_EQ(result.regionsAdded, 0);
  EXPECT_EQ(frame.region.RegionTotal(), kMaxRegions);
  EXPECT_TRUE(frame.region.IsConsistent());
}

TEST(GapClosing, NeighbourCodesCountTheOutsideOnlyWhereTheTableSays) {
  PainterFrame frame = testing::FrameFromPicture({"....", "....", "...."});
  EXPECT_EQ(NeighbourCode(frame, 0, 0), 8 + 32 + 64);
  EXPECT_EQ(NeighbourCode(frame, 3, 2), 2 + 4 + 16);
  EXPECT_EQ(NeighbourCode(frame, 0, 1), 8);
  EXPECT_EQ(NeighbourCode(frame, 1, 1), 0);
  EXPECT_TRUE(IsGapCode(24));
  EXPECT_TRUE(IsGapCode(230));
  EXPECT_FALSE(IsGapCode(104));
  EXPECT_FALSE(IsGapCode(0));
}

TEST(GapClosing, AOnePixelGapBetweenLineEndsIsBridgedAndSplitsTheRegion) {
  // A wall across a taller box with a one-pixel hole at column 8, image row 5.
  const std::vector<std::string> picture = {
      "................",  //
      ".##############.",  //
      ".#............#.",  //
      ".#............#.",  //
      ".#............#.",  //
      ".#######.######.",  //
      ".#............#.",  //
      ".#............#.",  //
      ".#............#.",  //
      ".##############.",  //
      "................",  //
  };
  PainterFrame frame = testing::FrameFromPicture(picture);
  ASSERT_EQ(frame.region.regionMap[frame.Index(5, 3)], frame.region.regionMap[frame.Index(5, 7)]);
  EXPECT_EQ(NeighbourCode(frame, 8, 5), 24);
  DrawPenLine(frame, {0, 0}, {15, 0});  // an earlier pen line, far from the gap
  const int before = frame.region.regionCount;
  const GapResult result = CloseGaps(frame, {11, 7}, {5, 3});
  EXPECT_TRUE(result.ran);
  EXPECT_EQ(result.bridged, 1);
  EXPECT_TRUE(frame.region.flags[frame.Index(8, 5)] & kFlagRegionLine);
  EXPECT_EQ(result.split.regionsAdded, 1);
  EXPECT_EQ(frame.region.regionCount, before + 1);
  for (uint8_t f : frame.region.flags) ASSERT_FALSE(f & kFlagRegionPen);
  // Too small a rectangle does nothing at all.
  PainterFrame other = testing::FrameFromPicture(picture);
  DrawPenLine(other, {0, 0}, {15, 0});
  EXPECT_FALSE(CloseGaps(other, {8, 5}, {12, 5}).ran);
  EXPECT_TRUE(other.region.flags[other.Index(3, 0)] & kFlagRegionPen);
}

TEST(RegionPenDocument, SplitsReachTheFilesAndReadBackInTheAnalyzerReader) {
  TempDir dir;
  testing::WriteFrameFiles(dir.path(), "walk", "1", testing::RegionsFromPicture(kBox));
  testing::WriteFrameFiles(dir.path(), "walk", "2", testing::RegionsFromPicture(kBox));
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  doc.AddColor("RED", 255, 0, 0);
  doc.RegionFillRelease({0, 0}, {0, 0}, {3, 3}, {3, 3});
  doc.SetTool(PainterTool::RegionPen);
  EXPECT_EQ(doc.viewMode(), ViewMode::RegionLine);
  const int count = doc.frame().region.regionCount;
  doc.PenPress({7, kTop});
  doc.PenMove({7, 3});
  EXPECT_FALSE(doc.frame().undoAvailable());  // the fill's copy no longer fits
  const SplitResult result = doc.PenRelease({7, kBottom});
  EXPECT_EQ(result.regionsAdded, 1);
  EXPECT_EQ(doc.viewMode(), ViewMode::RegionsPainted);
  EXPECT_FALSE(doc.Undo());
  const PainterFrame split = doc.frame();
  ASSERT_TRUE(doc.NextFrame());

  auto region = ReadRegionFile(dir.File("walk1.rgn"), 16, 7, RegionReader::Analyzer);
  ASSERT_TRUE(region.ok()) << region.message();
  EXPECT_EQ(region->regionCount, count + 1);
  EXPECT_EQ(region->regionMap, split.region.regionMap);
  EXPECT_EQ(FileSize(dir.File("walk1.pnt")), 2u + 2u * (count + 2));
  ASSERT_TRUE(doc.PreviousFrame());
  EXPECT_EQ(doc.frame().region, split.region);
  EXPECT_EQ(doc.frame().regionColor, split.regionColor);
}

TEST(RegionPenDocument, AnUnsplittingStrokeIsLostWhenTheFrameIsLeft) {
  TempDir dir;
  testing::WriteFrameFiles(dir.path(), "walk", "1", testing::RegionsFromPicture(kBox));
  testing::WriteFrameFiles(dir.path(), "walk", "2", testing::RegionsFromPicture(kBox));
  const auto regionBytes = testing::ReadBytes(dir.File("walk1.rgn"));
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  doc.SetTool(PainterTool::RegionPen);
  doc.PenPress({7, kTop});
  doc.PenMove({7, 4});
  EXPECT_EQ(doc.PenRelease({7, 3}).regionsAdded, 0);
  EXPECT_FALSE(doc.frame().regionChanged);
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_EQ(testing::ReadBytes(dir.File("walk1.rgn")), regionBytes);
  EXPECT_FALSE(FrameExists(dir.File("walk1.pnt")));
}

}  // namespace
}  // namespace quenda

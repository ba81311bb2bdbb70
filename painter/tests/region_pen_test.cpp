// The region pen: pen lines, splitting regions cut by a stroke (and the files that carry the
// grown region table), and closing one-pixel gaps.
#include "painter/core/region_pen.h"

#include <gtest/gtest.h>

#include <set>

#include "common/file_io.h"
#include "common/region_file.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

using testing::kTwoBoxes;
constexpr int kTop = 4;     // image row of the boxes' top line
constexpr int kBottom = 1;  // and of their bottom line

// Distinct region numbers among the non-line pixels inside box A.
std::set<int> RegionsInsideA(const PainterFrame& frame) {
  std::set<int> regions;
  for (int y = kBottom + 1; y < kTop; ++y)
    for (int x = 2; x <= 6; ++x) {
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
  PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  const auto flags = frame.region.flags;
  EXPECT_TRUE(DrawPenLine(frame, {4, 3}, {4, 3}).IsEmpty());
  EXPECT_TRUE(DrawPenLine(frame, {-5, -5}, {-1, -9}).IsEmpty());  // both clamp onto (0, 0)
  EXPECT_EQ(frame.region.flags, flags);
  EXPECT_EQ(DrawPenLine(frame, {3, -10}, {3, 100}), (ImageRect{3, 4, 0, 6}));
  for (int y = 0; y < frame.height; ++y)
    EXPECT_EQ(frame.region.flags[frame.Index(3, y)] & 0x11, 0x11);
  EXPECT_FALSE(frame.regionChanged || frame.paintChanged);
}

TEST(Split, EveryPieceAStrokeCutsOffGetsTheNextNumberAndTheOldColour) {
  struct Cut {
    const char* what;
    std::vector<ImagePoint> stroke;
    int added;
  };
  const std::vector<Cut> cuts = {
      {"line to line", {{4, kTop}, {4, kBottom}}, 1},
      {"in three", {{3, kTop}, {3, kBottom}, {5, kBottom}, {5, kTop}}, 2},
      {"ending inside", {{4, kTop}, {4, kBottom + 2}}, 0},
  };
  for (const Cut& c : cuts) {
    SCOPED_TRACE(c.what);
    PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
    const int a = testing::RegionAtText(frame.region, 3, 2);
    frame.regionColor[a] = 9;
    const RegionData before = frame.region;
    const SplitResult result = Stroke(frame, c.stroke);
    EXPECT_EQ(result.regionsAdded, c.added);
    EXPECT_EQ(frame.region.regionCount, before.regionCount + c.added);
    EXPECT_EQ(RegionsInsideA(frame).size(), std::size_t(c.added) + 1);
    const int total = frame.region.RegionTotal();
    ASSERT_EQ(frame.regionColor.size(), std::size_t(total) + 1);
    for (int r = total - c.added + 1; r <= total; ++r) EXPECT_EQ(frame.regionColor[r], 9);
    EXPECT_EQ(frame.regionColor[a], 9);
    EXPECT_EQ(frame.regionChanged && frame.paintChanged, c.added > 0);
    EXPECT_TRUE(frame.region.IsConsistent());
    if (c.added == 0) {
      EXPECT_EQ(frame.region.regionMap, before.regionMap);
    }
    if (c.added == 1) {
      EXPECT_EQ(result.shownRegions, (std::vector<int>{a, total}));
    }
    // Every pixel lies inside its region's box, line pixels that changed region included.
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        const RegionBox& b = frame.region.regionBounds[frame.region.regionMap[frame.Index(x, y)]];
        ASSERT_TRUE(x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY) << x << "," << y;
      }
    }
  }
}

TEST(Split, AHugeRegionSplitsWithoutDeepRecursion) {
  std::vector<std::string> picture(700, std::string(900, '.'));
  for (auto& row : picture) row[0] = row[899] = '#';
  picture[0] = picture[699] = std::string(900, '#');
  PainterFrame frame = testing::FrameFromPicture(picture);
  EXPECT_EQ(Stroke(frame, {{450, 699}, {450, 0}}).regionsAdded, 1);
  EXPECT_NE(frame.region.regionMap[frame.Index(100, 300)],
            frame.region.regionMap[frame.Index(800, 300)]);
}

TEST(Split, TheRegionTableNeverGrowsPastWhatARegionFileHolds) {
  PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  // Pad the table with regions that have no pixels, up to the last number a file can hold.
  frame.region.regionCount = kMaxRegions - 1;
  frame.region.regionBounds.resize(kMaxRegions + 1, EmptyRegionBox(frame.width, frame.height));
  frame.regionColor.resize(kMaxRegions + 1, kUnfilledColor);
  EXPECT_EQ(Stroke(frame, {{4, kTop}, {4, kBottom}}).regionsAdded, 0);
  EXPECT_EQ(frame.region.RegionTotal(), kMaxRegions);
  EXPECT_TRUE(frame.region.IsConsistent());
}

TEST(GapClosing, NeighbourCodesCountTheOutsideOnlyWhereTheTableSays) {
  PainterFrame frame = testing::FrameFromPicture({"....", "....", "...."});
  EXPECT_EQ(NeighbourCode(frame, 0, 0), 8 + 32 + 64);
  EXPECT_EQ(NeighbourCode(frame, 3, 2), 2 + 4 + 16);
  EXPECT_EQ(NeighbourCode(frame, 0, 1), 8);
  EXPECT_EQ(NeighbourCode(frame, 1, 1), 0);
  for (auto [code, gap] : {std::pair{24, true}, {230, true}, {104, false}, {0, false}})
    EXPECT_EQ(IsGapCode(code), gap) << code;
}

TEST(GapClosing, AOnePixelGapBetweenLineEndsIsBridgedAndSplitsTheRegion) {
  // A wall across a taller box with a one-pixel hole at column 8, image row 5.
  std::vector<std::string> picture(11, ".#............#.");
  picture[0] = picture[10] = std::string(16, '.');
  picture[1] = picture[9] = ".##############.";
  picture[5] = ".#######.######.";
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

using RegionPenDocument = testing::TwoBoxDocument;

TEST_F(RegionPenDocument, SplitsReachTheFilesAndAStrokeThatSplitsNothingIsLost) {
  Open(2);
  doc_.AddColor("RED", 255, 0, 0);
  doc_.RegionFillRelease({0, 0}, {0, 0}, {3, 3}, {3, 3});
  doc_.SetTool(PainterTool::RegionPen);
  EXPECT_EQ(doc_.viewMode(), ViewMode::RegionLine);
  const int count = doc_.frame().region.regionCount;
  doc_.PenPress({4, kTop});
  doc_.PenMove({4, 3});
  EXPECT_FALSE(doc_.frame().undoAvailable());  // the fill's copy no longer fits
  EXPECT_EQ(doc_.PenRelease({4, kBottom}).regionsAdded, 1);
  EXPECT_EQ(doc_.viewMode(), ViewMode::RegionsPainted);
  EXPECT_FALSE(doc_.Undo());
  const PainterFrame split = doc_.frame();
  ASSERT_TRUE(doc_.NextFrame());
  auto region = ReadRegionFile(dir_.File("walk1.rgn"), 15, 6, RegionReader::Analyzer);
  ASSERT_TRUE(region.ok()) << region.message();
  EXPECT_EQ(region->regionCount, count + 1);
  EXPECT_EQ(region->regionMap, split.region.regionMap);
  EXPECT_EQ(FileSize(dir_.File("walk1.pnt")), 2u + 2u * (count + 2));

  const auto regionBytes = testing::ReadBytes(dir_.File("walk2.rgn"));
  doc_.SetTool(PainterTool::RegionPen);
  doc_.PenPress({4, kTop});
  EXPECT_EQ(doc_.PenRelease({4, 3}).regionsAdded, 0);
  EXPECT_FALSE(doc_.frame().regionChanged);
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_EQ(testing::ReadBytes(dir_.File("walk2.rgn")), regionBytes);
  EXPECT_FALSE(FrameExists(dir_.File("walk2.pnt")));
  EXPECT_EQ(doc_.frame().region, split.region);
  EXPECT_EQ(doc_.frame().regionColor, split.regionColor);
}

}  // namespace
}  // namespace quenda

// The nine tools on a frame in image pixels: click and drag rules, X-Ray protection, the
// picker, the animator-line fill, brush footprints and strokes, and the rectangle tools.
#include "painter/core/painting_tools.h"

#include <gtest/gtest.h>

#include <set>

#include "common/color_set.h"
#include "common/file_io.h"
#include "common/region_file.h"
#include "painter/core/frame_composition.h"
#include "painter/core/region_pen.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

using namespace testing;
// The tools as the document runs them from the view's gestures.
using ToolDocument = testing::TwoBoxDocument;

std::set<std::pair<int, int>> PixelsWith(const PainterFrame& frame, uint8_t flag) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x)
      if (frame.region.flags[frame.Index(x, y)] & flag) out.insert({x, y});
  return out;
}

TEST(RegionFill, XRayProtectsPaintClicksUndoRectanglesTakeWholeRegionsAndThePickerTakesPaint) {
  PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  const int a = testing::RegionAtText(frame.region, 3, 2);
  FillRegionAt(frame, At(3, 2), 5, ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[a], 5);
  EXPECT_FALSE(FillRegionAt(frame, At(3, 2), 6, ViewMode::XRay).IsEmpty());
  EXPECT_EQ(frame.regionColor[a], 5);
  FillRegionAt(frame, At(3, 2), 6, ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[a], 6);
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_EQ(frame.regionColor[a], 5);
  // Outside the picture nothing happens, not even an undo step.
  PainterFrame fresh = testing::FrameFromPicture(kTwoBoxes);
  EXPECT_TRUE(FillRegionAt(fresh, {-1, 2}, 5, ViewMode::RegionsPainted).IsEmpty());
  EXPECT_TRUE(FillRegionAt(fresh, {fresh.width, 2}, 5, ViewMode::RegionsPainted).IsEmpty());
  EXPECT_FALSE(fresh.undoAvailable() || fresh.paintChanged);
  // A rectangle fills only the regions wholly inside it.
  const int b = testing::RegionAtText(fresh.region, 10, 2);
  const RegionBox boxA = fresh.region.regionBounds[a];
  const RegionBox boxB = fresh.region.regionBounds[b];
  // Exactly A's box, and B's box short by one column on the right.
  FillRegionsInside(fresh, {boxA.minX, boxA.minY}, {boxB.maxX - 1, boxB.maxY}, 7,
                    ViewMode::RegionsPainted);
  EXPECT_EQ(std::tuple(fresh.regionColor[a], fresh.regionColor[b]), std::tuple(7, kUnfilledColor));
  FillRegionsInside(fresh, {boxB.maxX, boxB.maxY}, {boxA.minX, boxA.minY}, 8,
                    ViewMode::RegionsPainted);
  EXPECT_EQ(std::tuple(fresh.regionColor[b], fresh.regionColor[kBackgroundRegion]),
            std::tuple(8, kTransparentColor));
  // The right button picks painted colours but never the unfilled or line colour.
  PainterFrame picked = testing::FrameFromPicture(kTwoBoxes);
  EXPECT_EQ(PickColorAt(picked, At(0, 0)), kTransparentColor);
  EXPECT_EQ(PickColorAt(picked, At(3, 2)), std::nullopt);  // unfilled
  picked.regionColor[a] = kLineColor;
  EXPECT_EQ(PickColorAt(picked, At(3, 2)), std::nullopt);
  picked.regionColor[b] = 9;
  EXPECT_EQ(PickColorAt(picked, At(10, 2)), 9);
  EXPECT_EQ(PickColorAt(picked, {-1, 0}), std::nullopt);
  EXPECT_EQ(PickColorAt(picked, {0, picked.height}), std::nullopt);
}

TEST(AnimFill,
     FollowsEightNeighboursByIndexAcrossTheRowEndWithNoDeepStackAndOffTheLineChangesNothing) {
  // A diagonal animator line, and one that leaves the right edge and goes on at the left edge
  // of the row above (neighbours by pixel index).
  PainterFrame frame =
      testing::FrameFromPicture({"*......", "......*", ".....*.", "..*....", ".*.....", "*......"});
  auto colourAt = [&](int x, int y) { return frame.region.animColor[frame.Index(x, y)]; };
  // Off the line: nothing changes, yet the undo copy is taken and the frame marked changed.
  const auto before = frame.region.animColor;
  AnimFillAt(frame, {3, 0}, 7);
  EXPECT_EQ(frame.region.animColor, before);
  EXPECT_EQ(frame.undoKind(), kUndoAnimColors);
  EXPECT_TRUE(frame.undoAvailable() && frame.regionChanged);
  AnimFillAt(frame, {0, 0}, 12);
  // (5, 3) is not connected.
  EXPECT_EQ(std::tuple(colourAt(1, 1), colourAt(2, 2), colourAt(5, 3)),
            std::tuple(12, 12, kAnimLineColor));
  AnimFillAt(frame, {5, 3}, 0);  // transparent is allowed here
  // (0, 5) is reached across the row end.
  EXPECT_EQ(std::tuple(colourAt(6, 4), colourAt(0, 5), colourAt(0, 0)), std::tuple(0, 0, 12));
  // A large connected line needs no deep stack.
  PainterFrame large = testing::FrameFromPicture(std::vector(600, std::string(700, '*')));
  AnimFillAt(large, {350, 300}, 20);
  EXPECT_EQ(std::count(large.region.animColor.begin(), large.region.animColor.end(), 20),
            600 * 700);
}

TEST(Brush, StampsAlongTheLongerAxisAndTheRectangleToolsRestoreUndoAndClip) {
  EXPECT_EQ(BrushFootprint({10, 20}, 1), (ImageRect{10, 12, 20, 22}));
  EXPECT_EQ(BrushFootprint({30, 40}, 6), (ImageRect{20, 42, 30, 52}));
  PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  BrushPress(frame, BrushAction::RubOut);
  EXPECT_TRUE(StampSegment(frame, {3, 2}, {3, 2}, 1, BrushAction::RubOut, 0).IsEmpty());
  EXPECT_FALSE(frame.regionChanged);
  // From (4, 2) back to (0, 0): x walks 0..4, y = trunc(x / 2).
  const ImageRect changed = StampSegment(frame, {4, 2}, {0, 0}, 1, BrushAction::RubOut, 0);
  std::set<std::pair<int, int>> expected;
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}})
    for (int dx = 0; dx < 2; ++dx)
      for (int dy = 0; dy < 2; ++dy) expected.insert({x + dx, y + dy});
  EXPECT_EQ(PixelsWith(frame, kFlagRubbedOut), expected);
  EXPECT_EQ(std::tuple(changed, frame.regionChanged), std::tuple(ImageRect{0, 6, 0, 4}, true));
  // A footprint past the corner is clipped.
  StampSegment(frame, {-3, -3}, {-2, -3}, 2, BrushAction::UnRub, 0);
  EXPECT_FALSE(frame.region.flags[frame.Index(0, 0)] & kFlagRubbedOut);
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_TRUE(PixelsWith(frame, kFlagRubbedOut).empty());
  // The rectangle tools: rubber then unrubber restores the display, each step undoes, all clip.
  PainterFrame rect = testing::FrameFromPicture(kTwoBoxes);
  for (std::size_t i = 0; i < rect.scan.bytes().size(); ++i) rect.scan.data()[i] = uint8_t(i * 11);
  ColorSet colors;
  const Raster original = ComposeWholeFrame(rect, colors, ViewMode::Composited);
  ApplyRectTool(rect, {14, 5}, {2, 1}, BrushAction::RubOut, 0);
  // The right column and top row of the drag are left out.
  expected.clear();
  for (int y = 1; y < 5; ++y)
    for (int x = 2; x < 14; ++x) expected.insert({x, y});
  EXPECT_EQ(PixelsWith(rect, kFlagRubbedOut), expected);
  EXPECT_NE(ComposeWholeFrame(rect, colors, ViewMode::Composited), original);
  ApplyRectTool(rect, {2, 1}, {14, 5}, BrushAction::UnRub, 0);
  EXPECT_EQ(ComposeWholeFrame(rect, colors, ViewMode::Composited), original);
  ASSERT_TRUE(UndoLastChange(rect));
  EXPECT_EQ(PixelsWith(rect, kFlagRubbedOut), expected);
  // An empty rectangle takes the copy but changes nothing.
  PainterFrame fresh = testing::FrameFromPicture(kTwoBoxes);
  EXPECT_TRUE(ApplyRectTool(fresh, {3, 3}, {3, 9}, BrushAction::PaintLine, 5).IsEmpty());
  EXPECT_EQ(std::tuple(fresh.undoAvailable(), fresh.regionChanged), std::tuple(true, false));
  // The line brush rectangle is clipped to the picture.
  ApplyRectTool(fresh, {-5, -5}, {2, 100}, BrushAction::PaintLine, 6);
  for (int y = 0; y < fresh.height; ++y)
    for (int x = 0; x < fresh.width; ++x)
      ASSERT_EQ(fresh.region.animColor[fresh.Index(x, y)], x < 2 ? 6 : kAnimLineColor);
  EXPECT_EQ(fresh.undoKind(), kUndoAnimColors);
}

TEST_F(ToolDocument, TransparentLineBrushTellsOncePerStrokeAndRegionFillTellsClicksFromRectangles) {
  Open(1);
  doc_.SetTool(PainterTool::AnimBrush);
  EXPECT_EQ(doc_.viewMode(), ViewMode::Composited);
  const PainterFrame before = doc_.frame();
  doc_.BrushPress({2, 2});
  doc_.BrushMove({2, 2}, {6, 3});
  doc_.BrushMove({6, 3}, {9, 3});
  doc_.BrushPress({9, 3});
  doc_.BrushMove({9, 3}, {9, 5});
  doc_.SetTool(PainterTool::AnimBrushRect);
  doc_.RectangleRelease({0, 0}, {10, 5});
  EXPECT_EQ(prompt_.Texts(),
            std::vector<std::string>(3,
                                     "Can not paint animators lines with transparent color, please "
                                     "select rubber to remove animators lines"));
  EXPECT_EQ(doc_.frame().region, before.region);
  EXPECT_FALSE(doc_.frame().regionChanged);
  // For the region fill, four by six screen pixels is a click and five by five a rectangle.
  for (auto [dx, dy, click] :
       {std::tuple{4, 6, true}, {-4, 6, true}, {100, 0, true}, {5, 5, false}, {-5, -5, false}})
    EXPECT_EQ(IsClickDrag(dx, dy), click) << dx << "," << dy;
  doc_.SetTool(PainterTool::RegionFill);
  doc_.AddColor("RED", 255, 0, 0);
  const int a = testing::RegionAtText(doc_.frame().region, 3, 2);
  const int b = testing::RegionAtText(doc_.frame().region, 10, 2);
  // Press in B, release in A: as a click it fills A only.
  doc_.RegionFillRelease({100, 100}, {104, 106}, At(10, 2), At(3, 2));
  auto colours = [&] {
    return std::tuple(doc_.frame().regionColor[a], doc_.frame().regionColor[b]);
  };
  EXPECT_EQ(colours(), std::tuple(doc_.currentColor(), kUnfilledColor));
  ASSERT_TRUE(doc_.Undo());
  // As a rectangle over both boxes it fills both.
  doc_.RegionFillRelease({100, 100}, {105, 105}, At(0, 0), At(14, 5));
  EXPECT_EQ(colours(), std::tuple(doc_.currentColor(), doc_.currentColor()));
}

// The region pen: pen lines, splitting regions cut by a stroke (and the files that carry the
// grown region table), and closing one-pixel gaps.
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

TEST(Split, EveryPieceAStrokeCutsOffGetsTheNextNumberAndTheOldColourWhileTheTableHasRoom) {
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
    EXPECT_EQ(
        std::tuple(result.regionsAdded, frame.region.regionCount, RegionsInsideA(frame).size()),
        std::tuple(c.added, before.regionCount + c.added, std::size_t(c.added) + 1));
    const int total = frame.region.RegionTotal();
    ASSERT_EQ(frame.regionColor.size(), std::size_t(total) + 1);
    for (int r = total - c.added + 1; r <= total; ++r) EXPECT_EQ(frame.regionColor[r], 9);
    EXPECT_EQ(std::tuple(frame.regionColor[a], frame.regionChanged && frame.paintChanged,
                         frame.region.IsConsistent()),
              std::tuple(9, c.added > 0, true));
    if (c.added == 0) {
      EXPECT_EQ(frame.region.regionMap, before.regionMap);
    }
    if (c.added == 1) {
      EXPECT_EQ(result.shownRegions, (std::vector<int>{a, total}));
    }
    // Every pixel lies inside its region's box, line pixels that changed region included.
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) {
        const RegionBox& b = frame.region.regionBounds[frame.region.regionMap[frame.Index(x, y)]];
        ASSERT_TRUE(x >= b.minX && x <= b.maxX && y >= b.minY && y <= b.maxY) << x << "," << y;
      }
  }
  // The region table never grows past what a region file holds.
  PainterFrame full = testing::FrameFromPicture(kTwoBoxes);
  // Pad the table with regions that have no pixels, up to the last number a file can hold.
  full.region.regionCount = kMaxRegions - 1;
  full.region.regionBounds.resize(kMaxRegions + 1, EmptyRegionBox(full.width, full.height));
  full.regionColor.resize(kMaxRegions + 1, kUnfilledColor);
  EXPECT_EQ(Stroke(full, {{4, kTop}, {4, kBottom}}).regionsAdded, 0);
  EXPECT_EQ(std::tuple(full.region.RegionTotal(), full.region.IsConsistent()),
            std::tuple(kMaxRegions, true));
  // A huge region splits without deep recursion.
  std::vector<std::string> picture(700, std::string(900, '.'));
  for (auto& row : picture) row[0] = row[899] = '#';
  picture[0] = picture[699] = std::string(900, '#');
  PainterFrame huge = testing::FrameFromPicture(picture);
  EXPECT_EQ(Stroke(huge, {{450, 699}, {450, 0}}).regionsAdded, 1);
  EXPECT_NE(huge.region.regionMap[huge.Index(100, 300)],
            huge.region.regionMap[huge.Index(800, 300)]);
}

TEST(RegionPen, LinesClampTheirEndsNeighbourCodesCountTheOutsideAndAOnePixelGapIsBridged) {
  const PainterFrame blank = testing::FrameFromPicture({"....", "....", "...."});
  for (auto [x, y, code] :
       {std::tuple{0, 0, 8 + 32 + 64}, {3, 2, 2 + 4 + 16}, {0, 1, 8}, {1, 1, 0}})
    EXPECT_EQ(NeighbourCode(blank, x, y), code) << x << "," << y;
  for (auto [code, gap] : {std::pair{24, true}, {230, true}, {104, false}, {0, false}})
    EXPECT_EQ(IsGapCode(code), gap) << code;
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
  EXPECT_EQ(
      std::tuple(result.ran, result.bridged, result.split.regionsAdded, frame.region.regionCount),
      std::tuple(true, 1, 1, before + 1));
  EXPECT_TRUE(frame.region.flags[frame.Index(8, 5)] & kFlagRegionLine);
  for (uint8_t f : frame.region.flags) ASSERT_FALSE(f & kFlagRegionPen);
  // Too small a rectangle does nothing at all.
  PainterFrame other = testing::FrameFromPicture(picture);
  DrawPenLine(other, {0, 0}, {15, 0});
  EXPECT_FALSE(CloseGaps(other, {8, 5}, {12, 5}).ran);
  EXPECT_TRUE(other.region.flags[other.Index(3, 0)] & kFlagRegionPen);
  // A pen line clamps its ends, and a click draws nothing.
  PainterFrame pen = testing::FrameFromPicture(kTwoBoxes);
  const auto penFlags = pen.region.flags;
  EXPECT_TRUE(DrawPenLine(pen, {4, 3}, {4, 3}).IsEmpty());
  EXPECT_TRUE(DrawPenLine(pen, {-5, -5}, {-1, -9}).IsEmpty());  // both clamp onto (0, 0)
  EXPECT_EQ(pen.region.flags, penFlags);
  EXPECT_EQ(DrawPenLine(pen, {3, -10}, {3, 100}), (ImageRect{3, 4, 0, 6}));
  for (int y = 0; y < pen.height; ++y) EXPECT_EQ(pen.region.flags[pen.Index(3, y)] & 0x11, 0x11);
  EXPECT_FALSE(pen.regionChanged || pen.paintChanged);
}

TEST_F(ToolDocument, RegionPenSplitsReachTheFilesAndAStrokeThatSplitsNothingIsLost) {
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
  EXPECT_EQ(std::tie(region->regionCount, region->regionMap),
            std::tuple(count + 1, split.region.regionMap));
  EXPECT_EQ(FileSize(dir_.File("walk1.pnt")), 2u + 2u * (count + 2));

  const auto regionBytes = testing::ReadBytes(dir_.File("walk2.rgn"));
  doc_.SetTool(PainterTool::RegionPen);
  doc_.PenPress({4, kTop});
  EXPECT_EQ(doc_.PenRelease({4, 3}).regionsAdded, 0);
  EXPECT_FALSE(doc_.frame().regionChanged);
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_EQ(testing::ReadBytes(dir_.File("walk2.rgn")), regionBytes);
  EXPECT_FALSE(FrameExists(dir_.File("walk2.pnt")));
  EXPECT_EQ(std::tie(doc_.frame().region, doc_.frame().regionColor),
            std::tie(split.region, split.regionColor));
}

}  // namespace
}  // namespace quenda

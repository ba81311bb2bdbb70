// The nine tools on a frame in image pixels: click and drag rules, X-Ray protection, the
// picker, the animator-line fill, brush footprints and strokes, and the rectangle tools.
#include "painter/core/painting_tools.h"

#include <gtest/gtest.h>

#include <set>

#include "common/color_set.h"
#include "common/scripted_prompt.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_doc.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

// Region A (left box), region B (right box, one column wider than A), the background.
const std::vector<std::string> kBoxes = {
    "....................",  //
    ".#######.##########.",  //
    ".#.....#.#........#.",  //
    ".#.....#.#........#.",  //
    ".#.....#.#........#.",  //
    ".#######.##########.",  //
    "....................",  //
};

ImagePoint At(int column, int rowFromTop) {
  return {column, int(kBoxes.size()) - 1 - rowFromTop};
}

std::set<std::pair<int, int>> PixelsWith(const PainterFrame& frame, uint8_t flag) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x)
      if (frame.region.flags[frame.Index(x, y)] & flag) out.insert({x, y});
  return out;
}

TEST(RegionFill, XRayPaintsOnlyUnfilledRegionsAndEveryClickIsAnUndoStep) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  const int a = testing::RegionAtText(frame.region, 3, 3);
  FillRegionAt(frame, At(3, 3), 5, ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[a], 5);
  const ImageRect changed = FillRegionAt(frame, At(3, 3), 6, ViewMode::XRay);
  EXPECT_EQ(frame.regionColor[a], 5);
  EXPECT_TRUE(frame.undoAvailable());
  EXPECT_FALSE(changed.IsEmpty());
  FillRegionAt(frame, At(3, 3), 6, ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[a], 6);
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_EQ(frame.regionColor[a], 5);
  // Outside the picture nothing happens, not even an undo step.
  PainterFrame fresh = testing::FrameFromPicture(kBoxes);
  EXPECT_TRUE(FillRegionAt(fresh, {-1, 2}, 5, ViewMode::RegionsPainted).IsEmpty());
  EXPECT_TRUE(FillRegionAt(fresh, {fresh.width, 2}, 5, ViewMode::RegionsPainted).IsEmpty());
  EXPECT_FALSE(fresh.undoAvailable() || fresh.paintChanged);
}

TEST(RegionFill, ARectangleFillsOnlyRegionsWhollyInside) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  const int a = testing::RegionAtText(frame.region, 3, 3);
  const int b = testing::RegionAtText(frame.region, 12, 3);
  const RegionBox boxA = frame.region.regionBounds[a];
  const RegionBox boxB = frame.region.regionBounds[b];
  // Exactly A's box, and B's box short by one column on the right.
  FillRegionsInside(frame, {boxA.minX, boxA.minY}, {boxB.maxX - 1, boxB.maxY}, 7,
                    ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[a], 7);
  EXPECT_EQ(frame.regionColor[b], kUnfilledColor);
  FillRegionsInside(frame, {boxB.maxX, boxB.maxY}, {boxA.minX, boxA.minY}, 8,
                    ViewMode::RegionsPainted);
  EXPECT_EQ(frame.regionColor[b], 8);
  EXPECT_EQ(frame.regionColor[kBackgroundRegion], kTransparentColor);
}

TEST(RegionFill, FourBySixScreenPixelsIsAClickAndFiveByFiveARectangle) {
  EXPECT_TRUE(IsClickDrag(4, 6));
  EXPECT_TRUE(IsClickDrag(-4, 6));
  EXPECT_FALSE(IsClickDrag(5, 5));
  EXPECT_FALSE(IsClickDrag(-5, -5));
  EXPECT_TRUE(IsClickDrag(100, 0));

  testing::TempDir dir;
  testing::WriteFrameFiles(dir.path(), "box", "1", testing::RegionsFromPicture(kBoxes));
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("box1.qds")));
  doc.AddColor("RED", 255, 0, 0);
  const int a = testing::RegionAtText(doc.frame().region, 3, 3);
  const int b = testing::RegionAtText(doc.frame().region, 12, 3);
  // Press in B, release in A: as a click it fills A only.
  doc.RegionFillRelease({100, 100}, {104, 106}, At(12, 3), At(3, 3));
  EXPECT_EQ(doc.frame().regionColor[a], doc.currentColor());
  EXPECT_EQ(doc.frame().regionColor[b], kUnfilledColor);
  ASSERT_TRUE(doc.Undo());
  // As a rectangle over both boxes it fills both.
  doc.RegionFillRelease({100, 100}, {105, 105}, At(0, 0), At(19, 6));
  EXPECT_EQ(doc.frame().regionColor[a], doc.currentColor());
  EXPECT_EQ(doc.frame().regionColor[b], doc.currentColor());
}

TEST(ColorPicker, TakesPaintedColoursButNeverUnfilledOrLine) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  EXPECT_EQ(PickColorAt(frame, At(0, 0)), kTransparentColor);
  EXPECT_EQ(PickColorAt(frame, At(3, 3)), std::nullopt);  // unfilled
  frame.regionColor[testing::RegionAtText(frame.region, 3, 3)] = kLineColor;
  EXPECT_EQ(PickColorAt(frame, At(3, 3)), std::nullopt);
  frame.regionColor[testing::RegionAtText(frame.region, 12, 3)] = 9;
  EXPECT_EQ(PickColorAt(frame, At(12, 3)), 9);
  EXPECT_EQ(PickColorAt(frame, {-1, 0}), std::nullopt);
  EXPECT_EQ(PickColorAt(frame, {0, frame.height}), std::nullopt);
}

TEST(AnimFill, FollowsEightNeighboursByIndexAcrossTheRowEnd) {
  // A diagonal animator line, and one that leaves the right edge and goes on at the left edge
  // of the row above (neighbours by pixel index).
  const std::vector<std::string> picture = {
      "*......",  //
      "......*",  //
      ".....*.",  //
      "..*....",  //
      ".*.....",  //
      "*......",  //
  };
  PainterFrame frame = testing::FrameFromPicture(picture);
  auto colourAt = [&](int c, int r) {
    return frame.region.animColor[frame.Index(c, int(picture.size()) - 1 - r)];
  };
  AnimFillAt(frame, {0, 0}, 12);
  EXPECT_EQ(colourAt(0, 5), 12);
  EXPECT_EQ(colourAt(1, 4), 12);
  EXPECT_EQ(colourAt(2, 3), 12);
  EXPECT_EQ(colourAt(5, 2), kAnimLineColor);  // not connected
  AnimFillAt(frame, {5, 3}, 0);               // transparent is allowed here
  EXPECT_EQ(colourAt(5, 2), 0);
  EXPECT_EQ(colourAt(6, 1), 0);
  EXPECT_EQ(colourAt(0, 0), 0);  // reached across the row end
  EXPECT_EQ(colourAt(0, 5), 12);
}

TEST(AnimFill, OffTheLineChangesNothingButStillTakesUndoAndMarksChange) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  const auto before = frame.region.animColor;
  AnimFillAt(frame, At(3, 3), 7);
  EXPECT_EQ(frame.region.animColor, before);
  EXPECT_TRUE(frame.undoAvailable());
  EXPECT_EQ(frame.undoKind(), kUndoAnimColors);
  EXPECT_TRUE(frame.regionChanged);
}

TEST(AnimFill, ALargeConnectedLineNeedsNoDeepStack) {
  std::vector<std::string> picture(600, std::string(700, '*'));
  PainterFrame frame = testing::FrameFromPicture(picture);
  AnimFillAt(frame, {350, 300}, 20);
  EXPECT_EQ(std::count(frame.region.animColor.begin(), frame.region.animColor.end(), 20),
            600 * 700);
}

TEST(Brush, FootprintsOfSizeOneAndSix) {
  EXPECT_EQ(BrushFootprint({10, 20}, 1), (ImageRect{10, 12, 20, 22}));
  const ImageRect six = BrushFootprint({30, 40}, 6);
  EXPECT_EQ(six.x1 - six.x0, 22);
  EXPECT_EQ(six.y1 - six.y0, 22);
  EXPECT_EQ(six.x0, 20);
  EXPECT_EQ(six.y0, 30);
}

TEST(Brush, SegmentsStampAlongTheLongerAxisAndClickStampsNothing) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
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
  EXPECT_EQ(changed, (ImageRect{0, 6, 0, 4}));
  EXPECT_TRUE(frame.regionChanged);
  // A footprint past the corner is clipped.
  StampSegment(frame, {-3, -3}, {-2, -3}, 2, BrushAction::UnRub, 0);
  EXPECT_FALSE(frame.region.flags[frame.Index(0, 0)] & kFlagRubbedOut);
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_TRUE(PixelsWith(frame, kFlagRubbedOut).empty());
}

TEST(Brush, TransparentAnimBrushShowsTheMessageOnEveryMoveAndPaintsNothing) {
  testing::TempDir dir;
  testing::WriteFrameFiles(dir.path(), "box", "1", testing::RegionsFromPicture(kBoxes));
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("box1.qds")));
  prompt.Clear();
  doc.SetTool(PainterTool::AnimBrush);
  EXPECT_EQ(doc.viewMode(), ViewMode::Composited);
  const PainterFrame before = doc.frame();
  doc.BrushPress({2, 2});
  doc.BrushMove({2, 2}, {6, 3});
  doc.BrushMove({6, 3}, {9, 3});
  doc.SetTool(PainterTool::AnimBrushRect);
  doc.RectangleRelease({0, 0}, {10, 5});
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>(3, std::string(kTransparentBrushMessage)));
  EXPECT_EQ(doc.frame().region, before.region);
  EXPECT_FALSE(doc.frame().regionChanged);
}

TEST(RectTools, RubberThenUnRubberRestoresTheDisplayAndEachStepUndoes) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  for (std::size_t i = 0; i < frame.scan.size(); ++i) frame.scan[i] = uint8_t(i * 11);
  ColorSet colors;
  const Raster original = ComposeWholeFrame(frame, colors, ViewMode::Composited);
  ApplyRectTool(frame, {14, 5}, {2, 1}, BrushAction::RubOut, 0);
  // The right column and top row of the drag are left out.
  std::set<std::pair<int, int>> expected;
  for (int y = 1; y < 5; ++y)
    for (int x = 2; x < 14; ++x) expected.insert({x, y});
  EXPECT_EQ(PixelsWith(frame, kFlagRubbedOut), expected);
  EXPECT_NE(ComposeWholeFrame(frame, colors, ViewMode::Composited), original);
  ApplyRectTool(frame, {2, 1}, {14, 5}, BrushAction::UnRub, 0);
  EXPECT_EQ(ComposeWholeFrame(frame, colors, ViewMode::Composited), original);
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_EQ(PixelsWith(frame, kFlagRubbedOut), expected);
  // An empty rectangle takes the copy but changes nothing.
  PainterFrame fresh = testing::FrameFromPicture(kBoxes);
  EXPECT_TRUE(ApplyRectTool(fresh, {3, 3}, {3, 9}, BrushAction::PaintLine, 5).IsEmpty());
  EXPECT_TRUE(fresh.undoAvailable());
  EXPECT_FALSE(fresh.regionChanged);
}

TEST(RectTools, AnimBrushRectClipsToThePicture) {
  PainterFrame frame = testing::FrameFromPicture(kBoxes);
  ApplyRectTool(frame, {-5, -5}, {2, 100}, BrushAction::PaintLine, 6);
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x)
      ASSERT_EQ(frame.region.animColor[frame.Index(x, y)], x < 2 ? 6 : kAnimLineColor);
  EXPECT_EQ(frame.undoKind(), kUndoAnimColors);
}

}  // namespace
}  // namespace quenda

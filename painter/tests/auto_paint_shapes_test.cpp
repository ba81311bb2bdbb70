// Matching by shapes and Paint Specks through the painter's frames, on constructed region maps:
// shapes are filled in order onto a 120 x 100 sheet of paper (region 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "autopaint/tests/constructed_map.h"
#include "common/color_set.h"
#include "painter/core/auto_paint.h"
#include "painter/core/small_region_fill.h"
#include "painter/tests/constructed_frame.h"

namespace quenda {
namespace {

constexpr int kW = 120, kH = 100;

// A filled box, or a bar of `width` from (x0, y0) along `degrees` for `length`.
struct Shape {
  int region;
  int x0, y0, x1, y1;
  double degrees = 0, length = 0, width = 0;
  bool bar = false;

  bool Holds(int x, int y) const {
    if (!bar) return x >= x0 && x <= x1 && y >= y0 && y <= y1;
    return testing::InBar(x, y, x0, y0, degrees, length, width);
  }
};

Shape Box(int region, int x0, int y0, int x1, int y1) {
  return {region, x0, y0, x1, y1};
}
Shape Bar(int region, int x, int y, double degrees, double length, double width) {
  return {region, x, y, 0, 0, degrees, length, width, true};
}

using testing::MakeFrameOf;

PainterFrame MakeFrame(const std::vector<Shape>& shapes, std::vector<int32_t> colors = {}) {
  return MakeFrameOf(
      kW, kH,
      [&](int x, int y) {
        int region = 1;
        for (const Shape& s : shapes)
          if (s.Holds(x, y)) region = s.region;
        return region;
      },
      std::move(colors));
}

// A body (2) with a limb (3) and a head (4) on it, moved by (dx, dy), the limb turned.
// With `extra`, a region 5 appears beside it.
std::vector<Shape> Figure(int dx, int dy, double limbDegrees, bool extra = false) {
  std::vector<Shape> shapes = {Box(2, 20 + dx, 30 + dy, 44 + dx, 70 + dy),
                               Bar(3, 44 + dx, 40 + dy, limbDegrees, 34, 7),
                               Box(4, 24 + dx, 72 + dy, 40 + dx, 90 + dy)};
  if (extra) shapes.push_back(Box(5, 90, 10, 105, 25));
  return shapes;
}

struct MatchCase {
  const char* name;
  std::vector<Shape> source, target;
  std::vector<int> expected;  // per target region from 1; -1: any of `either`
  std::vector<int> either;
};

TEST(ShapeMatch, FollowsTheDrawingNotTheOverlap) {
  const MatchCase cases[] = {
      {"translation wider than the limb", Figure(0, 0, 0), Figure(14, 3, 0), {1, 2, 3, 4}, {}},
      {"limb turned about its joint", Figure(0, 0, -30), Figure(0, 0, 25), {1, 2, 3, 4}, {}},
      {"region split in two",
       {Box(2, 20, 20, 70, 60), Box(3, 72, 20, 90, 60)},
       {Box(2, 20, 20, 44, 60), Box(3, 72, 20, 90, 60), Box(4, 46, 20, 70, 60)},
       {1, 2, 3, 2},
       {}},
      {"regions merged",
       {Box(2, 20, 20, 44, 60), Box(3, 46, 20, 70, 60), Box(4, 72, 20, 90, 60)},
       {Box(2, 20, 20, 70, 60), Box(3, 72, 20, 90, 60)},
       {1, -1, 4},
       {2, 3}},
      {"a region appears", Figure(0, 0, 0), Figure(0, 0, 0, true), {1, 2, 3, 4, 0}, {}},
      {"a hand moved to the body's edge: its piece on the body keeps the hand",
       {Box(2, 20, 20, 60, 80), Box(3, 30, 40, 44, 54)},
       {Box(2, 20, 20, 60, 80), Box(3, 52, 40, 59, 54), Box(4, 60, 40, 66, 54)},
       {1, 2, 3, -1},
       {0, 3}},
      {"same-sized pair numbered the other way",
       {Box(2, 10, 10, 100, 30), Box(3, 20, 40, 35, 55), Box(4, 80, 40, 95, 55)},
       {Box(2, 10, 10, 100, 30), Box(3, 84, 40, 99, 55), Box(4, 24, 40, 39, 55)},
       {1, 2, 4, 3},
       {}},
  };
  for (const MatchCase& c : cases) {
    const PainterFrame source = MakeFrame(c.source), target = MakeFrame(c.target);
    const std::vector<int> match = MatchShapes(target, source, 10);
    ASSERT_EQ(match.size(), c.expected.size() + 1) << c.name;
    for (std::size_t r = 1; r < match.size(); ++r) {
      if (c.expected[r - 1] >= 0) {
        EXPECT_EQ(match[r], c.expected[r - 1]) << c.name << ", region " << r;
      } else {
        EXPECT_NE(std::find(c.either.begin(), c.either.end(), match[r]), c.either.end())
            << c.name << ", region " << r << " took " << match[r];
      }
    }
  }
}

// A hand (a circle) crossing the body's and the leg's outlines moves further than its width:
// every piece it is cut into keeps the hand's colour, though the body or the leg lies under it.
TEST(ShapeMatch, PiecesOfAPaintedHandFollowTheHand) {
  auto frame = [](int shift, int handX, int handY, std::vector<int32_t> colors) {
    return MakeFrameOf(
        600, 400,
        [=](int x, int y) {
          const bool body = x >= 100 + shift && x <= 220 + shift && y >= 100 && y <= 250;
          const bool leg = x >= 146 + shift && x <= 186 + shift && y >= 20 && y <= 98;
          const bool hand = (x - handX) * (x - handX) + (y - handY) * (y - handY) <= 14 * 14;
          return hand ? (body ? 4 : leg ? 5 : 6) : body ? 2 : leg ? 3 : 1;
        },
        std::move(colors));
  };
  const PainterFrame source = frame(0, 225, 120, {0, 0, 5, 6, 7, 7, 7});
  PainterFrame target = frame(4, 185, 100, {0, 0});
  AutoPaintFrom(target, source, {AutoPaintMatch::Shapes, false, 10});
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 0, 5, 6, 7, 7, 7}));
}

TEST(ShapeMatch, AutoPaintLeavesUnmatchedRegionsUnfilledAndUndoes) {
  const PainterFrame source = MakeFrame(Figure(0, 0, 0), {0, 0, 5, 6, 7});
  PainterFrame target = MakeFrame(Figure(0, 0, 0, true), {0, 3, 3, 3, 3, 3});
  AutoPaintFrom(target, source, {AutoPaintMatch::Shapes, false, 10});
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 0, 5, 6, 7, kUnfilledColor}));
  EXPECT_TRUE(target.paintChanged);
  ASSERT_TRUE(UndoLastChange(target));
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 3, 3, 3, 3, 3}));
  // The drawing beyond the source gives colours only to what the source left unfilled, and is
  // read only when something is left.
  const PainterFrame beyond = MakeFrame(Figure(0, 0, 0, true), {0, 0, 9, 9, 9, 8});
  int asked = 0;
  const BeyondFrame give = [&](int depth) { return ++asked, depth == 0 ? &beyond : nullptr; };
  AutoPaintFrom(target, source, {AutoPaintMatch::Shapes, false, 10}, give);
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 0, 5, 6, 7, 8}));
  PainterFrame same = MakeFrame(Figure(0, 0, 0), {0});
  AutoPaintFrom(same, source, {AutoPaintMatch::Shapes, false, 10}, give);
  EXPECT_EQ(std::pair(same.regionColor, asked), std::pair(source.regionColor, 1));
  // The chain's memory: drawings further back are asked in turn, nearest first, while something
  // is left; one without the region passes it on, and the asking ends at the first null.
  const PainterFrame without = MakeFrame(Figure(0, 0, 0), {0, 0, 9, 9, 9});
  std::vector<int> depths;
  const BeyondFrame further = [&](int depth) -> const PainterFrame* {
    depths.push_back(depth);
    return depth == 0 ? &without : depth == 1 ? &beyond : nullptr;
  };
  PainterFrame back = MakeFrame(Figure(0, 0, 0, true), {0});
  AutoPaintFrom(back, source, {AutoPaintMatch::Shapes, false, 10}, further);
  EXPECT_EQ(std::pair(back.regionColor, depths),
            std::pair(std::vector<int32_t>{0, 0, 5, 6, 7, 8}, std::vector<int>{0, 1}));
  const BeyondFrame none = [&](int depth) -> const PainterFrame* {
    return depths.push_back(depth), depth == 0 ? &without : nullptr;
  };
  depths.clear();
  PainterFrame lost = MakeFrame(Figure(0, 0, 0, true), {0});
  AutoPaintFrom(lost, source, {AutoPaintMatch::Shapes, false, 10}, none);
  EXPECT_EQ(std::pair(lost.regionColor, depths),
            std::pair(std::vector<int32_t>{0, 0, 5, 6, 7, kUnfilledColor}, std::vector<int>{0, 1}));
}

TEST(PaintSpecks, FillsFromTheLongestPaintedBorderLargestFirstUntilSettled) {
  // Region 2 (colour 5) and 3 (colour 6) side by side; specks: 4 (2 x 2) inside 2; a chain
  // 5 - 6 - 7 where only 5 touches 3; 8 is 4 x 4, too big at size 10, and stays.
  PainterFrame frame =
      MakeFrame({Box(2, 10, 10, 59, 80), Box(3, 60, 10, 110, 80), Box(4, 30, 30, 33, 33),
                 Box(5, 62, 30, 65, 33), Box(6, 66, 30, 69, 33), Box(7, 70, 30, 73, 33),
                 Box(8, 80, 50, 85, 55)},
                {0, 0, 5, 6});
  const std::vector<int32_t> before = frame.regionColor;
  EXPECT_EQ(CountUnfilledSpecks(frame, 10), 4);
  EXPECT_EQ(PaintSpecks(frame, 10), 4);
  EXPECT_EQ(frame.regionColor, (std::vector<int32_t>{0, 0, 5, 6, 5, 6, 6, 6, kUnfilledColor}));
  EXPECT_EQ(CountUnfilledSpecks(frame, 10), 0);
  EXPECT_EQ(PaintSpecks(frame, 10), 0);  // nothing left: the undo still takes back the fill
  ASSERT_TRUE(UndoLastChange(frame));
  EXPECT_EQ(frame.regionColor, before);
}

}  // namespace
}  // namespace quenda

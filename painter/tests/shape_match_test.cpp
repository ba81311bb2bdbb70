// Auto paint by shapes and Paint Specks on constructed region maps: shapes are filled in
// order onto a 120 x 100 sheet of paper (region 1), and every pixel beside a different region
// becomes a line pixel, as region extraction leaves them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/color_set.h"
#include "painter/core/auto_paint.h"
#include "painter/core/small_region_fill.h"

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
    const double a = degrees * 3.14159265358979 / 180, dx = x - x0, dy = y - y0;
    const double along = dx * std::cos(a) + dy * std::sin(a);
    const double across = -dx * std::sin(a) + dy * std::cos(a);
    return along >= 0 && along <= length && std::abs(across) <= width / 2;
  }
};

Shape Box(int region, int x0, int y0, int x1, int y1) {
  return {region, x0, y0, x1, y1};
}
Shape Bar(int region, int x, int y, double degrees, double length, double width) {
  return {region, x, y, 0, 0, degrees, length, width, true};
}

PainterFrame MakeFrame(const std::vector<Shape>& shapes, std::vector<int32_t> colors = {}) {
  PainterFrame f;
  f.width = kW, f.height = kH;
  f.region = MakeBlankRegionData(kW, kH);
  int top = 1;
  for (const Shape& s : shapes) {
    top = std::max(top, s.region);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (s.Holds(x, y)) f.region.regionMap[f.Index(x, y)] = uint16_t(s.region);
  }
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint16_t here = f.region.regionMap[f.Index(x, y)];
      const bool edge = (x + 1 < kW && f.region.regionMap[f.Index(x + 1, y)] != here) ||
                        (y + 1 < kH && f.region.regionMap[f.Index(x, y + 1)] != here);
      if (edge && here != 1) f.region.flags[f.Index(x, y)] = kFlagRegionLine;
    }
  f.region.regionCount = top - 1;
  f.region.regionBounds.resize(std::size_t(top) + 1);
  ComputeRegionBounds(f.region);
  colors.resize(std::size_t(top) + 1, kUnfilledColor);
  f.regionColor = colors;
  return f;
}

// A body (2) with a limb (3) and a head (4) on it, moved by (dx, dy), the limb turned.
std::vector<Shape> Figure(int dx, int dy, double limbDegrees) {
  return {Box(2, 20 + dx, 30 + dy, 44 + dx, 70 + dy), Bar(3, 44 + dx, 40 + dy, limbDegrees, 34, 7),
          Box(4, 24 + dx, 72 + dy, 40 + dx, 90 + dy)};
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
      {"a region appears",
       Figure(0, 0, 0),
       [] {
         auto t = Figure(0, 0, 0);
         t.push_back(Box(5, 90, 10, 105, 25));
         return t;
       }(),
       {1, 2, 3, 4, 0},
       {}},
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

TEST(ShapeMatch, AutoPaintLeavesUnmatchedRegionsUnfilledAndUndoes) {
  const PainterFrame source = MakeFrame(Figure(0, 0, 0), {0, 0, 5, 6, 7});
  auto shapes = Figure(0, 0, 0);
  shapes.push_back(Box(5, 90, 10, 105, 25));
  PainterFrame target = MakeFrame(shapes, {0, 3, 3, 3, 3, 3});
  AutoPaintFrom(target, source, {AutoPaintMatch::Shapes, false, 10});
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 0, 5, 6, 7, kUnfilledColor}));
  EXPECT_TRUE(target.paintChanged);
  ASSERT_TRUE(UndoLastChange(target));
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 3, 3, 3, 3, 3}));
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

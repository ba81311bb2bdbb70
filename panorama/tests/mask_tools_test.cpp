#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "panorama/core/mask_ops.h"
#include "panorama/tests/panorama_fixtures.h"

namespace quenda {
namespace {

using testing::MakeMask;
using testing::MaskPattern;

// The pixels a mask has that are not 0, as (x, y) pairs in row order.
std::vector<std::pair<int, int>> Touched(const Raster& mask) {
  std::vector<std::pair<int, int>> touched;
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      if (*mask.At(x, y) != 0) touched.emplace_back(x, y);
  return touched;
}

TEST(Brush, SizesReachTwiceTheirNumberSoftly) {
  for (int size : {1, 6}) {
    Raster mask = MakeMask(41, 41, MaskPattern::Opaque);
    StampBrush(mask.view(), StandardBrushTables()[size - 1], 20, 20, MaskMode::Erase);
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x) {
        const double d = std::hypot(x - 20, y - 20);
        ASSERT_EQ(*mask.At(x, y) != 255, d < 2 * size) << size << ": " << x << "," << y;
      }
    EXPECT_EQ(*mask.At(20, 20), 0);
  }
  // Size 1, one pixel off the centre: 255 (2 - 1) / 2 = 127 covered.
  Raster mask = MakeMask(5, 5, MaskPattern::Empty);
  StampBrush(mask.view(), StandardBrushTables()[0], 2, 2, MaskMode::Reveal);
  EXPECT_EQ(*mask.At(3, 2), 127);
}

TEST(Brush, StrokesStampAlongTheLongerAxisInSteps) {
  BrushTable dot{};  // one fully covering pixel: every stamp shows as one opaque pixel
  dot[kBrushCentre * kBrushTableSide + kBrushCentre] = 255;
  struct Case {
    int size, x0, y0, x1, y1;
    std::vector<std::pair<int, int>> stamps;
  };
  const Case cases[] = {
      {6, 0, 0, 10, 3, {{0, 0}, {4, 1}, {8, 2}}},  // step 4, end excluded
      {3, 4, 4, 4, 4, {{4, 4}}},                   // a click stamps once
      {1,
       5,
       10,
       3,
       0,
       {{4, 1},
        {4, 2},
        {4, 3},
        {4, 4},
        {4, 5},
        {5, 6},
        {5, 7},
        {5, 8},
        {5, 9},
        {5, 10}}},  // downwards, x truncated towards the start
  };
  for (const Case& c : cases) {
    Raster mask = MakeMask(12, 12, MaskPattern::Empty);
    StrokeBrush(mask.view(), dot, c.size, c.x0, c.y0, c.x1, c.y1, MaskMode::Reveal);
    EXPECT_EQ(Touched(mask), c.stamps) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
  }
}

TEST(Polygon, FillsItsAreaAndBlendsSpanEnds) {
  Raster box = MakeMask(9, 8, MaskPattern::Empty);
  const MaskPoint rectangle[] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
  FillPolygon(box.view(), rectangle, 4, MaskMode::Reveal);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 9; ++x)
      ASSERT_EQ(*box.At(x, y), (x >= 2 && x <= 5 && y >= 2 && y <= 4) ? 255 : 0) << x << "," << y;

  // Row 1 of this triangle ends at x = 2.5: pixel 2 is half covered.
  Raster triangle = MakeMask(6, 3, MaskPattern::Opaque);
  const MaskPoint corners[] = {{0, 0}, {5, 0}, {0, 2}};
  FillPolygon(triangle.view(), corners, 3, MaskMode::Erase);
  EXPECT_EQ(triangle.bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 255,        //
                                                    0, 0, 128, 255, 255, 255,  //
                                                    255, 255, 255, 255, 255, 255}));
}

}  // namespace
}  // namespace quenda

#include "common/zoom_level.h"

#include <gtest/gtest.h>

#include <vector>

namespace quenda {
namespace {

TEST(ZoomLevel, StepsOutFromOneToOneThroughTheDivisors) {
  std::vector<int> percents;
  ZoomLimits limits;
  for (int level = 1; ZoomOutAllowed(level, limits); --level)
    percents.push_back(ZoomLevelPercent(level - 1));
  // Zoom Out stays allowed at 6 percent (100 / 16) and stops at 5 (100 / 17).
  EXPECT_EQ(percents, (std::vector<int>{50, 33, 25, 20, 16, 14, 12, 11, 10, 9, 8, 7, 7, 6, 6, 5}));
}

TEST(ZoomLevel, StepsInUpTo1700PercentThenStops) {
  ZoomLimits limits;
  int level = 1;
  while (ZoomInAllowed(level, limits)) ++level;
  EXPECT_EQ(ZoomLevelPercent(level), 1700);
  EXPECT_TRUE(ZoomInAllowed(16, limits));
  // Other views use other limits through the same arithmetic.
  EXPECT_FALSE(ZoomInAllowed(11, ZoomLimits{1100, 6}));
  EXPECT_TRUE(ZoomInAllowed(10, ZoomLimits{1100, 6}));
}

TEST(ZoomLevel, ZoomedLengthsTruncateAndUnzoomingFloors) {
  EXPECT_EQ(ZoomedLength(47, 3), 141);
  EXPECT_EQ(ZoomedLength(47, 0), 23);
  EXPECT_EQ(ZoomedLength(47, -1), 15);
  EXPECT_EQ(UnzoomedPosition(5, 3), 1);
  EXPECT_EQ(UnzoomedPosition(6, 3), 2);
  // Just before the picture is pixel -1, not pixel 0.
  EXPECT_EQ(UnzoomedPosition(-1, 3), -1);
  EXPECT_EQ(UnzoomedPosition(-3, 3), -1);
  EXPECT_EQ(UnzoomedPosition(-4, 3), -2);
  EXPECT_EQ(UnzoomedPosition(7, -1), 21);
  // Centring only when the picture is smaller.
  EXPECT_EQ(CentreOffset(100, 47), 26);
  EXPECT_EQ(CentreOffset(100, 100), 0);
  EXPECT_EQ(CentreOffset(100, 300), 0);
}

TEST(ZoomLevel, ZoomKeepsTheWindowCentreInPlace) {
  // Centre at 100 + 100 = 200 on screen, picture position 200 at 1:1; at 2x it is at 400, so
  // the window starts at 300.
  EXPECT_EQ(ScrollKeepingCentre(100, 200, 1, 2, 10000), 300);
  EXPECT_EQ(ScrollKeepingCentre(300, 200, 2, 1, 10000), 100);
  EXPECT_EQ(ScrollKeepingCentre(100, 200, 1, 0, 10000), 0);
  // 3x to 2x: (50 + 50) * 2 / 3 - 50 = 16.67, truncated.
  EXPECT_EQ(ScrollKeepingCentre(50, 101, 3, 2, 10000), 16);
  // Clamped to the new scroll range on both sides.
  EXPECT_EQ(ScrollKeepingCentre(1000, 200, 1, 4, 2500), 2500);
  EXPECT_EQ(ScrollKeepingCentre(0, 200, 2, 1, 500), 0);
  EXPECT_EQ(ScrollKeepingCentre(10, 200, 1, 2, -5), 0);
}

TEST(ZoomLevel, PanMovesAgainstTheMouseWithinTheRange) {
  EXPECT_EQ(ScrollAfterPan(100, 50, 40, 1000, 300), 110);
  EXPECT_EQ(ScrollAfterPan(100, 40, 50, 1000, 300), 90);
  EXPECT_EQ(ScrollAfterPan(5, 40, 50, 1000, 300), 0);
  EXPECT_EQ(ScrollAfterPan(695, 50, 40, 1000, 300), 700);
  // A picture smaller than the window does not pan.
  EXPECT_EQ(ScrollAfterPan(0, 50, 10, 200, 300), 0);
}

}  // namespace
}  // namespace quenda

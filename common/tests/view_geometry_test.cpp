#include "common/view_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/zoom_level.h"

namespace quenda {
namespace {

TEST(ViewMapping, WindowPositionsMapToThePixelDrawnUnderThem) {
  ViewPlacement view;
  view.pictureHeight = 33;
  view.zoom = 2;
  EXPECT_EQ(WindowToPicture({0, 0}, view), (ViewPoint{0, 32}));
  EXPECT_EQ(WindowToPicture({1, 1}, view), (ViewPoint{0, 32}));
  EXPECT_EQ(WindowToPicture({2, 65}, view), (ViewPoint{1, 0}));
  EXPECT_EQ(WindowToPicture({2, 66}, view), (ViewPoint{1, -1}));  // below the picture
  view.offsetX = 10;
  EXPECT_EQ(WindowToPicture({9, 0}, view).x, -1);  // in the margin: outside the picture
  view.offsetX = 0;
  view.zoom = -1;  // a third
  view.scrollX = 5;
  EXPECT_EQ(WindowToPicture({4, 3}, view), (ViewPoint{27, 23}));
}

TEST(ViewMapping, PictureRectanglesMapToTheWindowPixelsShowingThem) {
  ViewPlacement view{7, 3, 10, 20, 3, 33};
  // Rows count up in the picture and down in the window: row 0 is the lowest on screen.
  EXPECT_EQ(PictureToWindow({1, 0, 2, 1}, view), (ViewRect{6, 113, 6, 3}));
  EXPECT_EQ(PictureToWindow({1, 0, 0, 1}, view), ViewRect{});
  EXPECT_EQ(PictureToWindow({1, 0, 2, -1}, view), ViewRect{});
  // Reduced to a third: from the first screen pixel sampling the area, one to spare.
  view = {0, 0, 0, 0, -1, 33};
  EXPECT_EQ(PictureToWindow({4, 30, 1, 1}, view), (ViewRect{1, 0, 2, 2}));
  EXPECT_EQ(PictureToWindow({0, 0, 47, 33}, view), (ViewRect{0, 0, 17, 12}));

  // Enlarged, every pixel's cell maps back to that pixel at both corners.
  for (int zoom : {1, 2, 5}) {
    view = {13, 4, 0, 9, zoom, 33};
    for (int y = 0; y < 33; y += 4)
      for (int x = 0; x < 47; x += 5) {
        const ViewRect cell = PictureToWindow({x, y, 1, 1}, view);
        ASSERT_EQ(cell.width, zoom);
        EXPECT_EQ(WindowToPicture({cell.x, cell.y}, view), (ViewPoint{x, y})) << zoom;
        EXPECT_EQ(WindowToPicture({cell.x + zoom - 1, cell.y + zoom - 1}, view), (ViewPoint{x, y}))
            << zoom;
      }
  }
}

TEST(ViewMapping, ReferencePictureStartsCentredAndDragsOnlyWithinItself) {
  // A drag that would go below 0 or reach the size stays where it was.
  const std::pair<int, int> got[] = {
      {ReferenceStartOffset(301, 100), 100},        {ReferenceStartOffset(100, 100), 0},
      {ReferenceStartOffset(80, 100), 0},           {DragReferenceOffset(100, 50, 40, 301), 110},
      {DragReferenceOffset(5, 40, 50, 301), 5},     {DragReferenceOffset(5, 40, 45, 301), 0},
      {DragReferenceOffset(295, 50, 44, 301), 295}, {DragReferenceOffset(295, 50, 45, 301), 300}};
  for (std::size_t i = 0; i < std::size(got); ++i)
    EXPECT_EQ(got[i].first, got[i].second) << "row " << i;
}

TEST(ZoomLevel, StepsOutThroughTheDivisorsAndInUpTo1700Percent) {
  std::vector<int> percents;
  ZoomLimits limits;
  for (int level = 1; ZoomOutAllowed(level, limits); --level)
    percents.push_back(ZoomLevelPercent(level - 1));
  // Zoom Out stays allowed at 6 percent (100 / 16) and stops at 5 (100 / 17).
  EXPECT_EQ(percents, (std::vector<int>{50, 33, 25, 20, 16, 14, 12, 11, 10, 9, 8, 7, 7, 6, 6, 5}));
  // In, up to 1700 percent.
  int level = 1;
  while (ZoomInAllowed(level, limits)) ++level;
  EXPECT_EQ(ZoomLevelPercent(level), 1700);
  // Other views use other limits through the same arithmetic.
  EXPECT_FALSE(ZoomInAllowed(11, ZoomLimits{1100, 6}));
  EXPECT_TRUE(ZoomInAllowed(10, ZoomLimits{1100, 6}));
}

TEST(ZoomLevel, ZoomedLengthsTruncateAndUnzoomingFloors) {
  // Just before the picture is pixel -1, not pixel 0; centring only when the picture is smaller.
  const std::pair<int, int> got[] = {
      {ZoomedLength(47, 3), 141},    {ZoomedLength(47, 0), 23},     {ZoomedLength(47, -1), 15},
      {UnzoomedPosition(5, 3), 1},   {UnzoomedPosition(6, 3), 2},   {UnzoomedPosition(-1, 3), -1},
      {UnzoomedPosition(-3, 3), -1}, {UnzoomedPosition(-4, 3), -2}, {UnzoomedPosition(7, -1), 21},
      {CentreOffset(100, 47), 26},   {CentreOffset(100, 100), 0},   {CentreOffset(100, 300), 0}};
  for (std::size_t i = 0; i < std::size(got); ++i)
    EXPECT_EQ(got[i].first, got[i].second) << "row " << i;
}

TEST(ZoomLevel, ZoomKeepsTheWindowCentreInPlaceAndPanMovesAgainstTheMouse) {
  // Centre at 100 + 100 = 200 on screen, picture position 200 at 1:1; at 2x it is at 400, so
  // the window starts at 300. 3x to 2x: (50 + 50) * 2 / 3 - 50 = 16.67, truncated. Clamped to
  // the new scroll range on both sides. Panning moves against the mouse, within the range; a
  // picture smaller than the window stays.
  const std::pair<int, int> got[] = {{ScrollKeepingCentre(100, 200, 1, 2, 10000), 300},
                                     {ScrollKeepingCentre(300, 200, 2, 1, 10000), 100},
                                     {ScrollKeepingCentre(100, 200, 1, 0, 10000), 0},
                                     {ScrollKeepingCentre(50, 101, 3, 2, 10000), 16},
                                     {ScrollKeepingCentre(1000, 200, 1, 4, 2500), 2500},
                                     {ScrollKeepingCentre(0, 200, 2, 1, 500), 0},
                                     {ScrollKeepingCentre(10, 200, 1, 2, -5), 0},
                                     {ScrollAfterPan(100, 50, 40, 1000, 300), 110},
                                     {ScrollAfterPan(100, 40, 50, 1000, 300), 90},
                                     {ScrollAfterPan(5, 40, 50, 1000, 300), 0},
                                     {ScrollAfterPan(695, 50, 40, 1000, 300), 700},
                                     {ScrollAfterPan(0, 50, 10, 200, 300), 0}};
  for (std::size_t i = 0; i < std::size(got); ++i)
    EXPECT_EQ(got[i].first, got[i].second) << "row " << i;
}

}  // namespace
}  // namespace quenda

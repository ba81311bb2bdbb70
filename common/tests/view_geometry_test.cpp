#include "common/view_geometry.h"

#include <gtest/gtest.h>

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
    for (int y = 0; y < 33; y += 4) {
      for (int x = 0; x < 47; x += 5) {
        const ViewRect cell = PictureToWindow({x, y, 1, 1}, view);
        ASSERT_EQ(cell.width, zoom);
        EXPECT_EQ(WindowToPicture({cell.x, cell.y}, view), (ViewPoint{x, y})) << zoom;
        EXPECT_EQ(WindowToPicture({cell.x + zoom - 1, cell.y + zoom - 1}, view), (ViewPoint{x, y}))
            << zoom;
      }
    }
  }
}

TEST(ViewMapping, ReferencePictureStartsCentredAndDragsOnlyWithinItself) {
  EXPECT_EQ(ReferenceStartOffset(301, 100), 100);
  EXPECT_EQ(ReferenceStartOffset(100, 100), 0);
  EXPECT_EQ(ReferenceStartOffset(80, 100), 0);
  EXPECT_EQ(DragReferenceOffset(100, 50, 40, 301), 110);
  EXPECT_EQ(DragReferenceOffset(5, 40, 50, 301), 5);  // would go below 0
  EXPECT_EQ(DragReferenceOffset(5, 40, 45, 301), 0);
  EXPECT_EQ(DragReferenceOffset(295, 50, 44, 301), 295);  // would reach the size
  EXPECT_EQ(DragReferenceOffset(295, 50, 45, 301), 300);
}

}  // namespace
}  // namespace quenda

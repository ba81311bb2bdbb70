#include "ui/picture_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "common/raster.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

// Every pixel of a 47 x 33 picture gets its own colour, so a mix-up of rows or columns shows.
Raster MakePicture(int width, int height, int channels = 3) {
  Raster picture(width, height, channels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = picture.At(x, y);
      pixel[0] = uint8_t(x * 5);      // blue
      pixel[1] = uint8_t(y * 7);      // green
      pixel[2] = uint8_t(x + y * 3);  // red
    }
  return picture;
}

QColor ColourAt(const Raster& picture, int x, int y) {
  const uint8_t* pixel = picture.At(x, y);
  return QColor(pixel[2], pixel[1], pixel[0]);
}

// The view's shown pixels, as a person sees them.
QImage Grab(PictureView& view) {
  return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct ViewFixture {
  explicit ViewFixture(QSize size = {200, 150}) {
    view.resize(size);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  PictureView view;
};

TEST(PictureView, DrawsEveryPixelWhereTheMappingPutsItAtEveryZoomUpdatesARectangleAndTakesOver) {
  ViewFixture f;
  Raster picture = MakePicture(47, 33);
  f.view.SetPicture(picture);
  for (int level : {1, 3, 0, -1}) {
    f.view.SetZoomLevel(level);
    QImage shown = Grab(f.view);
    // The picture is centred in the window, the rest in the background.
    EXPECT_EQ(QColor(shown.pixel(2, 2)), QColor(128, 128, 128)) << level;
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 47; ++x) {
        QRect cell = f.view.ImageToWindow(QRect(x, y, 1, 1));
        if (level < 1) {
          // Reduced: only every (2 - z)-th pixel is drawn, and the truncated last ones are not.
          int divisor = 2 - level;
          if (x % divisor != 0 || (32 - y) % divisor != 0) continue;
          if (x / divisor >= 47 / divisor || (32 - y) / divisor >= 33 / divisor) continue;
        }
        QPoint centre = level >= 1 ? cell.center() : cell.topLeft();
        ASSERT_TRUE(shown.rect().contains(centre)) << level;
        EXPECT_EQ(QColor(shown.pixel(centre)), ColourAt(picture, x, y))
            << "level " << level << " pixel " << x << "," << y;
        EXPECT_EQ(f.view.WindowToImage(centre), QPoint(x, y)) << level;
      }
  }
  // An update copies only its rectangle.
  Raster rgba = MakePicture(47, 33, 4);
  f.view.SetPicture(rgba);
  f.view.SetZoomLevel(3);
  const Raster changed(47, 33, 4, 255);  // all white
  f.view.UpdatePicture(changed, QRect(10, 5, 4, 3));
  QTest::qWait(20);
  QImage shown = Grab(f.view);
  auto shownAt = [&](int x, int y) {
    return QColor(shown.pixel(f.view.ImageToWindow(QRect(x, y, 1, 1)).center()));
  };
  for (auto [x, y, white] :
       {std::tuple{10, 5, true}, {13, 7, true}, {14, 7, false}, {10, 8, false}, {9, 5, false}})
    EXPECT_EQ(shownAt(x, y), white ? QColor(255, 255, 255) : ColourAt(rgba, x, y)) << x << "," << y;
  // The view's copy is top row first.
  EXPECT_EQ(QColor(f.view.picture().pixel(10, 32 - 5)), QColor(255, 255, 255));
  EXPECT_EQ(QColor(f.view.picture().pixel(0, 0)), ColourAt(rgba, 0, 32));
  // A picture filled through its rows is taken over as the raster would show.
  PictureView copied;
  copied.SetPicture(picture);
  QImage made = PictureView::NewPicture(47, 33);
  const RasterView rows = PictureView::PictureRows(made);
  for (int y = 0; y < 33; ++y) std::memcpy(rows.Row(y), picture.Row(y), 47 * 3);
  const uchar* bits = made.constBits();
  PictureView taken;
  taken.SetPicture(std::move(made));
  EXPECT_EQ(taken.picture(), copied.picture());
  EXPECT_EQ(taken.picture().constBits(), bits);  // taken over, not copied
}

TEST(PictureView, PanModeDragsAndKeepsTheMouseFromTheToolsZoomKeepsTheCentreAndSaysSo) {
  ViewFixture f;
  f.view.SetPicture(MakePicture(470, 330));
  QSignalSpy zoomed(&f.view, &PictureView::ZoomChanged);
  f.view.SetZoomLevel(2);
  // Pan mode drags the picture and keeps the mouse from the tools.
  f.view.SetScrollPosition({100, 100});
  QSignalSpy pressed(&f.view, &PictureView::MousePressed);
  f.view.SetPanMode(true);
  EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::OpenHandCursor);
  QWidget* surface = f.view.viewport();
  QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 80));
  QTest::mouseMove(surface, QPoint(70, 60));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(70, 60));
  EXPECT_EQ(f.view.scrollPosition(), QPoint(130, 120));
  EXPECT_TRUE(pressed.isEmpty());

  f.view.SetPanMode(false);
  QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(5, 7));
  ASSERT_EQ(pressed.count(), 1);
  EXPECT_EQ(pressed.at(0).at(0).toPoint(), QPoint(67, 329 - 63));
  EXPECT_EQ(pressed.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);

  QSize window = f.view.viewport()->size();
  f.view.SetScrollPosition({300, 200});
  QPoint centreBefore = f.view.WindowToImage({window.width() / 2, window.height() / 2});
  f.view.ZoomIn();
  EXPECT_EQ(f.view.zoomPercent(), 300);
  QPoint centreAfter = f.view.WindowToImage({window.width() / 2, window.height() / 2});
  EXPECT_LE(std::abs(centreAfter.x() - centreBefore.x()), 1);
  EXPECT_LE(std::abs(centreAfter.y() - centreBefore.y()), 1);
  EXPECT_EQ(
      std::tuple(f.view.horizontalScrollBar()->maximum(), f.view.horizontalScrollBar()->pageStep()),
      std::tuple(1410 - window.width(), 141));
  while (f.view.CanZoomOut()) f.view.ZoomOut();
  EXPECT_EQ(f.view.zoomPercent(), 5);
  ASSERT_FALSE(zoomed.isEmpty());
  EXPECT_EQ(zoomed.last().at(0).toInt(), 5);
  EXPECT_EQ(f.view.horizontalScrollBar()->maximum(), 0);
}

bool OpaqueNear(const QImage& image, QPoint spot, int reach) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      QPoint at = spot + QPoint(dx, dy);
      if (image.rect().contains(at) && qAlpha(image.pixel(at)) > 128) return true;
    }
  return false;
}

// Every tool's picture and cursor, from the first to the last of the list.
TEST(ToolArt, CursorsPointWithAVisiblePartOfTheToolAndPicturesTellTheToolsApart) {
  std::vector<QImage> seen;
  for (int i = int(ToolArt::Bucket); i <= int(ToolArt::Colours); ++i) {
    SCOPED_TRACE(i);
    const ToolArt art = ToolArt(i);
    QCursor cursor = ToolCursor(art);
    QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    QPoint spot = cursor.hotSpot();
    EXPECT_EQ(spot, ToolHotSpot(art));
    EXPECT_TRUE(image.rect().contains(spot));
    // The click lands where the tool's tip is drawn, not on empty ground beside it.
    EXPECT_TRUE(OpaqueNear(image, spot, 2));

    QImage picture = ToolPixmap(art, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) opaque += qAlpha(picture.pixel(x, y)) > 128;
    // Visible, but not a filled square either.
    EXPECT_GT(opaque, 24 * 24 / 10);
    EXPECT_LT(opaque, 24 * 24 * 9 / 10);
    for (const QImage& other : seen) EXPECT_NE(picture, other);
    seen.push_back(picture);
    EXPECT_FALSE(ToolIcon(art).isNull());
  }
}

}  // namespace
}  // namespace quenda

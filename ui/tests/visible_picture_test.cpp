// The picture view drawing from a source: at every zoom and scroll position it shows exactly
// what it shows of the same picture handed over whole, asks only for what it draws, and a
// refreshed rectangle shows the source's new pixels.
#include "ui/visible_picture.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <utility>

#include "common/raster.h"
#include "ui/picture_view.h"

namespace quenda {
namespace {

// Every pixel its own colour, so a mix-up of rows or columns shows.
Raster MakePicture(int width, int height) {
  Raster picture(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = picture.At(x, y);
      pixel[0] = uint8_t(x * 5 + y);
      pixel[1] = uint8_t(y * 7);
      pixel[2] = uint8_t(x + y * 3);
    }
  return picture;
}

// A whole picture behind the source interface, counting the samples asked of it.
class RasterSource final : public PictureSource {
 public:
  explicit RasterSource(Raster picture) : picture_(std::move(picture)) {}
  QSize sourceSize() const override { return {picture_.width(), picture_.height()}; }
  void Sample(const SampleGrid& grid, RasterView out) const override {
    EXPECT_TRUE(grid.Inside(picture_.width(), picture_.height()));
    samples_ += long(grid.columns) * grid.rows;
    quenda::SamplePicture(picture_, grid, out);
  }
  Raster& picture() { return picture_; }
  long TakeSamples() { return std::exchange(samples_, 0); }

 private:
  Raster picture_;
  mutable long samples_ = 0;
};

QImage Grab(PictureView& view) {
  return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct TwoViews {
  explicit TwoViews(const Raster& picture) : source(picture) {
    for (PictureView* view : {&whole, &sampled}) {
      view->resize(230, 170);
      view->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    whole.SetPicture(picture);
    sampled.SetPictureSource(&source);
  }
  void Place(int level, QPoint scroll) {
    for (PictureView* view : {&whole, &sampled}) {
      view->SetZoomLevel(level);
      view->SetScrollPosition(scroll);
    }
  }
  RasterSource source;
  PictureView whole;
  PictureView sampled;
};

TEST(VisiblePicture, ASourceShowsWhatTheWholePictureShowsAtEveryZoomAndScrollByteForByte) {
  for (QSize size : {QSize(47, 33), QSize(613, 419)}) {
    const Raster picture = MakePicture(size.width(), size.height());
    TwoViews v(picture);
    EXPECT_EQ(v.sampled.pictureSize(), size);
    for (int level : {1, 2, 3, 5, 0, -1, -3}) {
      for (QPoint scroll : {QPoint(0, 0), QPoint(1, 2), QPoint(37, 101), QPoint(5000, 5000)}) {
        v.Place(level, scroll);
        EXPECT_EQ(v.sampled.scrollPosition(), v.whole.scrollPosition());
        v.source.TakeSamples();
        const QImage sampled = Grab(v.sampled);
        ASSERT_EQ(sampled, Grab(v.whole))
            << size.width() << " level " << level << " scroll " << scroll.x() << "," << scroll.y();
        // No more than the window's worth of pixels is asked for, one row and column to spare.
        const QSize window = v.sampled.viewport()->size();
        const int perPixel = level >= 1 ? level : 1;
        EXPECT_LE(v.source.TakeSamples(),
                  long(window.width() / perPixel + 2) * (window.height() / perPixel + 2))
            << level;
        // What shows is kept: drawing it again composes nothing.
        Grab(v.sampled);
        EXPECT_EQ(v.source.TakeSamples(), 0) << level;
      }
    }
  }
}

TEST(VisiblePicture, ARefreshedRectangleShowsTheSourcesNewPixelsAndARefreshItsNewSize) {
  TwoViews v(MakePicture(47, 33));
  v.Place(3, {20, 10});
  for (int y = 5; y < 8; ++y)
    for (int x = 10; x < 14; ++x) {
      uint8_t* pixel = v.source.picture().At(x, y);
      pixel[0] = pixel[1] = pixel[2] = 255;
    }
  v.sampled.RefreshPicture(QRect(10, 5, 4, 3));
  v.whole.UpdatePicture(v.source.picture(), QRect(10, 5, 4, 3));
  QTest::qWait(20);
  EXPECT_EQ(Grab(v.sampled), Grab(v.whole));
  const QImage shown = Grab(v.sampled);
  EXPECT_EQ(QColor(shown.pixel(v.sampled.ImageToWindow(QRect(11, 6, 1, 1)).center())),
            QColor(255, 255, 255));

  // Another picture size reaches the scroll bars; an empty source shows nothing.
  v.source.picture() = MakePicture(300, 200);
  v.sampled.RefreshPicture(QRect(0, 0, 1, 1));
  EXPECT_EQ(v.sampled.pictureSize(), QSize(300, 200));
  EXPECT_GT(v.sampled.horizontalScrollBar()->maximum(), 0);
  v.source.picture() = Raster();
  v.sampled.RefreshPicture();
  EXPECT_FALSE(v.sampled.hasPicture());
  // A whole picture ends the source's use.
  v.sampled.SetPicture(MakePicture(8, 8));
  EXPECT_FALSE(v.sampled.drawsFromSource());
  EXPECT_EQ(v.sampled.pictureSize(), QSize(8, 8));
}

TEST(VisiblePicture, AScrollComposesOnlyWhatComesIntoSightAndARefreshOnlyWhatShows) {
  TwoViews v(MakePicture(613, 419));
  for (int level : {1, 0}) {
    v.Place(level, {37, 31});
    Grab(v.sampled);
    const QSize window = v.sampled.viewport()->size();
    struct Move {
      QPoint by;
      long samples;
    };
    for (const Move& move : {Move{{0, 7}, 7L * window.width()}, Move{{5, 0}, 5L * window.height()},
                             Move{{-3, -2}, 3L * window.height() + 2L * window.width() - 6}}) {
      v.source.TakeSamples();
      v.Place(level, v.sampled.scrollPosition() + move.by);
      ASSERT_EQ(Grab(v.sampled), Grab(v.whole))
          << level << " " << move.by.x() << "," << move.by.y();
      EXPECT_EQ(v.source.TakeSamples(), move.samples)
          << level << " " << move.by.x() << "," << move.by.y();
    }
  }
  // A changed rectangle composes its shown samples only, and nothing off the window.
  v.Place(1, {0, 0});
  Grab(v.sampled);
  v.source.TakeSamples();
  const QPoint inside = v.sampled.WindowToImage({40, 30});
  v.sampled.RefreshPicture(QRect(inside.x(), inside.y(), 6, 4));
  EXPECT_EQ(v.source.TakeSamples(), 24);
  v.sampled.RefreshPicture(QRect(600, 0, 13, 5));
  EXPECT_EQ(v.source.TakeSamples(), 0);
}

TEST(VisiblePicture, TheGridStartsAtTheLowestRowDrawnAndStepsByTheDivisorWhenReduced) {
  struct Case {
    int zoom;
    QRect shown;
    SampleGrid grid;
  };
  const Case cases[] = {
      {1, QRect(0, 0, 47, 33), {0, 0, 47, 33, 1}}, {1, QRect(3, 4, 10, 6), {3, 23, 10, 6, 1}},
      {3, QRect(4, 5, 7, 7), {1, 29, 3, 3, 1}},  // screen 4..10 and 5..11 touch pixels 1..3
      {0, QRect(0, 0, 23, 16), {0, 2, 23, 16, 2}}, {-1, QRect(2, 1, 5, 4), {6, 20, 5, 4, 3}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VisibleGrid(QSize(47, 33), c.zoom, c.shown), c.grid)
        << c.zoom << " " << c.shown.x() << "," << c.shown.y();
  EXPECT_TRUE(VisibleGrid(QSize(47, 33), 1, QRect()).IsEmpty());
}

}  // namespace
}  // namespace quenda

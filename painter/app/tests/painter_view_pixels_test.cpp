// The painter's view composes only what it shows: after every stroke, undo, zoom and scroll
// each window pixel over the picture is the pixel of the frame composed whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QScreen>

#include "common/zoom_level.h"
#include "painter/app/tests/painter_window_fixture.h"
#include "painter/core/frame_composition.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using testing::kHeight;
using testing::kWidth;
using testing::PainterWindow;

// What the window's surface holds where the view is: what was last drawn and flushed, so a view
// not told of a change still shows the old pixels here (a widget grab would draw them anew).
QImage OnScreen(PainterWindow& w) {
  QApplication::processEvents();
  const QImage window = w.frame->screen()
                            ->grabWindow(w.frame->winId())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
  const QWidget* viewport = w.view().viewport();
  return window.copy(QRect(viewport->mapTo(w.frame.get(), QPoint(0, 0)), viewport->size()));
}

// Window pixels over the picture that differ from the frame composed whole in the document's
// mode, and how many were compared.
std::pair<int, int> DifferingPixels(PainterWindow& w) {
  const PainterFrame& f = w.doc().frame();
  const PenComposition pen =
      w.doc().tool() == PainterTool::RegionPen ? PenComposition::On : PenComposition::Off;
  const Raster whole = ComposeWholeFrame(f, w.doc().colors(), w.doc().viewMode(), pen);
  const QImage shown = OnScreen(w);
  EXPECT_EQ(shown, w.Grab().convertToFormat(QImage::Format_RGB32)) << "what shows is up to date";
  const int zoom = w.view().zoomLevel();
  const QRect picture(w.view().centringOffset() - w.view().scrollPosition(),
                      QSize(ZoomedLength(kWidth, zoom), ZoomedLength(kHeight, zoom)));
  const QRect compared = picture.intersected(shown.rect());
  int differing = 0;
  for (int row = compared.top(); row <= compared.bottom(); ++row)
    for (int column = compared.left(); column <= compared.right(); ++column) {
      const QPoint at = w.view().WindowToImage({column, row});
      const uint8_t* p = whole.At(at.x(), at.y());
      differing += QColor(shown.pixel(column, row)) != QColor(p[2], p[1], p[0]);
    }
  return {differing, compared.width() * compared.height()};
}

// The mouse out of the view: the brush outline or the fill's hover that follows it goes.
void Leave(PainterWindow& w) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&w.view(), &leave);
  QApplication::processEvents();
}

void Stroke(PainterWindow& w, const std::vector<QPoint>& path) {
  w.Drag(path);
  Leave(w);
}

void ExpectShowsFrame(PainterWindow& w, const char* when) {
  const auto [differing, compared] = DifferingPixels(w);
  EXPECT_EQ(differing, 0) << when << " at zoom " << w.view().zoomLevel() << " scrolled "
                          << w.view().scrollPosition().x() << "," << w.view().scrollPosition().y();
  EXPECT_GE(compared, 1000) << when;
}

TEST(PainterViewPixels, AStrokeThenItsUndoShowTheFrameAtEveryZoomAndScrollPosition) {
  PainterWindow w;
  w.doc().SetCurrentColor(3);
  w.Key(Qt::Key_F);  // the line brush, in Composited mode
  w.action("actionZoomOneToOne")->trigger();
  ExpectShowsFrame(w, "before the stroke");
  const QImage before = w.Grab();
  const RegionData original = w.doc().frame().region;

  Stroke(w, {w.WindowOf(10, 20), w.WindowOf(60, 50), w.WindowOf(110, 70)});
  ASSERT_NE(w.doc().frame().region.animColor, original.animColor);
  ExpectShowsFrame(w, "after the stroke");
  EXPECT_NE(w.Grab(), before) << "the stroke shows";

  w.Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(w.doc().frame().region, original);
  ExpectShowsFrame(w, "after the undo");
  EXPECT_EQ(w.Grab(), before) << "the undo shows the picture of before, byte for byte";

  // A rub at 300 % scrolled into the middle, then its undo, at every zoom on the way back.
  w.Key(Qt::Key_H);
  w.action("actionZoomIn")->trigger();
  w.action("actionZoomIn")->trigger();
  ASSERT_EQ(w.view().zoomPercent(), 300);
  w.view().SetScrollPosition({40, 30});
  ExpectShowsFrame(w, "zoomed in and scrolled");
  Stroke(w, {w.WindowOf(40, 40), w.WindowOf(70, 45)});
  ASSERT_NE(w.doc().frame().region.flags, original.flags);
  ExpectShowsFrame(w, "after the rub");
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(w.doc().frame().region, original);
  for (int level : {3, 2, 1, 0, -1}) {
    w.view().SetZoomLevel(level);
    for (QPoint scroll : {QPoint(0, 0), QPoint(17, 9), QPoint(1000, 1000)}) {
      w.view().SetScrollPosition(scroll);
      ExpectShowsFrame(w, "after the rub's undo");
    }
  }
  // Every view mode at 200 %, and what a person sees of a stroke there.
  w.view().SetZoomLevel(2);
  w.view().SetScrollPosition({30, 20});
  for (const char* mode : {"actionRegionsPainted", "actionXRay", "actionComposited"}) {
    w.Key(Qt::Key_A);  // the region fill, which allows every mode
    w.action(mode)->trigger();
    ExpectShowsFrame(w, mode);
  }
  w.Key(Qt::Key_F);
  Stroke(w, {w.WindowOf(20, 60), w.WindowOf(70, 30), w.WindowOf(100, 55)});
  ExpectShowsFrame(w, "a stroke at 200 %");
  testing::SaveScreenshot(*w.frame, QStringLiteral("painter_stroke_zoomed.png"));
}

// Scrolls so that image pixel `at` shows in the middle of the view.
void CentreOn(PainterWindow& w, ImagePoint at) {
  const QRect shown = w.view().ImageToWindow(QRect(at.x, at.y, 1, 1));
  w.view().SetScrollPosition(w.view().scrollPosition() + shown.center() -
                             w.view().viewport()->rect().center());
}

// The region with the widest box (the background, as a rule) and a pixel of it off the lines.
std::pair<int, ImagePoint> WidestRegion(const PainterFrame& f) {
  int widest = 1;
  for (int r = 1; r < int(f.region.regionBounds.size()); ++r) {
    const RegionBox& b = f.region.regionBounds[std::size_t(r)];
    const RegionBox& best = f.region.regionBounds[std::size_t(widest)];
    if (!b.IsEmpty() && b.maxX - b.minX > best.maxX - best.minX) widest = r;
  }
  for (int y = f.height / 2; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const std::size_t i = f.Index(x, y);
      if (f.region.regionMap[i] == widest && (f.region.flags[i] & kFlagRegionLine) == 0)
        return {widest, ImagePoint{x, y}};
    }
  ADD_FAILURE() << "no pixel of region " << widest << " off the lines";
  return {widest, ImagePoint{}};
}

// The view moved about: a little each way, then to both ends and back.
void ExpectShowsFrameAfterScrolls(PainterWindow& w, const char* when) {
  const QPoint start = w.view().scrollPosition();
  for (QPoint by :
       {QPoint(23, 0), QPoint(0, 31), QPoint(-70, -45), QPoint(-5000, -5000), QPoint(5000, 5000)}) {
    w.view().SetScrollPosition(w.view().scrollPosition() + by);
    ExpectShowsFrame(w, when);
  }
  w.view().SetScrollPosition(start);
}

TEST(PainterViewPixels, FillsAndAStrokeOverTheWindowsEdgeShowTheFrameWhereverTheViewGoesAfter) {
  PainterWindow w;
  const auto [region, inside] = WidestRegion(w.doc().frame());
  const RegionData original = w.doc().frame().region;
  const std::vector<int32_t> colours = w.doc().frame().regionColor;
  // So far in that the region reaches beyond the window.
  w.view().SetZoomLevel(12);
  CentreOn(w, inside);
  const RegionBox& box = w.doc().frame().region.regionBounds[std::size_t(region)];
  ASSERT_FALSE(w.view().viewport()->rect().contains(w.view().ImageToWindow(
      QRect(box.minX, box.minY, box.maxX - box.minX + 1, box.maxY - box.minY + 1))));

  w.Key(Qt::Key_A);
  for (int colour : {4, 5}) {
    w.doc().SetCurrentColor(colour);
    w.Click(Qt::LeftButton, inside);
    Leave(w);
    ASSERT_EQ(w.doc().frame().regionColor[std::size_t(region)], colour);
    ExpectShowsFrame(w, "after a fill");
  }
  ExpectShowsFrameAfterScrolls(w, "after the fills");
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(w.doc().frame().regionColor[std::size_t(region)], 4);
  ExpectShowsFrameAfterScrolls(w, "after a fill's undo");

  // A line stroke from the middle out past the right edge and on past the bottom one.
  w.Key(Qt::Key_F);
  w.doc().SetCurrentColor(3);
  const QRect window = w.view().viewport()->rect();
  Stroke(w, {window.center(), QPoint(window.right() + 40, window.center().y()),
             QPoint(window.right() + 40, window.bottom() + 30)});
  ASSERT_NE(w.doc().frame().region.animColor, original.animColor);
  ExpectShowsFrame(w, "after a stroke over the edge");
  ExpectShowsFrameAfterScrolls(w, "after a stroke over the edge");
  testing::SaveScreenshot(*w.frame, QStringLiteral("painter_stroke_over_edge.png"));
  for (int level : {4, 1, 0}) {
    w.view().SetZoomLevel(level);
    ExpectShowsFrame(w, "after a stroke over the edge, zoomed out");
  }
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.doc().frame().region.animColor, original.animColor);
  ExpectShowsFrame(w, "after the stroke's undo");
  EXPECT_NE(w.doc().frame().regionColor, colours) << "the fill stays";
}

}  // namespace
}  // namespace quenda

// What the analyzer's window paints, against the whole display picture the document used to
// build: every view (the drawing, Test Settings' rectangles, the marked lines with their joins,
// each paint mode) at several zooms and scroll positions, and each paint tool's gesture undone
// from the Edit menu to the exact buffers and picture.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "analyzer/app/tests/analyzer_window.h"
#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/paint_composite.h"
#include "analyzer/core/region_extraction.h"
#include "common/region_view.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

// The old compositions, literally: a display picture of the drawing's size, written whole.
Raster WholeDisplay(const WorkingImage& image) {
  return Raster(image.width(), image.height(), 3,
                std::ptrdiff_t(DisplayRowPixels(image.width())) * 3, 0);
}

void OldRegionLines(const WorkingImage& image, Bgr line, Raster& display) {
  ShowGreyIn(image, WholePicture(image), display.view());
  const std::size_t w = std::size_t(image.width());
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t* flags = image.regions.flags.data() + y * w;
    uint8_t* shown = display.Row(y);
    for (int x = 0; x < image.width(); ++x) {
      if ((flags[x] & kFlagRegionLine) == 0) continue;
      uint8_t* d = shown + 3 * x;
      d[0] = line.blue, d[1] = line.green, d[2] = line.red;
    }
  }
  ShowJoinPixels(image, WholePicture(image), display);
}

Raster OldPaint(const WorkingImage& image, const ColorSet& colors, ViewMode mode) {
  Raster display = WholeDisplay(image);
  if (mode == ViewMode::Composited)
    ShowPaintedLayer(image, colors, WholePicture(image), display);
  else
    ComposeRegionView(image.regions, image.regionColor, colors, mode,
                      WholeImage(image.width(), image.height()), display);
  if (mode == ViewMode::RegionLine || mode == ViewMode::RegionsPainted)
    ShowJoinPixels(image, WholePicture(image), display);
  return display;
}

Bgr LineOf(const ColorSet& colors) {
  const ColorEntry& line = colors.entries[kLineColor];
  return {line.blue, line.green, line.red};
}

// Whether window pixel `p` lies on the test rectangle's frame, which is drawn over the picture.
bool OnFrame(const QRect& rectangle, QPoint p) {
  if (rectangle.isEmpty()) return false;
  const QRect frame = rectangle.adjusted(-2, -2, 1, 1);
  return frame.adjusted(-3, -3, 3, 3).contains(p) && !frame.adjusted(3, 3, -3, -3).contains(p);
}

// Every window pixel where the picture shows, against `oracle`, at the zoom and scroll in hand.
::testing::AssertionResult PaintsExactly(AnalyzerWindow& w, const Raster& oracle) {
  QApplication::processEvents();
  const QImage shown = w.Shown();
  const QRect rectangle = w.doc().lineSettingsOpen() ? w.view().TestRectangleOnWindow() : QRect();
  int compared = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const QPoint image = w.view().WindowToImage({x, y});
      if (!oracle.view().Contains(image.x(), image.y()) || OnFrame(rectangle, {x, y})) continue;
      const uint8_t* o = oracle.At(image.x(), image.y());
      const QRgb c = shown.pixel(x, y);
      ++compared;
      if (qBlue(c) == o[0] && qGreen(c) == o[1] && qRed(c) == o[2]) continue;
      return ::testing::AssertionFailure()
             << "window (" << x << ", " << y << ") shows picture pixel (" << image.x() << ", "
             << image.y() << ") as " << qRed(c) << "," << qGreen(c) << "," << qBlue(c)
             << " (red, green, blue), the whole display held " << int(o[2]) << "," << int(o[1])
             << "," << int(o[0]) << "; zoom " << w.view().zoomLevel() << ", scroll "
             << w.view().scrollPosition().x() << "," << w.view().scrollPosition().y();
    }
  }
  if (compared == 0) return ::testing::AssertionFailure() << "no picture pixel in sight";
  return ::testing::AssertionSuccess();
}

// The same at zooms 1, 3 and 7, each scrolled to its start, its middle and its end; the zoom
// and scroll are put back after.
::testing::AssertionResult PaintsExactlyEverywhere(AnalyzerWindow& w, const Raster& oracle) {
  const int zoom = w.view().zoomLevel();
  const QPoint scroll = w.view().scrollPosition();
  for (int level : {1, 3, 7}) {
    w.view().SetZoomLevel(level);
    const QPoint end(w.view().horizontalScrollBar()->maximum(),
                     w.view().verticalScrollBar()->maximum());
    for (QPoint at : {QPoint(0, 0), end / 2, end}) {
      w.view().SetScrollPosition(at);
      if (::testing::AssertionResult painted = PaintsExactly(w, oracle); !painted) return painted;
    }
  }
  w.view().SetZoomLevel(zoom);
  w.view().SetScrollPosition(scroll);
  return ::testing::AssertionSuccess();
}

TEST(AnalyzerViewOracle, TheDrawingTestSettingsAndMarkedLinesPaintAsTheWholeDisplayDid) {
  AnalyzerWindow w;
  w.doc().SetCloseGaps(kRecommendedCloseGaps);
  w.Load(1);
  // The document keeps no picture of its own beside the drawing's buffers.
  EXPECT_TRUE(w.doc().image().display.empty());
  WorkingImage old = w.doc().image();
  old.display = WholeDisplay(old);
  ShowGreyIn(old, WholePicture(old), old.display.view());
  EXPECT_TRUE(PaintsExactlyEverywhere(w, old.display)) << "the drawing";

  // Tests in three places, overlapping, with lines and without; the old display kept each.
  LineSettingsDialog& dialog = w.OpenSettings();
  NullProgress progress;
  struct Trial {
    QPoint move;  // of the rectangle, screen order
    bool lines;
    int whiteClamp;
  };
  for (const Trial& t : {Trial{{0, 0}, true, 200}, Trial{{40, -30}, false, 120},
                         Trial{{-60, 10}, true, 230}, Trial{{20, 20}, true, 200}}) {
    const TestRectangle at = w.doc().testRectangle();
    const ScreenPoint from{(at.left + at.right) / 2, (at.top + at.bottom) / 2};
    w.doc().PressTestRectangle(from);
    w.doc().DragTestRectangle({from.x + t.move.x(), from.y + t.move.y()});
    w.doc().ReleaseTestRectangle();
    dialog.bar(LineSetting::WhiteClamp)->setValue(t.whiteClamp);
    dialog.showLines()->setChecked(t.lines);
    QTest::mouseClick(dialog.button(QStringLiteral("Test Settings")), Qt::LeftButton);
    const PixelRect r = TestRectanglePixels(w.doc().testRectangle(), old.height());
    if (t.lines) {
      GenerateLines(old, w.doc().settings(), r.x0, r.x1, r.y0, r.y1, progress,
                    LineOf(w.doc().colors()));
      (void)CloseGapsIn(old, r, w.doc().closeGaps(), progress);
    } else {
      ShowClampedImage(old, w.doc().settings(), r.x0, r.x1, r.y0, r.y1);
    }
    ASSERT_EQ(w.doc().image().regions.flags, old.regions.flags);
    EXPECT_TRUE(PaintsExactlyEverywhere(w, old.display))
        << "after a test at " << r.x0 << "," << r.y0 << (t.lines ? " with lines" : "");
  }
  // Only the tested areas are kept, in tiles: far less than a picture of the drawing.
  EXPECT_GT(w.doc().shownBytes(), 0u);
  EXPECT_LE(w.doc().shownBytes(), std::size_t(12) * 64 * 64 * 3);
  testing::SaveScreenshot(*w.frame, "analyzer_view_tests_kept.png");
  QTest::mouseClick(dialog.button(QStringLiteral("Cancel")), Qt::LeftButton);
  EXPECT_EQ(w.doc().shownBytes(), 0u);
  EXPECT_TRUE(PaintsExactlyEverywhere(w,
                                      [&] {
                                        Raster grey = WholeDisplay(old);
                                        ShowGreyIn(w.doc().image(), WholePicture(old), grey.view());
                                        return grey;
                                      }()))
      << "the plain drawing again";

  // Marked: the old display was line generation's, with the joins in their own colour.
  WorkingImage marked = w.doc().image();
  marked.display = WholeDisplay(marked);
  ShowGreyIn(marked, WholePicture(marked), marked.display.view());
  w.Trigger("actionMarkRegions");
  ASSERT_TRUE(w.doc().regionsMarked());
  ASSERT_TRUE(MarkRegions(marked, w.doc().settings(), progress, LineOf(w.doc().colors()),
                          w.doc().closeGaps(), nullptr));
  ASSERT_FALSE(marked.joinPixels.empty()) << "the sample's outlines have gaps";
  ASSERT_EQ(w.doc().image().regions, marked.regions);
  EXPECT_TRUE(PaintsExactlyEverywhere(w, marked.display)) << "marked";
  // A new line colour recolours the lines and joins over what showed.
  ASSERT_TRUE(w.doc().EditColor(kLineColor, "LINE", 10, 200, 30));
  {
    const Bgr line{30, 200, 10};
    const std::size_t width = std::size_t(marked.width());
    for (std::size_t i = 0; i < marked.PixelCount(); ++i) {
      if ((marked.regions.flags[i] & kFlagRegionLine) == 0) continue;
      uint8_t* d = marked.display.At(int(i % width), int(i / width));
      d[0] = line.blue, d[1] = line.green, d[2] = line.red;
    }
    ShowJoinPixels(marked, WholePicture(marked), marked.display);
  }
  EXPECT_TRUE(PaintsExactlyEverywhere(w, marked.display)) << "recoloured";
}

TEST(AnalyzerViewOracle, EveryPaintModeAndThePictureAfterPaintPaintAsTheWholeDisplayDid) {
  AnalyzerWindow w;
  w.doc().SetCloseGaps(kRecommendedCloseGaps);
  w.Load(1);
  w.Trigger("actionMarkRegions");
  w.Trigger("actionPaint");
  ASSERT_TRUE(w.doc().painting());
  ASSERT_FALSE(w.doc().image().joinPixels.empty());
  const std::vector<QPoint> regions = w.RegionPixels();
  ASSERT_GE(regions.size(), 3u);
  // Some paint first: fills, a line stroke, a rubbed rectangle.
  ASSERT_TRUE(w.doc().AddColor("SKIN", 240, 200, 160));
  ASSERT_TRUE(w.doc().AddColor("SHIRT", 40, 60, 200));
  w.doc().SetCurrentColor(3);
  ASSERT_EQ(w.doc().currentColor(), 3);
  w.Click(regions[0]);
  w.doc().SetCurrentColor(4);
  w.Click(regions[1]);
  ASSERT_EQ(w.doc().unfilledCount(), w.doc().image().regions.regionCount - 2);
  w.doc().SetPaintTool(PaintTool::AnimBrush);
  w.doc().PaintPress({100, 100}, {0, 0}, PaintButton::Left);
  w.doc().PaintMove({140, 120});
  w.doc().PaintRelease({140, 120}, {40, 20});
  w.doc().SetPaintTool(PaintTool::RubberRect);
  w.doc().PaintPress({20, 20}, {0, 0}, PaintButton::Left);
  w.doc().PaintRelease({90, 70}, {70, 50});
  for (ViewMode mode :
       {ViewMode::RegionLine, ViewMode::RegionsPainted, ViewMode::Composited, ViewMode::XRay}) {
    w.doc().SetViewMode(mode);
    EXPECT_TRUE(PaintsExactlyEverywhere(w, OldPaint(w.doc().image(), w.doc().colors(), mode)))
        << "view mode " << int(mode);
  }
  w.Trigger("actionExitPaint");
  Raster after = WholeDisplay(w.doc().image());
  OldRegionLines(w.doc().image(), LineOf(w.doc().colors()), after);
  EXPECT_TRUE(PaintsExactlyEverywhere(w, after)) << "after paint mode";
}

// Each tool's gesture through the mouse, then Undo from the Edit menu: the drawing's maps, the
// region colours and the picture are byte for byte those before it.
TEST(AnalyzerViewOracle, EachToolsGestureUndoesToTheExactBuffersAndPicture) {
  AnalyzerWindow w;
  w.Load(1);
  w.Trigger("actionMarkRegions");
  w.Trigger("actionPaint");
  const std::vector<QPoint> regions = w.RegionPixels();
  ASSERT_GE(regions.size(), 2u);
  w.view().SetZoomLevel(2);
  w.view().SetScrollPosition({100, 60});
  struct Case {
    const char* name;
    PaintTool tool;
    QPoint from, to;  // picture pixels
  };
  const Case cases[] = {
      {"region fill click", PaintTool::RegionFill, regions[1], regions[1]},
      {"region fill drag", PaintTool::RegionFill, {120, 80}, {200, 160}},
      {"line fill", PaintTool::AnimFill, {0, 0}, {0, 0}},
      {"line brush", PaintTool::AnimBrush, {0, 0}, {30, 20}},
      {"rubber", PaintTool::Rubber, {140, 150}, {180, 100}},
      {"unrubber", PaintTool::UnRubber, {140, 150}, {170, 110}},
      {"line rectangle", PaintTool::AnimBrushRect, {0, 0}, {30, 20}},
      {"rubber rectangle", PaintTool::RubberRect, {130, 95}, {210, 150}},
      {"unrubber rectangle", PaintTool::UnRubberRect, {150, 100}, {190, 130}},
  };
  ASSERT_TRUE(w.doc().AddColor("SKIN", 240, 200, 160));
  ASSERT_TRUE(w.doc().AddColor("INK", 20, 160, 40));
  for (const Case& k : cases) {
    Case c = k;
    w.doc().SetPaintTool(c.tool);
    // A view that shows what the tool changes (the region lines alone show no line colours).
    w.doc().SetViewMode(c.tool == PaintTool::RegionFill ? ViewMode::RegionsPainted
                                                        : ViewMode::Composited);
    const bool lineTool = c.tool == PaintTool::AnimFill || c.tool == PaintTool::AnimBrush ||
                          c.tool == PaintTool::AnimBrushRect;
    if (lineTool) {
      // From a pixel of the drawn lines.
      const QPoint ink = w.FirstPixel([&](std::size_t i) {
        const QPoint p(int(i % std::size_t(kWidth)), int(i / std::size_t(kWidth)));
        // Inside a region, where the composite shows the line colour (over the background
        // lines show black, whatever their colour).
        const RegionData& r = w.doc().image().regions;
        return (r.flags[i] & (kFlagAnimatorLine | kFlagRegionLine)) == kFlagAnimatorLine &&
               r.regionMap[i] > kBackgroundRegion &&
               w.view().viewport()->rect().contains(w.WindowAt(p + QPoint(30, 20)));
      });
      ASSERT_GE(ink.x(), 0);
      c.to = ink + (c.to - c.from);
      c.from = ink;
    }
    // Each gesture in another colour than the one before, which it may paint over.
    w.doc().SetCurrentColor(3 + int(&k - cases) % 2);
    QApplication::processEvents();
    const WorkingImage before = w.doc().image();
    const QImage shownBefore = w.Shown();
    QTest::mousePress(w.view().viewport(), Qt::LeftButton, {}, w.WindowAt(c.from));
    QTest::mouseMove(w.view().viewport(), (w.WindowAt(c.from) + w.WindowAt(c.to)) / 2);
    QTest::mouseMove(w.view().viewport(), w.WindowAt(c.to));
    QTest::mouseRelease(w.view().viewport(), Qt::LeftButton, {}, w.WindowAt(c.to));
    QApplication::processEvents();
    const WorkingImage& image = w.doc().image();
    ASSERT_TRUE(image.regions != before.regions || image.regionColor != before.regionColor)
        << c.name << " changed nothing";
    EXPECT_TRUE(w.Shown() != shownBefore) << c.name << " showed nothing";
    ASSERT_TRUE(w.frame->Action("actionUndo")->isEnabled()) << c.name;
    w.Trigger("actionUndo");
    EXPECT_EQ(image.regions, before.regions) << c.name;
    EXPECT_EQ(image.regionColor, before.regionColor) << c.name;
    EXPECT_EQ(image.filledCount, before.filledCount) << c.name;
    QApplication::processEvents();
    EXPECT_TRUE(w.Shown() == shownBefore) << c.name << ": the picture after undo";
    EXPECT_TRUE(PaintsExactly(w, OldPaint(image, w.doc().colors(), w.doc().viewMode()))) << c.name;
    EXPECT_FALSE(w.frame->Action("actionUndo")->isEnabled()) << c.name << ": one level";
    // The gesture again, kept, so the next case starts from paint.
    QTest::mousePress(w.view().viewport(), Qt::LeftButton, {}, w.WindowAt(c.from));
    QTest::mouseMove(w.view().viewport(), w.WindowAt(c.to));
    QTest::mouseRelease(w.view().viewport(), Qt::LeftButton, {}, w.WindowAt(c.to));
  }
  testing::SaveScreenshot(*w.frame, "analyzer_view_after_tools.png");
}

}  // namespace
}  // namespace quenda

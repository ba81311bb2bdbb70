#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "painter/app/tests/painter_window_fixture.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

using testing::kHeight;
using testing::kWidth;
using testing::PainterWindow;
using testing::WhenModal;

TEST(PainterWindow, OpensTheSequenceNamedOnTheCommandLine) {
  PainterWindow w;
  EXPECT_TRUE(w.doc().sequenceOpen());
  EXPECT_EQ(w.doc().frameCount(), 3);
  EXPECT_EQ(w.doc().currentFrame(), 0);
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 100%"));
  EXPECT_EQ(w.frame->paintedPaneText(), QStringLiteral("No Paint Info"));
  // Enabling rules at the first of three frames.
  EXPECT_FALSE(w.action("actionPreviousFrame")->isEnabled());
  EXPECT_FALSE(w.action("actionFirstFrame")->isEnabled());
  EXPECT_TRUE(w.action("actionNextFrame")->isEnabled());
  EXPECT_FALSE(w.action("actionUndo")->isEnabled());
  EXPECT_TRUE(w.action("actionRegionFill")->isChecked());
  EXPECT_TRUE(w.action("actionRegionsPainted")->isChecked());
  EXPECT_FALSE(w.action("actionRegionLine")->isEnabled());
  EXPECT_TRUE(w.action("actionSize4")->isChecked());
  // The strip made an icon for every frame; the list shows the colours.
  ASSERT_EQ(w.frame->timeView()->icons().size(), 3u);
  for (const QImage& icon : w.frame->timeView()->icons()) EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(w.frame->colorView()->EntryAt(w.frame->colorView()->RowRect(0).center()), 0);
  EXPECT_EQ(w.frame->recentFiles().files(), QStringList{QString::fromStdString(w.first)});
  EXPECT_TRUE(w.prompt.Texts().empty());
}

TEST(PainterWindow, AClickFillsARegionAndUndoTakesItBack) {
  PainterWindow w;
  auto [region, at] = w.LargestInnerRegion();
  const int colour = w.doc().colors().count - 1;
  ASSERT_GE(colour, 3);
  w.doc().SetCurrentColor(colour);
  const QColor before = w.ShownAt(at.x, at.y);
  w.Click(Qt::LeftButton, at);
  EXPECT_EQ(w.doc().frame().regionColor[std::size_t(region)], colour);
  EXPECT_EQ(w.ShownAt(at.x, at.y), w.Entry(colour));
  EXPECT_NE(before, w.Entry(colour));
  EXPECT_TRUE(w.action("actionUndo")->isEnabled());
  EXPECT_EQ(w.frame->paintedPaneText(), QStringLiteral("No Paint Info"));

  // The right button picks the colour of the region under it.
  w.doc().SetCurrentColor(0);
  w.Click(Qt::RightButton, at);
  EXPECT_EQ(w.doc().currentColor(), colour);

  QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.doc().frame().regionColor[std::size_t(region)], kUnfilledColor);
  EXPECT_EQ(w.ShownAt(at.x, at.y), before);
  EXPECT_FALSE(w.action("actionUndo")->isEnabled());
}

TEST(PainterWindow, ADragFillsEveryRegionInsideTheRectangle) {
  PainterWindow w;
  const int colour = 3;
  w.doc().SetCurrentColor(colour);
  QWidget* surface = w.view().viewport();
  // From beyond the top left of the picture to beyond its bottom right.
  QPoint from = w.view().ImageToWindow(QRect(0, kHeight - 1, 1, 1)).topLeft() - QPoint(3, 3);
  QPoint to = w.view().ImageToWindow(QRect(kWidth - 1, 0, 1, 1)).bottomRight() + QPoint(3, 3);
  QTest::mousePress(surface, Qt::LeftButton, {}, from);
  QTest::mouseMove(surface, to);
  QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
  const PainterFrame& f = w.doc().frame();
  for (int r = 1; r <= f.regionCount() + 1; ++r) {
    EXPECT_EQ(f.regionColor[std::size_t(r)], colour) << "region " << r;
  }
  auto [region, at] = w.LargestInnerRegion();
  EXPECT_EQ(w.ShownAt(at.x, at.y), w.Entry(colour));
  EXPECT_EQ(w.frame->paintedPaneText(), QStringLiteral("No Paint Info"));
}

TEST(PainterWindow, TheLineBrushRefusesTheTransparentColour) {
  PainterWindow w;
  QTest::keyClick(w.frame.get(), Qt::Key_F);
  ASSERT_EQ(w.doc().tool(), PainterTool::AnimBrush);
  EXPECT_TRUE(w.action("actionComposited")->isChecked());
  EXPECT_FALSE(w.action("actionRegionsPainted")->isEnabled());
  ASSERT_EQ(w.doc().currentColor(), kTransparentColor);
  const std::vector<uint16_t> before = w.doc().frame().region.animColor;
  QWidget* surface = w.view().viewport();
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(10, 10));
  QTest::mouseMove(surface, w.WindowOf(30, 12));
  QTest::mouseMove(surface, w.WindowOf(50, 14));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(50, 14));
  EXPECT_EQ(w.prompt.Texts(), (std::vector<std::string>{std::string(kTransparentBrushMessage),
                                                        std::string(kTransparentBrushMessage)}));
  EXPECT_EQ(w.doc().frame().region.animColor, before);
  EXPECT_FALSE(w.doc().frame().regionChanged);

  // With a real colour the same stroke paints, and only near the stroke.
  w.prompt.Clear();
  w.doc().SetCurrentColor(3);
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(10, 10));
  QTest::mouseMove(surface, w.WindowOf(30, 12));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(30, 12));
  EXPECT_TRUE(w.prompt.Texts().empty());
  const PainterFrame& f = w.doc().frame();
  EXPECT_EQ(f.region.animColor[f.Index(20, 11)], 3);
  EXPECT_EQ(f.region.animColor[f.Index(20, 40)], before[f.Index(20, 40)]);
}

TEST(PainterWindow, NextAndPreviousSaveTheFrameAndReadItBack) {
  PainterWindow w;
  auto [region, at] = w.LargestInnerRegion();
  w.doc().SetCurrentColor(3);
  w.Click(Qt::LeftButton, at);
  const std::string paint1 = w.dir.File("walk1.pnt");
  EXPECT_FALSE(FileOpensForReading(paint1));
  QTest::keyClick(w.frame.get(), Qt::Key_Right);
  EXPECT_EQ(w.doc().currentFrame(), 1);
  EXPECT_TRUE(FileOpensForReading(paint1));
  EXPECT_FALSE(FileOpensForReading(w.dir.File("walk2.pnt")));
  EXPECT_EQ(w.frame->paintedPaneText(), QStringLiteral("No Paint Info"));
  EXPECT_TRUE(w.action("actionPreviousFrame")->isEnabled());
  EXPECT_TRUE(w.action("actionAutoPaintPrevious")->isEnabled());
  QTest::keyClick(w.frame.get(), Qt::Key_Down);
  EXPECT_EQ(w.doc().currentFrame(), 2);
  EXPECT_FALSE(w.action("actionNextFrame")->isEnabled());
  QTest::keyClick(w.frame.get(), Qt::Key_Up);
  EXPECT_EQ(w.doc().currentFrame(), 0);
  EXPECT_EQ(w.doc().frame().regionColor[std::size_t(region)], 3);
  EXPECT_EQ(w.ShownAt(at.x, at.y), w.Entry(3));
  EXPECT_TRUE(w.frame->paintedPaneText().endsWith(QStringLiteral("regions not painted")))
      << w.frame->paintedPaneText().toStdString();
  // Browsing wrote no files for unpainted frames.
  EXPECT_FALSE(FileOpensForReading(w.dir.File("walk2.pnt")));
  EXPECT_FALSE(FileOpensForReading(w.dir.File("walk3.pnt")));
}

TEST(PainterWindow, ZoomStepsShowInTheStatusBarAndStopAt1700Percent) {
  PainterWindow w;
  QTest::keyClick(w.frame.get(), Qt::Key_Plus);
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 200%"));
  while (w.action("actionZoomIn")->isEnabled()) w.action("actionZoomIn")->trigger();
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 1700%"));
  QTest::keyClick(w.frame.get(), Qt::Key_Asterisk);
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 100%"));
  QTest::keyClick(w.frame.get(), Qt::Key_Minus);
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 50%"));
  QTest::keyClick(w.frame.get(), Qt::Key_Minus);
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 33%"));

  // Pan: at 1700 % the picture is larger than the window; Space turns panning on.
  w.view().SetZoomLevel(17);
  QTest::keyClick(w.frame.get(), Qt::Key_Space);
  ASSERT_TRUE(w.view().panMode());
  QPoint before = w.view().scrollPosition();
  QWidget* surface = w.view().viewport();
  ASSERT_GE(before.x(), 50);
  ASSERT_GE(before.y(), 40);
  QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(250, 260));
  QTest::mouseMove(surface, QPoint(300, 300));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, 300));
  EXPECT_EQ(w.view().scrollPosition(), before - QPoint(50, 40));
  // Panning painted nothing.
  EXPECT_FALSE(w.doc().frame().undoAvailable());
}

TEST(PainterWindow, ADoubleClickOnAStripCellGoesToThatFrame) {
  PainterWindow w;
  CTimeView* strip = w.frame->timeView();
  EXPECT_EQ(strip->scrollMaximum(), std::max(1, 3 - strip->visibleCells()));
  QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->CellRect(2).center());
  EXPECT_EQ(w.doc().currentFrame(), 2);
  QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->CellRect(0).center());
  EXPECT_EQ(w.doc().currentFrame(), 0);
}

TEST(PainterWindow, APenStrokeAcrossThePictureSplitsRegions) {
  PainterWindow w;
  QTest::keyClick(w.frame.get(), Qt::Key_S);
  ASSERT_EQ(w.doc().tool(), PainterTool::RegionPen);
  EXPECT_TRUE(w.action("actionRegionLine")->isChecked());
  const int before = w.doc().frame().regionCount();
  const int y = kHeight / 2;
  QWidget* surface = w.view().viewport();
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(0, y));
  QTest::mouseMove(surface, w.WindowOf(kWidth / 2, y));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(kWidth - 1, y));
  const PainterFrame& f = w.doc().frame();
  EXPECT_GT(f.regionCount(), before);
  EXPECT_TRUE(f.regionChanged);
  for (int x : {0, kWidth / 2, kWidth - 1}) {
    EXPECT_EQ(f.region.flags[f.Index(x, y)] & (kFlagRegionLine | kFlagRegionPen),
              kFlagRegionLine | kFlagRegionPen)
        << x;
  }
  // A split leaves the picture in Regions Painted mode.
  EXPECT_EQ(w.doc().viewMode(), ViewMode::RegionsPainted);
  EXPECT_TRUE(w.action("actionRegionsPainted")->isChecked());

  // A right drag with the pen closes gaps in its rectangle, which first turns every pen line
  // into an ordinary region line.
  QTest::mousePress(surface, Qt::RightButton, {}, w.WindowOf(5, kHeight - 5));
  QTest::mouseMove(surface, w.WindowOf(30, kHeight - 30));
  QTest::mouseRelease(surface, Qt::RightButton, {}, w.WindowOf(30, kHeight - 30));
  for (int x : {0, kWidth / 2, kWidth - 1}) {
    EXPECT_EQ(f.region.flags[f.Index(x, y)] & (kFlagRegionLine | kFlagRegionPen), kFlagRegionLine)
        << x;
  }

  // Leaving the frame writes the grown region table.
  const int regions = f.regionCount();
  QTest::keyClick(w.frame.get(), Qt::Key_Right);
  QTest::keyClick(w.frame.get(), Qt::Key_Left);
  EXPECT_EQ(w.doc().frame().regionCount(), regions);
}

TEST(PainterWindow, RubberRectangleHidesLinesAndUndoBringsThemBack) {
  PainterWindow w;
  QTest::keyClick(w.frame.get(), Qt::Key_J);
  ASSERT_EQ(w.doc().tool(), PainterTool::RubberRect);
  QWidget* surface = w.view().viewport();
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(10, 60));
  QTest::mouseMove(surface, w.WindowOf(40, 20));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(40, 20));
  const PainterFrame& f = w.doc().frame();
  // Right column and top row of the drag are left out.
  EXPECT_NE(f.region.flags[f.Index(10, 20)] & kFlagRubbedOut, 0);
  EXPECT_NE(f.region.flags[f.Index(39, 59)] & kFlagRubbedOut, 0);
  EXPECT_EQ(f.region.flags[f.Index(40, 30)] & kFlagRubbedOut, 0);
  EXPECT_EQ(f.region.flags[f.Index(20, 60)] & kFlagRubbedOut, 0);
  EXPECT_TRUE(f.regionChanged);
  QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.doc().frame().region.flags[f.Index(10, 20)] & kFlagRubbedOut, 0);
}

TEST(PainterWindow, HoverPreviewsTheFillAndEveryToolHasItsCursor) {
  PainterWindow w;
  auto [region, at] = w.LargestInnerRegion();
  w.doc().SetCurrentColor(3);
  QWidget* surface = w.view().viewport();
  QTest::mouseMove(surface, w.WindowOf(at.x, at.y));
  // The region shows the current colour on its even rows only, and only on screen.
  const int even = at.y - at.y % 2;
  const int odd = even + 1;
  const PainterFrame& f = w.doc().frame();
  ASSERT_EQ(f.region.regionMap[f.Index(at.x, even)], region);
  ASSERT_EQ(f.region.regionMap[f.Index(at.x, odd)], region);
  QImage shown = w.Grab();
  EXPECT_EQ(w.ShownIn(shown, at.x, even), w.Entry(3));
  EXPECT_EQ(w.ShownIn(shown, at.x, odd), w.Entry(kUnfilledColor));
  EXPECT_EQ(f.regionColor[std::size_t(region)], kUnfilledColor);
  EXPECT_FALSE(f.undoAvailable());
  // Off the picture the preview goes.
  QTest::mouseMove(surface, QPoint(2, 2));
  EXPECT_EQ(w.ShownAt(at.x, even), w.Entry(kUnfilledColor));

  const std::vector<std::pair<Qt::Key, ToolArt>> tools = {{Qt::Key_A, ToolArt::Bucket},
                                                          {Qt::Key_D, ToolArt::LineBucket},
                                                          {Qt::Key_S, ToolArt::Pen},
                                                          {Qt::Key_H, ToolArt::Eraser},
                                                          {Qt::Key_K, ToolArt::Unerase},
                                                          {Qt::Key_F, ToolArt::Brush},
                                                          {Qt::Key_G, ToolArt::BrushRectangle},
                                                          {Qt::Key_J, ToolArt::EraserRectangle},
                                                          {Qt::Key_L, ToolArt::UneraseRectangle}};
  for (auto [key, art] : tools) {
    QTest::keyClick(w.frame.get(), key);
    const QCursor cursor = surface->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << int(art);
    EXPECT_EQ(cursor.hotSpot(), ToolHotSpot(art)) << int(art);
  }
  QTest::keyClick(w.frame.get(), Qt::Key_Space);
  EXPECT_EQ(surface->cursor().shape(), Qt::OpenHandCursor);
}

TEST(PainterWindow, TheLineFillPreviewsOnHoverAndTheListFollowsTheCurrentColour) {
  PainterWindow w;
  QTest::keyClick(w.frame.get(), Qt::Key_D);
  ASSERT_EQ(w.doc().tool(), PainterTool::AnimFill);
  w.doc().SetCurrentColor(3);
  // The darkest pencil pixel, where the line colour shows most.
  const PainterFrame& f = w.doc().frame();
  ImagePoint dark{-1, -1};
  int darkest = 256;
  for (int y = 0; y < f.height; ++y) {
    for (int x = 0; x < f.width; ++x) {
      const std::size_t i = f.Index(x, y);
      if ((f.region.flags[i] & kFlagAnimatorLine) != 0 && f.scan[i] < darkest) {
        darkest = f.scan[i];
        dark = {x, y};
      }
    }
  }
  ASSERT_LT(darkest, 128);
  const QColor before = w.ShownAt(dark.x, dark.y);
  QTest::mouseMove(w.view().viewport(), w.WindowOf(dark.x, dark.y));
  const QColor previewed = w.ShownAt(dark.x, dark.y);
  EXPECT_NE(previewed, before);
  EXPECT_FALSE(f.undoAvailable());
  QTest::mouseMove(w.view().viewport(), QPoint(2, 2));
  EXPECT_EQ(w.ShownAt(dark.x, dark.y), before);
  // The click fills what the preview showed.
  w.Click(Qt::LeftButton, dark);
  EXPECT_EQ(f.region.animColor[f.Index(dark.x, dark.y)], 3);
  QTest::mouseMove(w.view().viewport(), QPoint(2, 2));
  EXPECT_EQ(w.ShownAt(dark.x, dark.y), previewed);

  // Colours added beyond the list's rows scroll it to the current one.
  CColorView* list = w.frame->colorView();
  for (int i = 0; i < 40; ++i) w.doc().AddColor("c" + std::to_string(i), i, 2 * i, 3 * i);
  const int current = w.doc().currentColor();
  ASSERT_EQ(current, w.doc().colors().count - 1);
  EXPECT_GT(list->firstPosition(), 0);
  const QRect row = list->RowRect(current - 2);
  ASSERT_FALSE(row.isEmpty());
  EXPECT_EQ(list->EntryAt(row.center()), current);
  // A click on the top row chooses the entry shown there.
  const int top = list->firstPosition() + 2;
  QTest::mouseClick(list, Qt::LeftButton, {}, list->RowRect(list->firstPosition()).center());
  EXPECT_EQ(w.doc().currentColor(), top);
}

TEST(PainterWindow, ScreenshotsOfEveryViewMode) {
  PainterWindow w;
  w.doc().SetCurrentColor(3);
  auto [region, at] = w.LargestInnerRegion();
  w.Click(Qt::LeftButton, at);
  w.view().SetZoomLevel(4);
  QDir().mkpath(QStringLiteral("screenshots"));
  const std::vector<std::pair<const char*, const char*>> shots = {
      {"actionRegionsPainted", "painter_regions_painted.png"},
      {"actionXRay", "painter_xray.png"},
      {"actionComposited", "painter_composited.png"},
      {"actionRegionPen", "painter_region_line.png"},
  };
  for (auto [command, file] : shots) {
    w.action(command)->trigger();
    if (std::string(command) == "actionRegionPen") w.action("actionRegionLine")->trigger();
    QTest::qWait(20);
    QImage shot = w.frame->grab().toImage();
    const QString path = QStringLiteral("screenshots/") + QString::fromLatin1(file);
    ASSERT_TRUE(shot.save(path)) << file;
    EXPECT_GT(QFileInfo(path).size(), 2000) << file;
  }
  EXPECT_EQ(w.doc().viewMode(), ViewMode::RegionLine);
  // The dialogs too.
  for (const char* command : {"actionAddColor", "actionAutoPaintRange", "actionEditLineUnfilled"}) {
    const QString path = QStringLiteral("screenshots/painter_%1.png").arg(QLatin1String(command));
    WhenModal<QDialog>([path](QDialog* dialog) {
      EXPECT_TRUE(dialog->grab().save(path));
      dialog->reject();
    });
    w.action(command)->trigger();
    EXPECT_GT(QFileInfo(path).size(), 1000) << command;
  }
  for (const char* bar : {"toolBarTools", "toolBarViewModes", "toolBarOperations"}) {
    auto* toolbar = w.frame->findChild<QToolBar*>(QString::fromLatin1(bar));
    ASSERT_NE(toolbar, nullptr) << bar;
    EXPECT_TRUE(toolbar->isVisible()) << bar;
  }
}

}  // namespace
}  // namespace quenda

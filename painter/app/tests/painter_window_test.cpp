// The painter window's wiring: keys, menus and gestures reach the document with the right
// arguments, the actions follow its state, and what the view itself draws. The documents' own
// results are the core tests' business.
#include <gtest/gtest.h>

#include <tuple>

#include "cli/tests/tool_run.h"
#include "painter/app/tests/painter_window_fixture.h"
#include "ui/tests/screenshot.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

using testing::kHeight;
using testing::kWidth;
using testing::PainterWindow;
using testing::WhenModal;

TEST(PainterWindow, OpensTheNamedSequenceTheColourListFollowsTheColourAndTheFrameKeysMove) {
  PainterWindow w;
  EXPECT_EQ(std::tuple(w.doc().frameCount(), w.doc().currentFrame(), w.frame->zoomPaneText(),
                       w.frame->paintedPaneText()),
            std::tuple(3, 0, QStringLiteral("zoom: 100%"), QStringLiteral("No Paint Info")));
  // Enabling rules at the first of three frames; moving on comes with the frame keys below.
  for (const char* name : {"actionFirstFrame", "actionUndo", "actionRegionLine"})
    EXPECT_FALSE(w.action(name)->isEnabled()) << name;
  for (const char* name : {"actionRegionFill", "actionRegionsPainted", "actionSize4"})
    EXPECT_TRUE(w.action(name)->isChecked()) << name;
  // The list shows the colours.
  EXPECT_EQ(w.frame->colorView()->EntryAt(w.frame->colorView()->RowRect(0).center()), 0);
  EXPECT_TRUE(w.prompt.Texts().empty());
  // The colour list scrolls to the current colour, and a click chooses a row.
  CColorView* list = w.frame->colorView();
  for (int i = 0; i < 40; ++i) w.doc().AddColor("c" + std::to_string(i), i, 2 * i, 3 * i);
  const int current = w.doc().currentColor();
  ASSERT_EQ(current, w.doc().colors().count - 1);
  EXPECT_GT(list->firstPosition(), 0);
  const QRect row = list->RowRect(current - 2);
  ASSERT_FALSE(row.isEmpty());
  EXPECT_EQ(list->EntryAt(row.center()), current);
  const int top = list->firstPosition() + 2;
  QTest::mouseClick(list, Qt::LeftButton, {}, list->RowRect(list->firstPosition()).center());
  EXPECT_EQ(w.doc().currentColor(), top);
  // Frame keys and strip double clicks move through the sequence, and the actions follow.
  auto [region, at] = w.LargestInnerRegion();
  w.doc().SetCurrentColor(3);
  w.Click(Qt::LeftButton, at);
  // The key, the frame it reaches, and whether going back and forward is then allowed.
  const std::tuple<Qt::Key, int, bool, bool> steps[] = {{Qt::Key_Right, 1, true, true},
                                                        {Qt::Key_Down, 2, true, false},
                                                        {Qt::Key_Left, 1, true, true},
                                                        {Qt::Key_Up, 0, false, true}};
  for (auto [key, frame, back, forward] : steps) {
    w.Key(key);
    EXPECT_EQ(std::tuple(w.doc().currentFrame(), w.action("actionPreviousFrame")->isEnabled(),
                         w.action("actionAutoPaintPrevious")->isEnabled(),
                         w.action("actionNextFrame")->isEnabled(),
                         w.action("actionLastFrame")->isEnabled()),
              std::tuple(frame, back, back, forward, forward))
        << frame;
  }
  // Back on the painted frame: the picture and the status bar show what was saved.
  EXPECT_EQ(w.ShownAt(at.x, at.y), w.Entry(3));
  EXPECT_TRUE(w.frame->paintedPaneText().endsWith(QStringLiteral(" regions not painted")))
      << w.frame->paintedPaneText().toStdString();
  // A double click on a strip cell goes to that frame.
  CTimeView* strip = w.frame->timeView();
  EXPECT_EQ(strip->scrollMaximum(), std::max(1, 3 - strip->visibleCells()));
  for (int cell : {2, 0}) {
    QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->CellRect(cell).center());
    EXPECT_EQ(w.doc().currentFrame(), cell);
  }
}

TEST(PainterWindow, AClickFillsARegionTheRightButtonPicksUndoTakesItBackAndHoverPreviews) {
  PainterWindow w;
  auto [region, at] = w.LargestInnerRegion();
  const int colour = w.doc().colors().count - 1;
  w.doc().SetCurrentColor(colour);
  const QColor before = w.ShownAt(at.x, at.y);
  ASSERT_NE(before, w.Entry(colour));
  w.Click(Qt::LeftButton, at);
  EXPECT_EQ(std::tuple(w.doc().frame().regionColor[std::size_t(region)], w.ShownAt(at.x, at.y),
                       w.action("actionUndo")->isEnabled()),
            std::tuple(colour, w.Entry(colour), true));

  w.doc().SetCurrentColor(0);
  w.Click(Qt::RightButton, at);
  EXPECT_EQ(w.doc().currentColor(), colour);

  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(std::tuple(w.doc().frame().regionColor[std::size_t(region)], w.ShownAt(at.x, at.y),
                       w.action("actionUndo")->isEnabled()),
            std::tuple(kUnfilledColor, before, false));
  // Hovering previews the fills on screen only, and leaving takes them away.
  w.doc().SetCurrentColor(3);
  w.Hover(w.WindowOf(at.x, at.y));
  const int even = at.y - at.y % 2;  // the region fill shows on even rows
  const PainterFrame& f = w.doc().frame();
  EXPECT_EQ(std::tuple(w.ShownAt(at.x, even), f.regionColor[std::size_t(region)]),
            std::tuple(w.Entry(3), kUnfilledColor));
  w.Hover(QPoint(2, 2));
  EXPECT_EQ(w.ShownAt(at.x, even), w.Entry(kUnfilledColor));

  // The line fill previews on a dark pencil pixel, where the line colour shows.
  w.Key(Qt::Key_D);
  ImagePoint dark{-1, -1};
  for (std::size_t i = 0; i < f.PixelCount() && dark.x < 0; ++i) {
    if ((f.region.flags[i] & kFlagAnimatorLine) != 0 && f.scan.data()[i] < 64) {
      dark = {int(i % std::size_t(f.width)), int(i / std::size_t(f.width))};
    }
  }
  ASSERT_GE(dark.x, 0);
  const QColor plain = w.ShownAt(dark.x, dark.y);
  w.Hover(w.WindowOf(dark.x, dark.y));
  const QColor previewed = w.ShownAt(dark.x, dark.y);
  EXPECT_NE(previewed, plain);
  w.Hover(QPoint(2, 2));
  EXPECT_EQ(std::tuple(w.ShownAt(dark.x, dark.y), f.undoAvailable()), std::tuple(plain, false));
  // The click fills what the preview showed.
  w.Click(Qt::LeftButton, dark);
  EXPECT_EQ(std::tuple(f.region.animColor[f.Index(dark.x, dark.y)], w.ShownAt(dark.x, dark.y)),
            std::tuple(3, previewed));
}

TEST(PainterWindow, KeysChooseEachToolAndCursorShowTheZoomInTheStatusBarAndSpacePans) {
  PainterWindow w;
  const std::tuple<Qt::Key, PainterTool, ToolArt> tools[] = {
      {Qt::Key_A, PainterTool::RegionFill, ToolArt::Bucket},
      {Qt::Key_D, PainterTool::AnimFill, ToolArt::LineBucket},
      {Qt::Key_S, PainterTool::RegionPen, ToolArt::Pen},
      {Qt::Key_H, PainterTool::Rubber, ToolArt::Eraser},
      {Qt::Key_K, PainterTool::UnRubber, ToolArt::Unerase},
      {Qt::Key_F, PainterTool::AnimBrush, ToolArt::Brush},
      {Qt::Key_G, PainterTool::AnimBrushRect, ToolArt::BrushRectangle},
      {Qt::Key_J, PainterTool::RubberRect, ToolArt::EraserRectangle},
      {Qt::Key_L, PainterTool::UnRubberRect, ToolArt::UneraseRectangle}};
  const QWidget* surface = w.view().viewport();
  for (auto [key, tool, art] : tools) {
    w.Key(key);
    EXPECT_EQ(std::tuple(w.doc().tool(), surface->cursor().pixmap().toImage(),
                         surface->cursor().hotSpot()),
              std::tuple(tool, ToolCursor(art).pixmap().toImage(), ToolHotSpot(art)))
        << int(art);
  }
  const std::pair<Qt::Key, QString> steps[] = {{Qt::Key_Plus, QStringLiteral("zoom: 200%")},
                                               {Qt::Key_Asterisk, QStringLiteral("zoom: 100%")},
                                               {Qt::Key_Minus, QStringLiteral("zoom: 50%")}};
  for (const auto& [key, text] : steps) {
    w.Key(key);
    EXPECT_EQ(w.frame->zoomPaneText(), text);
  }
  while (w.action("actionZoomIn")->isEnabled()) w.action("actionZoomIn")->trigger();
  EXPECT_EQ(w.frame->zoomPaneText(), QStringLiteral("zoom: 1700%"));

  // Now the picture is larger than the window; a drag in pan mode scrolls and paints nothing.
  w.Key(Qt::Key_Space);
  ASSERT_TRUE(w.view().panMode());
  EXPECT_EQ(surface->cursor().shape(), Qt::OpenHandCursor);
  const QPoint before = w.view().scrollPosition();
  ASSERT_GE(before.x(), 50);
  ASSERT_GE(before.y(), 40);
  w.Drag({QPoint(250, 260), QPoint(300, 300)});
  EXPECT_EQ(std::tuple(w.view().scrollPosition(), w.doc().frame().undoAvailable()),
            std::tuple(before - QPoint(50, 40), false));
}

TEST(PainterWindow, StrokesOfTheLineBrushPenAndRubberRectangleReachTheFrame) {
  PainterWindow w;
  // The line brush paints every move and refuses the transparent colour.
  w.Key(Qt::Key_F);
  EXPECT_TRUE(w.action("actionComposited")->isChecked() &&
              !w.action("actionRegionsPainted")->isEnabled());
  const std::vector<uint16_t> before = w.doc().frame().region.animColor;
  const std::vector<QPoint> stroke = {w.WindowOf(10, 10), w.WindowOf(30, 12), w.WindowOf(50, 14)};
  w.Drag(stroke);
  EXPECT_EQ(w.prompt.Texts().size(), 1u);  // once for the whole stroke
  EXPECT_EQ(w.doc().frame().region.animColor, before);

  w.doc().SetCurrentColor(3);
  w.Drag(stroke);
  const PainterFrame& f = w.doc().frame();
  EXPECT_EQ(std::tuple(f.region.animColor[f.Index(20, 11)], f.region.animColor[f.Index(40, 13)],
                       f.region.animColor[f.Index(20, 40)]),
            std::tuple(3, 3, before[f.Index(20, 40)]));
  // A pen stroke splits, a right drag closes gaps and a rubber rectangle takes its corners.
  w.Key(Qt::Key_S);
  EXPECT_TRUE(w.action("actionRegionLine")->isChecked());
  const int regionsBefore = w.doc().frame().regionCount();
  const int y = kHeight / 2;
  w.Drag({w.WindowOf(0, y), w.WindowOf(kWidth / 2, y), w.WindowOf(kWidth - 1, y)});
  EXPECT_GT(f.regionCount(), regionsBefore);
  auto lineFlags = [&](int x) {
    return f.region.flags[f.Index(x, y)] & (kFlagRegionLine | kFlagRegionPen);
  };
  for (int x : {0, kWidth / 2, kWidth - 1})
    EXPECT_EQ(lineFlags(x), kFlagRegionLine | kFlagRegionPen) << x;
  // A split leaves the picture in Regions Painted mode.
  EXPECT_TRUE(w.action("actionRegionsPainted")->isChecked());
  // Closing gaps first turns every pen line into an ordinary region line.
  w.Drag({w.WindowOf(5, kHeight - 5), w.WindowOf(30, kHeight - 30)}, Qt::RightButton);
  for (int x : {0, kWidth / 2, kWidth - 1}) EXPECT_EQ(lineFlags(x), kFlagRegionLine) << x;
  // A rubber rectangle takes the press and release pixels.
  w.Key(Qt::Key_J);
  w.Drag({w.WindowOf(10, 60), w.WindowOf(40, 20)});
  auto rubbed = [&](int column, int row) {
    return (f.region.flags[f.Index(column, row)] & kFlagRubbedOut) != 0;
  };
  EXPECT_EQ(std::tuple(rubbed(10, 20), rubbed(39, 59), rubbed(40, 30), rubbed(20, 60)),
            std::tuple(true, true, false, false));
}

// What `quenda export --painted` writes from the files is what the Composited view shows at
// 100 %, pixel for pixel.
TEST(PainterWindow, ExportOfAPaintedDrawingIsTheCompositedViewAndScreenshotsOfEveryMode) {
  PainterWindow w;
  // The second drawing: the export shows the drawing it is given, not its sequence's first.
  w.action("actionNextFrame")->trigger();
  w.doc().SetCurrentColor(3);
  w.Click(Qt::LeftButton, w.LargestInnerRegion().second);
  w.doc().SetCurrentColor(4);
  w.Click(Qt::LeftButton, {0, 0});  // the background region
  // Leaving the frame writes its paint file; coming back shows it as read again.
  w.action("actionNextFrame")->trigger();
  w.action("actionPreviousFrame")->trigger();
  w.action("actionComposited")->trigger();
  w.action("actionZoomOneToOne")->trigger();
  QApplication::processEvents();
  const QImage shown = w.Grab();

  const std::string png = w.dir.File("walk2.png");
  const cli::ToolOutput run =
      cli::RunTool({"export", w.dir.File("walk2.qds"), "--png", png, "--painted"});
  ASSERT_EQ(run.code, 0) << run.err;
  const QImage exported(QString::fromStdString(png));
  ASSERT_EQ(exported.size(), QSize(kWidth, kHeight));
  int differing = 0, painted = 0;
  for (int row = 0; row < kHeight; ++row)
    for (int x = 0; x < kWidth; ++x) {
      const QRgb pixel = exported.pixel(x, row);
      differing += shown.pixel(w.WindowOf(x, kHeight - 1 - row)) != pixel;
      painted += QColor(pixel) == w.Entry(3) || QColor(pixel) == w.Entry(4);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(painted, kWidth * kHeight / 4);  // the paint shows, not only the pencil
  // Screenshots of every view mode, on the first drawing.
  w.action("actionFirstFrame")->trigger();
  w.doc().SetCurrentColor(3);
  auto [region, at] = w.LargestInnerRegion();
  w.Click(Qt::LeftButton, at);
  w.view().SetZoomLevel(4);
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
    testing::SaveScreenshot(*w.frame, QLatin1String(file));
  }
  EXPECT_EQ(w.doc().viewMode(), ViewMode::RegionLine);
  // The dialogs too.
  for (const char* command : {"actionAddColor", "actionAutoPaintRange", "actionEditLineUnfilled"}) {
    const QString name = QStringLiteral("painter_%1.png").arg(QLatin1String(command));
    bool shown = false;
    WhenModal<QDialog>([name, &shown](QDialog* dialog) {
      testing::SaveScreenshot(*dialog, name);
      shown = true;
      dialog->reject();
    });
    w.action(command)->trigger();
    EXPECT_TRUE(shown) << command;
  }
  for (const char* bar : {"toolBarTools", "toolBarViewModes", "toolBarOperations"}) {
    auto* toolbar = w.frame->findChild<QToolBar*>(QString::fromLatin1(bar));
    EXPECT_TRUE(toolbar != nullptr && toolbar->isVisible()) << bar;
  }
}

}  // namespace
}  // namespace quenda

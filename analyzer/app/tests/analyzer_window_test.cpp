// The analyzer window on a generated sample sequence: the commands reach the document from the
// menus and dialogs, what the picture shows, and the batch run under its progress window.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "analyzer/app/paint_tools_window.h"
#include "analyzer/app/tests/analyzer_window.h"
#include "common/drawing_scan.h"
#include "common/region_file.h"
#include "ui/progress_window.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;
constexpr int kBigWidth = 1000;
constexpr int kBigHeight = 1400;

TEST(AnalyzerWindow, LoadsADrawingZoomsByWholeFactorsAndTestsLineSettingsInTheDialog) {
  AnalyzerWindow w;
  w.Load(1);
  EXPECT_EQ(w.view().pictureSize(), QSize(kWidth, kHeight));
  EXPECT_EQ(w.Title(), "Compatible Scanner Module :: Quenda Animation Paint System");
  testing::SaveScreenshot(*w.frame, "analyzer_drawing.png");
  // Keys and the levels they leave: zoom out at 1 changes nothing.
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  for (auto [key, level] : {std::pair{Qt::Key_Minus, 1},
                            {Qt::Key_Plus, 2},
                            {Qt::Key_Plus, 3},
                            {Qt::Key_Minus, 2},
                            {Qt::Key_Minus, 1}}) {
    QTest::keyClick(w.frame.get(), key);
    EXPECT_EQ(w.view().zoomLevel(), level);
  }
  w.Trigger("actionImageInfo");
  EXPECT_EQ(w.prompt.Texts().back(), "TARGA:\nX dimension: 320, Y dimension: 240\n");

  // The line settings dialog drags its rectangle, tests, and refuses a bad ACCEPT.
  LineSettingsDialog& dialog = w.OpenSettings();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(w.Title(), "Quenda Animation Paint System: Region Settings");
  EXPECT_EQ(w.doc().testRectangle(), (TestRectangle{110, 70, 210, 170}));

  // A drag from inside the rectangle moves it whole, 30 pixels right and 20 down.
  const QPoint from = w.WindowAt({150, 120});
  QTest::mousePress(w.view().viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(w.view().viewport(), from + QPoint(30, 20));
  QTest::mouseRelease(w.view().viewport(), Qt::LeftButton, {}, from + QPoint(30, 20));
  EXPECT_EQ(w.doc().testRectangle(), (TestRectangle{140, 90, 240, 190}));

  // With lines on, the pencil inside the rectangle turns into lines in the line colour.
  const QImage before = w.Shown();
  auto lineColoured = [&](const QImage& shown) {
    const QImage rect = shown.copy(w.view().TestRectangleOnWindow());
    int count = 0;
    for (int y = 0; y < rect.height(); ++y)
      for (int x = 0; x < rect.width(); ++x) count += rect.pixel(x, y) == qRgb(255, 0, 255);
    return count;
  };
  QTest::mouseClick(dialog.button(QStringLiteral("Test Settings")), Qt::LeftButton);
  EXPECT_EQ(lineColoured(before), 0);
  EXPECT_GT(lineColoured(w.Shown()), 50);
  testing::SaveScreenshot(*w.frame, "analyzer_line_settings.png");
  testing::SaveScreenshot(dialog, "analyzer_line_settings_dialog.png");

  // Both clamps at 80 and lines off: the rectangle shows grey 80 and nothing else changes.
  dialog.bar(LineSetting::WhiteClamp)->setValue(80);
  dialog.bar(LineSetting::BlackClamp)->setValue(80);
  EXPECT_EQ(dialog.entry(LineSetting::BlackClamp)->text(), QStringLiteral("80"));
  dialog.showLines()->setChecked(false);
  QTest::mouseClick(dialog.button(QStringLiteral("Test Settings")), Qt::LeftButton);
  const QImage after = w.Shown();
  const PixelRect inside = TestRectanglePixels(w.doc().testRectangle(), kHeight);
  for (auto [x, y] : {std::pair{inside.x0, inside.y0}, {inside.x1 - 1, inside.y1 - 1}, {190, 90}})
    EXPECT_EQ(w.ShownAt(after, x, y), QColor(80, 80, 80)) << x << "," << y;
  EXPECT_EQ(w.ShownAt(after, 20, 20), w.ShownAt(before, 20, 20));

  // ACCEPT with a pick-up beyond range: the message, and the dialog stays.
  dialog.entry(LineSetting::PickUp)->setText(QStringLiteral("300"));
  QTest::mouseClick(dialog.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  EXPECT_EQ(w.prompt.Texts().back(), "Line Pick Up: out of Range!");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(w.doc().lineSettingsOpen());
  dialog.entry(LineSetting::PickUp)->setText(QStringLiteral("90"));
  QTest::mouseClick(dialog.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  EXPECT_FALSE(w.doc().lineSettingsOpen());
  EXPECT_EQ(w.doc().settings(), (RedlineSettings{90, 150, 80, 80}));
  EXPECT_EQ(w.Title(), "Compatible Scanner :: Quenda Animation Paint System");
}

TEST(AnalyzerWindow, SettingsRegionAndColorSetFilesSaveAndLoadFromTheDialogsAndTheMenus) {
  AnalyzerWindow w;
  w.Load(2);
  w.Trigger("actionSaveRegions");
  EXPECT_EQ(w.prompt.Texts().back(), "Please process the regions.");
  LineSettingsDialog& dialog = w.OpenSettings();
  dialog.bar(LineSetting::Growth)->setValue(120);
  dialog.bar(LineSetting::PickUp)->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 100 + 11
  dialog.bar(LineSetting::WhiteClamp)->triggerAction(QAbstractSlider::SliderSingleStepSub);
  w.savePaths.push_back(QString::fromStdString(w.dir.File("lines.rls")));
  QTest::mouseClick(dialog.button(QStringLiteral("Save Setings")), Qt::LeftButton);
  EXPECT_EQ(testing::ReadText(w.dir.File("lines.rls")), "Quenda\n111 120 219 50\n");

  QTest::mouseClick(dialog.button(QStringLiteral("Cancel")), Qt::LeftButton);
  EXPECT_EQ(w.doc().settings(), RedlineSettings{});
  LineSettingsDialog& again = w.OpenSettings();
  w.prompt.QueuePath(w.dir.File("lines.rls"));
  QTest::mouseClick(again.button(QStringLiteral("Load Setings")), Qt::LeftButton);
  EXPECT_EQ(w.doc().settings(), (RedlineSettings{111, 120, 219, 50}));
  EXPECT_EQ(again.entry(LineSetting::PickUp)->text(), QStringLiteral("111"));
  EXPECT_EQ(again.bar(LineSetting::WhiteClamp)->value(), 219);

  // ACCEPT takes what is typed into the fields.
  const RedlineSettings settings{90, 140, 210, 40};
  const std::pair<LineSetting, const char*> typed[] = {{LineSetting::PickUp, "90"},
                                                       {LineSetting::Growth, "140"},
                                                       {LineSetting::WhiteClamp, "210"},
                                                       {LineSetting::BlackClamp, "40"}};
  for (auto [which, text] : typed) again.entry(which)->setText(QString::fromLatin1(text));
  QTest::mouseClick(again.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  ASSERT_EQ(w.doc().settings(), settings);

  w.Trigger("actionMarkRegions");
  w.Trigger("actionLineSettings");
  EXPECT_EQ(w.prompt.Texts().back(),
            "You can not change the settings after marking regions, please load a fresh image");
  const std::string saved = w.dir.File("marked.rgn");
  w.savePaths.push_back(QString::fromStdString(saved));
  w.Trigger("actionSaveRegions");
  const std::vector<uint8_t> marked = ReadBytes(saved);
  ASSERT_FALSE(marked.empty());

  // A fresh load of the drawing, then its regions: the file's settings come with them, and
  // saving again writes the same bytes.
  w.Load(2);
  w.prompt.QueuePath(saved);
  w.Trigger("actionLoadRegions");
  EXPECT_EQ(w.doc().settings(), settings);
  w.savePaths.push_back(QString::fromStdString(w.dir.File("again.rgn")));
  w.Trigger("actionSaveRegions");
  EXPECT_EQ(ReadBytes(w.dir.File("again.rgn")), marked);

  // The colour set dialog adds up to forty colours and saves and loads the set.
  w.Trigger("actionColorSet");
  ColorSetDialog* colorDialog = w.frame->colorSetDialog();
  ASSERT_NE(colorDialog, nullptr);
  EXPECT_EQ(colorDialog->windowTitle(), QStringLiteral("Quenda: Color Set"));
  EXPECT_EQ(colorDialog->list()->count(), 3);
  colorDialog->nameEntry()->setText(QStringLiteral("sky"));
  colorDialog->SetColour(QColor(10, 20, 250));
  for (int i = 3; i <= 40; ++i)
    QTest::mouseClick(colorDialog->button(QStringLiteral("Add")), Qt::LeftButton);
  EXPECT_EQ(colorDialog->list()->count(), 40);
  colorDialog->list()->setCurrentRow(2);
  colorDialog->nameEntry()->setText(QStringLiteral("INKLINES!"));
  QTest::mouseClick(colorDialog->button(QStringLiteral("Edit")), Qt::LeftButton);
  EXPECT_EQ(w.prompt.Texts().back(), "Maximum 8 chars!");
  EXPECT_EQ(colorDialog->list()->item(2)->text(), QStringLiteral("LINE"));

  EXPECT_EQ(w.doc().colors().entries[39], (ColorEntry{10, 20, 250, "sky"}));
  w.savePaths.push_back(QString::fromStdString(w.dir.File("paints.col")));
  QTest::mouseClick(colorDialog->button(QStringLiteral("Save Color Set")), Qt::LeftButton);

  // A fresh window takes the saved set back.
  AnalyzerWindow other;
  other.Trigger("actionColorSet");
  other.prompt.QueuePath(w.dir.File("paints.col"));
  QTest::mouseClick(other.frame->colorSetDialog()->button(QStringLiteral("Load Color Set")),
                    Qt::LeftButton);
  EXPECT_EQ(other.frame->colorSetDialog()->list()->count(), 40);
  EXPECT_EQ(other.doc().colors().entries, w.doc().colors().entries);
  EXPECT_TRUE(other.prompt.Texts().empty());
}

TEST(AnalyzerWindow, BatchStoppedDuringTheRunLeavesWholeFilesUpToTheStopAndNoMore) {
  // STOP is pressed once the second frame is in hand; frames are analyzed ahead on every core,
  // so the stop may land a frame or two later. Either way the frames up to it are whole, the
  // ones after are untouched, and the run ends well before the last.
  constexpr int kFrames = 8;
  AnalyzerWindow w(kBigWidth, kBigHeight, kFrames);
  for (int f = 3; f <= kFrames; ++f) testing::WriteBytes(w.Frame(f, ".rgn"), {1, 2, 3});
  w.Load(1);
  const RedlineSettings settings{90, 140, 210, 40};
  ASSERT_TRUE(w.doc().OpenLineSettings().ok());
  ASSERT_TRUE(w.doc().AcceptLineSettings({90, 140, 210, 40}).ok());
  w.prompt.QueueAnswer(true);  // lose the current picture
  w.prompt.QueueAnswer(true);  // process with current settings
  w.prompt.QueueAnswer(true);  // stop finding regions
  w.prompt.QueuePath(w.Frame(1, ".qds"));
  QString pathShown, nameShown;
  WhenModal<BatchProcessDialog>([&](BatchProcessDialog* dialog) {
    QTest::mouseClick(dialog->button(QStringLiteral("Select a Sequence")), Qt::LeftButton);
    pathShown = dialog->pathText();
    nameShown = dialog->nameText();
    QTest::mouseClick(dialog->button(QStringLiteral("PROCESS")), Qt::LeftButton);
  });
  // STOP the moment the second frame's title shows: from the title's own signal, since a fast
  // run passes several frames within one pass of the event loop, and a slow one (a sanitizer
  // build) may take longer than any fixed wait.
  QSize shownDuringRun;
  bool drawnFromGrey = false;
  bool shownAFrame = false;
  bool stopPressed = false;
  const QMetaObject::Connection watch = QObject::connect(
      w.frame.get(), &QWidget::windowTitleChanged, w.frame.get(), [&](const QString& title) {
        auto* progress = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
        if (stopPressed || progress == nullptr || !title.endsWith(QStringLiteral(".qds")) ||
            title.endsWith(QStringLiteral("walk1.qds")))
          return;
        stopPressed = true;
        shownDuringRun = w.view().pictureSize();  // the first frame's drawing, from the worker
        // Composed from a grey copy for what is in sight, with no picture of the page's size.
        drawnFromGrey = w.view().drawsFromSource() && w.view().picture().isNull();
        const QImage shownPixels = w.Shown();
        // What showed is one frame's grey drawing, pixel for pixel where the picture showed.
        auto showsFrame = [&](int f) {
          auto scan = ReadDrawingScan(w.Frame(f, ".qds"), ScanReader::Analyzer);
          if (!scan.ok()) return false;
          const Raster& grey = scan->scan.picture;
          int compared = 0;
          for (int y = 0; y < shownPixels.height(); y += 3)
            for (int x = 0; x < shownPixels.width(); x += 3) {
              const QPoint at = w.view().WindowToImage({x, y});
              if (!grey.view().Contains(at.x(), at.y())) continue;
              const int g = grey.At(at.x(), at.y())[0];
              if (shownPixels.pixel(x, y) != qRgb(g, g, g)) return false;
              ++compared;
            }
          return compared > 0;
        };
        for (int f = 1; f <= kFrames && !shownAFrame; ++f) shownAFrame = showsFrame(f);
        QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
      });
  w.Trigger("actionBatchProcess");
  QObject::disconnect(watch);
  ASSERT_TRUE(stopPressed) << "no frame after the first came in hand during the run";
  EXPECT_EQ(shownDuringRun, QSize(kBigWidth, kBigHeight));
  EXPECT_TRUE(drawnFromGrey);
  EXPECT_TRUE(shownAFrame);
  EXPECT_EQ(pathShown.toStdString(), w.dir.path());
  EXPECT_EQ(nameShown, QStringLiteral("walk"));
  EXPECT_EQ(w.prompt.Texts(), (std::vector<std::string>{
                                  "You will lose the current picture and regions, Are you sure?",
                                  "Process with current regions settings?",
                                  "Are you sure, you will stop finding regions?"}));
  // The run ended before the last frame; the first file was made with the document's settings
  // (what a stop leaves on disk is the batch run's own test).
  EXPECT_EQ(ReadBytes(w.Frame(kFrames, ".rgn")), (std::vector<uint8_t>{1, 2, 3}));
  Result<RegionData> first =
      ReadRegionFile(w.Frame(1, ".rgn"), kBigWidth, kBigHeight, RegionReader::Painter);
  ASSERT_TRUE(first.ok());
  EXPECT_EQ(first->settings, settings);
  EXPECT_FALSE(w.doc().drawingLoaded());
  EXPECT_FALSE(w.view().hasPicture());
  EXPECT_EQ(w.Title(), "Compatible Scanner :: Quenda Animation Paint System");
}

TEST(AnalyzerWindow, PaintModeFillsTheClickedRegionAndSavesTheComposite) {
  AnalyzerWindow w;
  w.Load(1);
  w.Trigger("actionMarkRegions");
  ASSERT_TRUE(w.doc().AddColor("SKIN", 250, 205, 170).ok());
  w.doc().SetCurrentColor(3);
  w.Trigger("actionPaint");
  ASSERT_TRUE(w.doc().painting());
  EXPECT_FALSE(w.frame->Action("actionMarkRegions")->isEnabled());
  EXPECT_TRUE(w.frame->Action("actionSetBrushSize")->isEnabled());

  // A pixel of a region other than the background, clear of lines.
  const std::vector<QPoint> pixels = w.RegionPixels();
  ASSERT_FALSE(pixels.empty());
  const QPoint at = pixels.front();
  const int regions = w.doc().image().regions.regionCount;
  w.Click(at);
  EXPECT_EQ(w.Title(), "Compatible Scanner :: Quenda Animation Paint System PAINT MODE: " +
                           std::to_string(regions - 1) + " Unfilled regions");
  EXPECT_EQ(w.ShownAt(at), QColor(250, 205, 170));
  testing::SaveScreenshot(*w.frame, "analyzer_paint_mode.png");

  // The composite waits for every region; then it is written where the dialog says.
  w.savePaths.push_back(QString::fromStdString(w.dir.File("walk1.tga")));
  w.Trigger("actionSaveComposite");
  EXPECT_EQ(w.savePaths.size(), 1u);
  for (QPoint pixel : pixels) w.doc().FillRegionAt(pixel.x(), pixel.y());
  // The stages the progress window shows, read at every pass of the event loop.
  QStringList stages;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* shown = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
    if (shown != nullptr && !shown->stage().isEmpty() &&
        (stages.isEmpty() || stages.back() != shown->stage()))
      stages.push_back(shown->stage());
  });
  watch.start(0);
  w.Trigger("actionSaveComposite");
  watch.stop();
  EXPECT_EQ(stages.join(QStringLiteral(" | ")).toStdString(), "Preparing... | Saving...");
  EXPECT_EQ(ReadBytes(w.dir.File("walk1.tga")).size(), 18u + 4u * kWidth * kHeight);

  w.Trigger("actionExitPaint");
  EXPECT_FALSE(w.doc().painting());
  EXPECT_FALSE(w.frame->Action("actionSetBrushSize")->isEnabled());
  EXPECT_EQ(w.Title(), "Compatible Scanner :: Quenda Animation Paint System");
}

TEST(AnalyzerWindow, PaintToolsRubOutWithARectangleUndoAndSwitchViews) {
  AnalyzerWindow w;
  w.Load(1);
  w.Trigger("actionMarkRegions");
  w.Trigger("actionPaint");
  PaintToolsWindow* tools = w.frame->paintToolsWindow();
  ASSERT_NE(tools, nullptr);
  EXPECT_TRUE(tools->isVisible());
  EXPECT_EQ(tools->windowTitle(), QStringLiteral("Quenda Paint Tools"));
  // The palette holds the set; a swatch makes its colour current.
  QTest::mouseClick(tools->swatch(2), Qt::LeftButton);
  EXPECT_EQ(w.doc().currentColor(), 2);

  // The rectangle toggle beside RUBBER, then a drag over the whole drawing: the pencil ink goes.
  QTest::mouseClick(tools->button(QStringLiteral("RECT RUBBER")), Qt::LeftButton);
  EXPECT_EQ(w.doc().tool(), PaintTool::RubberRect);
  EXPECT_TRUE(tools->button(QStringLiteral("Result"))->isChecked());
  const WorkingImage& image = w.doc().image();
  const QPoint ink = w.FirstPixel([&](std::size_t i) {
    return image.grey[i] < 60 && (image.regions.flags[i] & kFlagRegionLine) == 0 &&
           image.regions.regionMap[i] > kBackgroundRegion;
  });
  ASSERT_GE(ink.x(), 0);
  const QColor inkBefore = w.ShownAt(ink);
  QWidget* viewport = w.view().viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, w.WindowAt({0, 0}));
  QTest::mouseMove(viewport, w.WindowAt({kWidth - 1, kHeight - 1}));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, w.WindowAt({kWidth - 1, kHeight - 1}));
  EXPECT_NE(image.regions.flags[std::size_t(ink.y()) * kWidth + ink.x()] & kFlagRubbedOut, 0);
  EXPECT_NE(w.ShownAt(ink), inkBefore);

  // Ctrl+Z puts the ink back, once.
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.ShownAt(ink), inkBefore);
  EXPECT_FALSE(w.frame->Action("actionUndo")->isEnabled());

  // X-ray shows the unfilled regions white and the lines of the others in the line colour;
  // Redline shows paper white too, and only the lines coloured.
  const QPoint line = w.FirstPixel([&](std::size_t i) {
    return (image.regions.flags[i] & kFlagRegionLine) &&
           image.regions.regionMap[i] == kBackgroundRegion;
  });
  QTest::mouseClick(tools->button(QStringLiteral("Xray")), Qt::LeftButton);
  QImage shown = w.Shown();
  EXPECT_EQ(w.ShownAt(shown, ink.x(), ink.y()), QColor(255, 255, 255));
  EXPECT_EQ(w.ShownAt(shown, line.x(), line.y()), QColor(255, 0, 255));
  EXPECT_EQ(w.ShownAt(shown, 0, 0), QColor(0, 0, 0));  // the transparent background
  QTest::mouseClick(tools->button(QStringLiteral("Redline")), Qt::LeftButton);
  shown = w.Shown();
  EXPECT_EQ(w.ShownAt(shown, 0, 0), QColor(255, 255, 255));
  EXPECT_EQ(w.ShownAt(shown, line.x(), line.y()), QColor(255, 0, 255));

  // REGIONS by its button, a click: the region takes the colour and shows it.
  ASSERT_TRUE(w.doc().AddColor("SKIN", 250, 205, 170).ok());
  QTest::mouseClick(tools->button(QStringLiteral("REGIONS")), Qt::LeftButton);
  EXPECT_TRUE(tools->button(QStringLiteral("Regions"))->isChecked());
  w.Click(ink);
  EXPECT_EQ(w.ShownAt(ink), QColor(250, 205, 170));

  // The paint mode and its tools window side by side in one picture.
  QImage both(w.frame->width() + tools->width(), std::max(w.frame->height(), tools->height()),
              QImage::Format_RGB32);
  both.fill(Qt::darkGray);
  QPainter painter(&both);
  painter.drawPixmap(0, 0, w.frame->grab());
  painter.drawPixmap(w.frame->width(), 0, tools->grab());
  painter.end();
  testing::SaveScreenshot(both, "analyzer_paint_tools.png");

  w.Trigger("actionExitPaint");
  EXPECT_FALSE(tools->isVisible());
}

}  // namespace
}  // namespace quenda

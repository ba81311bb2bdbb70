// The background maker's window on a generated background: the tools through mouse and keys,
// the keyer and view settings dialogs, the view modes as the screen shows them, and saving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "panorama/app/panorama_dialogs.h"
#include "panorama/app/panorama_frame.h"
#include "panorama/app/panorama_view.h"
#include "testing/test_support.h"
#include "ui/recent_files.h"
#include "ui/settings.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

constexpr int kWidth = 96;
constexpr int kHeight = 72;
// The left half is sky, the right half grass (red, green, blue).
const QColor kSky(70, 130, 200);
const QColor kGrass(40, 160, 60);

// A landscape with a round hole cut in its mask, large enough to judge on a screenshot.
std::string WriteLandscape(const std::string& path) {
  const int width = 480, height = 320;
  Raster file(width, height, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = file.At(x, y);
      const bool hill = y < 90 + 40 * std::sin(x / 60.0);
      p[0] = uint8_t(hill ? 40 : 255 - y / 4), p[1] = uint8_t(hill ? 150 - y / 3 : 150 + y / 4);
      p[2] = uint8_t(hill ? 50 : 90 + y / 3);
      p[3] = std::hypot(x - 300, y - 190) < 70 ? 0 : 255;
    }
  EXPECT_TRUE(WriteTarga(path, file, WriteMessages("not written")).ok());
  return path;
}

std::string WriteSky(const std::string& path) {
  Raster image(kWidth, kHeight, 3);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const QColor& c = x < kWidth / 2 ? kSky : kGrass;
      uint8_t* p = image.At(x, y);
      p[0] = uint8_t(c.blue()), p[1] = uint8_t(c.green()), p[2] = uint8_t(c.red());
    }
  EXPECT_TRUE(WriteTarga(path, image, WriteMessages("not written")).ok());
  return path;
}

struct PanoramaWindow {
  PanoramaWindow() : settings(QStringLiteral("panorama"), QString::fromStdString(dir.path())) {
    sky = WriteSky(dir.File("sky.tga"));
    frame = std::make_unique<CPanoramaFrame>(&prompt, &settings);
    frame->SetSavePathPicker([this](QWidget*, const SaveQuestion& question) {
      questions.push_back(question);
      return savePath;
    });
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_TRUE(frame->OpenFile(QString::fromStdString(sky)));
    Key(Qt::Key_A);  // activates the window for the shortcuts
  }

  CPanoramaDoc& doc() { return frame->document(); }
  CPanoramaView& view() { return *frame->view(); }
  uint8_t Mask(int x, int y) { return *doc().mask().At(x, y); }
  // Shortcuts reach only the active window, which a closed dialog does not always give back.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    if (QApplication::activeWindow() != frame.get()) {
      frame->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    QTest::keyClick(frame.get(), key, modifiers);
  }
  QPoint At(int x, int y) { return view().ImageToWindow(QRect(x, y, 1, 1)).center(); }
  void Click(int x, int y) { QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, At(x, y)); }
  void Move(int x, int y, Qt::MouseButtons buttons) {
    QWidget* surface = view().viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(At(x, y)), surface->mapToGlobal(QPointF(At(x, y))),
                     Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
  }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(view().viewport(), Qt::LeftButton, {}, At(from.x(), from.y()));
    Move((from.x() + to.x()) / 2, (from.y() + to.y()) / 2, Qt::LeftButton);
    Move(to.x(), to.y(), Qt::LeftButton);
    QTest::mouseRelease(view().viewport(), Qt::LeftButton, {}, At(to.x(), to.y()));
  }
  // The colour the screen shows at image pixel (x, y).
  QColor Shown(int x, int y) {
    return view().viewport()->grab().toImage().pixelColor(At(x, y)).toRgb();
  }

  TempDir dir;
  ScriptedPrompt prompt;
  Settings settings;
  std::string sky;
  std::unique_ptr<CPanoramaFrame> frame;
  std::optional<QString> savePath;
  std::vector<SaveQuestion> questions;
};

// Grey 128 where both cell numbers are even or both odd, white otherwise (20-pixel cells).
QColor DefaultGrid(int x, int y) {
  return (x / 20 + y / 20) % 2 == 0 ? QColor(128, 128, 128) : QColor(255, 255, 255);
}

TEST(PanoramaWindow, ShowsTheBackgroundItsSizeAndZoomAndFitsInWindow) {
  PanoramaWindow w;
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("sky.tga - Quenda Background Maker"));
  EXPECT_EQ(std::tuple(w.frame->PaneText(1), w.frame->PaneText(2)),
            std::tuple(QStringLiteral("XRes: 96"), QStringLiteral("YRes: 72")));
  // A 24-bit background is opaque: See Through shows it without a grid.
  EXPECT_EQ(std::tuple(w.Shown(5, 5), w.Shown(90, 70)), std::tuple(kSky, kGrass));
  const std::pair<Qt::Key, const char*> zooms[] = {
      {Qt::Key_Plus, "zoom: 200%"}, {Qt::Key_Plus, "zoom: 300%"}, {Qt::Key_Asterisk, "zoom: 100%"},
      {Qt::Key_Minus, "zoom: 50%"}, {Qt::Key_Minus, "zoom: 33%"},
  };
  for (const auto& [key, text] : zooms) {
    w.Key(key);
    EXPECT_EQ(w.frame->PaneText(0), QLatin1String(text));
  }
  EXPECT_EQ(w.view().zoomPercent(), 33);
  EXPECT_EQ(w.Shown(3, 3), kSky);

  // Without a background only the file commands work.
  CPanoramaFrame empty(&w.prompt, &w.settings);
  EXPECT_EQ(empty.windowTitle(), QStringLiteral("Quenda Background Maker"));
  for (const char* name : {"actionSave", "actionUndo", "actionGrowMask", "actionBrush",
                           "actionSeeThrough", "actionSize3", "actionZoomIn", "actionPan"})
    EXPECT_FALSE(empty.Action(name)->isEnabled()) << name;
  EXPECT_TRUE(empty.Action("actionOpen")->isEnabled());
  EXPECT_TRUE(w.prompt.Texts().empty());
  // Fit in Window shows the whole background as large as it goes.
  for (QSize size : {QSize(1000, 800), QSize(300, 260)}) {
    w.frame->resize(size);
    QApplication::processEvents();
    w.frame->Action("actionFitInWindow")->trigger();
    const QSize room = w.view().fullViewportSize();
    const int level = w.doc().zoomLevel();
    EXPECT_EQ(w.view().zoomLevel(), level);
    EXPECT_LE(ZoomedLength(96, level), room.width()) << level;
    EXPECT_LE(ZoomedLength(72, level), room.height()) << level;
    EXPECT_TRUE(ZoomedLength(96, level + 1) > room.width() ||
                ZoomedLength(72, level + 1) > room.height())
        << level;
  }
}

TEST(PanoramaWindow, TheBrushErasesAndSeeThroughShowsTheGrid) {
  PanoramaWindow w;
  w.Key(Qt::Key_1);
  w.Click(10, 10);
  // Size 1 reaches 2 pixels from the click: the centre is gone, 2 pixels off is untouched.
  EXPECT_EQ(std::tuple(w.Mask(10, 10), w.Mask(12, 10), w.Shown(10, 10), w.Shown(12, 10)),
            std::tuple(0, 255, DefaultGrid(10, 10), kSky));
  EXPECT_LT(w.Mask(11, 10), 255);
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("sky.tga* - Quenda Background Maker"));
  // In Pan mode a click moves nothing of the mask.
  w.Key(Qt::Key_Space);
  w.Click(30, 30);
  EXPECT_EQ(w.Mask(30, 30), 255);
  w.Key(Qt::Key_Space);

  // A drag across a cell border at size 6 and odd cells: the boxes the view recomposes alone
  // match the whole picture composed again.
  w.doc().SetViewSettings({7, {10, 20, 30}, {200, 210, 220}, {255, 0, 0}});
  w.Key(Qt::Key_6);
  w.Drag({30, 40}, {70, 44});
  EXPECT_EQ(w.Mask(50, 42), 0);
  EXPECT_EQ(w.view().composed(), w.doc().ComposeView());
  // Reveal Mode brings the mask back where the brush goes.
  w.Key(Qt::Key_F2);
  w.Drag({30, 40}, {70, 44});
  EXPECT_EQ(w.Mask(50, 42), 255);
  EXPECT_EQ(w.view().composed(), w.doc().ComposeView());
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Mask(50, 42), 0);
  EXPECT_EQ(w.Shown(50, 42), QColor(200, 210, 220));  // cell (7, 6): grid colour 2
}

TEST(PanoramaWindow, APolygonClosedNearItsFirstPointFills) {
  PanoramaWindow w;
  w.prompt.QueueAnswer(true);
  w.Key(Qt::Key_Delete);
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Are you sure you want to clear the mask to transparent?"});
  EXPECT_EQ(w.Shown(30, 30), DefaultGrid(30, 30));
  w.Key(Qt::Key_F2);
  w.Key(Qt::Key_S);
  for (QPoint corner : {QPoint(20, 20), QPoint(60, 20), QPoint(60, 50), QPoint(20, 50)})
    w.Click(corner.x(), corner.y());
  // The closing cursor shows only where a click would close.
  w.Move(40, 40, Qt::NoButton);
  EXPECT_EQ(w.view().viewport()->cursor().shape(), Qt::CrossCursor);
  w.Move(22, 21, Qt::NoButton);
  EXPECT_EQ(w.view().viewport()->cursor().shape(), Qt::BitmapCursor);
  w.Click(22, 21);
  EXPECT_TRUE(w.doc().polygon().empty());
  EXPECT_EQ(std::tuple(w.Mask(40, 35), w.Mask(10, 10), w.Shown(40, 35), w.Shown(70, 35)),
            std::tuple(255, 0, kSky, DefaultGrid(70, 35)));
}

// Answers the keyer dialog: checks the key it starts with, sets the tolerance with the slider
// and the operation, and presses Accept or Cancel.
void AnswerKeyer(QColor expectedKey, int tolerance, const char* operation, const char* button) {
  WhenModal<ColorKeyerDialog>([=](ColorKeyerDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Color Keyer Settings"));
    EXPECT_EQ(d->keyField()->colour(), expectedKey);
    d->toleranceSlider()->setValue(tolerance);
    EXPECT_EQ(d->toleranceField()->value(), tolerance);
    for (QRadioButton* radio : d->findChildren<QRadioButton*>())
      if (radio->text() == QLatin1String(operation)) radio->click();
    for (QPushButton* push : d->findChildren<QPushButton*>())
      if (push->text() == QLatin1String(button)) push->click();
  });
}

TEST(PanoramaWindow, TheKeyerDialogKeysTheClickedColour) {
  PanoramaWindow w;
  w.Key(Qt::Key_C);
  // Replace at 10 %: the sky is keyed fully, the grass (146 away) not at all.
  AnswerKeyer(kSky, 10, "Replace", "Accept");
  w.Click(5, 5);
  EXPECT_EQ(std::tuple(w.Mask(5, 5), w.Mask(47, 71), w.Mask(48, 0), w.Shown(70, 30)),
            std::tuple(255, 255, 0, DefaultGrid(70, 30)));
  // The next click starts from the kept tolerance and operation; Subract on the grass from a
  // fully opaque mask, then Cancel changes nothing.
  w.prompt.QueueAnswer(true);
  w.Key(Qt::Key_Insert);
  WhenModal<ColorKeyerDialog>([](ColorKeyerDialog* d) {
    EXPECT_EQ(d->toleranceSlider()->value(), 10);
    EXPECT_TRUE(d->operationButton(KeyerOperation::Replace)->isChecked());
    d->reject();
  });
  w.Click(90, 5);
  EXPECT_EQ(w.Mask(90, 5), 255);
  AnswerKeyer(kGrass, 15, "Subract", "Accept");
  w.Click(90, 5);
  EXPECT_EQ(std::tuple(w.Mask(90, 5), w.Mask(5, 5)), std::tuple(0, 255));
  AnswerKeyer(kSky, 100, "Add", "Cancel");
  w.Click(5, 5);
  EXPECT_EQ(w.Mask(90, 5), 0);
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Are you sure you want to fill the mask to opaque?"});
}

TEST(PanoramaWindow, WholeMaskCommandsMatchTheirOperations) {
  PanoramaWindow w;
  w.Key(Qt::Key_3);
  w.Click(30, 30);
  w.Click(31, 50);
  Raster expected = w.doc().mask();
  const MaskStatus silent;
  // Each command's key against the operation it runs, on a copy of the mask.
  const std::pair<Qt::Key, void (*)(RasterView, RowProgress&)> steps[] = {
      {Qt::Key_I, InvertMask}, {Qt::Key_G, GrowMask},   {Qt::Key_G, GrowMask},
      {Qt::Key_O, SmoothMask}, {Qt::Key_K, ShrinkMask}, {Qt::Key_O, SmoothMask},
  };
  for (const auto& [key, operation] : steps) {
    RowProgress progress(silent, kHeight);
    operation(expected.view(), progress);
    w.Key(key);
    ASSERT_EQ(w.doc().mask(), expected) << key;
  }
  EXPECT_EQ(w.view().composed(), w.doc().ComposeView());
  EXPECT_EQ(w.frame->statusBar()->currentMessage(), QStringLiteral("Done."));
  w.Key(Qt::Key_I);
  EXPECT_EQ(w.frame->statusBar()->currentMessage(), QStringLiteral("Done Invert Mask."));
  // Fill Mask answered No leaves the mask.
  const Raster before = w.doc().mask();
  w.prompt.QueueAnswer(false);
  w.Key(Qt::Key_Insert);
  EXPECT_EQ(w.doc().mask(), before);
}

TEST(PanoramaWindow, ViewModesAndTheirSettingsReachScreenAndProfile) {
  PanoramaWindow w;
  w.Key(Qt::Key_1);
  w.Click(10, 10);  // (10, 10) and (15, 10) transparent, the rest opaque
  w.Click(15, 10);
  w.Key(Qt::Key_F4);
  // With Mask: opaque pixels are half tinted red ((p x 128 + mask x 127) / 255), transparent
  // ones untinted.
  EXPECT_EQ(std::tuple(w.Shown(30, 30), w.Shown(10, 10)), std::tuple(QColor(162, 65, 100), kSky));

  WhenModal<ViewSettingsDialog>([](ViewSettingsDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("View Settings"));
    d->gridSizeField()->setValue(5);
    d->grid2Field()->SetColour(QColor(0, 0, 255));
    // Mask colour through the colour chooser behind its "Set >>".
    WhenModal<QColorDialog>([](QColorDialog* chooser) {
      chooser->setCurrentColor(QColor(0, 255, 0));
      chooser->accept();
    });
    d->maskField()->button()->click();
    d->accept();
  });
  w.frame->Action("actionSettings")->trigger();
  EXPECT_EQ(w.Shown(30, 30), QColor(35, 192, 100));
  w.Key(Qt::Key_F3);
  // Cells (2, 2) and (3, 2).
  EXPECT_EQ(std::tuple(w.Shown(10, 10), w.Shown(15, 10)),
            std::tuple(QColor(128, 128, 128), QColor(0, 0, 255)));
  // The profile holds them for the next start.
  Settings again(QStringLiteral("panorama"), QString::fromStdString(w.dir.path()));
  const std::tuple<const char*, const char*, int> keys[] = {
      {"GRIDSIZE", "GRIDSIZE", 5}, {"GRID2COLOR", "BLUE", 255}, {"GRID2COLOR", "RED", 0},
      {"MASKCOLOR", "GREEN", 255}, {"MASKCOLOR", "RED", 0},     {"GRID1COLOR", "RED", 128},
  };
  for (const auto& [section, key, value] : keys)
    EXPECT_EQ(again.GetInt(QLatin1String(section), QLatin1String(key), -1), value) << key;
  CPanoramaFrame next(&w.prompt, &again);
  EXPECT_EQ(next.document().viewSettings(), w.doc().viewSettings());
}

TEST(PanoramaWindow, SavedMasksReadBackAndClosingAsksFirst) {
  PanoramaWindow w;
  w.Key(Qt::Key_5);
  w.Drag({10, 10}, {80, 60});
  w.Key(Qt::Key_O);
  const Raster mask = w.doc().mask();
  w.savePath = QString::fromStdString(w.dir.File("cut.tga"));
  w.frame->Action("actionSaveAs")->trigger();
  ASSERT_EQ(w.questions.size(), 1u);
  EXPECT_EQ(w.questions[0].filter, QStringLiteral("(24/32bit uncompressed) Targa Files (*.tga)"));
  EXPECT_EQ(std::tuple(w.frame->windowTitle(), w.frame->recentFiles().files().value(0)),
            std::tuple(QStringLiteral("cut.tga - Quenda Background Maker"), *w.savePath));

  // Revert to Saved answered No keeps the change, Yes reads the saved file again; then a change
  // and closing: Cancel keeps the window, No lets it go without writing.
  w.Key(Qt::Key_I);
  w.prompt.QueueAnswer(false);
  w.frame->Action("actionRevert")->trigger();
  EXPECT_NE(w.doc().mask(), mask);
  w.prompt.QueueAnswer(true);
  w.frame->Action("actionRevert")->trigger();
  EXPECT_EQ(w.prompt.Texts().back(), "Are you sure you want to revert to last saved?");
  EXPECT_EQ(std::tuple(w.doc().mask(), w.doc().modified()), std::tuple(mask, false));
  const std::vector<uint8_t> saved = ReadBytes(w.dir.File("cut.tga"));
  w.Key(Qt::Key_I);
  w.prompt.QueueChoice(2);
  EXPECT_FALSE(w.frame->close());
  w.prompt.QueueChoice(1);
  EXPECT_TRUE(w.frame->close());
  EXPECT_EQ(w.prompt.Texts().back(),
            "Quenda Background Maker\nSave changes to cut.tga?\n[Yes] [No] [Cancel]");
  EXPECT_EQ(ReadBytes(w.dir.File("cut.tga")), saved);
}

TEST(PanoramaWindow, Screenshots) {
  PanoramaWindow w;
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(WriteLandscape(w.dir.File("land.tga")))));
  w.Key(Qt::Key_O);
  w.Key(Qt::Key_O);
  w.Key(Qt::Key_6);
  w.Drag({60, 250}, {180, 280});
  w.Key(Qt::Key_S);
  for (QPoint corner : {QPoint(380, 40), QPoint(460, 60), QPoint(430, 120)})
    w.Click(corner.x(), corner.y());
  SaveScreenshot(*w.frame, "panorama_see_through.png");
  w.Key(Qt::Key_F4);
  SaveScreenshot(*w.frame, "panorama_with_mask.png");
  w.Key(Qt::Key_C);
  WhenModal<ColorKeyerDialog>([](ColorKeyerDialog* d) {
    SaveScreenshot(*d, "panorama_keyer_dialog.png");
    d->reject();
  });
  w.Click(100, 300);
}

}  // namespace
}  // namespace quenda

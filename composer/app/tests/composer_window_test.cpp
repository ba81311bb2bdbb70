// The composer window's editing on a generated composition: the state on opening, drags in
// every mode, keys through their dialogs and on the timeline, time drags, settings and preview
// with STOP, layer order, and the view against the rendered frame. Its file and output commands
// are in composer_window_files_test.cpp.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "composer/app/composer_dialogs.h"
#include "composer/app/tests/composer_window_fixture.h"
#include "composer/core/clip_transform.h"
#include "composer/core/render_output.h"
#include "composer/core/view_state.h"
#include "ui/progress_window.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

// Picks the row labelled `text` in a list dialog and presses OK.
template <class Dialog>
void PickRow(Dialog* dialog, const QString& text) {
  auto found = dialog->list()->findItems(text, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << text.toStdString();
  dialog->list()->setCurrentItem(found.front());
  dialog->accept();
}

// The state on opening and the frame keys; then Fit in Window (and Zoom Extends) pick the
// largest zoom step at which the whole movie shows, and like every zoom command mark the movie
// changed, which the title shows.
TEST(ComposerWindow, OpensTheCompositionShowsItsStateAndFitsInWindow) {
  ComposerWindow w;
  EXPECT_EQ(std::tuple(w.comp().clipCount(), w.frame->PaneText(0), w.frame->PaneText(1),
                       w.frame->PaneText(4), w.action("actionUndo")->isEnabled(),
                       w.action("actionHideClip")->isEnabled()),
            std::tuple(6, QStringLiteral("zoom: 100%"), QStringLiteral("Frame: 1"),
                       QStringLiteral("inch"), false, false));
  // New and Open are told apart by their pictures, in the menu and on the toolbar.
  EXPECT_NE(w.action("actionNew")->icon().pixmap(24).toImage(),
            w.action("actionOpen")->icon().pixmap(24).toImage());
  // Frame keys, and the strip of the timeline.
  w.Key(Qt::Key_End);
  EXPECT_EQ(w.comp().currentFrame, kMovieFrames - 1);
  w.Key(Qt::Key_Left);
  EXPECT_EQ(w.frame->PaneText(1), QStringLiteral("Frame: 29"));
  QTest::mouseClick(w.timeline().viewport(), Qt::LeftButton, {},
                    QPoint(w.timeline().FrameX(4) + 3, 8));
  EXPECT_EQ(w.comp().currentFrame, 4);
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("movie.cmp - Quenda Composer"));
  for (QSize size : {QSize(420, 420), QSize(1400, 1000)}) {
    w.frame->resize(size);
    QApplication::processEvents();
    w.action("actionFitInWindow")->trigger();
    // The room without scroll bars reaches the zoom arithmetic, which has its own test.
    const QSize room = w.view().fullViewportSize();
    EXPECT_EQ(LevelOfZoom(w.comp().viewZoom),
              FittingZoomLevel(kMovieWidth, kMovieHeight, room.width(), room.height()));
    EXPECT_EQ(w.frame->PaneText(0), QStringLiteral("zoom: %1%").arg(int(w.comp().viewZoom * 100)));
  }
  EXPECT_GT(w.comp().viewZoom, 1);  // the large window shows the movie magnified
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("movie.cmp* - Quenda Composer"));
}

TEST(ComposerWindow, DragsInEveryModeSetTheSelectedClipsKeys) {
  ComposerWindow w;
  ClickRow(w, kWalk);
  ASSERT_EQ(w.comp().SelectedIndex(), kWalk);
  const QPoint from = w.view().viewport()->rect().center();
  // The mode's key, the pointer's travel, and the values the walk clip (50 x 30, at 100, 50)
  // then has: position X, Y, scale X, Y, rotation.
  const std::tuple<Qt::Key, QPoint, std::array<double, 5>> cases[] = {
      {Qt::Key_F1, {10, -6}, {110, 56, 1, 1, 0}},    {Qt::Key_F5, {7, 9}, {107, 50, 1, 1, 0}},
      {Qt::Key_F6, {7, -9}, {100, 59, 1, 1, 0}},     {Qt::Key_F2, {10, -6}, {100, 50, 1.2, 1.2, 0}},
      {Qt::Key_F3, {10, 6}, {100, 50, 1.2, 0.8, 0}}, {Qt::Key_F4, {25, 0}, {100, 50, 1, 1, 0.5}},
  };
  for (const auto& [key, travel, values] : cases) {
    w.Key(key);
    w.Drag({from, from + travel / 2, from + travel});
    for (int t = 0; t < kTrackCount; ++t) EXPECT_NEAR(w.Value(kWalk, t), values[t], 1e-5) << key;
    EXPECT_TRUE(w.doc().modified());
    w.Key(Qt::Key_Z, Qt::ControlModifier);  // back to where it was
    EXPECT_DOUBLE_EQ(w.Value(kWalk, kPositionX), 100);
  }
  // At zoom 2 ten screen pixels are five movie pixels; the status bar shows inches.
  w.Key(Qt::Key_F1);
  w.Key(Qt::Key_Plus);
  w.Drag({from, from + QPoint(10, 0)});
  EXPECT_EQ(std::tuple(w.frame->PaneText(0), w.Value(kWalk, kPositionX), w.frame->PaneText(2)),
            std::tuple(QStringLiteral("zoom: 200%"), 105.0, QStringLiteral("PositionX:  1.05")));
  // Select mode picks the clip furthest back under the pointer: the sky behind the title.
  w.Key(Qt::Key_S);
  const QPointF title = w.view().MovieToWindow(50, 80);
  QTest::mouseClick(w.view().viewport(), Qt::LeftButton, {}, title.toPoint());
  EXPECT_EQ(w.comp().SelectedIndex(), kSky);
}

TEST(ComposerWindow, KeysAndParentsThroughTheirDialogsAndTheTimeline) {
  ComposerWindow w;
  ClickRow(w, kWalk);
  QTest::mouseClick(w.timeline().viewport(), Qt::LeftButton, {},
                    QPoint(w.timeline().FrameX(5) + 3, 8));
  WhenModal<WhichKeyDialog>([](WhichKeyDialog* d) { PickRow(d, QStringLiteral("Scale")); });
  w.Key(Qt::Key_Insert);
  EXPECT_EQ(
      std::tuple(w.comp().clips[kWalk].HasScaleKey(5), w.comp().clips[kWalk].HasPositionKey(5)),
      std::tuple(true, false));

  // Edit: a key time out of the movie is refused and the dialog stays; then the key moves.
  WhenModal<WhichKeyDialog>([](WhichKeyDialog* d) {
    EXPECT_EQ(d->list()->count(), 1);
    d->accept();
  });
  bool refused = false;
  WhenModal<KeyEditDialog>([&](KeyEditDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Edit Key"));
    EXPECT_EQ(d->label("valueA")->text(), QStringLiteral("ScaleX"));
    d->field("keyTime")->setText(QStringLiteral("31"));
    d->accept();
    refused = d->isVisible();
    d->field("keyTime")->setText(QStringLiteral("8"));
    d->field("valueA")->setText(QStringLiteral("2.5"));
    d->accept();
  });
  w.Key(Qt::Key_E);
  EXPECT_TRUE(refused);
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{"Please enter a key time between 1 and 30"});
  const ClipRecord& walk = w.comp().clips[kWalk];
  EXPECT_EQ(std::tuple(walk.HasScaleKey(5), walk.tracks[kScaleX].keys().back().value,
                       walk.tracks[kScaleX].keys().back().frame),
            std::tuple(false, 2.5, 7));

  // Ctrl+Right finds it; Delete Key removes it.
  w.Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(w.comp().currentFrame, 7);
  WhenModal<WhichKeyDialog>([](WhichKeyDialog* d) { PickRow(d, QStringLiteral("Scale")); });
  w.Key(Qt::Key_Delete);
  EXPECT_FALSE(w.comp().clips[kWalk].HasScaleKey(7));

  // A double click on a key mark edits it: here the effect's, with the effect's labels and
  // ranges; a typed value beyond its slider is refused and the dialog stays.
  w.prompt.Clear();
  refused = false;
  WhenModal<KeyEditDialog>([&](KeyEditDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Effect Edit Key"));
    EXPECT_EQ(d->label("valueA")->text(), QStringLiteral("Hue"));
    EXPECT_EQ(d->label("valueB")->text(), QStringLiteral("Saturation"));
    d->field("valueB")->setText(QStringLiteral("128"));
    d->accept();
    refused = d->isVisible();
    d->field("valueB")->setText(QStringLiteral("-127"));
    d->slider("valueASlider")->setValue(60);
    d->accept();
  });
  QTest::mouseDClick(w.timeline().viewport(), Qt::LeftButton, {}, w.timeline().KeyMark(kHue, 0));
  EXPECT_TRUE(refused);
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Please enter a value between -127 and 127 for Saturation."});
  EXPECT_EQ(std::tuple(w.Value(kHue, 0), w.Value(kHue, 1)), std::tuple(60.0, -127.0));

  // Moving a parent carries its child; unparenting through the dialog keeps the title where it
  // is on screen.
  const double before = WorldTransformAt(w.comp(), kTitle, 0).x;
  ClickRow(w, kVirtual);
  const QPoint from = w.view().viewport()->rect().center();
  w.Drag({from, from + QPoint(20, 0)});
  EXPECT_DOUBLE_EQ(WorldTransformAt(w.comp(), kTitle, 0).x, before + 20);
  ClickRow(w, kTitle);
  WhenModal<PickListDialog>([](PickListDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Select Parent Clip"));
    EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("current"))->text(),
              QStringLiteral("*Virtual* (1)"));
    EXPECT_EQ(d->list()->count(), 3);  // <NONE>, walk (1), sky (1)
    PickRow(d, QStringLiteral("<NONE>"));
  });
  w.Key(Qt::Key_P);
  EXPECT_EQ(std::tuple(w.comp().clips[kTitle].parentIndex, w.Value(kTitle, kPositionX)),
            std::tuple(-1, before + 20));
}

TEST(ComposerWindow, ASequenceClipIsDraggedInTimeSettingsKeepItsKeysAndAPreviewStops) {
  ComposerWindow w;
  ClickRow(w, kWalk);
  CTimeView& t = w.timeline();
  const int y = t.RowRect(kWalk).center().y();
  const QPoint from(t.FrameX(2) + 5, y);
  QTest::mousePress(t.viewport(), Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(t.FrameX(5) + 5, y), QPointF(), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(t.viewport(), &move);
  QTest::mouseRelease(t.viewport(), Qt::LeftButton, {}, QPoint(t.FrameX(5) + 5, y));
  EXPECT_EQ(
      std::tuple(w.comp().clips[kWalk].movieStart,
                 w.comp().clips[kWalk].tracks[kPositionX].keys().front().frame, w.doc().modified()),
      std::tuple(3, 3, true));
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.comp().clips[kWalk].movieStart, 0);
  // No preview yet.
  w.action("actionShowLastPreview")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"There is no last preview!\n(" + w.dir.File("preview.avi") +
                                     " does not exist)"});
  EXPECT_TRUE(w.played.empty());
  // Movie Settings refuse to cut off a key.
  w.prompt.Clear();
  ASSERT_TRUE(w.doc().SetClipKey(kTitle, kRotation, Key{20, 1.0, 0, 0}));
  WhenModal<MovieSettingsDialog>([](MovieSettingsDialog* d) {
    d->field("frames")->setText(QStringLiteral("20"));
    d->accept();
  });
  w.action("actionMovieSettings")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{
                "There are keys in the cliped frames, first remove them to shorten the movie."});
  EXPECT_EQ(w.comp().frames, kMovieFrames);

  // Generate Preview stops when asked and still plays what it made.
  w.prompt.Clear();
  OpenMovieValues longer = CurrentMovieValues(w.comp());
  longer.frames = 3000;
  ASSERT_TRUE(w.doc().ApplySettings(longer));
  w.prompt.QueueAnswer(true);  // "Do you want to stop generating preview?"
  WhenModal<PreviewDialog>([](PreviewDialog* d) {
    EXPECT_EQ(d->field("endFrame")->text(), QStringLiteral("3000"));
    d->scaling(0)->setChecked(true);
    d->findChild<QPushButton*>(QStringLiteral("generate"))->click();
  });
  WhenModal<ProgressWindow>(
      [](ProgressWindow* d) { QTest::mouseClick(d->stopButton(), Qt::LeftButton); }, 0);
  w.Key(Qt::Key_Return);
  EXPECT_EQ(w.prompt.Texts().size(), 2u);  // the question and where it stopped
  EXPECT_EQ(w.played, std::vector<std::string>{w.dir.File("preview.avi")});
  EXPECT_GT(std::filesystem::file_size(w.dir.File("preview.avi")), 1000u);
}

TEST(ComposerWindow, HideShowLayerOrderAndKeysCopiedOntoAnotherClip) {
  ComposerWindow w;
  ClickRow(w, kWalk);
  const QImage shown = w.view().viewport()->grab().toImage();
  EXPECT_EQ(w.action("actionHideClip")->text(), QStringLiteral("&Hide Clip"));
  w.Key(Qt::Key_H);
  EXPECT_EQ(std::tuple(w.comp().clips[kWalk].hidden, w.action("actionHideClip")->text()),
            std::tuple(1, QStringLiteral("&Show Clip")));
  EXPECT_NE(w.view().viewport()->grab().toImage(), shown);
  w.Key(Qt::Key_H);
  EXPECT_EQ(w.view().viewport()->grab().toImage(), shown);
  w.Key(Qt::Key_PageUp);
  EXPECT_EQ(std::tuple(w.comp().clips[kHue].label, w.comp().SelectedIndex()),
            std::tuple("walk (1)", kHue));
  w.Key(Qt::Key_PageDown);
  EXPECT_EQ(w.comp().clips[kWalk].label, "walk (1)");
  w.Key(Qt::Key_Up);
  EXPECT_EQ(w.comp().SelectedIndex(), kHue);
  // Keys copied from one clip paste onto another.
  ClickRow(w, kWalk);
  w.Key(Qt::Key_C, Qt::ControlModifier);
  ClickRow(w, kTitle);
  w.doc().GoToFrame(3);
  w.Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(std::tuple(w.Value(kTitle, kPositionX, 3), w.Value(kTitle, kPositionY, 3)),
            std::tuple(100.0, 50.0));
}

TEST(ComposerWindow, TheViewAtOneToOneShowsTheRenderedFrameEvenAfterADrag) {
  ComposerWindow w;
  for (const char* overlay : {"actionLabels", "actionSafeFrame", "actionRuler"})
    w.action(overlay)->trigger();
  w.action("actionAntialias")->trigger();
  w.view().resize(400, 300);
  auto expectRendered = [&](const char* when) {
    RenderOutputSettings best = DefaultRenderOutputSettings(w.comp());
    Raster rendered = RenderPicture(w.comp(), best, w.comp().currentFrame + 1);
    const QImage shown = w.view().viewport()->grab().toImage();
    const QPoint origin = w.view().MovieToWindow(0, kMovieHeight).toPoint();
    int differing = 0;
    for (int y = 0; y < kMovieHeight; ++y)
      for (int x = 0; x < kMovieWidth; ++x) {
        const uint8_t* p = rendered.At(x, kMovieHeight - 1 - y);
        differing += shown.pixel(origin + QPoint(x, y)) != qRgb(p[2], p[1], p[0]);
      }
    EXPECT_EQ(differing, 0) << when;
  };
  ASSERT_TRUE(w.comp().antialias);
  expectRendered("opened");
  const int wholeFrames = w.view().frameCache().fullComposites();
  ClickRow(w, kWalk);
  const QPoint from = w.view().viewport()->rect().center();
  w.Key(Qt::Key_F4);
  w.Drag({from, from + QPoint(9, 0)});
  w.Key(Qt::Key_F1);
  w.Drag({from, from + QPoint(-13, 7)});
  w.doc().Select(-1);  // nothing selected: no outline over the picture
  EXPECT_EQ(w.view().frameCache().fullComposites(), wholeFrames);  // the drags redrew parts only
  expectRendered("dragged");
}

TEST(ComposerWindow, Screenshots) {
  ComposerWindow w;
  ClickRow(w, kTitle);
  w.doc().GoToFrame(2);
  QTest::qWait(20);
  testing::SaveScreenshot(*w.frame, "composer_window.png");
  auto shoot = [&](const char* file) {
    WhenModal<KeyEditDialog>([file](KeyEditDialog* d) {
      testing::SaveScreenshot(*d, QLatin1String(file));
      d->reject();
    });
  };
  w.doc().GoToFrame(0);
  WhenModal<WhichKeyDialog>([](WhichKeyDialog* d) { PickRow(d, QStringLiteral("Position")); });
  shoot("composer_position_key.png");
  w.Key(Qt::Key_E);
  ClickRow(w, kBlur);
  shoot("composer_effect_key.png");
  w.Key(Qt::Key_E);
}

}  // namespace
}  // namespace quenda

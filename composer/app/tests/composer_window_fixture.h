#pragma once
// A composer window for the window tests: a generated composition (three image clips, one
// virtual parent, two effects) saved to disk and opened as from the command line, scripted
// questions, a profile of its own, and previews that are recorded instead of played.
//
// Layers, front to back: 0 the virtual parent, 1 "title" (a 32-bit picture, its child),
// 2 Blur and 3 Hue & Saturation (acting on 4), 4 "walk" (a sequence of five 24-bit pictures),
// 5 "sky" (a 24-bit picture as large as the movie).

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "composer/app/composer_frame.h"
#include "composer/app/composer_view.h"
#include "composer/app/time_view.h"
#include "composer/tests/composer_test_files.h"
#include "testing/qt_printers.h"
#include "testing/test_support.h"
#include "ui/settings.h"
#include "ui/tests/modal_helper.h"

namespace quenda::testing {

inline constexpr int kMovieWidth = 160;
inline constexpr int kMovieHeight = 120;
inline constexpr int kMovieFrames = 30;
enum Layer { kVirtual = 0, kTitle = 1, kBlur = 2, kHue = 3, kWalk = 4, kSky = 5 };

struct ComposerWindow {
  ComposerWindow() : settings(QStringLiteral("composer"), QString::fromStdString(dir.path())) {
    WriteClipImage(dir.File("title.tga"), 60, 40, 32, 1);
    WriteClipSequence(dir.path(), "walk", 3, 1, 5, 50, 30);
    WriteClipImage(dir.File("sky.tga"), kMovieWidth, kMovieHeight, 24, 3);
    cmp = dir.File("movie.cmp");
    MakeComposition();
    frame = std::make_unique<CComposerFrame>(&prompt, &settings);
    frame->SetPreviewPath(dir.File("preview.avi"));
    frame->SetMoviePlayer([this](const std::string& path) { played.push_back(path); });
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_TRUE(frame->OpenFile(QString::fromStdString(cmp)));
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  // Built with the document's own commands, as a user would, and saved.
  void MakeComposition() {
    ScriptedPrompt quiet;
    CComposerDoc doc(quiet);
    StartNewMovie(doc, kMovieWidth, kMovieHeight, kMovieFrames, 0x00402010);
    EXPECT_TRUE(doc.AddClipFromFile(dir.File("sky.tga")));
    EXPECT_TRUE(doc.AddClipFromFile(dir.File("walk002.tga")));
    EXPECT_TRUE(doc.AddEffectClip(ClipKind::Blur));
    EXPECT_TRUE(doc.AddEffectClip(ClipKind::HueSaturation));
    doc.Select(0);
    EXPECT_TRUE(doc.AddClipFromFile(dir.File("title.tga")));
    EXPECT_TRUE(doc.AddVirtualParent());
    doc.Select(kTitle);
    EXPECT_TRUE(doc.ChooseParent(kVirtual));
    auto key = [&](int clip, int track, double value) {
      EXPECT_TRUE(doc.SetClipKey(clip, track, quenda::Key{0, value, 0, 0}));
    };
    key(kHue, 0, 40), key(kHue, 1, 30), key(kBlur, 0, 2), key(kBlur, 1, 1);
    key(kTitle, kPositionX, -30), key(kTitle, kPositionY, 20);
    key(kWalk, kPositionX, 100), key(kWalk, kPositionY, 50);
    doc.Select(-1);
    EXPECT_TRUE(doc.Save(cmp));
  }

  CComposerDoc& doc() { return frame->document(); }
  const Composition& comp() { return doc().composition(); }
  CComposerView& view() { return *frame->composerView(); }
  CTimeView& timeline() { return *frame->timeView(); }
  QAction* action(const char* name) { return frame->Action(name); }
  // Shortcuts reach only the active window, which a closed dialog does not always give back.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    if (QApplication::activeWindow() != frame.get()) {
      frame->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    QTest::keyClick(frame.get(), key, modifiers);
  }
  double Value(int clip, int track, int frame = 0) {
    return comp().clips[std::size_t(clip)].tracks[std::size_t(track)].Evaluate(frame);
  }
  // Press at the first window point of the composition view, move through the rest, release
  // at the last.
  void Drag(const std::vector<QPoint>& path) {
    QWidget* surface = view().viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, path.front());
    for (std::size_t i = 1; i < path.size(); ++i) {
      QMouseEvent move(QEvent::MouseMove, QPointF(path[i]), surface->mapToGlobal(QPointF(path[i])),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, {}, path.back());
  }

  TempDir dir;
  ScriptedPrompt prompt;
  Settings settings;
  std::string cmp;
  std::unique_ptr<CComposerFrame> frame;
  std::vector<std::string> played;
};

// Clicks the timeline row of `clip`, which selects it.
inline void ClickRow(ComposerWindow& w, int clip) {
  QTest::mouseClick(w.timeline().viewport(), Qt::LeftButton, {},
                    QPoint(40, w.timeline().RowRect(clip).center().y()));
}

}  // namespace quenda::testing

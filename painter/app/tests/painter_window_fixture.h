#pragma once
// The painter window of the window tests, and helpers that find pixels on screen.

#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <vector>

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

#include "common/scripted_prompt.h"
#include "painter/app/color_view.h"
#include "painter/app/main_frame.h"
#include "painter/app/painter_dialogs.h"
#include "painter/app/painter_view.h"
#include "painter/app/time_view.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/qt_printers.h"
#include "testing/test_support.h"
#include "ui/progress_window.h"
#include "ui/recent_files.h"
#include "ui/settings.h"
#include "ui/tests/modal_helper.h"

namespace quenda::testing {

inline constexpr int kWidth = 120;
inline constexpr int kHeight = 90;

// A painter window over a freshly analyzed three-frame sequence, opened as from the command
// line, with scripted messages (or `messages`, which must outlive the window) and a profile of
// its own.
struct PainterWindow {
  explicit PainterWindow(Prompt* messages = nullptr)
      : settings(QStringLiteral("painter"), QString::fromStdString(dir.path())) {
    // The strip's icon cache stays inside the test's folder.
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.path() + "cache"));
    first = testing::WriteAnalyzedSequence(dir.path(), "walk", 3, kWidth, kHeight);
    frame = std::make_unique<CMainFrame>(messages != nullptr ? messages : &prompt, &settings);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_TRUE(frame->OpenFile(QString::fromStdString(first)));
    // Shortcuts reach only the active window.
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  CPainterDoc& doc() { return frame->document(); }
  CPainterView& view() { return *frame->pictureView(); }
  QAction* action(const char* name) { return frame->Action(name); }
  QMenu* RecentMenu() {
    for (QMenu* menu : frame->findChildren<QMenu*>())
      if (menu->title() == QStringLiteral("Recent &Files")) return menu;
    ADD_FAILURE() << "no Recent Files menu";
    return nullptr;
  }

  // The window point that shows image pixel (x, y).
  QPoint WindowOf(int x, int y) { return view().ImageToWindow(QRect(x, y, 1, 1)).center(); }
  QImage Grab() { return view().viewport()->grab().toImage(); }
  QColor ShownAt(int x, int y) { return QColor(Grab().pixel(WindowOf(x, y))); }
  QColor Entry(int index) {
    const ColorEntry& entry = doc().colors().entries[std::size_t(index)];
    return QColor(entry.red, entry.green, entry.blue);
  }
  // A pixel of the largest region other than the background whose eight neighbours are in
  // that region too, none of them on a line.
  std::pair<int, ImagePoint> LargestInnerRegion() {
    const PainterFrame& f = doc().frame();
    std::vector<int> area(std::size_t(f.regionCount()) + 2, 0);
    for (std::size_t i = 0; i < f.PixelCount(); ++i) {
      if ((f.region.flags[i] & kFlagRegionLine) == 0) ++area[f.region.regionMap[i]];
    }
    const int best = int(std::max_element(area.begin() + 2, area.end()) - area.begin());
    auto inside = [&](int x, int y) {
      const std::size_t i = f.Index(x, y);
      return f.region.regionMap[i] == best && (f.region.flags[i] & kFlagRegionLine) == 0;
    };
    for (int y = 1; y + 1 < f.height; ++y) {
      for (int x = 1; x + 1 < f.width; ++x) {
        bool all = true;
        for (int k = 0; k < 9; ++k) all = all && inside(x + k % 3 - 1, y + k / 3 - 1);
        if (all) return {best, ImagePoint{x, y}};
      }
    }
    ADD_FAILURE() << "no inner pixel";
    return {best, ImagePoint{}};
  }
  // Press at the first window point, move through the rest, release at the last.
  void Drag(const std::vector<QPoint>& path, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(view().viewport(), button, {}, path.front());
    for (std::size_t i = 1; i < path.size(); ++i) QTest::mouseMove(view().viewport(), path[i]);
    QTest::mouseRelease(view().viewport(), button, {}, path.back());
  }
  // A RegionFill drag from beyond one corner of the picture to beyond the other.
  void FillAll() {
    Drag({view().ImageToWindow(QRect(0, kHeight - 1, 1, 1)).topLeft() - QPoint(3, 3),
          view().ImageToWindow(QRect(kWidth - 1, 0, 1, 1)).bottomRight() + QPoint(3, 3)});
  }
  void Click(Qt::MouseButton button, ImagePoint at) {
    QTest::mouseClick(view().viewport(), button, {}, WindowOf(at.x, at.y));
  }
  void Hover(QPoint window) { QTest::mouseMove(view().viewport(), window); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(frame.get(), key, modifiers);
  }

  testing::TempDir dir;
  ScriptedPrompt prompt;
  Settings settings;
  std::string first;
  std::unique_ptr<CMainFrame> frame;
};

}  // namespace quenda::testing

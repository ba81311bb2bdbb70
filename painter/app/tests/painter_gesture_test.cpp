// Gestures cut short: a tool key, a frame key or a modal message arriving while the button is
// down ends the gesture in hand first, so undo stays whole and no stroke lands elsewhere.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "painter/app/tests/painter_window_fixture.h"

namespace quenda {
namespace {

using testing::kHeight;
using testing::kWidth;
using testing::PainterWindow;

// A tool key pressed while the button is down ends the old tool's gesture first: a stroke is
// kept as far as it went and undone in one step; a rectangle not yet let go is dropped. The
// rest of the drag paints nothing in the new tool.
TEST(PainterWindow, AToolKeyDuringADragEndsTheGestureOfTheOldToolAndUndoStaysWhole) {
  PainterWindow w;
  w.doc().SetCurrentColor(3);
  QWidget* surface = w.view().viewport();
  const PainterFrame& f = w.doc().frame();
  const RegionData original = f.region;
  const std::vector<QPoint> first = {w.WindowOf(5, 45), w.WindowOf(60, 45)};
  const std::vector<QPoint> rest = {w.WindowOf(60, 30), w.WindowOf(110, 30)};

  // What the rubber stroke alone makes.
  w.Key(Qt::Key_H);
  w.Drag(first);
  const RegionData rubbed = f.region;
  ASSERT_NE(rubbed, original);
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(f.region, original);

  const struct {
    Qt::Key tool, switchTo;
    bool kept;  // the gesture's work stays
  } kCases[] = {{Qt::Key_H, Qt::Key_F, true}, {Qt::Key_G, Qt::Key_J, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(int(c.tool));
    w.Key(c.tool);
    QTest::mousePress(surface, Qt::LeftButton, {}, first.front());
    QTest::mouseMove(surface, first.back());
    w.Key(c.switchTo);
    for (QPoint at : rest) QTest::mouseMove(surface, at);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, rest.back());
    EXPECT_EQ(f.region == (c.kept ? rubbed : original), true);
    w.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.region == original, true);
  }
  // A pen stroke is finished where it was when the key came: its line splits regions.
  const int regions = f.regionCount();
  w.Key(Qt::Key_S);
  const int y = kHeight / 2;
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(0, y));
  QTest::mouseMove(surface, w.WindowOf(kWidth / 2, y));
  QTest::mouseMove(surface, w.WindowOf(kWidth - 1, y));
  w.Key(Qt::Key_A);
  QTest::mouseMove(surface, w.WindowOf(kWidth - 1, 5));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(kWidth - 1, 5));
  EXPECT_GT(f.regionCount(), regions);
  EXPECT_EQ(w.doc().tool(), PainterTool::RegionFill);
  EXPECT_EQ(f.region.flags[f.Index(kWidth - 1, 5)] & kFlagRegionPen, 0);
}

// A frame key in the middle of a stroke ends it on its own frame, saved there; the rest of the
// drag paints nothing on the frame the key went to.
TEST(PainterWindow, AFrameKeyDuringADragKeepsTheStrokeOnItsOwnFrame) {
  PainterWindow w;
  QWidget* surface = w.view().viewport();
  w.Key(Qt::Key_Right);
  const RegionData next = w.doc().frame().region;
  w.Key(Qt::Key_Left);
  const RegionData original = w.doc().frame().region;
  w.Key(Qt::Key_H);
  QTest::mousePress(surface, Qt::LeftButton, {}, w.WindowOf(5, 45));
  QTest::mouseMove(surface, w.WindowOf(60, 45));
  w.Key(Qt::Key_Right);
  ASSERT_EQ(w.doc().currentFrame(), 1);
  for (QPoint at : {w.WindowOf(60, 30), w.WindowOf(110, 30)}) QTest::mouseMove(surface, at);
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.WindowOf(110, 30));
  EXPECT_EQ(w.doc().frame().region == next, true);
  w.Key(Qt::Key_Left);
  EXPECT_EQ(w.doc().frame().region == original, false);
}

// Shows each message as a modal box, counting them. The user lets go of the button while the
// box is up, so the release goes to the box and never reaches the painter, and then closes it.
class ModalMessagePrompt final : public Prompt {
 public:
  void Message(std::string_view, MessageIcon) override {
    ++messages;
    QDialog box;
    box.setModal(true);
    QTimer::singleShot(0, &box, [&] {
      if (whileShown) whileShown();
      box.accept();
    });
    box.exec();
  }
  bool AskYesNo(std::string_view) override { return false; }
  bool AskOkCancel(std::string_view) override { return false; }
  std::optional<std::string> PickFile(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> PickDirectory(std::string_view, std::string_view) override {
    return std::nullopt;
  }

  int messages = 0;
  std::function<void()> whileShown;
};

TEST(PainterWindow, AReleaseTakenByTheTransparentBrushMessageEndsTheStroke) {
  ModalMessagePrompt boxes;
  PainterWindow w(&boxes);
  w.Key(Qt::Key_F);
  ASSERT_EQ(w.doc().currentColor(), kTransparentColor);
  // Real window-system events, so that the modal box can hold them back as it does for a user.
  QWindow* window = w.frame->windowHandle();
  auto at = [&](int x, int y) {
    return w.view().viewport()->mapTo(w.frame.get(), w.WindowOf(x, y));
  };
  boxes.whileShown = [&] { QTest::mouseRelease(window, Qt::LeftButton, {}, at(30, 12)); };
  QTest::mousePress(window, Qt::LeftButton, {}, at(10, 10));
  QTest::mouseMove(window, at(30, 12));
  EXPECT_EQ(boxes.messages, 1);
  // The mouse moves on with no button down: no stroke, no box.
  for (int x : {40, 50, 60}) QTest::mouseMove(window, at(x, 14));
  EXPECT_EQ(boxes.messages, 1);
  // Nor does it paint once a colour is chosen.
  const std::vector<uint16_t> before = w.doc().frame().region.animColor;
  w.doc().SetCurrentColor(3);
  for (int x : {40, 50, 60}) QTest::mouseMove(window, at(x, 30));
  EXPECT_EQ(w.doc().frame().region.animColor, before);
}

}  // namespace
}  // namespace quenda

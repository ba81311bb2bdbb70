// Frames > Next Unpainted in the window: the menu entry with its key, the frame it shows, the
// region it frames on screen, and the message once only specks are left.
#include <gtest/gtest.h>

#include <QMenuBar>

#include "painter/app/tests/painter_window_fixture.h"
#include "painter/core/next_unpainted.h"

namespace quenda {
namespace {

using testing::PainterWindow;

// Pixels of the selection frame's dashes on screen.
int SelectionPixels(PainterWindow& w) {
  const QImage shown = w.Grab();
  int count = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (QColor(shown.pixel(x, y)) == QColor(230, 0, 120)) ++count;
  return count;
}

TEST(PainterNextUnpainted, TheFramesMenuAndItsKeyGoThroughTheSequenceToTheLastRegion) {
  PainterWindow w;
  QMenu* frames = nullptr;
  for (QAction* top : w.frame->menuBar()->actions())
    if (top->text() == QStringLiteral("F&rames")) frames = top->menu();
  ASSERT_NE(frames, nullptr);
  QAction* next = w.action("actionNextUnpainted");
  ASSERT_TRUE(frames->actions().contains(next));
  EXPECT_EQ(std::pair(next->text(), next->shortcut()),
            std::pair(QStringLiteral("Next &Unpainted"), QKeySequence(Qt::Key_N)));
  EXPECT_TRUE(next->isEnabled());

  // Frame 1 all painted; the others have no paint yet.
  w.doc().SetCurrentColor(3);
  w.FillAll();
  ASSERT_EQ(LargestUnpaintedRegion(w.doc().frame(), w.doc().speckSize()).region, 0);
  EXPECT_EQ(SelectionPixels(w), 0);
  w.Key(Qt::Key_N);
  EXPECT_EQ(w.doc().currentFrame(), 1);
  const UnpaintedRegion largest = LargestUnpaintedRegion(w.doc().frame(), w.doc().speckSize());
  ASSERT_NE(largest.region, 0);
  EXPECT_EQ(w.doc().selectedRegion(), largest.region);
  EXPECT_GT(SelectionPixels(w), 0) << "the selected region is framed";
  // Filled, its frame goes; the key goes on through the menu's action, to frame 3.
  w.FillAll();
  EXPECT_EQ(SelectionPixels(w), 0);
  next->trigger();
  EXPECT_EQ(w.doc().currentFrame(), 2);
  w.FillAll();
  w.prompt.Clear();
  w.Key(Qt::Key_N);
  EXPECT_EQ(w.doc().currentFrame(), 2);
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{std::string(kNothingUnpaintedText)});
}

}  // namespace
}  // namespace quenda

// Crash recovery in the painter: a run killed with paint it had not written gives the paint
// back at the next start (Restore), or forgets it (Discard).

#include <gtest/gtest.h>

#include <QAction>

#include "common/file_io.h"
#include "common/paint_file.h"
#include "painter/app/main_frame.h"
#include "painter/app/painter_view.h"
#include "painter/tests/painter_test_frames.h"
#include "ui/tests/kill_test.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr int kWidth = 120;
constexpr int kHeight = 90;

// The painter's window on the test's folder: its profile, icon cache and recovery copies there.
struct PainterOn : WindowOn<CMainFrame> {
  explicit PainterOn(const std::string& folder)
      : WindowOn(folder, "painter", [&folder](ScriptedPrompt& prompt, Settings& settings) {
          qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(folder + "cache"));
          return std::make_unique<CMainFrame>(&prompt, &settings);
        }) {}
};

// The crashing run: on the second drawing, fills every region with colour 3 by a drag across
// the picture, and is killed before it leaves the frame.
QUENDA_CRASHING_RUN(PainterPaintsASecondFrameAndIsKilled) {
  PainterOn w(folder);
  w.frame->recovery().SetInterval(20);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(folder + "walk1.qds")));
  w.frame->Action("actionNextFrame")->trigger();
  ASSERT_EQ(w.doc().currentFrame(), 1);
  w.doc().SetCurrentColor(3);
  CPainterView& view = *w.frame->pictureView();
  const QPoint from = view.ImageToWindow(QRect(0, kHeight - 1, 1, 1)).topLeft() - QPoint(3, 3);
  const QPoint to = view.ImageToWindow(QRect(kWidth - 1, 0, 1, 1)).bottomRight() + QPoint(3, 3);
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(view.viewport(), to);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
  ASSERT_TRUE(w.doc().frameModified());
  // Written by the timer, as every two minutes in use.
  ASSERT_TRUE(WaitWithEvents([&] { return w.frame->recovery().written(); }));
  WriteBytes(folder + "expected.pnt", EncodePaintFile(w.doc().frame().regionColor));
  SayReadyAndWaitForTheKill(folder);
}

class PainterKill : public KillTest {
 protected:
  PainterKill() : KillTest(QStringLiteral("walk2.qds")) {}
  void SetUp() override {
    WriteAnalyzedSequence(dir.path(), "walk", 3, kWidth, kHeight);
    ASSERT_NO_FATAL_FAILURE(Crash("PainterPaintsASecondFrameAndIsKilled"));
    expected = ReadBytes(dir.File("expected.pnt"));
    ASSERT_FALSE(expected.empty());
    // The paint never reached the drawing's own file.
    ASSERT_NE(ReadBytes(dir.File("walk2.pnt")), expected);
    ASSERT_EQ(ListRecoverable(dir.File("recovery"), "painter").size(), 1u);
  }
  std::vector<uint8_t> expected;
};

TEST_F(PainterKill, RestoreGivesThePaintBackUnsavedUntilTheFrameIsLeft) {
  PainterOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  EXPECT_EQ(w.doc().currentFrame(), 1);
  EXPECT_TRUE(w.doc().frameModified());
  EXPECT_EQ(EncodePaintFile(w.doc().frame().regionColor), expected);
  EXPECT_TRUE(w.prompt.Texts().empty());
  // The crashed run's copy is gone; this run keeps the changes under its own.
  EXPECT_TRUE(ListRecoverable(dir.File("recovery"), "painter").empty());
  EXPECT_TRUE(w.frame->recovery().written());

  // Leaving the frame writes it, and the copy goes with the unsaved change.
  w.frame->Action("actionNextFrame")->trigger();
  EXPECT_EQ(ReadBytes(dir.File("walk2.pnt")), expected);
  EXPECT_FALSE(w.frame->recovery().written());
}

TEST_F(PainterKill, DiscardRemovesTheCopyAndOpensNothing) {
  PainterOn w(dir.path());
  Answer(&RecoveryDialog::discardButton);
  EXPECT_FALSE(w.frame->OfferRecovery());
  EXPECT_FALSE(w.doc().sequenceOpen());
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_NE(ReadBytes(dir.File("walk2.pnt")), expected);
}

TEST_F(PainterKill, LaterKeepsTheCopyForTheNextStart) {
  {
    PainterOn w(dir.path());
    Answer(&RecoveryDialog::laterButton);
    EXPECT_FALSE(w.frame->OfferRecovery());
    // This run paints another frame and ends cleanly: its own copy goes, the old one stays.
    ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(dir.File("walk1.qds"))));
    w.frame->close();
  }
  EXPECT_EQ(ListRecoverable(dir.File("recovery"), "painter").size(), 1u);
  EXPECT_EQ(ListDirectory(dir.File("recovery")).size(), 1u);
}

}  // namespace
}  // namespace quenda

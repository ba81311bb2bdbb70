// Sequence paint in the analyzer's window on a generated three-frame sequence, through its menus,
// keys and dialogs: auto fill from the previous frame and from a frame typed into "Frame No?",
// the render, and the files left when sequence paint ends.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "analyzer/app/sequence_dialogs.h"
#include "analyzer/app/startup_picture.h"
#include "analyzer/app/tests/analyzer_window.h"
#include "cli/tests/tool_run.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

// The sample sequence analyzed by the tool, the window active.
struct SequenceWindow : testing::AnalyzerWindow {
  SequenceWindow() {
    const cli::ToolOutput run = cli::RunTool({"analyze", dir.File("walk1.qds"), "--yes"});
    EXPECT_EQ(run.code, 0) << run.err;
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }
  // A key to the window, made active again after the dialogs it showed.
  void Press(Qt::Key key) {
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), key);
  }
  // Which top-level menus show, by title.
  QStringList Menus() const {
    QStringList shown;
    for (QAction* top : frame->menuBar()->actions())
      if (top->isVisible()) shown << top->text();
    return shown;
  }
  // "Frame No?" (or another one-field dialog) answered with each text in turn; the dialog is
  // expected to stay open with its message after each refused text and to close on the last.
  void AnswerFrameNumber(QStringList texts) {
    WhenModal<EntryDialog>([this, texts](EntryDialog* dialog) {
      entryTitle = dialog->windowTitle();
      openBeforeLast = true;
      for (qsizetype i = 0; i < texts.size(); ++i) {
        if (!dialog->isVisible()) break;
        dialog->field()->setText(texts[i]);
        QTest::mouseClick(dialog->enterButton(), Qt::LeftButton);
        if (i + 1 < texts.size()) openBeforeLast = openBeforeLast && dialog->isVisible();
      }
      closedAfterLast = !dialog->isVisible();
      if (dialog->isVisible()) dialog->reject();
    });
  }
  // The colour the view shows at a pixel of some region painted `colour`, clear of lines.
  QColor ShownInRegionOf(int colour) {
    const WorkingImage& image = doc().image();
    const QPoint at = FirstPixel([&](std::size_t i) {
      return image.regionColor[image.regions.regionMap[i]] == colour &&
             !(image.regions.flags[i] & kFlagRegionLine);
    });
    return at.x() < 0 ? QColor() : ShownAt(at);
  }

  bool closedAfterLast = false;
  bool openBeforeLast = false;
  QString entryTitle;
};

TEST(SequencePaintWindow, StartupPictureGoesThenThreeFramesArePaintedThroughTheMenusAndKeys) {
  SequenceWindow w;
  QPointer<StartupPicture> picture = new StartupPicture(*w.frame);
  picture->show();
  EXPECT_TRUE(picture->isVisible());
  w.frame->Action("actionImageInfo")->trigger();  // a menu command reaches the menu bar's signal
  QTest::qWait(0);
  EXPECT_TRUE(picture.isNull() || !picture->isVisible());
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{"No Picture Loaded"});
  w.prompt.Clear();

  const QColor skin(250, 205, 170);
  ASSERT_TRUE(w.doc().AddColor("SKIN", skin.red(), skin.green(), skin.blue()));
  WhenModal<SequenceSelectionDialog>([&](SequenceSelectionDialog* dialog) {
    QTest::mouseClick(dialog->button(QStringLiteral("ACCEPT")), Qt::LeftButton);
    w.prompt.QueuePath(w.dir.File("walk1.qds"));
    QTest::mouseClick(dialog->button(QStringLiteral("Select a Sequence")), Qt::LeftButton);
    EXPECT_EQ(dialog->nameText(), QStringLiteral("walk"));
    w.prompt.QueueAnswer(true);
    QTest::mouseClick(dialog->button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  });
  w.frame->Action("actionSequencePaint")->trigger();
  ASSERT_TRUE(w.doc().sequencePainting());
  EXPECT_EQ(w.prompt.Texts(), (std::vector<std::string>{"You must open the base file first",
                                                        "Process with current color model?"}));
  const std::string painting =
      "Compatible Scanner :: Quenda Animation Paint System::Painting Frame--> ";
  EXPECT_EQ(w.Title(), painting + "walk1");
  EXPECT_EQ(w.Menus(), (QStringList{"&View", "&Sequence", "&AutoFill"}));

  // Every region but the background painted SKIN by clicking it.
  w.doc().SetCurrentColor(3);
  for (QPoint at : w.RegionPixels()) w.Click(at);
  ASSERT_EQ(w.doc().unfilledCount(), 0);

  w.Press(Qt::Key_Right);
  EXPECT_EQ(w.Title(), painting + "walk2");
  EXPECT_EQ(w.ShownInRegionOf(3), QColor());
  w.frame->Action("actionUsePreviousFrame")->trigger();
  EXPECT_EQ(w.ShownInRegionOf(3), skin);
  w.Press(Qt::Key_Z);  // without Ctrl: nothing
  EXPECT_EQ(w.ShownInRegionOf(3), skin);
  w.frame->activateWindow();
  QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.ShownInRegionOf(3), QColor());
  w.frame->Action("actionUsePreviousFrame")->trigger();
  EXPECT_EQ(w.ShownInRegionOf(3), skin);

  w.Press(Qt::Key_Down);
  EXPECT_EQ(w.doc().paintSequence()->current, 2);
  w.AnswerFrameNumber({"1"});
  w.frame->Action("actionUseAnyFrame")->trigger();
  EXPECT_TRUE(w.closedAfterLast);
  EXPECT_EQ(w.ShownInRegionOf(3), skin);
  testing::SaveScreenshot(*w.frame, "analyzer_sequence_paint.png");

  // Set Brush Size from the Brush menu inside the Sequence menu: out of range stays open.
  const QMenu* brush = w.frame->findChild<QMenu*>(QStringLiteral("menuBrush"));
  ASSERT_NE(brush, nullptr);
  EXPECT_TRUE(brush->actions().contains(w.frame->Action("actionSetBrushSize")));
  bool inSequenceMenu = false;
  for (QAction* top : w.frame->menuBar()->actions())
    if (top->text() == QStringLiteral("&Sequence"))
      inSequenceMenu = top->menu()->actions().contains(brush->menuAction());
  EXPECT_TRUE(inSequenceMenu);
  w.prompt.Clear();
  w.AnswerFrameNumber({"7", "x", "4"});
  w.frame->Action("actionSetBrushSize")->trigger();
  EXPECT_EQ(w.entryTitle, QStringLiteral("Brush Size?"));
  EXPECT_TRUE(w.openBeforeLast);
  EXPECT_TRUE(w.closedAfterLast);
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>(2, "Brush Size must be between 1 and 6"));
  EXPECT_EQ(w.doc().brushSize(), 4);

  // Go to Frame: each refused number is said, and the dialog waits for another.
  w.prompt.Clear();
  w.AnswerFrameNumber({"", "9", "2"});
  w.Press(Qt::Key_F1);
  EXPECT_EQ(w.entryTitle, QStringLiteral("Frame No?"));
  EXPECT_TRUE(w.openBeforeLast);
  EXPECT_TRUE(w.closedAfterLast);
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{"You must enter a frame number", "Value to high!"}));
  EXPECT_EQ(w.doc().paintSequence()->current, 1);

  // The render of frames 1 to 3, all painted by now, into a folder of its own.
  const std::string out = w.dir.File("out/");
  QDir().mkpath(QString::fromStdString(out));
  w.prompt.Clear();
  WhenModal<RenderSequenceDialog>([&](RenderSequenceDialog* dialog) {
    w.prompt.QueuePath(out);
    QTest::mouseClick(dialog->button(QStringLiteral("Select Output Directory")), Qt::LeftButton);
    dialog->header()->setText(QStringLiteral("shot"));
    dialog->start()->setText(QStringLiteral("1"));
    dialog->end()->setText(QStringLiteral("3"));
    QTest::mouseClick(dialog->button(QStringLiteral("RENDER")), Qt::LeftButton);
  });
  w.frame->Action("actionRenderSequence")->trigger();
  EXPECT_TRUE(w.prompt.Texts().empty()) << w.prompt.Texts().front();
  EXPECT_EQ(testing::ListDirectory(out),
            (std::vector<std::string>{"shot1.tga", "shot2.tga", "shot3.tga"}));
  EXPECT_EQ(w.Title(), painting + "walk2");

  // Closing the window asks as Exit Sequence Paint does; No keeps it open and painting.
  w.frame->close();
  EXPECT_TRUE(w.frame->isVisible());
  EXPECT_EQ(w.prompt.Texts().back(), "Are you sure you want to exit sequence paint?");
  w.prompt.QueueAnswer(true);
  w.frame->Action("actionExitSequencePaint")->trigger();
  EXPECT_FALSE(w.doc().sequencePainting());
  EXPECT_EQ(w.Title(), "Compatible Scanner :: Quenda Animation Paint System");
  EXPECT_TRUE(w.Menus().contains(QStringLiteral("&Regions")));
  EXPECT_FALSE(w.Menus().contains(QStringLiteral("&Sequence")));
}

}  // namespace
}  // namespace quenda

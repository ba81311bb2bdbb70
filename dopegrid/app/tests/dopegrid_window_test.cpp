// The exposure sheet's window: gestures, keys, menus and dialogs reach the document with the
// right arguments, and the file life around them. What the commands do to cells is the core
// tests' business; here a few results show that the right command ran on the right cells.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/app/dopegrid_dialogs.h"
#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/seq_view.h"
#include "dopegrid/app/tests/sheet_window.h"
#include "dopegrid/tests/sheet_test_support.h"
#include "ui/recent_files.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(DopegridWindow, OpensTheSheetWithItsPictureHolderAndStatusAndADoubleClickShowsTheCel) {
  SheetWindow w;
  EXPECT_EQ(std::tuple(w.frame->windowTitle(), w.frame->isWindowModified(),
                       w.frame->sequenceView()->count()),
            std::tuple(QStringLiteral("s.dgr[*] - Quenda Dopegrid"), false, 2));
  ASSERT_EQ(w.frame->pictureView()->count(), 6);
  EXPECT_EQ(
      std::tuple(w.frame->sequenceView()->item(1)->text(), w.frame->pictureView()->item(2)->text()),
      std::tuple(QStringLiteral("Bob"), QStringLiteral("A3")));
  EXPECT_EQ(LevelText(w.doc(), 0, 0, 4), "A1 \" A2 \"");
  EXPECT_EQ(w.frame->statusTexts(),
            (QStringList{"Sound Frame Rate : 25", "Total Frames : 100", "Current Frame : 1"}));
  EXPECT_EQ(w.frame->recentFiles().files(), QStringList{QString::fromStdString(w.path)});
  // Nothing to undo, no picture chosen to transfer; Cut needs a sequence, which there is.
  EXPECT_EQ(
      std::tuple(w.action("actionUndo")->isEnabled(), w.action("actionTransfer2")->isEnabled(),
                 w.action("actionCut")->isEnabled(), w.action("actionInsertMode")->isChecked()),
      std::tuple(false, false, true, true));
  EXPECT_TRUE(w.prompt.Texts().empty());

  // Choosing the other sequence lists its frames.
  w.frame->sequenceView()->setCurrentRow(1);
  EXPECT_EQ(std::tuple(w.doc().selectedSequence(), w.frame->pictureView()->item(0)->text()),
            std::tuple(1, QStringLiteral("B1")));

  w.Click(0, 1);
  w.Click(1, 4, Qt::ShiftModifier);
  SaveScreenshot(*w.frame, "dopegrid_window.png");

  // A double click shows the cel; an empty cell has none.
  QTest::mouseDClick(w.view().viewport(), Qt::LeftButton, {}, w.CellAt(1, 3));
  ASSERT_NE(w.frame->celWindow(), nullptr);
  EXPECT_EQ(std::tuple(w.frame->celWindow()->windowTitle(), w.frame->celWindow()->image().size(),
                       w.frame->celWindow()->facts().at(0)),
            std::tuple(QStringLiteral("Image Display"), QSize(96, 72), QStringLiteral("96x72")));

  w.Click(2, 0);
  EXPECT_FALSE(w.action("actionCelSource")->isEnabled());
  w.Key(Qt::Key_F3);  // disabled: nothing happens
  EXPECT_TRUE(w.prompt.Texts().empty());
}

TEST(DopegridWindow, ClicksDragsAndKeysSetTheCurrentCellAndTheSelection) {
  SheetWindow w;
  w.Click(1, 3);
  EXPECT_EQ(std::tuple(w.doc().currentLevel(), w.doc().currentFrame(), w.doc().selection(),
                       w.ShownAt(1, 3), w.frame->statusTexts().at(2)),
            std::tuple(1, 3, SheetSelection{1, 3, 1, 3}, QColor(128, 255, 128),
                       QStringLiteral("Current Frame : 4")));

  w.Click(2, 6, Qt::ShiftModifier);
  EXPECT_EQ(
      std::tuple(w.doc().selection(), w.doc().currentFrame(), w.ShownAt(2, 5), w.ShownAt(0, 5)),
      std::tuple(SheetSelection{1, 3, 2, 6}, 3, QColor(192, 192, 255), QColor(224, 224, 208)));

  // A drag from a cell upwards and to the left: the block between the two cells.
  QWidget* surface = w.view().viewport();
  QTest::mousePress(surface, Qt::LeftButton, {}, w.CellAt(2, 8));
  QTest::mouseMove(surface, w.CellAt(1, 9));
  QTest::mouseMove(surface, w.CellAt(0, 5));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, w.CellAt(0, 5));
  EXPECT_EQ(std::tuple(w.doc().selection(), w.doc().currentLevel()),
            std::tuple(SheetSelection{0, 5, 2, 8}, 2));

  // The level band selects the whole level.
  QTest::mouseClick(surface, Qt::LeftButton, {}, w.view().LevelHeadingRect(1).center());
  EXPECT_EQ(w.doc().selection(), (SheetSelection{1, 0, 1, 99}));

  // Arrows move the current cell, Shift with them grows the selection.
  w.Click(0, 2);
  w.view().setFocus();
  QTest::keyClick(&w.view(), Qt::Key_Down);
  QTest::keyClick(&w.view(), Qt::Key_Right);
  QTest::keyClick(&w.view(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(std::tuple(w.doc().currentLevel(), w.doc().currentFrame(), w.doc().selection()),
            std::tuple(1, 3, SheetSelection{1, 3, 1, 4}));
}

TEST(DopegridWindow, PicturesDraggedFromThePictureHolderAreTransferredOnTwos) {
  SheetWindow w;
  w.action("actionDrop2")->trigger();
  CSeqContentView& list = *w.frame->pictureView();
  list.item(3)->setSelected(true);
  list.item(4)->setSelected(true);
  EXPECT_EQ(w.doc().selectedPictures(), (std::vector<int>{3, 4}));
  EXPECT_TRUE(w.action("actionTransfer2")->isEnabled());
  // In insert mode the level's cells from the drop on move down by four.
  w.DropChosenPictures(0, 1);
  EXPECT_EQ(
      std::tuple(LevelText(w.doc(), 0, 0, 9), w.doc().currentFrame(), w.frame->isWindowModified()),
      std::tuple("A1 A4 \" A5 \" A1 A2 \" A3", 1, true));

  // Overwrite mode on level "default" through the menu's Transfer on 3s.
  w.Key(Qt::Key_Insert);
  EXPECT_FALSE(w.action("actionInsertMode")->isChecked());
  w.Click(2, 0);
  w.Key(Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(LevelText(w.doc(), 2, 0, 7), "A4 \" \" A5 \" \" .");
}

TEST(DopegridWindow, EditKeysAndTheTimingCommandsWorkOnTheSelectionAndClosingAsksFirst) {
  SheetWindow w;
  w.Click(0, 0);
  w.Click(0, 2, Qt::ShiftModifier);
  w.Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(LevelText(w.doc(), 0, 0, 5), ". . . A2 A3");
  EXPECT_TRUE(w.action("actionUndo")->isEnabled());
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(LevelText(w.doc(), 0, 0, 5), "A1 \" A2 \" A3");
  EXPECT_FALSE(w.action("actionUndo")->isEnabled());

  w.Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(w.action("actionUndo")->isEnabled());  // Copy changes nothing
  w.Click(2, 10);
  w.Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(LevelText(w.doc(), 2, 9, 5), ". A1 \" A2 .");
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(LevelText(w.doc(), 2, 9, 5), ". . . . .");

  // Condense, then Expand, then Reverse over frames 0..5 of level "front" (A3's exposure ends
  // with the selection, so Condense keeps its hold).
  const std::pair<const char*, std::string> steps[] = {{"actionCondense", "A1 A2 A3 \" . ."},
                                                       {"actionExpand", "A1 \" A2 \" A3 \""},
                                                       {"actionReverse", "A3 \" A2 \" A1 \""}};
  w.Click(0, 0);
  w.Click(0, 5, Qt::ShiftModifier);
  for (const auto& [name, text] : steps) {
    w.action(name)->trigger();
    EXPECT_EQ(LevelText(w.doc(), 0, 0, 6), text) << name;
  }

  // Closing the changed sheet asks first.
  w.Click(0, 0);
  w.Key(Qt::Key_X, Qt::ControlModifier);
  w.prompt.QueueChoice(2);  // Cancel
  EXPECT_FALSE(w.frame->close());
  EXPECT_EQ(w.prompt.Texts().back(),
            "Quenda Dopegrid\nSave changes to s.dgr?\n[Yes] [No] [Cancel]");
  EXPECT_EQ(ReadBytes(w.path), w.saved);
  // Yes saves the sheet to the file it came from, not where Save As would.
  w.saveAsPath = QString::fromStdString(w.dir.File("new.dgr"));
  w.prompt.QueueChoice(0);
  EXPECT_TRUE(w.frame->close());
  EXPECT_NE(ReadBytes(w.path), w.saved);
  EXPECT_FALSE(std::filesystem::exists(w.dir.File("new.dgr")));
}

TEST(DopegridWindow, FramesAndLevelsAreAddedCutRenamedSwappedAndDeletedThroughTheirDialogs) {
  SheetWindow w;
  WhenModal<FrameLengthDialog>([&](FrameLengthDialog* d) {
    EXPECT_EQ(d->field()->text(), QStringLiteral("1"));
    d->field()->setText(QStringLiteral("1001"));
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(d->isVisible());  // refused: the dialog stays
    d->field()->setText(QStringLiteral("12"));
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  w.action("actionAddFrames")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Please enter an integer between 0 and 1000."});
  EXPECT_EQ(w.doc().sheet().frameCount, 112);

  WhenModal<FrameLengthDialog>([](FrameLengthDialog* d) {
    EXPECT_TRUE(d->findChild<QLabel*>()->text().startsWith(QStringLiteral("Frames to cut")));
    d->field()->setText(QStringLiteral("111"));
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  w.action("actionDeleteFrames")->trigger();
  EXPECT_EQ(
      std::tuple(w.prompt.Texts().back(), w.doc().sheet().frameCount, w.frame->statusTexts().at(1)),
      std::tuple("There are not that many frames to delete.", 112,
                 QStringLiteral("Total Frames : 112")));

  WhenModal<LevelNameDialog>([](LevelNameDialog* d) {
    d->field()->setText(QStringLiteral("a name of twenty-two"));  // cut at 18
    d->accept();
  });
  w.action("actionAddLevel")->trigger();
  EXPECT_EQ(std::tuple(w.doc().sheet().levelCount, w.doc().sheet().LevelName(0),
                       LevelText(w.doc(), 1, 0, 2)),
            std::tuple(4, "a name of twenty-t", "A1 \""));

  WhenModal<LevelListDialog>([](LevelListDialog* d) {
    d->list()->setCurrentRow(1);
    d->accept();
  });
  WhenModal<LevelNameDialog>(
      [](LevelNameDialog* d) {
        EXPECT_EQ(d->field()->text(), QStringLiteral("front"));
        d->field()->setText(QStringLiteral("hero"));
        d->accept();
      },
      50);
  w.action("actionRenameLevel")->trigger();
  EXPECT_EQ(w.doc().sheet().LevelName(1), "hero");

  WhenModal<LevelListDialog>([](LevelListDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Swap Levels"));
    d->list()->item(1)->setSelected(true);
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(d->isVisible());  // one level chosen: refused (the message is the core's test)
    d->list()->item(2)->setSelected(true);
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  w.action("actionSwapLevels")->trigger();
  EXPECT_EQ(std::tuple(w.doc().sheet().LevelName(2), LevelText(w.doc(), 2, 0, 2)),
            std::tuple("hero", "A1 \""));

  w.prompt.QueueAnswer(true);
  WhenModal<LevelListDialog>([](LevelListDialog* d) {
    d->list()->setCurrentRow(2);
    d->accept();
  });
  w.action("actionDeleteLevel")->trigger();
  EXPECT_EQ(
      std::tuple(w.prompt.Texts().back(), w.doc().sheet().levelCount, LevelText(w.doc(), 1, 0, 4)),
      std::tuple("Are you sure you want to delete level \"hero\"", 3, ". . B1 B2"));
  // Undo brings the deleted level back.
  w.Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.doc().sheet().LevelName(2), "hero");
}

TEST(DopegridWindow, AMissingSequenceIsForgottenButNothingIsSavedUntilTheUserSaves) {
  ScriptedPrompt script;
  script.QueueChoice(1);  // Forget it
  SheetWindow w(AnnAndBob(true), &script);
  EXPECT_EQ(std::tuple(w.doc().sequenceCount(), w.frame->isWindowModified(), ReadBytes(w.path)),
            std::tuple(1, true, w.saved));
  w.Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_NE(ReadBytes(w.path), w.saved);
  EXPECT_FALSE(w.frame->isWindowModified());
}

}  // namespace
}  // namespace quenda

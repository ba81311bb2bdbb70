// Crash recovery in the exposure sheet: a run killed with a change it had not saved gives the
// sheet back at the next start (Restore), or forgets it (Discard).

#include <gtest/gtest.h>

#include <QAction>

#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/tests/sheet_window.h"
#include "dopegrid/tests/sheet_test_support.h"
#include "ui/tests/kill_test.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// The sheet's window on the test's folder, its profile and recovery copies there; Save As
// answers `saveAs`.
struct SheetOn : WindowOn<CDopegridFrame> {
  explicit SheetOn(const std::string& folder)
      : WindowOn(folder, "dopegrid", [this](ScriptedPrompt& prompt, Settings& settings) {
          return std::make_unique<CDopegridFrame>(
              &prompt, &settings, [this](QWidget*, const SaveQuestion&) { return saveAs; });
        }) {}
  void Click(int level, int f) {
    CDopegridView& view = *frame->sheetView();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.CellRect(level, f).center());
  }

  std::optional<QString> saveAs;
};

// The crashing run: cuts the front level's first cell, then goes to another frame, which
// writes the copy; killed before it saves.
QUENDA_CRASHING_RUN(DopegridCutsACellAndIsKilled) {
  SheetOn w(folder);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(folder + "s.dgr")));
  w.Click(0, 0);
  w.frame->Action("actionCut")->trigger();
  ASSERT_TRUE(w.doc().modified());
  WriteText(folder + "expected.txt", LevelText(w.doc(), 0, 0, 6));
  ASSERT_FALSE(w.frame->recovery().written()) << "written before the frame changed";
  w.Click(1, 5);
  ASSERT_TRUE(WaitWithEvents([&] { return w.frame->recovery().written(); }));
  SayReadyAndWaitForTheKill(folder);
}

class DopegridKill : public KillTest {
 protected:
  DopegridKill() : KillTest(QStringLiteral("s.dgr")) {}
  void SetUp() override {
    AnnAndBob()(dir, sheet);
    saved = ReadBytes(sheet);
    ASSERT_NO_FATAL_FAILURE(Crash("DopegridCutsACellAndIsKilled"));
    expected = ReadText(dir.File("expected.txt"));
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(ReadBytes(sheet), saved) << "the change reached the sheet's file";
  }
  std::string sheet = dir.File("s.dgr");
  std::vector<uint8_t> saved;
  std::string expected;
};

TEST_F(DopegridKill, RestoreGivesTheChangedSheetBackUnderItsNameUntilSaved) {
  SheetOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  EXPECT_EQ(LevelText(w.doc(), 0, 0, 6), expected);
  EXPECT_NE(expected.substr(0, 2), "A1");
  EXPECT_EQ(w.frame->documentPath(), QString::fromStdString(sheet));
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("s.dgr[*] - Quenda Dopegrid"));
  EXPECT_TRUE(w.frame->isWindowModified());
  EXPECT_EQ(w.doc().sequenceCount(), 2);
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_TRUE(ListRecoverable(dir.File("recovery"), "dopegrid").empty());
  EXPECT_TRUE(w.frame->recovery().written());

  // Saving writes the restored sheet under its own name, and the copy goes.
  w.frame->Action("actionSave")->trigger();
  EXPECT_NE(ReadBytes(sheet), saved);
  EXPECT_FALSE(w.frame->recovery().written());
  ScriptedPrompt quiet;
  CDopegridDoc reread(quiet);
  ASSERT_TRUE(reread.OnOpenDocument(sheet));
  EXPECT_EQ(LevelText(reread, 0, 0, 6), expected);
  w.frame->close();
  w.frame.reset();  // the program's end
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
}

TEST_F(DopegridKill, DiscardRemovesTheCopyAndKeepsTheSavedSheet) {
  SheetOn w(dir.path());
  Answer(&RecoveryDialog::discardButton);
  EXPECT_FALSE(w.frame->OfferRecovery());
  EXPECT_TRUE(w.frame->documentPath().isEmpty());
  EXPECT_FALSE(w.doc().modified());
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_EQ(ReadBytes(sheet), saved);
}

TEST_F(DopegridKill, ClosingWithoutSavingRemovesTheRunsOwnCopy) {
  SheetOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  ASSERT_TRUE(w.frame->recovery().written());
  w.prompt.QueueChoice(1);  // "Save changes to s.dgr?" No
  w.frame->close();
  EXPECT_FALSE(w.frame->recovery().written());
  w.frame.reset();
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_EQ(ReadBytes(sheet), saved);
}

}  // namespace
}  // namespace quenda

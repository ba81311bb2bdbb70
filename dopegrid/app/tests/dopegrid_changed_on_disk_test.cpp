// The sheet changed on disk by another program while the window holds it, with the real tool
// in a process of its own: the window offers to reload, and never saves over the change
// without asking.

#include <gtest/gtest.h>

#include <QAction>

#include "dopegrid/app/tests/sheet_window.h"
#include "ui/document_watcher.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/second_process.h"

namespace quenda {
namespace {

using namespace quenda::testing;

int RunToolProcess(std::vector<std::string> args) {
  args.insert(args.begin(), QUENDA_TOOL);
  return RunSecondProcess(std::move(args));
}

std::vector<std::string> LevelNames(const CDopegridDoc& doc) {
  std::vector<std::string> names;
  for (int l = 0; l < doc.sheet().levelCount; ++l) names.push_back(doc.sheet().LevelName(l));
  return names;
}

const std::string kReloadText =
    "Quenda Dopegrid\ns.dgr was changed on disk by another program. Reload it?\n[Reload] "
    "[Keep This Version]";
const std::string kReloadModifiedText =
    "Quenda Dopegrid\ns.dgr was changed on disk by another program. Reload it and lose the "
    "changes made here?\n[Reload] [Keep This Version]";
const std::string kOverwriteText =
    "Quenda Dopegrid\ns.dgr was changed on disk by another program since it was read here. "
    "Saving replaces those changes with this window's.\n[Overwrite] [Save As…] [Cancel]";

class ChangedOnDisk : public ::testing::Test {
 protected:
  // Another program adds a level; the window asks, and the test answers `button`.
  void AnotherProgramAddsLevel(const std::string& name, std::optional<int> button,
                               const std::string& question) {
    w.prompt.Clear();
    w.prompt.QueueChoice(button);
    ASSERT_EQ(RunToolProcess({"sheet", "add-level", w.path, name}), 0);
    ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000))
        << "the window did not notice";
    EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{question});
  }
  // Cuts the front level's first cell: a change of the window's own.
  void ChangeHere() {
    w.Click(0, 0);
    w.action("actionCut")->trigger();
    ASSERT_TRUE(w.doc().modified());
  }

  SheetWindow w;
};

TEST_F(ChangedOnDisk, AnUnchangedSheetIsReadAgainWhenTheUserSaysReload) {
  AnotherProgramAddsLevel("ink", 0, kReloadText);
  EXPECT_EQ(LevelNames(w.doc()), (std::vector<std::string>{"ink", "front", "back", "default"}));
  EXPECT_FALSE(w.doc().modified());
  // Saving now writes over nothing newer: no question.
  w.prompt.Clear();
  ChangeHere();
  w.action("actionSave")->trigger();
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_FALSE(w.doc().modified());
}

TEST_F(ChangedOnDisk, SavingOverTheChangeAsksAndCancelKeepsTheOtherProgramsFile) {
  ChangeHere();
  AnotherProgramAddsLevel("paint", 1, kReloadModifiedText);
  EXPECT_EQ(w.doc().sheet().levelCount, 3) << "kept this window's version";
  const std::vector<uint8_t> theirs = ReadBytes(w.path);

  w.prompt.Clear();
  w.prompt.QueueChoice(2);  // Cancel
  w.action("actionSave")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{kOverwriteText});
  EXPECT_EQ(ReadBytes(w.path), theirs);
  EXPECT_TRUE(w.doc().modified());

  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // Overwrite
  w.action("actionSave")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{kOverwriteText});
  EXPECT_NE(ReadBytes(w.path), theirs);
  EXPECT_FALSE(w.doc().modified());
  ScriptedPrompt quiet;
  CDopegridDoc reread(quiet);
  ASSERT_TRUE(reread.OnOpenDocument(w.path));
  EXPECT_EQ(reread.sheet().levelCount, 3);
  // Its own write is no change to tell of.
  w.prompt.Clear();
  w.frame->watcher().CheckNow();
  EXPECT_TRUE(w.prompt.Texts().empty());
}

TEST_F(ChangedOnDisk, SaveAsKeepsBothVersionsAndClosingAsksBeforeOverwritingToo) {
  ChangeHere();
  AnotherProgramAddsLevel("paint", std::nullopt, kReloadModifiedText);
  const std::vector<uint8_t> theirs = ReadBytes(w.path);
  w.saveAsPath = QString::fromStdString(w.dir.File("mine.dgr"));
  w.prompt.Clear();
  w.prompt.QueueChoice(1);  // Save As…
  w.action("actionSave")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{kOverwriteText});
  EXPECT_EQ(ReadBytes(w.path), theirs);
  EXPECT_FALSE(ReadBytes(w.dir.File("mine.dgr")).empty());
  EXPECT_EQ(w.frame->documentPath(), *w.saveAsPath);

  // Back on the changed sheet, with a change here: closing with Yes asks again.
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.path)));
  ChangeHere();
  ASSERT_EQ(RunToolProcess({"sheet", "add-level", w.path, "late"}), 0);
  w.prompt.Clear();
  w.prompt.QueueChoice(1);  // the reload question: keep this version
  w.frame->watcher().CheckNow();
  ASSERT_EQ(w.prompt.Texts(), std::vector<std::string>{kReloadModifiedText});
  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // "Save changes to s.dgr?" Yes
  w.prompt.QueueChoice(2);  // Cancel
  EXPECT_FALSE(w.frame->close());
  EXPECT_EQ(w.prompt.Texts().back(), kOverwriteText);
  EXPECT_TRUE(w.frame->isVisible());
}

}  // namespace
}  // namespace quenda

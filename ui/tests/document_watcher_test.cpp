#include "ui/document_watcher.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "common/atomic_file.h"
#include "common/scripted_prompt.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// Another program replacing the file as the suite's writer does, in a process of its own.
void WriteFromAnotherProcess(const std::string& path, const std::string& text) {
  pid_t child = fork();
  if (child == 0)
    _exit(WriteFileAtomically(path, std::string_view(text), WriteMessages("x")).ok() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
}

TEST(DocumentWatcher, TellsOnceOfEachChangeAnotherProcessMakesAndNotOfItsOwnWrites) {
  TempDir dir;
  const std::string sheet = dir.File("walk.dgr");
  WriteText(sheet, "one");
  DocumentWatcher watcher;
  QSignalSpy told(&watcher, &DocumentWatcher::Changed);
  watcher.WatchOnly({sheet, ""});

  WriteFromAnotherProcess(sheet, "two");
  ASSERT_TRUE(told.wait(10000));
  EXPECT_EQ(told.takeFirst().at(0).toStringList(), QStringList{QString::fromStdString(sheet)});
  EXPECT_EQ(watcher.ChangedOnDisk(), std::vector<std::string>{sheet});
  // Looking again at the same change tells nothing more.
  watcher.CheckNow();
  EXPECT_TRUE(told.isEmpty());

  // A second change is told again, though the first was never taken in: the file was
  // replaced, and is watched as the new file it is.
  WriteFromAnotherProcess(sheet, "three");
  ASSERT_TRUE(told.wait(10000));
  told.clear();

  // The window writes the file itself and remembers it: nothing to tell.
  ASSERT_TRUE(WriteFileAtomically(sheet, std::string_view("mine"), WriteMessages("x")).ok());
  watcher.Remember(sheet);
  EXPECT_FALSE(told.wait(400));
  EXPECT_TRUE(watcher.ChangedOnDisk().empty());

  watcher.Clear();
  WriteFromAnotherProcess(sheet, "four");
  EXPECT_FALSE(told.wait(400));
  EXPECT_TRUE(watcher.ChangedOnDisk().empty());
}

// The document writes one of its files and remembers it in its own record, which the watch
// asks: that write is passed over (and taken as the file now is), another program's is told.
TEST(DocumentWatcher, TheDocumentsOwnRecordedWritesAreNotTold) {
  TempDir dir;
  const std::vector<std::string> files{dir.File("walk1.pnt"), dir.File("walk.col")};
  for (const std::string& file : files) WriteText(file, "one");
  DocumentFiles record;
  for (const std::string& file : files) record.Remember(file);
  DocumentWatcher watcher;
  watcher.KnowOwnWrites([&](const std::string& path) { return record.ChangedOnDisk(path); });
  QSignalSpy told(&watcher, &DocumentWatcher::Changed);
  watcher.WatchOnly(files);

  ASSERT_TRUE(WriteFileAtomically(files[0], std::string_view("mine"), WriteMessages("x")).ok());
  record.Remember(files[0]);
  WriteFromAnotherProcess(files[1], "theirs");
  watcher.CheckNow();
  ASSERT_EQ(told.size(), 1);
  EXPECT_EQ(told.takeFirst().at(0).toStringList(), QStringList{QString::fromStdString(files[1])});
  EXPECT_EQ(watcher.ChangedOnDisk(), std::vector<std::string>{files[1]});
}

TEST(DocumentWatcher, TheQuestionsAnswerAsTheirButtonsSay) {
  const struct {
    std::optional<int> button;
    ChangedFileAnswer answer;
  } kSave[] = {{0, ChangedFileAnswer::Overwrite},
               {1, ChangedFileAnswer::SaveAs},
               {2, ChangedFileAnswer::Cancel},
               {std::nullopt, ChangedFileAnswer::Cancel}};
  for (const auto& c : kSave) {
    ScriptedPrompt prompt;
    prompt.QueueChoice(c.button);
    EXPECT_EQ(AskBeforeOverwriting(prompt, "Quenda Dopegrid", {"walk.dgr"}), c.answer);
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text,
              "Quenda Dopegrid\nwalk.dgr was changed on disk by another program since it was "
              "read here. Saving replaces those changes with this window's.\n[Overwrite] "
              "[Save As…] [Cancel]");
  }
  ScriptedPrompt prompt;
  prompt.QueueChoice(0);
  prompt.QueueChoice(1);
  prompt.QueueChoice(std::nullopt);
  EXPECT_TRUE(AskToReload(prompt, "Quenda Dopegrid", {"walk.dgr"}, false));
  EXPECT_FALSE(AskToReload(prompt, "Quenda Dopegrid", {"walk.dgr"}, true));
  EXPECT_FALSE(AskToReload(prompt, "Quenda Dopegrid", {"walk.dgr"}, true));
  EXPECT_NE(prompt.Texts()[1].find("Reload it and lose the changes made here?"), std::string::npos);
}

// A window holding several files asks only of those that changed, naming them together, and
// not at all when none did or when a changed one is gone.
TEST(DocumentWatcher, AsksOfTheChangedFilesAmongTheWindowsOwn) {
  TempDir dir;
  const std::vector<std::string> files{dir.File("walk1.rgn"), dir.File("walk1.pnt"),
                                       dir.File("walk.col")};
  for (const std::string& file : files) WriteText(file, "one");
  DocumentWatcher watcher;
  watcher.WatchOnly(files);
  ScriptedPrompt prompt;
  EXPECT_EQ(watcher.MayOverwrite(prompt, "Quenda Painter", files), ChangedFileAnswer::Overwrite);
  EXPECT_TRUE(prompt.Texts().empty());

  WriteFromAnotherProcess(files[0], "two");
  WriteFromAnotherProcess(files[2], "two");
  prompt.QueueChoice(2);
  EXPECT_EQ(watcher.MayOverwrite(prompt, "Quenda Painter", files), ChangedFileAnswer::Cancel);
  // Saving only the paint is no question: that file did not change.
  EXPECT_EQ(watcher.MayOverwrite(prompt, "Quenda Painter", {files[1]}),
            ChangedFileAnswer::Overwrite);
  const QStringList changed{QString::fromStdString(files[0]), QString::fromStdString(files[2])};
  prompt.QueueChoice(0);
  EXPECT_TRUE(watcher.MayReload(prompt, "Quenda Painter", changed, files, false));
  EXPECT_FALSE(watcher.MayReload(prompt, "Quenda Painter", changed, {files[1]}, false));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                "Quenda Painter\nwalk1.rgn and walk.col were changed on disk by another program "
                "since they were read here. Saving replaces those changes with this window's.\n"
                "[Overwrite] [Save As…] [Cancel]",
                "Quenda Painter\nwalk1.rgn and walk.col were changed on disk by another program. "
                "Reload them?\n[Reload] [Keep This Version]"}));

  prompt.Clear();
  std::filesystem::remove(files[0]);
  std::filesystem::remove(files[2]);
  EXPECT_FALSE(watcher.MayReload(prompt, "Quenda Painter", changed, files, true));
  EXPECT_TRUE(prompt.Texts().empty());
}

}  // namespace
}  // namespace quenda

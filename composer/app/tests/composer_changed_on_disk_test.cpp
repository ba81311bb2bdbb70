// The movie changed on disk by another program while the window holds it, with the real tool
// in a process of its own: the window offers to reload, and never saves over the change
// without asking.

#include <gtest/gtest.h>

#include <QAction>

#include "common/scripted_prompt.h"
#include "composer/app/composer_frame.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"
#include "ui/document_watcher.h"
#include "ui/settings.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/second_process.h"

namespace quenda {
namespace {

using namespace quenda::testing;

const std::string kReloadModifiedText =
    "Quenda Composer\nmovie.cmp was changed on disk by another program. Reload it and lose the "
    "changes made here?\n[Reload] [Keep This Version]";
const std::string kReloadText =
    "Quenda Composer\nmovie.cmp was changed on disk by another program. Reload it?\n[Reload] "
    "[Keep This Version]";
const std::string kOverwriteText =
    "Quenda Composer\nmovie.cmp was changed on disk by another program since it was read here. "
    "Saving replaces those changes with this window's.\n[Overwrite] [Save As…] [Cancel]";

class ComposerChangedOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedPrompt quiet;
    CComposerDoc doc(quiet);
    StartNewMovie(doc, 80, 60, 10, 0);
    ASSERT_TRUE(doc.AddVirtualParent());
    ASSERT_TRUE(doc.Save(movie).ok());
    frame = std::make_unique<CComposerFrame>(&prompt, &settings);
    frame->show();
    ASSERT_TRUE(frame->OpenFile(QString::fromStdString(movie)));
  }
  // The tool adds a virtual parent; the window asks, and the test answers `button`.
  void AnotherProgramAddsAClip(std::optional<int> button, const std::string& question) {
    prompt.Clear();
    prompt.QueueChoice(button);
    ASSERT_EQ(RunSecondProcess({QUENDA_TOOL, "comp", "add-virtual", movie}), 0);
    ASSERT_TRUE(WaitWithEvents([&] { return !prompt.Texts().empty(); }, 20000))
        << "the window did not notice";
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{question});
  }
  int Clips() const { return frame->document().composition().clipCount(); }

  TempDir dir;
  std::string movie = dir.File("movie.cmp");
  ScriptedPrompt prompt;
  Settings settings{QStringLiteral("composer"), QString::fromStdString(dir.path())};
  std::unique_ptr<CComposerFrame> frame;
};

TEST_F(ComposerChangedOnDisk, ReloadReadsTheOtherProgramsMovie) {
  AnotherProgramAddsAClip(0, kReloadText);
  EXPECT_EQ(Clips(), 2);
  EXPECT_FALSE(frame->document().modified());
}

TEST_F(ComposerChangedOnDisk, SavingOverTheChangeAsksFirst) {
  frame->Action("actionAddVirtualParent")->trigger();
  frame->Action("actionAddVirtualParent")->trigger();
  ASSERT_EQ(Clips(), 3);
  AnotherProgramAddsAClip(1, kReloadModifiedText);
  EXPECT_EQ(Clips(), 3) << "kept this window's version";
  const std::vector<uint8_t> theirs = ReadBytes(movie);

  prompt.Clear();
  prompt.QueueChoice(2);  // Cancel
  frame->Action("actionSave")->trigger();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kOverwriteText});
  EXPECT_EQ(ReadBytes(movie), theirs);

  prompt.Clear();
  prompt.QueueChoice(0);  // Overwrite
  frame->Action("actionSave")->trigger();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kOverwriteText});
  ScriptedPrompt quiet;
  CComposerDoc reread(quiet);
  ASSERT_TRUE(reread.Open(movie).ok());
  EXPECT_EQ(reread.composition().clipCount(), 3);
  prompt.Clear();
  frame->watcher().CheckNow();
  EXPECT_TRUE(prompt.Texts().empty()) << "its own write told as another's";
}

}  // namespace
}  // namespace quenda

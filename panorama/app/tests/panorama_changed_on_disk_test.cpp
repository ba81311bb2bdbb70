// The background changed on disk by another program while the window holds it, written by a
// process of its own: the window offers to reload, and never saves over the change without
// asking.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>

#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "panorama/app/panorama_frame.h"
#include "testing/test_support.h"
#include "ui/document_watcher.h"
#include "ui/settings.h"
#include "ui/tests/crashing_run.h"

namespace quenda {
namespace {

using namespace quenda::testing;

const std::string kReloadModifiedText =
    "Quenda Background Maker\nsky.tga was changed on disk by another program. Reload it and "
    "lose the changes made here?\n[Reload] [Keep This Version]";
const std::string kOverwriteText =
    "Quenda Background Maker\nsky.tga was changed on disk by another program since it was read "
    "here. Saving replaces those changes with this window's.\n[Overwrite] [Save As…] [Cancel]";

// Another program writes a background of one grey, in a process of its own.
void AnotherProgramWrites(const std::string& path, uint8_t grey) {
  pid_t child = fork();
  if (child == 0) {
    Raster image(40, 30, 3, grey);
    _exit(WriteTarga(path, image, WriteMessages("not written")).ok() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
}

TEST(PanoramaChangedOnDisk, OffersToReloadAndAsksBeforeSavingOverTheChange) {
  TempDir dir;
  const std::string sky = dir.File("sky.tga");
  ASSERT_TRUE(WriteTarga(sky, Raster(40, 30, 3, 128), WriteMessages("not written")).ok());
  ScriptedPrompt prompt;
  Settings settings(QStringLiteral("panorama"), QString::fromStdString(dir.path()));
  CPanoramaFrame frame(&prompt, &settings);
  frame.show();
  ASSERT_TRUE(frame.OpenFile(QString::fromStdString(sky)));
  frame.Action("actionInvertMask")->trigger();
  ASSERT_TRUE(frame.document().modified());

  prompt.QueueChoice(1);  // keep this version
  AnotherProgramWrites(sky, 30);
  ASSERT_TRUE(WaitWithEvents([&] { return !prompt.Texts().empty(); }, 20000));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kReloadModifiedText});
  const std::vector<uint8_t> theirs = ReadBytes(sky);

  prompt.Clear();
  prompt.QueueChoice(2);  // Cancel
  frame.Action("actionSave")->trigger();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kOverwriteText});
  EXPECT_EQ(ReadBytes(sky), theirs);

  // The other program writes again; this time the window reads it.
  prompt.Clear();
  prompt.QueueChoice(0);
  AnotherProgramWrites(sky, 60);
  ASSERT_TRUE(WaitWithEvents([&] { return !prompt.Texts().empty(); }, 20000));
  EXPECT_FALSE(frame.document().modified());
  EXPECT_EQ(frame.document().image().At(3, 3)[0], 60);
  prompt.Clear();
  frame.Action("actionInvertMask")->trigger();
  frame.Action("actionSave")->trigger();
  EXPECT_TRUE(prompt.Texts().empty()) << "saving over the version it read asks nothing";
}

}  // namespace
}  // namespace quenda

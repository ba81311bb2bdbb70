#pragma once
// The common ground of every program's kill tests (ui/tests/crashing_run.h): the program's
// window on the test's folder, and the fixture that has a crashing run killed once its copy is
// written and answers the recovery dialog of the next start.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "common/scripted_prompt.h"
#include "testing/test_support.h"
#include "ui/recovery_dialog.h"
#include "ui/recovery_keeper.h"
#include "ui/settings.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/modal_helper.h"

namespace quenda::testing {

// The window of `program` ("painter") on `folder`: its profile and recovery copies there,
// shown. `make(prompt, settings)` builds the window.
template <class Frame>
struct WindowOn {
  template <class Make>
  WindowOn(const std::string& folder, const char* program, Make make)
      : settings(QString::fromLatin1(program), QString::fromStdString(folder)) {
    frame = make(prompt, settings);
    frame->recovery().SetStoreFolder(folder + "recovery");
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }
  auto& doc() { return frame->document(); }

  ScriptedPrompt prompt;
  Settings settings;
  std::unique_ptr<Frame> frame;
};

// A kill test on a folder of its own, whose copy is of the document `documentName`.
class KillTest : public ::testing::Test {
 protected:
  explicit KillTest(QString documentName) : documentName_(std::move(documentName)) {}

  // Runs the crashing run `name` on the folder and kills it once its copy is written.
  void Crash(const char* name) {
    CrashingRun run(name, dir.path());
    ASSERT_TRUE(run.WaitUntilReady()) << "the crashing run wrote no copy";
    run.Kill();
  }
  // Presses `button` of the next recovery dialog, which must offer the one copy.
  void Answer(QPushButton* (RecoveryDialog::*button)() const) {
    WhenModal<RecoveryDialog>([button, name = documentName_](RecoveryDialog* dialog) {
      ASSERT_EQ(dialog->list()->topLevelItemCount(), 1);
      EXPECT_EQ(dialog->list()->topLevelItem(0)->text(0), name);
      QTest::mouseClick((dialog->*button)(), Qt::LeftButton);
    });
  }

  TempDir dir;

 private:
  QString documentName_;
};

}  // namespace quenda::testing

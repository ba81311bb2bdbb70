#include "ui/recovery_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "testing/test_support.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// Copies as crashed runs leave them: a manifest and a part in a folder of their own.
class RecoveryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Leave("a", "/studio/walk.dgr", "walk.dgr", 1796000000);
    Leave("b", "", "Untitled", 1796000600);
  }
  void Leave(const std::string& folder, const std::string& path, const std::string& name,
             int64_t at) {
    std::filesystem::create_directories(store + "/" + folder);
    RecoveryManifest m{"dopegrid", path, name, at, {"sheet"}};
    WriteText(store + "/" + folder + "/manifest", FormatRecoveryManifest(m, 1));
    WriteText(store + "/" + folder + "/part-1-sheet", name);
  }
  QStringList Rows(const RecoveryDialog& dialog) {
    QStringList rows;
    for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i)
      rows << dialog.list()->topLevelItem(i)->text(0) + " | " +
                  dialog.list()->topLevelItem(i)->text(1);
    return rows;
  }

  TempDir dir;
  std::string store = dir.File("recovery");
};

TEST_F(RecoveryDialogTest, ListsEachCopyWithItsNameAndTimeAndRestoresTheChosenOne) {
  RecoveryDialog dialog(ListRecoverable(store, "dopegrid"));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(Rows(dialog), (QStringList{"walk.dgr | " + RecoveryTimeText(1796000000),
                                       "Untitled | " + RecoveryTimeText(1796000600)}));
  EXPECT_EQ(dialog.list()->topLevelItem(0)->toolTip(0), QStringLiteral("/studio/walk.dgr"));
  // The newest is chosen to begin with.
  EXPECT_EQ(dialog.list()->currentItem()->text(0), QStringLiteral("Untitled"));
  SaveScreenshot(dialog, "recovery_dialog.png");

  dialog.list()->setCurrentItem(dialog.list()->topLevelItem(0));
  QTest::mouseClick(dialog.restoreButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_TRUE(dialog.chosen().has_value());
  EXPECT_EQ(dialog.chosen()->manifest.documentPath, "/studio/walk.dgr");
  // Restoring does not remove the copy: the program does once the document is back.
  EXPECT_EQ(ListRecoverable(store, "dopegrid").size(), 2u);
}

TEST_F(RecoveryDialogTest, DiscardRemovesTheChosenCopyAndTheLastDiscardClosesTheDialog) {
  RecoveryDialog dialog(ListRecoverable(store, "dopegrid"));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::mouseClick(dialog.discardButton(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Rows(dialog), QStringList{"walk.dgr | " + RecoveryTimeText(1796000000)});
  EXPECT_EQ(ListDirectory(store), std::vector<std::string>{"a"});
  QTest::mouseClick(dialog.discardButton(), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(dialog.chosen().has_value());
  EXPECT_TRUE(ListDirectory(store).empty());
}

TEST_F(RecoveryDialogTest, LaterKeepsEveryCopyAndNothingIsOfferedWhenNoneIsLeft) {
  WhenModal<RecoveryDialog>(
      [](RecoveryDialog* dialog) { QTest::mouseClick(dialog->laterButton(), Qt::LeftButton); });
  EXPECT_FALSE(OfferRecovery(nullptr, store, "dopegrid").has_value());
  EXPECT_EQ(ListRecoverable(store, "dopegrid").size(), 2u);
  // No copies of the painter: no dialog at all, and nothing chosen.
  EXPECT_FALSE(OfferRecovery(nullptr, store, "painter").has_value());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(RecoveryFolder, IsInTheStateFolderWhichTestsKeepApart) {
  const std::string folder = RecoveryStoreFolder();
  EXPECT_TRUE(folder.ends_with("/recovery")) << folder;
  EXPECT_TRUE(folder.starts_with(qEnvironmentVariable("XDG_DATA_HOME").toStdString())) << folder;
  EXPECT_TRUE(folder.find("quenda-test-state-") != std::string::npos) << folder;
}

}  // namespace
}  // namespace quenda

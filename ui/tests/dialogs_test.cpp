#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <tuple>

#include "testing/test_support.h"
#include "ui/choose_folder.h"
#include "ui/qt_prompt.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using testing::WhenModal;

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Notes the next message box and presses one of its buttons.
void AnswerBox(SeenBox& seen, QMessageBox::StandardButton press) {
  WhenModal<QMessageBox>([&seen, press](QMessageBox* box) {
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    QTest::mouseClick(box->button(press), Qt::LeftButton);
  });
}

TEST(QtPrompt, MessagesAndQuestionsAreBoxesTitledQuenda) {
  QtPrompt prompt;
  SeenBox seen;
  AnswerBox(seen, QMessageBox::Ok);
  prompt.Message("Fatal: Image file does not exist: /s/walk1.qds", MessageIcon::Error);
  EXPECT_EQ(seen.title, QStringLiteral("Quenda"));
  EXPECT_EQ(seen.text, QStringLiteral("Fatal: Image file does not exist: /s/walk1.qds"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);

  AnswerBox(seen, QMessageBox::Ok);
  prompt.Message("Frame painted", MessageIcon::Warning);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);

  // Each question, the button pressed, and the answer it gives.
  const std::tuple<bool, QMessageBox::StandardButton, bool> answers[] = {
      {true, QMessageBox::Yes, true},
      {true, QMessageBox::No, false},
      {false, QMessageBox::Ok, true},
      {false, QMessageBox::Cancel, false}};
  for (auto [yesNo, press, answer] : answers) {
    AnswerBox(seen, press);
    EXPECT_EQ(yesNo ? prompt.AskYesNo("Continue?") : prompt.AskOkCancel("Go on?"), answer);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons,
              yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel);
  }

  // A window that names its own boxes.
  QtPrompt named(nullptr, QStringLiteral("AutoPaint Frame No?"));
  AnswerBox(seen, QMessageBox::Ok);
  named.Message("Done");
  EXPECT_EQ(seen.title, QStringLiteral("AutoPaint Frame No?"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(ChooseFolder, YieldsTheChosenFolderEndingWithASlash) {
  testing::TempDir dir;
  QDir(QString::fromStdString(dir.path())).mkdir(QStringLiteral("scans"));
  QString wanted = QString::fromStdString(dir.File("scans"));
  QString title;
  WhenModal<ChooseFolderDialog>([&](ChooseFolderDialog* dialog) {
    title = dialog->windowTitle();
    dialog->setDirectory(wanted);
    static_cast<QDialog*>(dialog)->accept();
  });
  std::optional<std::string> chosen =
      ChooseFolderDialog::Choose(nullptr, QString::fromStdString(dir.path()));
  EXPECT_EQ(title, QStringLiteral("Choose Folder"));
  EXPECT_EQ(chosen, std::optional<std::string>(dir.File("scans/")));

  WhenModal<ChooseFolderDialog>([](ChooseFolderDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(ChooseFolderDialog::Choose(nullptr, QString::fromStdString(dir.path())), std::nullopt);
}

}  // namespace
}  // namespace quenda

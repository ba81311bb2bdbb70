#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <tuple>

#include "testing/test_support.h"
#include "ui/choose_folder.h"
#include "ui/qt_prompt.h"
#include "ui/save_path_picker.h"
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

TEST(QtPrompt, AChoiceAnswersTheButtonPressedAndNothingWhenClosed) {
  QtPrompt prompt;
  const ChoiceQuestion question{"Keep?", "Save changes to s.dgr?", {}, {"Yes", "No", "Cancel"}};
  // The button pressed (none: the box is closed) and the answer.
  const std::pair<QString, std::optional<int>> presses[] = {
      {QStringLiteral("No"), 1}, {QStringLiteral("Cancel"), 2}, {QString(), std::nullopt}};
  for (const auto& [press, answer] : presses) {
    QString title;
    WhenModal<QDialog>([&title, press](QDialog* box) {
      title = box->windowTitle();
      EXPECT_EQ(box->findChild<QLineEdit*>(), nullptr);  // no field without a name to show
      if (press.isEmpty()) box->reject();
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == press) QTest::mouseClick(b, Qt::LeftButton);
    });
    EXPECT_EQ(prompt.AskChoice(question), answer) << press.toStdString();
    EXPECT_EQ(title, QStringLiteral("Keep?"));
  }
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

TEST(SavePathPicker, TheDialogOffersTheDefaultName) {
  QString title, offered;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      offered = name->text();
    dialog->reject();
  });
  const SaveQuestion question{QStringLiteral("Keep It"), QStringLiteral("Movies (*.avi)"),
                              QStringLiteral("avi"), QStringLiteral("movie.avi")};
  EXPECT_EQ(SystemSavePathPicker()(nullptr, question), std::nullopt);
  EXPECT_EQ(title, QStringLiteral("Keep It"));
  EXPECT_EQ(offered, QStringLiteral("movie.avi"));
}

}  // namespace
}  // namespace quenda

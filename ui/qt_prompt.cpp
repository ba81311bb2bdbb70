#include "ui/qt_prompt.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

namespace quenda {
namespace {

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon IconFor(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Information:
      break;
  }
  return QMessageBox::Information;
}

QMessageBox::StandardButton Ask(QWidget* parent, const QString& title, std::string_view text,
                                QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::Question, title, ToQt(text), buttons, parent);
  return QMessageBox::StandardButton(box.exec());
}

}  // namespace

void QtPrompt::Message(std::string_view text, MessageIcon icon) {
  QMessageBox box(IconFor(icon), title_, ToQt(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtPrompt::AskYesNo(std::string_view text) {
  return Ask(parent_, title_, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompt::AskOkCancel(std::string_view text) {
  return Ask(parent_, title_, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> QtPrompt::PickFile(std::string_view title, std::string_view filter,
                                              std::string_view startDirectory) {
  QString picked =
      QFileDialog::getOpenFileName(parent_, ToQt(title), ToQt(startDirectory), ToQt(filter));
  if (picked.isEmpty()) return std::nullopt;
  return picked.toStdString();
}

std::optional<std::string> QtPrompt::PickDirectory(std::string_view title,
                                                   std::string_view startDirectory) {
  QString picked = QFileDialog::getExistingDirectory(parent_, ToQt(title), ToQt(startDirectory));
  if (picked.isEmpty()) return std::nullopt;
  std::string directory = picked.toStdString();
  if (directory.back() != '/') directory += '/';
  return directory;
}

std::optional<int> QtPrompt::AskChoice(const ChoiceQuestion& question) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(ToQt(question.caption));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(ToQt(question.text)));
  if (!question.field.empty()) {
    auto* field = new QLineEdit(ToQt(question.field));
    field->setReadOnly(true);
    layout->addWidget(field);
  }
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (std::size_t i = 0; i < question.buttons.size(); ++i) {
    auto* button = new QPushButton(ToQt(question.buttons[i]));
    button->setDefault(i == 0);
    // done() codes start above Rejected (0), which closing the box gives.
    QObject::connect(button, &QPushButton::clicked, &dialog,
                     [&dialog, i] { dialog.done(int(i) + 1); });
    row->addWidget(button);
  }
  layout->addLayout(row);
  const int result = dialog.exec();
  if (result <= 0) return std::nullopt;
  return result - 1;
}

}  // namespace quenda

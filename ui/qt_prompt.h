#pragma once
// The programs' Prompt: message boxes titled "Quenda" and the system's file dialogs.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/prompt.h"

namespace quenda {

class QtPrompt final : public Prompt {
 public:
  // Dialogs are modal to `parent` (which may be null, or go away before the prompt does).
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  // Message boxes with another title than "Quenda", where a window names its own.
  QtPrompt(QWidget* parent, QString title) : parent_(parent), title_(std::move(title)) {}

  void Message(std::string_view text, MessageIcon icon = MessageIcon::Information) override;
  bool AskYesNo(std::string_view text) override;
  bool AskOkCancel(std::string_view text) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view startDirectory) override;
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view startDirectory) override;
  // A dialog of the question's caption; the field is a read-only line edit.
  std::optional<int> AskChoice(const ChoiceQuestion& question) override;

 private:
  QPointer<QWidget> parent_;
  QString title_ = QStringLiteral("Quenda");
};

}  // namespace quenda

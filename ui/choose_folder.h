#pragma once
// "Choose Folder": a file dialog that yields a directory rather than a file.

#include <QFileDialog>
#include <optional>
#include <string>

namespace quenda {

class ChooseFolderDialog final : public QFileDialog {
  Q_OBJECT

 public:
  explicit ChooseFolderDialog(QWidget* parent = nullptr, const QString& startDirectory = {});

  // The accepted folder, ending with '/'; nothing when the dialog was cancelled.
  std::optional<std::string> chosenFolder() const;

  // Shows the dialog modally and answers as chosenFolder.
  static std::optional<std::string> Choose(QWidget* parent, const QString& startDirectory);
};

}  // namespace quenda

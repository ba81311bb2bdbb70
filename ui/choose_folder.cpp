#include "ui/choose_folder.h"

namespace quenda {

ChooseFolderDialog::ChooseFolderDialog(QWidget* parent, const QString& startDirectory)
    : QFileDialog(parent, QStringLiteral("Choose Folder"), startDirectory) {
  setFileMode(QFileDialog::Directory);
  setOption(QFileDialog::ShowDirsOnly, true);
  setAcceptMode(QFileDialog::AcceptOpen);
}

std::optional<std::string> ChooseFolderDialog::chosenFolder() const {
  if (result() != QDialog::Accepted) return std::nullopt;
  QStringList chosen = selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  std::string folder = chosen.front().toStdString();
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> ChooseFolderDialog::Choose(QWidget* parent,
                                                      const QString& startDirectory) {
  ChooseFolderDialog dialog(parent, startDirectory);
  dialog.exec();
  return dialog.chosenFolder();
}

}  // namespace quenda

#include "ui/save_path_picker.h"

#include <QFileDialog>

namespace quenda {

SavePathPicker SystemSavePathPicker() {
  return [](QWidget* parent, const SaveQuestion& question) -> std::optional<QString> {
    QFileDialog dialog(parent, question.title, QString(), question.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(question.suffix);
    if (!question.name.isEmpty()) dialog.selectFile(question.name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  };
}

}  // namespace quenda

#include "ui/save_path_picker.h"

#include <QFileDialog>

namespace quenda {

SavePathPicker SystemSavePathPicker() {
  return [](QWidget* parent, const QString& title, const QString& filter,
            const QString& suffix) -> std::optional<QString> {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  };
}

}  // namespace quenda

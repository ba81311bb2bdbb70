#include "ui/save_path_picker.h"

#include <QFileDialog>
#include <QFileInfo>

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

CoreSavePathPicker CorePickerOf(QWidget* parent, SavePathPicker pick) {
  return
      [parent, pick = std::move(pick)](std::string_view title, std::string_view filter,
                                       const std::string& startPath) -> std::optional<std::string> {
        const QString path = QString::fromStdString(startPath);
        const auto text = [](std::string_view t) {
          return QString::fromUtf8(t.data(), qsizetype(t.size()));
        };
        const std::optional<QString> picked =
            pick(parent, {text(title), text(filter), QFileInfo(path).suffix(), path});
        if (!picked) return std::nullopt;
        return picked->toStdString();
      };
}

}  // namespace quenda

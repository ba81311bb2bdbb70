#pragma once
// The composer window's save dialog, a plain QFileDialog so that the window's tests can answer
// it like any other modal dialog. For the window's files only.

#include <QFileDialog>
#include <QString>
#include <QWidget>

namespace quenda {

// A save dialog that the window's tests can answer like any other modal dialog.
inline QString AskSavePath(QWidget* parent, const QString& title, const QString& name,
                           const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, title, QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace quenda

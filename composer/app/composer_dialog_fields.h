#pragma once
// Small pieces the composer's dialogs share: text and number fields read the way their range
// messages expect, and the OK and Cancel buttons. For the dialog files only.

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QString>
#include <climits>
#include <cmath>
#include <string_view>

namespace quenda::dialog_fields {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// An unreadable number counts as out of range, so the field's range message names it.
inline int IntOf(const QLineEdit* field) {
  bool ok = false;
  int value = field->text().trimmed().toInt(&ok);
  return ok ? value : INT_MIN;
}

inline double DoubleOf(const QLineEdit* field) {
  bool ok = false;
  double value = field->text().trimmed().toDouble(&ok);
  return ok ? value : NAN;
}

inline QLineEdit* NamedField(QWidget* owner, const char* name, const QString& text) {
  auto* field = new QLineEdit(text, owner);
  field->setObjectName(QString::fromLatin1(name));
  return field;
}

inline QString Number(double value) {
  return QString::number(value, 'g', 10);
}

inline QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace quenda::dialog_fields

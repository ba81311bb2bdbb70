#include "scanner/app/import_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "scanner/app/sequence_fields.h"
#include "ui/dpi_buttons.h"
#include "ui/peg_buttons.h"

namespace quenda::scanner {

ImportDialog::ImportDialog(const ImportSource& source, Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt), source_(source) {
  setWindowTitle(QStringLiteral("Import Sequence"));
  auto* layout = new QVBoxLayout(this);
  auto* facts = new QFormLayout;
  const QString start = source.single ? QString() : QString::number(source.start);
  const QString end = source.single ? QString() : QString::number(source.end);
  const struct {
    const char* name;
    QString label;
    QString value;
  } rows[] = {
      {"type", QStringLiteral("Type   :"), QString::fromStdString(ImportTypeText(source))},
      {"path", QStringLiteral("Path    :"), QString::fromStdString(source.directory)},
      {"header", QStringLiteral("Header :"), QString::fromStdString(source.header)},
      {"start", QStringLiteral("Start     :"), start},
      {"end", QStringLiteral("End    :"), end},
      {"resolution", QStringLiteral("Resolution :"),
       QString::fromStdString(ImportResolutionText(source))},
  };
  for (const auto& row : rows) {
    auto* value = new QLabel(row.value);
    value->setObjectName(QString::fromLatin1(row.name));
    facts->addRow(row.label, value);
  }
  layout->addLayout(facts);
  fields_ =
      new SequenceFields(prompt, {QStringLiteral("Output Quenda Sequence Name:"),
                                  QStringLiteral("Select Output Directory"),
                                  "Select Output Directory", QStringLiteral("Assumed Peg Position"),
                                  QStringLiteral("Assumed Dot Per Inch (dpi)")});
  layout->addWidget(fields_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

ImportForm ImportDialog::form() const {
  return {fields_->name(), fields_->directory(), fields_->pegButtons()->checked(),
          fields_->dpiButtons()->dpi()};
}

void ImportDialog::accept() {
  if (Status checked = CheckImportForm(form(), source_); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Information);
    return;
  }
  QDialog::accept();
}

}  // namespace quenda::scanner

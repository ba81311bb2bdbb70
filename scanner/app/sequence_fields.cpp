#include "scanner/app/sequence_fields.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dpi_buttons.h"
#include "ui/peg_buttons.h"

namespace quenda::scanner {
namespace {

QGroupBox* Framed(const QString& title, QWidget* inside) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(inside);
  return box;
}

}  // namespace

SequenceFields::SequenceFields(Prompt& prompt, const SequenceFieldTexts& texts, QWidget* parent)
    : QWidget(parent),
      name_(new QLineEdit),
      path_(new QLineEdit),
      pegs_(new PegButtons),
      dpis_(new DpiButtons) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* form = new QFormLayout;
  form->addRow(texts.name, name_);
  path_->setReadOnly(true);
  auto* choose = new QPushButton(texts.choose);
  choose->setObjectName(QStringLiteral("chooseDirectory"));
  connect(choose, &QPushButton::clicked, this, [this, &prompt, title = texts.chooseTitle] {
    if (auto chosen = prompt.PickDirectory(title, path_->text().toStdString()))
      path_->setText(QString::fromStdString(*chosen));
  });
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_);
  pathRow->addWidget(choose);
  form->addRow(QStringLiteral("Sequence Path:"), pathRow);
  layout->addLayout(form);
  layout->addWidget(Framed(texts.pegs, pegs_));
  layout->addWidget(Framed(texts.dpis, dpis_));
}

std::string SequenceFields::name() const {
  return name_->text().toStdString();
}

std::string SequenceFields::directory() const {
  std::string directory = path_->text().toStdString();
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

}  // namespace quenda::scanner

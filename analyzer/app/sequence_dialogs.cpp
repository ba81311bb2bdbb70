#include "analyzer/app/sequence_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QPushButton* AddButton(QBoxLayout* row, const QString& text) {
  auto* b = new QPushButton(text);
  b->setAutoDefault(false);
  row->addWidget(b);
  return b;
}

QPushButton* ButtonIn(const QWidget* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

void Untitled(QDialog* dialog, std::string_view title) {
  dialog->setWindowTitle(Q(title));
  dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

}  // namespace

SequenceSelectionDialog::SequenceSelectionDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt) {
  Untitled(this, kPaintSelectionTitle);
  path_ = new QLabel;
  name_ = new QLabel;
  path_->setMinimumWidth(300);
  auto* facts = new QFormLayout;
  facts->addRow(QStringLiteral("Path:"), path_);
  facts->addRow(QStringLiteral("Name:"), name_);
  auto* choose = new QHBoxLayout;
  connect(AddButton(choose, QStringLiteral("Select a Sequence")), &QPushButton::clicked, this,
          [this] {
            auto path = prompt_.PickFile(kOpenBaseImageTitle, kDrawingScanFilter, {});
            if (!path || !doc_.SelectPaintSequence(*path, choice_)) return;
            path_->setText(QString::fromStdString(choice_.sequence->directory));
            name_->setText(QString::fromStdString(choice_.sequence->name));
          });
  connect(AddButton(choose, Q(kLoadColorSetTitle)), &QPushButton::clicked, this, [this] {
    auto path = prompt_.PickFile(kLoadColorSetTitle, kColorModelFilter, {});
    if (path) (void)doc_.LoadPaintColorSet(*path, choice_);
  });
  auto* run = new QHBoxLayout;
  connect(AddButton(run, QStringLiteral("ACCEPT")), &QPushButton::clicked, this, [this] {
    if (doc_.SequencePaintChecks(choice_)) accept();
  });
  connect(AddButton(run, QStringLiteral("Cancel")), &QPushButton::clicked, this,
          [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choose);
  layout->addLayout(facts);
  layout->addLayout(run);
}

QPushButton* SequenceSelectionDialog::button(const QString& text) const {
  return ButtonIn(this, text);
}

QString SequenceSelectionDialog::nameText() const {
  return name_->text();
}

EntryDialog::EntryDialog(std::string_view title, std::function<Status(std::string_view)> enter,
                         QWidget* parent)
    : QDialog(parent) {
  Untitled(this, title);
  field_ = new QLineEdit;
  enter_ = new QPushButton(QStringLiteral("ENTER"));
  enter_->setDefault(true);
  connect(enter_, &QPushButton::clicked, this, [this, enter = std::move(enter)] {
    if (enter(field_->text().toStdString())) accept();
  });
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(field_);
  layout->addWidget(enter_);
}

RenderSequenceDialog::RenderSequenceDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt) {
  Untitled(this, kRenderSelectionTitle);
  // The sequence's own directory until another is chosen.
  if (const SequencePaintState* painted = doc_.paintSequence())
    directory_ = painted->sequence.directory;
  directoryShown_ = new QLabel(QString::fromStdString(directory_));
  directoryShown_->setMinimumWidth(300);
  header_ = new QLineEdit;
  start_ = new QLineEdit;
  end_ = new QLineEdit;
  auto* choose = new QHBoxLayout;
  connect(AddButton(choose, QStringLiteral("Select Output Directory")), &QPushButton::clicked, this,
          [this] {
            auto directory = prompt_.PickDirectory("Select Output Directory", directory_);
            if (!directory) return;
            directory_ = *directory;
            directoryShown_->setText(QString::fromStdString(directory_));
          });
  choose->addWidget(directoryShown_, 1);
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Frame Header:"), header_);
  fields->addRow(QStringLiteral("Start Frame No:"), start_);
  fields->addRow(QStringLiteral("End Frame No:"), end_);
  auto* run = new QHBoxLayout;
  connect(AddButton(run, QStringLiteral("RENDER")), &QPushButton::clicked, this, [this] {
    request_ = doc_.PrepareRender({directory_, header_->text().toStdString(),
                                   start_->text().toStdString(), end_->text().toStdString()});
    if (request_) accept();
  });
  connect(AddButton(run, QStringLiteral("Cancel")), &QPushButton::clicked, this,
          [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choose);
  layout->addLayout(fields);
  layout->addLayout(run);
}

QPushButton* RenderSequenceDialog::button(const QString& text) const {
  return ButtonIn(this, text);
}

}  // namespace quenda

// The composer's output dialogs: picking from a list, Preview and Render Output.
#include "composer/app/composer_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "composer/app/composer_dialog_fields.h"

namespace quenda {

using namespace dialog_fields;

// ---- Lists ------------------------------------------------------------------------------------

PickListDialog::PickListDialog(const QString& title, const QString& current,
                               const QStringList& items, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  if (!current.isNull()) {
    auto* shown = new QLineEdit(current, this);
    shown->setObjectName(QStringLiteral("current"));
    shown->setReadOnly(true);
    layout->addWidget(shown);
  }
  list_ = new QListWidget(this);
  list_->addItems(items);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(list_);
  layout->addWidget(OkCancel(this));
}

int PickListDialog::chosenRow() const {
  return list_->currentItem() ? list_->currentRow() : -1;
}

// ---- Preview ----------------------------------------------------------------------------------

PreviewDialog::PreviewDialog(const Composition& composition, QWidget* parent)
    : QDialog(parent), composition_(composition) {
  setWindowTitle(QStringLiteral("Generate Preview"));
  PreviewSettings defaults = DefaultPreviewSettings(composition);
  quality_ = new QSlider(Qt::Horizontal, this);
  quality_->setRange(0, kPreviewMaxQuality);
  quality_->setValue(defaults.quality);
  auto* qualityRow = new QHBoxLayout;
  qualityRow->addWidget(new QLabel(QStringLiteral("Worst"), this));
  qualityRow->addWidget(quality_);
  qualityRow->addWidget(new QLabel(QStringLiteral("Best"), this));
  auto* scaling = new QGroupBox(QStringLiteral("Scaling"), this);
  auto* scalingRow = new QHBoxLayout(scaling);
  const char* names[] = {"FULL", "HALF", "QUARTER"};
  for (int i = 0; i < 3; ++i) {
    scaling_[i] = new QRadioButton(QString::fromLatin1(names[i]), scaling);
    scalingRow->addWidget(scaling_[i]);
  }
  scaling_[defaults.scaling]->setChecked(true);
  start_ = NamedField(this, "startFrame", QString::number(defaults.startFrame));
  end_ = NamedField(this, "endFrame", QString::number(defaults.endFrame));
  step_ = NamedField(this, "step", QString::number(defaults.step));
  for (QLineEdit* field : {start_, end_, step_})
    connect(field, &QLineEdit::editingFinished, this, [this] { Normalize(); });
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Image Quality :"), qualityRow);
  form->addRow(scaling);
  form->addRow(QStringLiteral("Start Frame :"), start_);
  form->addRow(QStringLiteral("End Frame :"), end_);
  form->addRow(QStringLiteral("Step :"), step_);
  auto* buttons = new QDialogButtonBox(this);
  auto* generate = buttons->addButton(QStringLiteral("Generate"), QDialogButtonBox::AcceptRole);
  generate->setObjectName(QStringLiteral("generate"));
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Normalize();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QLineEdit* PreviewDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

PreviewSettings PreviewDialog::settings() const {
  PreviewSettings s;
  s.quality = quality_->value();
  for (int i = 0; i < 3; ++i)
    if (scaling_[i]->isChecked()) s.scaling = i;
  s.startFrame = std::max(IntOf(start_), 0);
  s.endFrame = std::max(IntOf(end_), 0);
  s.step = std::max(IntOf(step_), 0);
  return NormalizePreviewSettings(s, composition_);
}

void PreviewDialog::Normalize() {
  PreviewSettings s = settings();
  start_->setText(QString::number(s.startFrame));
  end_->setText(QString::number(s.endFrame));
  step_->setText(QString::number(s.step));
}

// ---- Render output ----------------------------------------------------------------------------

RenderOutputDialog::RenderOutputDialog(Prompt& prompt, const Composition& composition,
                                       std::function<void(const RenderOutputSettings&)> render,
                                       QWidget* parent)
    : QDialog(parent), prompt_(prompt), composition_(composition), onRender_(std::move(render)) {
  setWindowTitle(QStringLiteral("Render Output"));
  RenderOutputSettings d = DefaultRenderOutputSettings(composition);
  start_ = NamedField(this, "frameStart", QString::number(d.frameStart));
  end_ = NamedField(this, "frameEnd", QString::number(d.frameEnd));
  name_ = NamedField(this, "name", {});
  startNumber_ = NamedField(this, "startNumber", QString::number(d.startNumber));
  directory_ = NamedField(this, "directory", {});
  auto* choose = new QPushButton(QStringLiteral("Select Output Directory"), this);
  zeros_ = new QCheckBox(QStringLiteral("Use Leading Zeros"), this);
  zeros_->setObjectName(QStringLiteral("leadingZeros"));
  zeros_->setChecked(d.leadingZeros);
  fields_ = new QCheckBox(QStringLiteral("Render Fields"), this);
  fields_->setObjectName(QStringLiteral("fields"));
  odd_ = new QRadioButton(QStringLiteral("Odd"), this);
  odd_->setObjectName(QStringLiteral("odd"));
  even_ = new QRadioButton(QStringLiteral("Even"), this);
  even_->setObjectName(QStringLiteral("even"));
  odd_->setChecked(true);
  auto* order = new QButtonGroup(this);
  order->addButton(odd_);
  order->addButton(even_);
  best_ = new QRadioButton(QStringLiteral("Best but slower"), this);
  best_->setObjectName(QStringLiteral("best"));
  fast_ = new QRadioButton(QStringLiteral("Not good but faster"), this);
  fast_->setObjectName(QStringLiteral("fast"));
  best_->setChecked(true);
  auto* quality = new QButtonGroup(this);
  quality->addButton(best_);
  quality->addButton(fast_);
  matte_ = new QCheckBox(QStringLiteral("Render with matte (32 bit)"), this);
  matte_->setObjectName(QStringLiteral("matte"));
  format_ = new PictureFormatChoice(this);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Frame Start :"), start_);
  form->addRow(QStringLiteral("End :"), end_);
  form->addRow(QStringLiteral("Name :"), name_);
  form->addRow(QStringLiteral("Start Frm :"), startNumber_);
  auto* directoryRow = new QHBoxLayout;
  directoryRow->addWidget(choose);
  directoryRow->addWidget(directory_);
  form->addRow(directoryRow);
  form->addRow(zeros_);
  auto* fieldRow = new QHBoxLayout;
  fieldRow->addWidget(fields_);
  fieldRow->addWidget(odd_);
  fieldRow->addWidget(even_);
  form->addRow(fieldRow);
  auto* qualityBox = new QGroupBox(QStringLiteral("Render Quality"), this);
  auto* qualityRow = new QVBoxLayout(qualityBox);
  qualityRow->addWidget(best_);
  qualityRow->addWidget(fast_);
  form->addRow(qualityBox);
  form->addRow(matte_);
  form->addRow(format_);
  auto* buttons = new QDialogButtonBox(this);
  render_ = buttons->addButton(QStringLiteral("Render"), QDialogButtonBox::ActionRole);
  render_->setObjectName(QStringLiteral("render"));
  auto* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(render_, &QPushButton::clicked, this, [this] {
    Normalize();
    if (directory_->text().isEmpty()) {
      prompt_.Message("Please select an output directory", MessageIcon::Warning);
      return;
    }
    onRender_(settings());
  });
  connect(choose, &QPushButton::clicked, this, [this] {
    if (auto picked =
            prompt_.PickDirectory("Choose storage directory", directory_->text().toStdString()))
      directory_->setText(QString::fromStdString(OutputDirectoryFromPick(*picked)));
  });
  for (QLineEdit* field : {start_, end_})
    connect(field, &QLineEdit::editingFinished, this, [this] { Normalize(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QLineEdit* RenderOutputDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QCheckBox* RenderOutputDialog::check(const char* name) const {
  return findChild<QCheckBox*>(QString::fromLatin1(name));
}

QRadioButton* RenderOutputDialog::radio(const char* name) const {
  return findChild<QRadioButton*>(QString::fromLatin1(name));
}

RenderOutputSettings RenderOutputDialog::settings() const {
  RenderOutputSettings s = DefaultRenderOutputSettings(composition_);
  s.frameStart = IntOf(start_) == INT_MIN ? 1 : IntOf(start_);
  s.frameEnd = IntOf(end_) == INT_MIN ? composition_.frames : IntOf(end_);
  s.name = name_->text().toStdString();
  s.startNumber = IntOf(startNumber_) == INT_MIN ? 0 : IntOf(startNumber_);
  s.directory = directory_->text().toStdString();
  if (!s.directory.empty() && s.directory.back() != '/') s.directory += '/';
  s.leadingZeros = zeros_->isChecked();
  s.fields = fields_->isChecked();
  s.fieldOrder = even_->isChecked() ? FieldOrder::Even : FieldOrder::Odd;
  s.best = best_->isChecked();
  s.matte = matte_->isChecked();
  s.format = format_->format();
  s.depth = format_->depth();
  return NormalizeRenderOutputSettings(s, composition_);
}

void RenderOutputDialog::Normalize() {
  RenderOutputSettings s = settings();
  start_->setText(QString::number(s.frameStart));
  end_->setText(QString::number(s.frameEnd));
}

}  // namespace quenda

#include "dopegrid/app/render_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "dopegrid/core/sheet_dialogs.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QAbstractButton* ButtonByText(const QWidget* dialog, const QString& text) {
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

// Two or three exclusive choices in a row, the first `checked` one on.
QGroupBox* Choices(const QString& title, const QStringList& texts, int checked) {
  auto* box = new QGroupBox(title);
  auto* row = new QHBoxLayout(box);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < texts.size(); ++i) {
    auto* choice = new QRadioButton(texts[i]);
    choice->setChecked(i == checked);
    group->addButton(choice, i);
    row->addWidget(choice);
  }
  return box;
}

int CheckedChoice(const QGroupBox* box) {
  const auto choices = box->findChildren<QRadioButton*>();
  for (int i = 0; i < choices.size(); ++i)
    if (choices[i]->isChecked()) return i;
  return 0;
}

// A slider between two end labels with its value shown beside it.
QSlider* LabelledSlider(QGridLayout* grid, int row, const QString& low, const QString& high,
                        int minimum, int maximum, int value, std::function<QString(int)> text) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(minimum, maximum);
  slider->setValue(value);
  auto* shown = new QLabel(text(value));
  QObject::connect(slider, &QSlider::valueChanged, shown,
                   [shown, text](int v) { shown->setText(text(v)); });
  grid->addWidget(new QLabel(low), row, 0);
  grid->addWidget(slider, row, 1);
  grid->addWidget(new QLabel(high), row, 2);
  grid->addWidget(shown, row, 3);
  return slider;
}

}  // namespace

JobRangeFields::JobRangeFields(const CDopegridDoc& doc, int frameLimit, QWidget* parent)
    : QObject(parent),
      frameLimit_(std::max(frameLimit, 1)),
      levelCount_(doc.sheet().levelCount),
      start_(new QSpinBox),
      end_(new QSpinBox),
      levels_(new QListWidget),
      selectAll_(new QPushButton(QStringLiteral("<- Select All"))) {
  const JobDefaults defaults = DefaultJob(doc.selection());
  for (QSpinBox* field : {start_, end_}) {
    field->setRange(1, frameLimit_);
    field->setKeyboardTracking(false);
  }
  start_->setValue(defaults.firstFrame);
  end_->setValue(defaults.lastFrame);
  connect(start_, &QSpinBox::editingFinished, this, [this] {
    start_->setValue(ClampStartFrame(start_->value(), end_->value(), frameLimit_));
  });
  connect(end_, &QSpinBox::editingFinished, this,
          [this] { end_->setValue(ClampEndFrame(end_->value(), start_->value(), frameLimit_)); });
  levels_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (int l = 0; l < levelCount_; ++l) levels_->addItem(Q(doc.sheet().LevelName(l)));
  for (int l : defaults.levels)
    if (l < levelCount_) levels_->item(l)->setSelected(true);
  connect(static_cast<QPushButton*>(selectAll_), &QPushButton::clicked, levels_,
          &QListWidget::selectAll);
}

int JobRangeFields::firstFrame() const {
  return ClampStartFrame(start_->value(), end_->value(), frameLimit_) - 1;
}

int JobRangeFields::lastFrame() const {
  return std::max(ClampEndFrame(end_->value(), start_->value(), frameLimit_) - 1, firstFrame());
}

std::vector<int> JobRangeFields::chosenLevels() const {
  std::vector<int> rows;
  for (const QModelIndex& index : levels_->selectionModel()->selectedIndexes())
    rows.push_back(index.row());
  return ChosenLevelsOrAll(std::move(rows), levelCount_);
}

// Range fields and levels side by side, as both dialogs lay them out.
static QGridLayout* RangeLayout(JobRangeFields& range) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Frame start:")), 0, 0);
  grid->addWidget(range.start(), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Frame end:")), 1, 0);
  grid->addWidget(range.end(), 1, 1);
  grid->addWidget(range.selectAll(), 2, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Levels:")), 0, 2);
  grid->addWidget(range.levels(), 1, 2, 3, 1);
  return grid;
}

RenderDialog::RenderDialog(const CDopegridDoc& doc, Prompt& prompt, Run run, QWidget* parent)
    : QDialog(parent), prompt_(prompt), run_(std::move(run)) {
  setWindowTitle(QStringLiteral("Render Output"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QGridLayout;
  top->addWidget(new QLabel(QStringLiteral("Name:")), 0, 0);
  name_ = new QLineEdit;
  name_->setMaxLength(kRenderNameLimit);
  top->addWidget(name_, 0, 1);
  auto* choose = new QPushButton(QStringLiteral("Select Output Directory"));
  top->addWidget(choose, 1, 0);
  directory_ = new QLineEdit;
  directory_->setReadOnly(true);
  top->addWidget(directory_, 1, 1);
  layout->addLayout(top);
  range_ = new JobRangeFields(doc, std::min(doc.sheet().frameCount, kRenderFrameLimit), this);
  layout->addLayout(RangeLayout(*range_));
  layout->addWidget(new QCheckBox(QStringLiteral("Do not paint frames (line test render)")));
  sizes_ = Choices(
      QStringLiteral("Size"),
      {QStringLiteral("Full Size"), QStringLiteral("Half Size"), QStringLiteral("Quarter Size")},
      0);
  qualities_ =
      Choices(QStringLiteral("Render quality"),
              {QStringLiteral("Best but slower"), QStringLiteral("Not good but faster")}, 0);
  layout->addWidget(sizes_);
  layout->addWidget(qualities_);
  format_ = new PictureFormatChoice(this);
  layout->addWidget(format_);
  auto* buttons = new QHBoxLayout;
  auto* render = new QPushButton(QStringLiteral("Render"));
  auto* close = new QPushButton(QStringLiteral("Close"));
  render->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(render);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseDirectory(); });
  connect(render, &QPushButton::clicked, this, [this] { Render(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QAbstractButton* RenderDialog::button(const QString& text) const {
  return ButtonByText(this, text);
}

RenderSettings RenderDialog::settings() const {
  RenderSettings s;
  s.directory = directory_->text().toStdString();
  s.name = name_->text().toStdString();
  s.firstFrame = range_->firstFrame();
  s.lastFrame = range_->lastFrame();
  s.levels = range_->chosenLevels();
  if (button(QStringLiteral("Do not paint frames (line test render)"))->isChecked())
    s.kind = RenderKind::LineTest;
  s.size = RenderSize(CheckedChoice(sizes_));
  s.quality = CheckedChoice(qualities_) == 0 ? RenderQuality::Best : RenderQuality::Fast;
  s.format = format_->format();
  s.depth = format_->depth();
  return s;
}

void RenderDialog::ChooseDirectory() {
  auto picked = prompt_.PickDirectory("Choose storage directory", directory_->text().toStdString());
  if (!picked || picked->empty()) return;
  // Stored with the separator at its end, so that the name follows directly.
  if (picked->back() != '/') *picked += '/';
  directory_->setText(QString::fromStdString(*picked));
}

void RenderDialog::Render() {
  const RenderSettings s = settings();
  if (Status refusal = CheckRenderSettings(s); !refusal) {
    prompt_.Message(refusal.message(), MessageIcon::Error);
    return;
  }
  run_(s);
}

FlipbookDialog::FlipbookDialog(const CDopegridDoc& doc, Run run, QWidget* parent)
    : QDialog(parent), run_(std::move(run)) {
  setWindowTitle(QStringLiteral("Generate Flipbook"));
  auto* layout = new QVBoxLayout(this);
  type_ = Choices(QStringLiteral("Type"),
                  {QStringLiteral("Use Painted Frames"), QStringLiteral("Use Scanned Frames")}, 1);
  layout->addWidget(type_);
  auto* sliders = new QGridLayout;
  quality_ = LabelledSlider(sliders, 0, QStringLiteral("Worst"), QStringLiteral("Best"), 0,
                            kMaxFlipbookQuality, kDefaultFlipbookQuality,
                            [](int v) { return Q(QualityText(v)); });
  size_ = LabelledSlider(sliders, 1, QStringLiteral("Min Size"), QStringLiteral("Max Size"),
                         kMinFlipbookSize, kMaxFlipbookSize, kDefaultFlipbookSize,
                         [](int v) { return QString::number(v); });
  layout->addLayout(sliders);
  range_ = new JobRangeFields(doc, doc.sheet().frameCount, this);
  layout->addLayout(RangeLayout(*range_));

  auto* rateRow = new QHBoxLayout;
  rateRow->addWidget(new QLabel(QStringLiteral("Frame rate:")));
  rate_ = new QSpinBox;
  rate_->setRange(1, kMaxFlipbookRate);
  rate_->setValue(25);
  rateRow->addWidget(rate_);
  rateChoice_ = new QComboBox;
  for (std::string_view choice : kFrameRateChoices) rateChoice_->addItem(Q(choice));
  rateChoice_->setCurrentIndex(FrameRateChoice(25));
  rateRow->addWidget(rateChoice_);
  layout->addLayout(rateRow);
  // A listed rate fills the field; a typed one is "Custom".
  connect(rateChoice_, &QComboBox::activated, this, [this](int index) {
    if (index >= int(kFrameRateValues.size())) return;
    const QSignalBlocker quiet(rate_);
    rate_->setValue(kFrameRateValues[std::size_t(index)]);
  });
  connect(rate_, &QSpinBox::valueChanged, this,
          [this] { rateChoice_->setCurrentIndex(int(kFrameRateValues.size())); });

  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(QStringLiteral("Background:")));
  swatch_ = new QLabel;
  swatch_->setFixedSize(40, 20);
  swatch_->setAutoFillBackground(true);
  colourRow->addWidget(swatch_);
  auto* set = new QPushButton(QStringLiteral("Set >>"));
  colourRow->addWidget(set);
  colourRow->addStretch();
  layout->addLayout(colourRow);
  SetBackground(background_);
  connect(set, &QPushButton::clicked, this, [this] {
    const QColor picked = QColorDialog::getColor(background_, this);
    if (picked.isValid()) SetBackground(picked);
  });

  auto* buttons = new QHBoxLayout;
  auto* generate = new QPushButton(QStringLiteral("Generate"));
  auto* done = new QPushButton(QStringLiteral("Done"));
  generate->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(generate);
  buttons->addWidget(done);
  layout->addLayout(buttons);
  connect(generate, &QPushButton::clicked, this, [this] { run_(settings()); });
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
}

void FlipbookDialog::SetBackground(const QColor& color) {
  background_ = color;
  QPalette palette = swatch_->palette();
  palette.setColor(QPalette::Window, color);
  swatch_->setPalette(palette);
}

QAbstractButton* FlipbookDialog::button(const QString& text) const {
  return ButtonByText(this, text);
}

FlipbookSettings FlipbookDialog::settings() const {
  FlipbookSettings s;
  s.mode = CheckedChoice(type_) == 0 ? CompositeMode::Painted : CompositeMode::Scanned;
  s.quality = quality_->value();
  s.firstFrame = range_->firstFrame();
  s.lastFrame = range_->lastFrame();
  s.levels = range_->chosenLevels();
  s.size = size_->value();
  s.frameRate = rate_->value();
  s.backgroundRed = uint8_t(background_.red());
  s.backgroundGreen = uint8_t(background_.green());
  s.backgroundBlue = uint8_t(background_.blue());
  return s;
}

}  // namespace quenda

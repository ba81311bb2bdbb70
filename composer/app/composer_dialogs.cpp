// The composer's movie dialogs: a new movie's size, rate and background, and an open movie's
// settings.
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

class ColorField final : public QWidget {
 public:
  ColorField(uint32_t color, QWidget* parent) : QWidget(parent), color_(color) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    swatch_ = new QLabel(this);
    swatch_->setFixedSize(48, 20);
    swatch_->setFrameShape(QFrame::Box);
    auto* set = new QPushButton(QStringLiteral("Set >> "), this);
    set->setObjectName(QStringLiteral("setColor"));
    layout->addWidget(swatch_);
    layout->addWidget(set);
    layout->addStretch();
    connect(set, &QPushButton::clicked, this, [this] {
      QColor picked = QColorDialog::getColor(qcolor(), this);
      if (picked.isValid())
        Set(uint32_t(picked.red()) | uint32_t(picked.green()) << 8 | uint32_t(picked.blue()) << 16);
    });
    Set(color);
  }
  uint32_t color() const { return color_; }
  void Set(uint32_t color) {
    color_ = color;
    swatch_->setStyleSheet(QStringLiteral("background-color: %1").arg(qcolor().name()));
  }

 private:
  QColor qcolor() const {
    return QColor(int(color_ & 0xFF), int(color_ >> 8 & 0xFF), int(color_ >> 16 & 0xFF));
  }
  uint32_t color_;
  QLabel* swatch_;
};

// ---- New movie --------------------------------------------------------------------------------

NewMovieDialog::NewMovieDialog(Prompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Movie Settings"));
  auto* form = new QFormLayout;
  frames_ = NamedField(this, "frames", QStringLiteral("25"));
  presets_ = new QComboBox(this);
  for (const MoviePreset& preset : kMoviePresets) presets_->addItem(Q(preset.name));
  presets_->addItem(QStringLiteral("Custom"));
  width_ = NamedField(this, "width", {});
  height_ = NamedField(this, "height", {});
  aspect_ = NamedField(this, "aspect", {});
  aspectChoice_ = new QComboBox(this);
  aspectChoice_->addItems({"Square", "D1 NTSC", "D1 PAL", "Custom"});
  rate_ = NamedField(this, "rate", {});
  rateChoice_ = new QComboBox(this);
  rateChoice_->addItems({"15", "24", "25", "30", "60", "Custom"});
  color_ = new ColorField(0, this);
  auto pair = [this](QWidget* a, QWidget* b) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(a);
    row->addWidget(b);
    return box;
  };
  form->addRow(QStringLiteral("Frames :"), frames_);
  form->addRow(QStringLiteral("Presets :"), presets_);
  form->addRow(QStringLiteral("Width :"), width_);
  form->addRow(QStringLiteral("Height :"), height_);
  form->addRow(QStringLiteral("Pixel Aspect :"), pair(aspect_, aspectChoice_));
  form->addRow(QStringLiteral("Frame Rate :"), pair(rate_, rateChoice_));
  form->addRow(QStringLiteral("BackGround Color :"), color_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));

  connect(presets_, &QComboBox::activated, this, [this](int index) { ChoosePreset(index); });
  connect(aspectChoice_, &QComboBox::activated, this, [this](int index) {
    if (auto aspect = AspectForChoice(AspectChoice(index))) aspect_->setText(Number(*aspect));
  });
  connect(rateChoice_, &QComboBox::activated, this, [this](int index) {
    if (index < 5) rate_->setText(rateChoice_->itemText(index));
  });
  presets_->setCurrentText(Q(kDefaultPreset));
  ChoosePreset(presets_->currentIndex());
}

QLineEdit* NewMovieDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

void NewMovieDialog::SetCustom(bool custom) {
  for (QLineEdit* field : {width_, height_, aspect_, rate_}) field->setReadOnly(!custom);
  aspectChoice_->setEnabled(custom);
  rateChoice_->setEnabled(custom);
}

void NewMovieDialog::ChoosePreset(int index) {
  std::optional<MoviePreset> preset = FindMoviePreset(presets_->itemText(index).toStdString());
  SetCustom(!preset);
  if (!preset) return;
  width_->setText(QString::number(preset->width));
  height_->setText(QString::number(preset->height));
  aspect_->setText(Number(preset->pixelAspect));
  aspectChoice_->setCurrentIndex(int(preset->aspectShown));
  rate_->setText(QString::number(preset->frameRate));
  int rateIndex = rateChoice_->findText(QString::number(preset->frameRate));
  rateChoice_->setCurrentIndex(rateIndex >= 0 ? rateIndex : 5);
}

NewMovieValues NewMovieDialog::values() const {
  NewMovieValues v;
  v.frames = IntOf(frames_);
  v.width = IntOf(width_);
  v.height = IntOf(height_);
  v.pixelAspect = float(DoubleOf(aspect_));
  v.frameRate = IntOf(rate_);
  v.backgroundColor = color_->color();
  return v;
}

void NewMovieDialog::accept() {
  if (Status checked = CheckNewMovieValues(values()); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

// ---- Settings of an open movie ----------------------------------------------------------------

MovieSettingsDialog::MovieSettingsDialog(Prompt& prompt, const OpenMovieValues& values,
                                         QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Movie Settings"));
  frames_ = NamedField(this, "frames", QString::number(values.frames));
  color_ = new ColorField(values.backgroundColor, this);
  actionSafe_ = NamedField(this, "actionSafe", QString::number(values.actionSafePercent, 'f', 1));
  titleSafe_ = NamedField(this, "titleSafe", QString::number(values.titleSafePercent, 'f', 1));
  units_ = new QComboBox(this);
  units_->addItems({"Pixel", "cm", "Inch"});
  units_->setCurrentIndex(std::clamp(values.units, 0, 2));
  dpi_ = NamedField(this, "dpi", QString::number(values.dpi));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Frames :"), frames_);
  form->addRow(QStringLiteral("BackGround Color :"), color_);
  auto* safe = new QGroupBox(QStringLiteral("Safe Frame Settings (Percentage)"), this);
  auto* safeForm = new QFormLayout(safe);
  safeForm->addRow(QStringLiteral("Action Safe : "), actionSafe_);
  safeForm->addRow(QStringLiteral("Title Safe : "), titleSafe_);
  form->addRow(safe);
  form->addRow(QStringLiteral("Units :"), units_);
  form->addRow(QStringLiteral("Dot Per Inch (dpi) for cm and inch :"), dpi_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

QLineEdit* MovieSettingsDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

OpenMovieValues MovieSettingsDialog::values() const {
  OpenMovieValues v;
  v.frames = IntOf(frames_);
  v.backgroundColor = color_->color();
  v.actionSafePercent = DoubleOf(actionSafe_);
  v.titleSafePercent = DoubleOf(titleSafe_);
  v.units = units_->currentIndex();
  v.dpi = IntOf(dpi_);
  return v;
}

void MovieSettingsDialog::accept() {
  if (Status checked = CheckOpenMovieValues(values()); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

}  // namespace quenda

#include "panorama/app/panorama_dialogs.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quenda {
namespace {

QColor ToQColor(const RgbColor& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

RgbColor ToRgb(const QColor& colour) {
  return {uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue())};
}

}  // namespace

ColourField::ColourField(const QColor& colour, const QString& buttonText, QWidget* parent)
    : QWidget(parent), patch_(new QLabel(this)), button_(new QPushButton(buttonText, this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  patch_->setFixedSize(48, 22);
  patch_->setFrameShape(QFrame::Box);
  layout->addWidget(patch_);
  layout->addWidget(button_);
  layout->addStretch();
  connect(button_, &QPushButton::clicked, this, [this] {
    // A dialog object rather than the static call, so that it shows its custom-colour part
    // and tests can answer it like any other modal dialog.
    QColorDialog chooser(colour_, this);
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    if (chooser.exec() == QDialog::Accepted && chooser.selectedColor().isValid())
      SetColour(chooser.selectedColor());
  });
  SetColour(colour);
}

void ColourField::SetColour(const QColor& colour) {
  colour_ = colour;
  patch_->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

ColorKeyerDialog::ColorKeyerDialog(const KeyerSettings& start, QWidget* parent)
    : QDialog(parent),
      key_(new ColourField(QColor(start.red, start.green, start.blue),
                           QStringLiteral("Change  >>"))),
      slider_(new QSlider(Qt::Horizontal)),
      number_(new QSpinBox),
      operations_{new QRadioButton(QStringLiteral("Add")),
                  new QRadioButton(QStringLiteral("Subract")),
                  new QRadioButton(QStringLiteral("Replace"))} {
  static_assert(int(KeyerOperation::Add) == 0 && int(KeyerOperation::Subtract) == 1 &&
                int(KeyerOperation::Replace) == 2);
  setWindowTitle(QStringLiteral("Color Keyer Settings"));
  slider_->setRange(0, 100);
  number_->setRange(0, 100);
  slider_->setValue(start.tolerance);
  number_->setValue(start.tolerance);
  connect(slider_, &QSlider::valueChanged, number_, &QSpinBox::setValue);
  connect(number_, &QSpinBox::valueChanged, slider_, &QSlider::setValue);

  auto* group = new QButtonGroup(this);
  auto* operations = new QGroupBox(QStringLiteral("Operation"));
  auto* operationLayout = new QVBoxLayout(operations);
  for (QRadioButton* button : operations_) {
    group->addButton(button);
    operationLayout->addWidget(button);
  }
  operations_[int(start.operation)]->setChecked(true);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Key Color :")), 0, 0);
  grid->addWidget(key_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Tolerance :")), 1, 0);
  grid->addWidget(slider_, 1, 1);
  grid->addWidget(number_, 1, 2);

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(QStringLiteral("Accept"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(operations);
  layout->addWidget(buttons);
}

KeyerSettings ColorKeyerDialog::settings() const {
  KeyerSettings settings;
  const RgbColor key = ToRgb(key_->colour());
  settings.red = key.red;
  settings.green = key.green;
  settings.blue = key.blue;
  settings.tolerance = number_->value();
  for (int i = 0; i < 3; ++i)
    if (operations_[i]->isChecked()) settings.operation = KeyerOperation(i);
  return settings;
}

ViewSettingsDialog::ViewSettingsDialog(const PanoramaViewSettings& start, QWidget* parent)
    : QDialog(parent),
      gridSize_(new QSpinBox),
      grid1_(new ColourField(ToQColor(start.grid1), QStringLiteral("Set >>"))),
      grid2_(new ColourField(ToQColor(start.grid2), QStringLiteral("Set >>"))),
      mask_(new ColourField(ToQColor(start.mask), QStringLiteral("Set >>"))) {
  setWindowTitle(QStringLiteral("View Settings"));
  // A cell of no pixels would divide by zero when the checkerboard is drawn.
  gridSize_->setRange(1, 9999);
  gridSize_->setValue(start.gridSize);

  auto* seeThrough = new QGroupBox(QStringLiteral("See Through Mode"));
  auto* seeLayout = new QGridLayout(seeThrough);
  seeLayout->addWidget(new QLabel(QStringLiteral("Set Grid Size :")), 0, 0);
  seeLayout->addWidget(gridSize_, 0, 1);
  seeLayout->addWidget(new QLabel(QStringLiteral("Grid Color  1:")), 1, 0);
  seeLayout->addWidget(grid1_, 1, 1);
  seeLayout->addWidget(new QLabel(QStringLiteral("Grid Color  2:")), 2, 0);
  seeLayout->addWidget(grid2_, 2, 1);

  auto* withMask = new QGroupBox(QStringLiteral("With Mask Mode"));
  auto* maskLayout = new QGridLayout(withMask);
  maskLayout->addWidget(new QLabel(QStringLiteral("Mask Color :")), 0, 0);
  maskLayout->addWidget(mask_, 0, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(seeThrough);
  layout->addWidget(withMask);
  layout->addWidget(buttons);
}

PanoramaViewSettings ViewSettingsDialog::values() const {
  return {gridSize_->value(), ToRgb(grid1_->colour()), ToRgb(grid2_->colour()),
          ToRgb(mask_->colour())};
}

}  // namespace quenda

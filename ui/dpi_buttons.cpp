#include "ui/dpi_buttons.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>

#include "twain/scan_settings.h"

namespace quenda {
namespace {

constexpr int kDpiChoices[] = {72, 100, 150, 200, 300, 400};

}  // namespace

DpiButtons::DpiButtons(QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)), custom_(new QSpinBox) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i <= kCustomButton; ++i) {
    auto* radio = new QRadioButton(i < kCustomButton ? QString::number(kDpiChoices[i])
                                                     : QStringLiteral("Custom >>"));
    group_->addButton(radio, i);
    row->addWidget(radio);
  }
  custom_->setRange(twain::kMinScanDpi, twain::kMaxScanDpi);
  custom_->setReadOnly(true);
  row->addWidget(custom_);
  connect(group_, &QButtonGroup::idClicked, this, [this](int i) {
    custom_->setReadOnly(i != kCustomButton);
    if (i < kCustomButton) custom_->setValue(kDpiChoices[i]);
    emit Clicked(custom_->value());
  });
}

int DpiButtons::dpi() const {
  return group_->checkedId() < 0 ? -1 : custom_->value();
}

void DpiButtons::SetDpi(int dpi) {
  if (dpi <= 0) return;
  int button = kCustomButton;
  for (int i = 0; i < kCustomButton; ++i)
    if (kDpiChoices[i] == dpi) button = i;
  group_->button(button)->setChecked(true);
  custom_->setValue(dpi);
  custom_->setReadOnly(button != kCustomButton);
}

}  // namespace quenda

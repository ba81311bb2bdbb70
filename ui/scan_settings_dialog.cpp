#include "ui/scan_settings_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dpi_buttons.h"
#include "ui/settings.h"
#include "ui/settings_profile.h"

namespace quenda {
namespace {

// The edges offered while only the whole bed has been scanned: a letter page.
constexpr double kStartWidth = 8.5;
constexpr double kStartHeight = 11.0;
constexpr int kEdgeDecimals = 3;

QGroupBox* Framed(const QString& title, QLayout* inside) {
  auto* box = new QGroupBox(title);
  box->setLayout(inside);
  return box;
}

}  // namespace

ScanSettingsDialog::ScanSettingsDialog(Prompt& prompt, Profile& profile,
                                       const twain::ScanSettings& fallback, QWidget* parent)
    : QDialog(parent),
      prompt_(prompt),
      profile_(profile),
      dpis_(new DpiButtons),
      wholeBed_(new QRadioButton(QStringLiteral("Whole Bed"))),
      chosenArea_(new QRadioButton(QStringLiteral("Area"))),
      gray_(new QRadioButton(QStringLiteral("Gray"))),
      color_(new QRadioButton(QStringLiteral("Color"))) {
  setWindowTitle(QStringLiteral("Scan Settings"));
  const twain::ScanSettings last = twain::LoadScanSettings(profile_, fallback);
  auto* layout = new QVBoxLayout(this);

  auto* dpiRow = new QVBoxLayout;
  dpiRow->addWidget(dpis_);
  layout->addWidget(Framed(QStringLiteral("Dpi"), dpiRow));
  dpis_->SetDpi(last.dpi);

  auto* area = new QVBoxLayout;
  auto* choice = new QHBoxLayout;
  choice->addWidget(wholeBed_);
  choice->addWidget(chosenArea_);
  area->addLayout(choice);
  auto* edges = new QFormLayout;
  const twain::BedFrame start =
      last.area.value_or(twain::BedFrame{0, 0, kStartWidth, kStartHeight});
  const double values[4] = {start.left, start.top, start.right, start.bottom};
  const QString labels[4] = {QStringLiteral("Left:"), QStringLiteral("Top:"),
                             QStringLiteral("Right:"), QStringLiteral("Bottom:")};
  for (int i = 0; i < 4; ++i) {
    edges_[i] = new QDoubleSpinBox;
    edges_[i]->setRange(0, twain::kMaxBedInches);
    edges_[i]->setDecimals(kEdgeDecimals);
    edges_[i]->setSingleStep(0.1);
    edges_[i]->setValue(values[i]);
    edges->addRow(labels[i], edges_[i]);
  }
  area->addLayout(edges);
  layout->addWidget(Framed(QStringLiteral("Scan Area (inches)"), area));
  auto enableEdges = [this] {
    for (QDoubleSpinBox* edge : edges_) edge->setEnabled(chosenArea_->isChecked());
  };
  connect(chosenArea_, &QRadioButton::toggled, this, enableEdges);
  (last.area ? chosenArea_ : wholeBed_)->setChecked(true);
  enableEdges();

  auto* mode = new QHBoxLayout;
  mode->addWidget(gray_);
  mode->addWidget(color_);
  layout->addWidget(Framed(QStringLiteral("Mode"), mode));
  (last.type == twain::PixelType::Color ? color_ : gray_)->setChecked(true);

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(QStringLiteral("Scan"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &ScanSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

twain::ScanSettings ScanSettingsDialog::settings() const {
  twain::ScanSettings chosen;
  chosen.dpi = dpis_->dpi();
  if (chosenArea_->isChecked())
    chosen.area = twain::BedFrame{edges_[0]->value(), edges_[1]->value(), edges_[2]->value(),
                                  edges_[3]->value()};
  chosen.type = color_->isChecked() ? twain::PixelType::Color : twain::PixelType::Gray;
  return chosen;
}

void ScanSettingsDialog::accept() {
  const twain::ScanSettings chosen = settings();
  if (Status checked = twain::CheckScanSettings(chosen); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Information);
    return;
  }
  // A profile that cannot be written loses only the defaults of the next scan: say so, and scan.
  if (Status saved = twain::SaveScanSettings(profile_, chosen); !saved)
    prompt_.Message(saved.message(), MessageIcon::Information);
  QDialog::accept();
}

std::optional<twain::ScanSettings> AskScanSettings(Prompt& prompt, const Settings& profile,
                                                   const twain::ScanSettings& fallback,
                                                   QWidget* parent) {
  Settings scanner(QStringLiteral("scanner"), QFileInfo(profile.path()).absolutePath());
  SettingsProfile values(scanner);
  ScanSettingsDialog dialog(prompt, values, fallback, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.settings();
}

}  // namespace quenda

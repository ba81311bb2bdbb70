#pragma once
// "Scan Settings", shown before a scan by the programs whose scans have no preview to draw on:
// the resolution (the scanner's own buttons), the scan area on the bed (the whole bed, or its
// edges in inches from the bed's top-left corner) and the mode. It opens with the last scan
// settings of the scanner's profile; Scan keeps what was chosen there for the next scan.

#include <QDialog>
#include <optional>

#include "common/prompt.h"
#include "twain/scan_settings.h"

class QDoubleSpinBox;
class QRadioButton;

namespace quenda {

class DpiButtons;
class Settings;

class ScanSettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  // Values the profile does not hold come from `fallback`.
  ScanSettingsDialog(Prompt& prompt, Profile& profile, const twain::ScanSettings& fallback,
                     QWidget* parent = nullptr);

  twain::ScanSettings settings() const;

  DpiButtons* dpiButtons() const { return dpis_; }
  QRadioButton* wholeBed() const { return wholeBed_; }
  QRadioButton* chosenArea() const { return chosenArea_; }
  // 0 left, 1 top, 2 right, 3 bottom.
  QDoubleSpinBox* edge(int index) const { return edges_[index]; }
  QRadioButton* gray() const { return gray_; }
  QRadioButton* color() const { return color_; }

 public slots:
  void accept() override;

 private:
  Prompt& prompt_;
  Profile& profile_;
  DpiButtons* dpis_;
  QRadioButton* wholeBed_;
  QRadioButton* chosenArea_;
  QDoubleSpinBox* edges_[4];
  QRadioButton* gray_;
  QRadioButton* color_;
};

// The dialog on the scanner's profile, which lies beside the program's own `profile`; nothing
// when the user cancels.
std::optional<twain::ScanSettings> AskScanSettings(Prompt& prompt, const Settings& profile,
                                                   const twain::ScanSettings& fallback,
                                                   QWidget* parent);

}  // namespace quenda

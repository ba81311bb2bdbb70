#pragma once
// The scanner's own dialogs on Qt: the new sequence, the frame number (for a scan and for
// renumbering), the preview resolution and the calibration.

#include <QDialog>
#include <optional>

#include "scanner/core/scanner_doc.h"
#include "ui/settings_profile.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace quenda::scanner {

class SequenceFields;

// "Scan New Sequence". The choices of peg and resolution are saved as they are clicked.
class NewSequenceDialog final : public QDialog {
  Q_OBJECT

 public:
  NewSequenceDialog(Prompt& prompt, ScannerProfile& profile, QWidget* parent = nullptr);
  NewSequenceForm form() const;

  SequenceFields* fields() const { return fields_; }

 public slots:
  void accept() override;

 private:
  Prompt& prompt_;
  ScannerProfile& profile_;
  SequenceFields* fields_;
};

// "New frame number ?" ("Scan") and "Change Frame Number" (OK): a number and a padding letter.
class FrameNumberDialog final : public QDialog {
  Q_OBJECT

 public:
  enum class Kind { NewScan, Change };
  FrameNumberDialog(Kind kind, const FrameTag& tag, QWidget* parent = nullptr);
  FrameTag tag() const;
  QSpinBox* number() const { return number_; }
  QComboBox* padding() const { return padding_; }

 private:
  QSpinBox* number_;
  QComboBox* padding_;
};

class QtScannerDialogs final : public ScannerDialogs {
 public:
  explicit QtScannerDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<FrameTag> AskNewFrameNumber(const FrameTag& proposed) override;
  std::optional<FrameTag> AskChangeFrameNumber(const FrameTag& current) override;

 private:
  QWidget* parent_;
};

// "Scanner Calibration": brightness and contrast with a picture of the bed as they change it.
// `scanPreview` brings the calibration scan into the document.
class CalibrationDialog final : public QDialog {
  Q_OBJECT

 public:
  CalibrationDialog(CScannerDoc& doc, std::function<void()> scanPreview, QWidget* parent = nullptr);
  Calibration calibration() const;
  QSlider* brightness() const { return brightness_; }
  QSlider* contrast() const { return contrast_; }
  QLabel* picture() const { return picture_; }

 private:
  void ShowPicture();

  CScannerDoc& doc_;
  QSlider* brightness_;
  QSlider* contrast_;
  QLabel* picture_;
};

}  // namespace quenda::scanner

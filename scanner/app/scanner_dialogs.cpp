#include "scanner/app/scanner_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "scanner/app/sequence_fields.h"
#include "scanner/core/calibration.h"
#include "ui/dpi_buttons.h"
#include "ui/peg_buttons.h"

namespace quenda::scanner {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void Report(Prompt& prompt, const Status& status) {
  if (!status) prompt.Message(status.message(), MessageIcon::Information);
}

}  // namespace

NewSequenceDialog::NewSequenceDialog(Prompt& prompt, ScannerProfile& profile, QWidget* parent)
    : QDialog(parent), prompt_(prompt), profile_(profile) {
  setWindowTitle(QStringLiteral("Scan New Sequence"));
  const ScannerSettings settings = LoadScannerSettings(profile_);
  auto* layout = new QVBoxLayout(this);
  fields_ = new SequenceFields(
      prompt_, {QStringLiteral("Sequence Name:"), QStringLiteral("Select Sequence Directory"),
                "Choose storage directory", QStringLiteral("Peg Position"), QStringLiteral("Dpi")});
  layout->addWidget(fields_);
  fields_->nameEdit()->setText(Q(settings.lastSequenceName));
  if (!settings.lastDirectory.empty() && QFileInfo(Q(settings.lastDirectory)).isDir())
    fields_->pathEdit()->setText(Q(settings.lastDirectory));
  PegButtons* pegs = fields_->pegButtons();
  pegs->SetChecked(settings.pegButton);
  connect(pegs, &PegButtons::Clicked, this,
          [this](int b) { Report(prompt_, SavePegButton(profile_, b)); });
  DpiButtons* dpis = fields_->dpiButtons();
  dpis->SetDpi(settings.scanDpi);
  connect(dpis, &DpiButtons::Clicked, this,
          [this](int dpi) { Report(prompt_, twain::SaveScanDpi(profile_, dpi)); });

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &NewSequenceDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

NewSequenceForm NewSequenceDialog::form() const {
  return {fields_->name(), fields_->directory(), fields_->pegButtons()->checked(),
          fields_->dpiButtons()->dpi()};
}

void NewSequenceDialog::accept() {
  const Status checked = CheckNewSequenceForm(form());
  if (!checked) {
    prompt_.Message(checked.message(), MessageIcon::Information);
    return;
  }
  QDialog::accept();
}

FrameNumberDialog::FrameNumberDialog(Kind kind, const FrameTag& tag, QWidget* parent)
    : QDialog(parent) {
  const bool scan = kind == Kind::NewScan;
  setWindowTitle(scan ? QStringLiteral("New frame number ?")
                      : QStringLiteral("Change Frame Number"));
  auto* form = new QFormLayout(this);
  number_ = new QSpinBox;
  number_->setRange(1, kMaxFrameNumber);
  number_->setValue(std::clamp(tag.number, 1, kMaxFrameNumber));
  padding_ = new QComboBox;
  padding_->addItem(QStringLiteral(" "));
  for (char c = 'a'; c <= 'z'; ++c) padding_->addItem(QString(QChar(c)));
  if (tag.letter >= 'a' && tag.letter <= 'z') padding_->setCurrentIndex(tag.letter - 'a' + 1);
  form->addRow(scan ? QStringLiteral("Frame Number:") : QStringLiteral("Enter new frame number:"),
               number_);
  form->addRow(scan ? QStringLiteral("Padding:") : QStringLiteral("Change Padding To:"), padding_);
  auto* buttons = new QDialogButtonBox;
  if (scan)
    buttons->addButton(QStringLiteral("Scan"), QDialogButtonBox::AcceptRole);
  else
    buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

FrameTag FrameNumberDialog::tag() const {
  const int letter = padding_->currentIndex();
  return {number_->value(), letter == 0 ? kNoLetter : char('a' + letter - 1)};
}

std::optional<FrameTag> QtScannerDialogs::AskNewFrameNumber(const FrameTag& proposed) {
  FrameNumberDialog dialog(FrameNumberDialog::Kind::NewScan, proposed, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.tag();
}

std::optional<FrameTag> QtScannerDialogs::AskChangeFrameNumber(const FrameTag& current) {
  FrameNumberDialog dialog(FrameNumberDialog::Kind::Change, current, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.tag();
}

namespace {

QSlider* CalibrationSlider(QGridLayout* grid, int row, const QString& label, int value) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(-kCalibrationLimit, kCalibrationLimit);
  auto* box = new QSpinBox;
  box->setRange(-kCalibrationLimit, kCalibrationLimit);
  QObject::connect(slider, &QSlider::valueChanged, box, &QSpinBox::setValue);
  QObject::connect(box, &QSpinBox::valueChanged, slider, &QSlider::setValue);
  slider->setValue(value);
  box->setValue(value);
  grid->addWidget(new QLabel(label), row, 0);
  grid->addWidget(slider, row, 1);
  grid->addWidget(box, row, 2);
  return slider;
}

}  // namespace

CalibrationDialog::CalibrationDialog(CScannerDoc& doc, std::function<void()> scanPreview,
                                     QWidget* parent)
    : QDialog(parent), doc_(doc) {
  setWindowTitle(QStringLiteral("Scanner Calibration"));
  auto* layout = new QVBoxLayout(this);
  picture_ = new QLabel;
  picture_->setMinimumSize(320, 240);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setStyleSheet(QStringLiteral("background: rgb(128, 128, 128)"));
  layout->addWidget(picture_, 1);
  auto* grid = new QGridLayout;
  brightness_ =
      CalibrationSlider(grid, 0, QStringLiteral("Brightness"), doc.calibration().brightness);
  contrast_ = CalibrationSlider(grid, 1, QStringLiteral("Contrast"), doc.calibration().contrast);
  layout->addLayout(grid);
  connect(brightness_, &QSlider::valueChanged, this, &CalibrationDialog::ShowPicture);
  connect(contrast_, &QSlider::valueChanged, this, &CalibrationDialog::ShowPicture);
  auto* buttons = new QDialogButtonBox;
  QPushButton* scan =
      buttons->addButton(QStringLiteral("Scan Preview"), QDialogButtonBox::ActionRole);
  scan->setObjectName(QStringLiteral("scanPreview"));
  buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(scan, &QPushButton::clicked, this, [this, scanPreview] {
    scanPreview();
    ShowPicture();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

Calibration CalibrationDialog::calibration() const {
  return {brightness_->value(), contrast_->value()};
}

void CalibrationDialog::ShowPicture() {
  const Raster& raw = doc_.calibrationImage();
  if (raw.empty()) return;
  const auto table = CalibrationTable(calibration());
  // The raw bytes keep the bitmap's rows, bottom first.
  QImage shown(raw.width(), raw.height(), QImage::Format_Grayscale8);
  for (int y = 0; y < raw.height(); ++y) {
    const uint8_t* from = raw.Row(raw.height() - 1 - y);
    uchar* to = shown.scanLine(y);
    for (int x = 0; x < raw.width(); ++x) to[x] = table[from[x]];
  }
  picture_->setPixmap(QPixmap::fromImage(shown).scaled(picture_->size(), Qt::KeepAspectRatio));
}

}  // namespace quenda::scanner

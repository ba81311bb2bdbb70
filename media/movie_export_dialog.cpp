#include "media/movie_export_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/sound_file.h"

namespace quenda {
namespace {

QWidget* WithBrowse(QLineEdit* field, QPushButton* browse) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(field, 1);
  layout->addWidget(browse);
  return row;
}

}  // namespace

MovieExportDialog::MovieExportDialog(const MovieExportDefaults& defaults, Prompt& prompt,
                                     QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(tr("Export Movie"));
  form_ = new QFormLayout;
  file_ = new QLineEdit(QString::fromStdString(defaults.path));
  file_->setMinimumWidth(360);  // room for a whole path
  auto* browse = new QPushButton(tr("Browse..."));
  form_->addRow(tr("Movie file:"), WithBrowse(file_, browse));
  codec_ = new QComboBox;
  codec_->addItem(tr("H.264 for review (.mp4)"));
  codec_->addItem(tr("ProRes 4444 with alpha for editing (.mov)"));
  codec_->setCurrentIndex(CodecForMovieName(defaults.path) == MovieCodec::ProRes4444 ? 1 : 0);
  form_->addRow(tr("Codec:"), codec_);
  crf_ = new QSpinBox;
  crf_->setRange(0, kMaxMovieCrf);
  crf_->setValue(kDefaultMovieCrf);
  crf_->setToolTip(
      tr("H.264 constant rate factor: 0 is lossless, 18 looks like the frames, 51 "
         "is the smallest file"));
  form_->addRow(tr("Quality (CRF):"), crf_);
  preset_ = new QComboBox;
  for (std::string_view preset : MovieEncoderPresets())
    preset_->addItem(QString::fromLatin1(preset.data(), qsizetype(preset.size())));
  preset_->setCurrentText(QString::fromStdString(
      IsMoviePreset(defaults.preset) ? defaults.preset : std::string(kDefaultMoviePreset)));
  preset_->setToolTip(
      tr("H.264 encoder preset: the slower ones take longer for a smaller file of the same "
         "quality"));
  form_->addRow(tr("Preset (H.264):"), preset_);
  rate_ = new QComboBox;
  rate_->setEditable(true);
  for (const char* rate : {"24", "25", "30", "24000/1001", "30000/1001", "50", "60"})
    rate_->addItem(QString::fromLatin1(rate));
  rate_->setCurrentText(QString::fromStdString(FrameRateText(defaults.rate)));
  form_->addRow(tr("Frames per second:"), rate_);
  background_ = new QPushButton;
  SetBackground(Qt::white);
  form_->addRow(tr("Background (H.264):"), background_);
  withSound_ = new QCheckBox(tr("Sound"));
  withSound_->setChecked(!defaults.soundPath.empty());
  sound_ = new QLineEdit(QString::fromStdString(defaults.soundPath));
  sound_->setMinimumWidth(360);
  auto* browseSound = new QPushButton(tr("Browse..."));
  form_->addRow(withSound_, WithBrowse(sound_, browseSound));
  soundStart_ = new QSpinBox;
  soundStart_->setRange(1, std::max(defaults.lastFrame, 1));
  form_->addRow(tr("Sound starts at frame:"), soundStart_);

  auto* buttons = new QDialogButtonBox;
  export_ = buttons->addButton(tr("Export"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form_);
  layout->addWidget(buttons);

  connect(codec_, &QComboBox::currentIndexChanged, this, [this] { CodecChanged(); });
  // A name typed with the other container's extension chooses that codec.
  connect(file_, &QLineEdit::textChanged, this, [this](const QString& text) {
    std::optional<MovieCodec> named = CodecForMovieName(text.toStdString());
    if (named) codec_->setCurrentIndex(*named == MovieCodec::ProRes4444 ? 1 : 0);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { TryAccept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(browse, &QPushButton::clicked, this, [this] {
    const bool prores = codec_->currentIndex() == 1;
    QString picked = QFileDialog::getSaveFileName(
        this, tr("Export Movie"), file_->text(),
        prores ? tr("ProRes movies (*.mov)") : tr("H.264 movies (*.mp4)"));
    if (!picked.isEmpty()) file_->setText(picked);
  });
  connect(browseSound, &QPushButton::clicked, this, [this] {
    QString picked = QFileDialog::getOpenFileName(
        this, tr("Select an audio file"), sound_->text(),
        QString::fromUtf8(kSoundFileFilter.data(), qsizetype(kSoundFileFilter.size())));
    if (picked.isEmpty()) return;
    sound_->setText(picked);
    withSound_->setChecked(true);
  });
  connect(background_, &QPushButton::clicked, this, [this] {
    QColor picked = QColorDialog::getColor(colour_, this, tr("Background"));
    if (picked.isValid()) SetBackground(picked);
  });
  auto soundEnabled = [this] {
    sound_->setEnabled(withSound_->isChecked());
    soundStart_->setEnabled(withSound_->isChecked());
  };
  connect(withSound_, &QCheckBox::toggled, this, soundEnabled);
  soundEnabled();
  CodecChanged();
}

void MovieExportDialog::SetBackground(const QColor& colour) {
  colour_ = colour;
  background_->setText(colour.name().toUpper());
  // Greyed like the fields beside it while the codec ignores it (ProRes keeps the alpha).
  background_->setStyleSheet(
      QStringLiteral("QPushButton { background-color: %1; color: %2 }"
                     "QPushButton:disabled { background-color: palette(button); color: "
                     "palette(mid) }")
          .arg(colour.name(),
               colour.lightness() > 128 ? QStringLiteral("black") : QStringLiteral("white")));
}

void MovieExportDialog::CodecChanged() {
  const bool prores = codec_->currentIndex() == 1;
  crf_->setEnabled(!prores);
  preset_->setEnabled(!prores);
  // ProRes keeps the alpha, so there is nothing to lay the picture over.
  background_->setEnabled(!prores);
  // The name follows the codec, as each container holds only its own.
  QString path = file_->text();
  if (!path.isEmpty()) {
    const QFileInfo info(path);
    const QString wanted = prores ? QStringLiteral("mov") : QStringLiteral("mp4");
    if (info.suffix().toLower() != wanted) {
      const QString stem =
          info.suffix().isEmpty() ? path : path.left(path.size() - info.suffix().size() - 1);
      file_->setText(stem + QLatin1Char('.') + wanted);
    }
  }
}

MovieExportSettings MovieExportDialog::settings() const {
  MovieExportSettings s;
  s.path = file_->text().toStdString();
  s.encoder.codec = codec_->currentIndex() == 1 ? MovieCodec::ProRes4444 : MovieCodec::H264;
  s.encoder.crf = crf_->value();
  s.encoder.preset = preset_->currentText().toStdString();
  s.encoder.rate =
      ParseFrameRate(rate_->currentText().trimmed().toStdString()).value_or(FrameRate{});
  s.encoder.backgroundRed = uint8_t(colour_.red());
  s.encoder.backgroundGreen = uint8_t(colour_.green());
  s.encoder.backgroundBlue = uint8_t(colour_.blue());
  if (withSound_->isChecked()) s.soundPath = sound_->text().toStdString();
  s.soundStart = soundStart_->value();
  return s;
}

void MovieExportDialog::TryAccept() {
  CodecChanged();
  if (file_->text().trimmed().isEmpty()) {
    prompt_.Message("Give the movie a file name.", MessageIcon::Error);
    return;
  }
  if (!ParseFrameRate(rate_->currentText().trimmed().toStdString())) {
    prompt_.Message(
        "The frame rate must be 1 to 1000 frames per second, or a fraction such as "
        "24000/1001.",
        MessageIcon::Error);
    return;
  }
  if (withSound_->isChecked() && !QFileInfo(sound_->text()).isFile()) {
    prompt_.Message("The sound file " + sound_->text().toStdString() + " is not there.",
                    MessageIcon::Error);
    return;
  }
  accept();
}

void MovieExportDialog::AddFrameRange(int frames) {
  from_ = new QSpinBox;
  to_ = new QSpinBox;
  for (QSpinBox* field : {from_, to_}) field->setRange(1, std::max(frames, 1));
  from_->setValue(1);
  to_->setValue(frames);
  from_->setObjectName(QStringLiteral("fromFrame"));
  to_->setObjectName(QStringLiteral("toFrame"));
  form_->insertRow(0, tr("From frame:"), from_);
  form_->insertRow(1, tr("To frame:"), to_);
}

int MovieExportDialog::firstChosenFrame() const {
  return from_ ? std::min(from_->value(), to_->value()) : 1;
}

int MovieExportDialog::lastChosenFrame() const {
  return from_ ? std::max(from_->value(), to_->value()) : 1;
}

}  // namespace quenda

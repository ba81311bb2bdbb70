// "Apply Lip-Sync Data": the data file, the level and frames, and one row per mouth shape of
// the file choosing its drawing, with a row "*" for every shape left without one. The map is
// kept in the settings, so that the next dialog offers the same mouths.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/case_insensitive_path.h"
#include "dopegrid/app/exchange_dialogs.h"
#include "dopegrid/core/lipsync_apply.h"
#include "ui/settings.h"

namespace quenda {
namespace {

const QString kSection = QStringLiteral("LipSync");
const QString kEveryOther = QStringLiteral("*");
const QString kNoDrawing = QStringLiteral("(none)");

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

LipSyncDialog::LipSyncDialog(CDopegridDoc& doc, Prompt& prompt, Settings& settings, QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt), settings_(settings) {
  setWindowTitle(tr("Apply Lip-Sync Data"));
  file_ = new QLineEdit;
  file_->setReadOnly(true);
  auto* browse = new QPushButton(tr("Browse..."));
  connect(browse, &QPushButton::clicked, this, &LipSyncDialog::Browse);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);

  level_ = new QComboBox;
  for (int l = 0; l < doc.sheet().levelCount; ++l) level_->addItem(Q(doc.sheet().LevelName(l)));
  level_->setCurrentIndex(doc.currentLevel());
  from_ = new QSpinBox;
  from_->setRange(1, doc.sheet().frameCount);
  from_->setValue(doc.currentFrame() + 1);
  until_ = new QSpinBox;
  until_->setRange(0, kMaxSheetFrames);
  until_->setSpecialValueText(tr("its own frame only"));
  rate_ = new QSpinBox;
  rate_->setRange(1, 1000);
  rate_->setValue(settings.GetInt(kSection, QStringLiteral("rate"), kDefaultLipSyncRate));
  rate_->setSuffix(tr(" frames a second"));
  extend_ = new QCheckBox(tr("Lengthen the sheet when the data runs past its end"));
  sequenceLabel_ = new QLabel;
  auto* chooseSequence = new QPushButton(tr("Choose..."));
  connect(chooseSequence, &QPushButton::clicked, this, &LipSyncDialog::BrowseSequence);
  auto* sequenceRow = new QHBoxLayout;
  sequenceRow->addWidget(sequenceLabel_, 1);
  sequenceRow->addWidget(chooseSequence);
  connect(level_, &QComboBox::currentIndexChanged, this, &LipSyncDialog::FillShapes);

  shapes_ = new QTableWidget(0, 2);
  shapes_->setHorizontalHeaderLabels({tr("Mouth shape"), tr("Drawing")});
  shapes_->horizontalHeader()->setStretchLastSection(true);
  shapes_->verticalHeader()->hide();
  shapes_->setColumnWidth(0, 180);

  auto* form = new QFormLayout;
  form->addRow(tr("Lip-sync data:"), fileRow);
  form->addRow(tr("Level:"), level_);
  form->addRow(tr("From frame:"), from_);
  form->addRow(tr("Hold the last shape until:"), until_);
  form->addRow(tr("Timed shapes at:"), rate_);
  form->addRow(tr("Mouth drawings:"), sequenceRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  QPushButton* apply = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(apply, &QPushButton::clicked, this, &LipSyncDialog::Apply);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(shapes_, 1);
  layout->addWidget(extend_);
  layout->addWidget(buttons);
  resize(520, 560);
  FillShapes();
}

void LipSyncDialog::Browse() {
  std::optional<std::string> picked =
      prompt_.PickFile("Apply Lip-Sync Data", "Lip-Sync Data (*.dat *.txt *.tsv)", "");
  if (picked) SetFile(Q(*picked));
}

void LipSyncDialog::SetFile(const QString& path) {
  Result<LipSyncData> read = LoadLipSyncFile(path.toStdString());
  if (!read) {
    prompt_.Message(read.message(), MessageIcon::Error);
    return;
  }
  file_->setText(path);
  data_ = std::move(read).value();
  FillShapes();
}

void LipSyncDialog::BrowseSequence() {
  std::optional<std::string> picked =
      prompt_.PickFile("Select A Sequence", "Quenda Drawing Files (*.qds)", "");
  if (picked) SetSequence(Q(*picked));
}

void LipSyncDialog::SetSequence(const QString& firstDrawing) {
  std::optional<int> index = doc_.SequenceOfDrawing(firstDrawing.toStdString());
  if (!index) {
    prompt_.Message(std::string(kInvalidSequenceFileName), MessageIcon::Error);
    return;
  }
  chosenSequence_ = index;
  FillShapes();
}

std::optional<int> LipSyncDialog::MouthSequence() const {
  if (chosenSequence_) return chosenSequence_;
  Result<int> own = MouthSequenceOf(doc_, level_->currentIndex());
  return own ? std::optional<int>(*own) : std::nullopt;
}

void LipSyncDialog::FillShapes() {
  const MouthMap remembered =
      ParseMouthMap(settings_.GetString(kSection, QStringLiteral("mouths")).toStdString()).ok()
          ? *ParseMouthMap(settings_.GetString(kSection, QStringLiteral("mouths")).toStdString())
          : MouthMap{};
  // What the rows show now wins over what the settings remember.
  MouthMap shown = remembered;
  if (shapes_->rowCount() > 0) {
    const MouthMap current = CurrentMap();
    for (const auto& [shape, drawing] : current.shapes) {
      std::erase_if(shown.shapes,
                    [&](const auto& p) { return LowerAscii(p.first) == LowerAscii(shape); });
      shown.shapes.emplace_back(shape, drawing);
    }
    shown.fallback = current.fallback;
  }
  std::optional<int> sequence = MouthSequence();
  sequenceLabel_->setText(sequence ? Q(doc_.sequences()[std::size_t(*sequence)].name) + tr(" in ") +
                                         Q(doc_.sequences()[std::size_t(*sequence)].directory)
                                   : tr("the level holds no single sequence: choose one"));
  QStringList drawings{kNoDrawing};
  if (sequence)
    for (const FrameTag& tag : doc_.sequences()[std::size_t(*sequence)].frames)
      drawings << Q(FormatFrameTag(tag));
  QStringList rows;
  if (data_)
    for (const std::string& shape : ShapesOf(*data_)) rows << Q(shape);
  rows << kEveryOther;
  // The old row widgets go only once the event loop runs: hidden now, so they never show.
  for (int r = 0; r < shapes_->rowCount(); ++r)
    if (QWidget* old = shapes_->cellWidget(r, 1)) old->hide();
  shapes_->setRowCount(0);
  shapes_->setRowCount(int(rows.size()));
  for (int r = 0; r < int(rows.size()); ++r) {
    auto* name =
        new QTableWidgetItem(rows[r] == kEveryOther ? tr("* (every other shape)") : rows[r]);
    name->setData(Qt::UserRole, rows[r]);
    name->setFlags(name->flags() & ~Qt::ItemIsEditable);
    shapes_->setItem(r, 0, name);
    auto* box = new QComboBox;
    box->addItems(drawings);
    std::optional<std::string> drawing =
        rows[r] == kEveryOther
            ? (shown.fallback.empty() ? std::nullopt : std::optional<std::string>(shown.fallback))
            : shown.DrawingFor(rows[r].toStdString());
    if (rows[r] != kEveryOther && drawing && !shown.fallback.empty() &&
        *drawing == shown.fallback) {
      // A shape the map names only through "*" stays on "*".
      bool named = false;
      for (const auto& pair : shown.shapes)
        named =
            named || QString::fromStdString(pair.first).compare(rows[r], Qt::CaseInsensitive) == 0;
      if (!named) drawing.reset();
    }
    if (drawing) box->setCurrentIndex(std::max(0, box->findText(Q(*drawing))));
    shapes_->setCellWidget(r, 1, box);
  }
}

QComboBox* LipSyncDialog::DrawingBox(const QString& shape) const {
  for (int r = 0; r < shapes_->rowCount(); ++r)
    if (shapes_->item(r, 0)->data(Qt::UserRole).toString() == shape)
      return qobject_cast<QComboBox*>(shapes_->cellWidget(r, 1));
  return nullptr;
}

MouthMap LipSyncDialog::CurrentMap() const {
  MouthMap map;
  for (int r = 0; r < shapes_->rowCount(); ++r) {
    const QString shape = shapes_->item(r, 0)->data(Qt::UserRole).toString();
    const auto* box = qobject_cast<QComboBox*>(shapes_->cellWidget(r, 1));
    if (!box || box->currentText() == kNoDrawing) continue;
    if (shape == kEveryOther)
      map.fallback = box->currentText().toStdString();
    else
      map.shapes.emplace_back(shape.toStdString(), box->currentText().toStdString());
  }
  return map;
}

void LipSyncDialog::Apply() {
  if (!data_) {
    prompt_.Message("Choose the lip-sync data with Browse.", MessageIcon::Warning);
    return;
  }
  std::optional<int> sequence = MouthSequence();
  if (!sequence) {
    Result<int> own = MouthSequenceOf(doc_, level_->currentIndex());
    prompt_.Message("The " + own.message().substr(0, own.message().find(':')) +
                        ": choose the sequence of the mouth drawings.",
                    MessageIcon::Warning);
    return;
  }
  const MouthMap map = CurrentMap();
  LipSyncRequest request{level_->currentIndex(), from_->value() - 1, std::nullopt,
                         double(rate_->value()), *sequence,          extend_->isChecked()};
  if (until_->value() > 0) request.until = until_->value() - 1;
  Result<LipSyncPlacement> placed = ApplyLipSync(doc_, *data_, map, request);
  if (!placed) {
    const bool pastEnd = placed.message().find("past the sheet's") != std::string::npos;
    prompt_.Message(
        placed.message() + (pastEnd ? ".\nTick \"Lengthen the sheet\" to make room." : ""),
        MessageIcon::Warning);
    return;
  }
  for (const std::string& note : placed->notes) prompt_.Message(note, MessageIcon::Information);
  // The map is remembered with every shape it names, those of earlier files included.
  MouthMap kept = map;
  if (Result<MouthMap> old =
          ParseMouthMap(settings_.GetString(kSection, QStringLiteral("mouths")).toStdString()))
    for (const auto& [shape, drawing] : old->shapes)
      if (!data_ || std::none_of(map.shapes.begin(), map.shapes.end(), [&](const auto& p) {
            return LowerAscii(p.first) == LowerAscii(shape);
          }))
        kept.shapes.emplace_back(shape, drawing);
  settings_.SetString(kSection, QStringLiteral("mouths"), Q(MouthMapText(kept)));
  settings_.SetInt(kSection, QStringLiteral("rate"), rate_->value());
  accept();
}

}  // namespace quenda

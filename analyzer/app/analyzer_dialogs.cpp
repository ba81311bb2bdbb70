#include "analyzer/app/analyzer_dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "analyzer/core/gap_closing.h"
#include "common/path.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr LineSetting kSettings[] = {LineSetting::PickUp, LineSetting::Growth,
                                     LineSetting::WhiteClamp, LineSetting::BlackClamp};
constexpr const char* kLabels[] = {
    "Line PickUp (0-254):", "Line Growth (0-254):", "White Clamp (0-255):", "Black Clamp (0-254):"};

QPushButton* ButtonIn(const QWidget* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

QPushButton* AddButton(QBoxLayout* row, const QString& text) {
  auto* b = new QPushButton(text);
  b->setAutoDefault(false);
  row->addWidget(b);
  return b;
}

}  // namespace

LineSettingsDialog::LineSettingsDialog(CAnalyzerDoc& doc, Prompt& prompt,
                                       SavePathPicker pickSavePath, QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt), pickSavePath_(std::move(pickSavePath)) {
  setWindowTitle(QStringLiteral("Line Generation Settings"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);
  auto* grid = new QGridLayout;
  for (std::size_t i = 0; i < 4; ++i) {
    const LineSetting which = kSettings[i];
    auto* entry = new QLineEdit;
    entry->setMaximumWidth(60);
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setRange(0, LineSettingMaximum(which));
    bar->setSingleStep(1);
    bar->setPageStep(11);
    bar->setMinimumWidth(200);
    grid->addWidget(new QLabel(QString::fromLatin1(kLabels[i])), int(i), 0);
    grid->addWidget(entry, int(i), 1);
    grid->addWidget(bar, int(i), 2);
    entries_[i] = entry;
    bars_[i] = bar;
    connect(bar, &QScrollBar::valueChanged, this,
            [this, which](int value) { doc_.SetLineSetting(which, value); });
    // A number typed within the bar's range moves it as the bar would; ACCEPT checks the rest.
    connect(entry, &QLineEdit::editingFinished, this, [this, which, entry] {
      const int value = ParseDialogNumber(entry->text().toStdString());
      if (value >= 0 && value <= LineSettingMaximum(which)) doc_.SetLineSetting(which, value);
    });
  }
  {
    const int row = 4;
    closeGapsEntry_ = new QLineEdit;
    closeGapsEntry_->setMaximumWidth(60);
    closeGapsBar_ = new QScrollBar(Qt::Horizontal);
    closeGapsBar_->setRange(0, kMaxCloseGaps);
    closeGapsBar_->setSingleStep(1);
    closeGapsBar_->setPageStep(5);
    auto* label = new QLabel(QStringLiteral("Close Gaps (0-%1):").arg(kMaxCloseGaps));
    label->setToolTip(
        QStringLiteral("Joins a stroke end to a line it stops at most this many pixels short "
                       "of. The joins separate regions but draw nothing; 0 closes nothing. "
                       "Kept by the analyzer, not in settings or region files."));
    grid->addWidget(label, row, 0);
    grid->addWidget(closeGapsEntry_, row, 1);
    grid->addWidget(closeGapsBar_, row, 2);
    connect(closeGapsBar_, &QScrollBar::valueChanged, this,
            [this](int value) { doc_.SetCloseGaps(value); });
    connect(closeGapsEntry_, &QLineEdit::editingFinished, this, [this] {
      const int value = ParseDialogNumber(closeGapsEntry_->text().toStdString());
      if (value >= 0 && value <= kMaxCloseGaps) doc_.SetCloseGaps(value);
    });
  }
  showLines_ = new QCheckBox(QStringLiteral("Show lines"));
  showLines_->setChecked(true);

  auto* top = new QHBoxLayout;
  connect(AddButton(top, QStringLiteral("ACCEPT")), &QPushButton::clicked, this,
          [this] { Accept(); });
  connect(AddButton(top, QStringLiteral("Cancel")), &QPushButton::clicked, this,
          [this] { reject(); });
  connect(AddButton(top, QStringLiteral("Test Settings")), &QPushButton::clicked, this, [this] {
    NullProgress quick;  // a 100 x 100 rectangle takes no time worth a progress window
    doc_.TestSettings(showLines_->isChecked(), quick);
  });
  auto* files = new QHBoxLayout;
  files->addWidget(showLines_);
  files->addStretch(1);
  connect(AddButton(files, QStringLiteral("Load Setings")), &QPushButton::clicked, this,
          [this] { LoadFile(); });
  connect(AddButton(files, QStringLiteral("Save Setings")), &QPushButton::clicked, this,
          [this] { SaveFile(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(files);
  layout->addLayout(top);
  ShowSettings();
  doc_.AddListener(this);
}

LineSettingsDialog::~LineSettingsDialog() {
  doc_.RemoveListener(this);
}

QPushButton* LineSettingsDialog::button(const QString& text) const {
  return ButtonIn(this, text);
}

void LineSettingsDialog::ShowSettings() {
  for (std::size_t i = 0; i < 4; ++i) {
    const int value = LineSettingValue(doc_.settings(), kSettings[i]);
    const QSignalBlocker quiet(bars_[i]);
    bars_[i]->setValue(value);
    if (ParseDialogNumber(entries_[i]->text().toStdString()) != value ||
        entries_[i]->text().isEmpty())
      entries_[i]->setText(QString::number(value));
  }
  const QSignalBlocker quiet(closeGapsBar_);
  closeGapsBar_->setValue(doc_.closeGaps());
  if (ParseDialogNumber(closeGapsEntry_->text().toStdString()) != doc_.closeGaps() ||
      closeGapsEntry_->text().isEmpty())
    closeGapsEntry_->setText(QString::number(doc_.closeGaps()));
}

void LineSettingsDialog::Reset() {
  for (QLineEdit* entry : entries_) entry->clear();
  closeGapsEntry_->clear();
  showLines_->setChecked(true);
  ShowSettings();
}

void LineSettingsDialog::OnUpdate(const AnalyzerUpdate& update) {
  if (update.hint == AnalyzerHint::SettingsChanged) ShowSettings();
  // The document closed the session itself (another drawing was loaded).
  if (update.hint == AnalyzerHint::StateChanged && !doc_.lineSettingsOpen() && isVisible())
    QDialog::reject();
}

void LineSettingsDialog::Accept() {
  LineSettingsEntries entries;
  entries.linePickUp = ParseDialogNumber(entries_[0]->text().toStdString());
  entries.lineGrowth = ParseDialogNumber(entries_[1]->text().toStdString());
  entries.whiteClamp = ParseDialogNumber(entries_[2]->text().toStdString());
  entries.blackClamp = ParseDialogNumber(entries_[3]->text().toStdString());
  if (doc_.AcceptLineSettings(entries, ParseDialogNumber(closeGapsEntry_->text().toStdString())))
    accept();
}

void LineSettingsDialog::reject() {
  doc_.CancelLineSettings();
  QDialog::reject();
}

void LineSettingsDialog::LoadFile() {
  auto path = prompt_.PickFile(kLoadRedlineTitle, kRedlineFilter, DirectoryOf(doc_.drawingPath()));
  if (path) (void)doc_.LoadLineSettingsFile(*path);
}

void LineSettingsDialog::SaveFile() {
  auto path = pickSavePath_(this, {Q(kSaveRedlineTitle), Q(kRedlineFilter), QStringLiteral("rls")});
  if (path) (void)doc_.SaveLineSettingsFile(path->toStdString());
}

BatchProcessDialog::BatchProcessDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Quenda: Batch Process"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  path_ = new QLabel;
  name_ = new QLabel;
  path_->setMinimumWidth(300);
  auto* facts = new QGridLayout;
  facts->addWidget(new QLabel(QStringLiteral("Path:")), 0, 0);
  facts->addWidget(path_, 0, 1);
  facts->addWidget(new QLabel(QStringLiteral("Name:")), 1, 0);
  facts->addWidget(name_, 1, 1);
  // The gap setting is the analyzer's own: the run uses it as the line settings dialog left it.
  closeGaps_ = new QLabel(QString::number(doc_.closeGaps()));
  facts->addWidget(new QLabel(QStringLiteral("Close Gaps:")), 2, 0);
  facts->addWidget(closeGaps_, 2, 1);
  auto* choose = new QHBoxLayout;
  connect(AddButton(choose, QStringLiteral("Select a Sequence")), &QPushButton::clicked, this,
          [this] { SelectSequence(); });
  connect(AddButton(choose, QStringLiteral("Load Setings")), &QPushButton::clicked, this,
          [this] { LoadSettings(); });
  auto* run = new QHBoxLayout;
  connect(AddButton(run, QStringLiteral("PROCESS")), &QPushButton::clicked, this,
          [this] { Process(); });
  connect(AddButton(run, QStringLiteral("Cancel")), &QPushButton::clicked, this,
          [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choose);
  layout->addLayout(facts);
  layout->addLayout(run);
}

QPushButton* BatchProcessDialog::button(const QString& text) const {
  return ButtonIn(this, text);
}

QString BatchProcessDialog::pathText() const {
  return path_->text();
}

QString BatchProcessDialog::nameText() const {
  return name_->text();
}

QString BatchProcessDialog::closeGapsText() const {
  return closeGaps_->text();
}

void BatchProcessDialog::SelectSequence() {
  auto path = prompt_.PickFile(kOpenBaseImageTitle, kDrawingScanFilter, {});
  if (!path || !doc_.SelectBatchSequence(*path, choice_)) return;
  path_->setText(QString::fromStdString(choice_.sequence->directory));
  name_->setText(QString::fromStdString(choice_.sequence->name));
}

void BatchProcessDialog::LoadSettings() {
  auto path = prompt_.PickFile(kLoadRedlineTitle, kRedlineFilter, {});
  if (path) (void)doc_.LoadBatchSettings(*path, choice_);
}

void BatchProcessDialog::Process() {
  if (doc_.BatchProcessChecks(choice_)) accept();
}

ColorSetDialog::ColorSetDialog(CAnalyzerDoc& doc, SavePathPicker pickSavePath, QWidget* parent)
    : QDialog(parent), doc_(doc), pickSavePath_(std::move(pickSavePath)) {
  setWindowTitle(Q(kColorSetDialogTitle));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);
  list_ = new QListWidget;
  list_->setMinimumHeight(240);
  name_ = new QLineEdit;
  swatch_ = new QLabel;
  swatch_->setFixedSize(40, 20);
  swatch_->setAutoFillBackground(true);
  auto* entry = new QHBoxLayout;
  entry->addWidget(new QLabel(QStringLiteral("Name:")));
  entry->addWidget(name_);
  entry->addWidget(new QLabel(QStringLiteral("Color:")));
  entry->addWidget(swatch_);
  connect(AddButton(entry, QStringLiteral("Edit>>")), &QPushButton::clicked, this, [this] {
    const QColor picked = QColorDialog::getColor(colour_, this, QStringLiteral("Color"));
    if (picked.isValid()) SetColour(picked);
  });
  auto* change = new QHBoxLayout;
  connect(AddButton(change, QStringLiteral("Add")), &QPushButton::clicked, this, [this] {
    (void)doc_.AddColor(name_->text().toStdString(), colour_.red(), colour_.green(),
                        colour_.blue());
  });
  connect(AddButton(change, QStringLiteral("Edit")), &QPushButton::clicked, this, [this] {
    (void)doc_.EditColor(doc_.currentColor(), name_->text().toStdString(), colour_.red(),
                         colour_.green(), colour_.blue());
  });
  auto* files = new QHBoxLayout;
  connect(AddButton(files, Q(kLoadColorSetTitle)), &QPushButton::clicked, this,
          [this] { (void)doc_.LoadColorSet(DirectoryOf(doc_.colors().path)); });
  connect(AddButton(files, Q(kSaveColorSetTitle)), &QPushButton::clicked, this, [this] {
    auto path =
        pickSavePath_(this, {Q(kSaveColorSetTitle), Q(kColorModelFilter), QStringLiteral("col")});
    if (path) (void)doc_.SaveColorSetFile(path->toStdString());
  });
  connect(AddButton(files, QStringLiteral("Close")), &QPushButton::clicked, this,
          [this] { close(); });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) doc_.SetCurrentColor(row);
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(entry);
  layout->addLayout(change);
  layout->addLayout(files);
  doc_.AddListener(this);
  ShowColors();
}

ColorSetDialog::~ColorSetDialog() {
  doc_.RemoveListener(this);
}

QPushButton* ColorSetDialog::button(const QString& text) const {
  return ButtonIn(this, text);
}

void ColorSetDialog::SetColour(const QColor& colour) {
  colour_ = colour;
  QPalette palette = swatch_->palette();
  palette.setColor(QPalette::Window, colour_);
  swatch_->setPalette(palette);
}

void ColorSetDialog::OnUpdate(const AnalyzerUpdate& update) {
  if (update.hint == AnalyzerHint::ColorsChanged) ShowColors();
}

void ColorSetDialog::ShowColors() {
  const ColorSet& colors = doc_.colors();
  // Items are changed in place: this runs inside the list's own selection signal too.
  const QSignalBlocker quiet(list_);
  while (list_->count() > colors.count) delete list_->takeItem(list_->count() - 1);
  while (list_->count() < colors.count) list_->addItem(new QListWidgetItem);
  for (int i = 0; i < colors.count; ++i) {
    const ColorEntry& e = colors.entries[std::size_t(i)];
    QPixmap chip(16, 16);
    chip.fill(QColor(e.red, e.green, e.blue));
    list_->item(i)->setIcon(QIcon(chip));
    list_->item(i)->setText(Q(e.name));
  }
  list_->setCurrentRow(doc_.currentColor());
  ShowCurrent();
}

void ColorSetDialog::ShowCurrent() {
  const ColorEntry& e = doc_.colors().entries[std::size_t(doc_.currentColor())];
  name_->setText(Q(e.name));
  name_->setReadOnly(doc_.currentColor() == kTransparentColor);
  SetColour(QColor(e.red, e.green, e.blue));
}

}  // namespace quenda

// "Import Timesheet", "Import CSV" and "Export Timesheet".

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/path.h"
#include "dopegrid/app/exchange_dialogs.h"
#include "dopegrid/core/sheet_csv.h"
#include "dopegrid/core/xdts_file.h"

namespace quenda {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The core words choices as the command line gives them; here the table gives them.
QString InDialogWords(const std::string& text) {
  return Q(text)
      .replace(QStringLiteral("by --sequence"), QStringLiteral("chosen here"))
      .replace(QStringLiteral("(--sequence chooses one)"),
               QStringLiteral("(Choose Sequence picks one)"))
      .replace(QStringLiteral(" (--table chooses one)"), QString());
}

QWidget* FileRow(QLineEdit* edit, QPushButton* browse) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit, 1);
  layout->addWidget(browse);
  return row;
}

}  // namespace

ImportSheetDialog::ImportSheetDialog(SheetFileKind kind, Prompt& prompt, QWidget* parent)
    : QDialog(parent), kind_(kind), prompt_(prompt) {
  const bool xdts = kind == SheetFileKind::Xdts;
  setWindowTitle(xdts ? tr("Import Timesheet") : tr("Import CSV"));
  file_ = new QLineEdit;
  file_->setReadOnly(true);
  auto* browse = new QPushButton(tr("Browse..."));
  connect(browse, &QPushButton::clicked, this, &ImportSheetDialog::Browse);
  auto* form = new QFormLayout;
  form->addRow(xdts ? tr("Timesheet:") : tr("CSV file:"), FileRow(file_, browse));
  if (xdts) {
    tableNumber_ = new QSpinBox;
    tableNumber_->setRange(1, 999);
    crop_ = new QCheckBox(tr("Keep the first 49 tracks and 1999 frames of a larger table"));
    form->addRow(tr("Time table:"), tableNumber_);
    form->addRow(QString(), crop_);
    connect(tableNumber_, &QSpinBox::valueChanged, this, &ImportSheetDialog::Read);
    connect(crop_, &QCheckBox::toggled, this, &ImportSheetDialog::Read);
  }
  columns_ = new QTableWidget(0, 3);
  columns_->setHorizontalHeaderLabels(
      {xdts ? tr("Track") : tr("Column"), tr("Level"), tr("Sequence used")});
  columns_->horizontalHeader()->setStretchLastSection(true);
  columns_->verticalHeader()->hide();
  columns_->setSelectionBehavior(QAbstractItemView::SelectRows);
  columns_->setSelectionMode(QAbstractItemView::SingleSelection);
  columns_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(columns_, &QTableWidget::cellDoubleClicked, this, [this] { ChooseForSelected(); });
  auto* choose = new QPushButton(tr("Choose Sequence..."));
  connect(choose, &QPushButton::clicked, this, &ImportSheetDialog::ChooseForSelected);
  report_ = new QPlainTextEdit;
  report_->setReadOnly(true);
  report_->setMaximumBlockCount(2000);
  forget_ = new QCheckBox(tr("Leave the cells empty whose drawings cannot be found"));
  connect(forget_, &QCheckBox::toggled, this, &ImportSheetDialog::Rebuild);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  import_ = buttons->addButton(tr("Import"), QDialogButtonBox::AcceptRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(import_, &QPushButton::clicked, this, [this] {
    result_ = built_;
    if (result_) accept();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(columns_, 3);
  auto* chooseRow = new QHBoxLayout;
  chooseRow->addWidget(
      new QLabel(tr("Front level first: the timesheet's top track becomes level 0.")));
  if (!xdts) chooseRow->itemAt(0)->widget()->hide();
  chooseRow->addStretch();
  chooseRow->addWidget(choose);
  layout->addLayout(chooseRow);
  layout->addWidget(new QLabel(tr("What the sheet keeps differently or leaves out:")));
  layout->addWidget(report_, 2);
  layout->addWidget(forget_);
  layout->addWidget(buttons);
  resize(620, 520);
  Rebuild();
}

void ImportSheetDialog::Browse() {
  const bool xdts = kind_ == SheetFileKind::Xdts;
  std::optional<std::string> picked = prompt_.PickFile(
      xdts ? "Import Timesheet" : "Import CSV",
      xdts ? "XDTS Timesheets (*.xdts)" : "CSV Files (*.csv)",
      file_->text().isEmpty() ? "" : QFileInfo(file_->text()).absolutePath().toStdString());
  if (picked) SetFile(Q(*picked));
}

void ImportSheetDialog::SetFile(const QString& path) {
  file_->setText(path);
  choices_.clear();
  Read();
}

void ImportSheetDialog::Read() {
  read_.clear();
  readNotes_.clear();
  readError_.clear();
  frameCount_ = 0;
  const std::string path = file_->text().toStdString();
  if (!path.empty()) {
    if (kind_ == SheetFileKind::Xdts) {
      Result<XdtsColumns> read =
          LoadXdtsFile(path, {std::to_string(tableNumber_->value()), crop_->isChecked()});
      if (read) {
        read_ = std::move(read->columns);
        frameCount_ = read->frameCount;
        readNotes_ = std::move(read->notes);
      } else {
        readError_ = read.message();
      }
    } else {
      Result<CsvColumns> read = LoadSheetCsv(path);
      if (read) {
        read_ = std::move(read->columns);
        frameCount_ = read->frameCount;
        readNotes_ = std::move(read->notes);
      } else {
        readError_ = read.message();
      }
    }
  }
  choices_.resize(read_.size());
  Rebuild();
}

void ImportSheetDialog::Rebuild() {
  built_.reset();
  QStringList lines;
  if (!readError_.empty()) lines << Q(readError_);
  if (file_->text().isEmpty()) lines << tr("Choose a file with Browse.");
  if (readError_.empty() && !file_->text().isEmpty()) {
    ExchangeImportOptions options;
    for (const auto& choice : choices_)
      if (choice) options.choices.push_back(*choice);
    const std::string path = AbsolutePath(file_->text().toStdString());
    options.folders = {DirectoryOf(path)};
    Result<ExchangeImport> built = BuildImportedSheet(read_, frameCount_, options);
    if (!built) {
      lines << Q(built.message());
    } else {
      for (const std::string& note : readNotes_) lines << InDialogWords(note);
      for (const std::string& note : built->notes) lines << InDialogWords(note);
      for (const std::string& missing : built->missing)
        lines << tr("missing: ") + InDialogWords(missing);
      if (!built->missing.empty() && !forget_->isChecked())
        lines << tr("Choose the sequences, or leave those cells empty, to import.");
      columns_->setRowCount(int(read_.size()));
      for (int r = 0; r < int(read_.size()); ++r) {
        const std::string& choice = built->choices[std::size_t(r)];
        const std::size_t colon = choice.find(": ");
        QString used =
            InDialogWords(colon == std::string::npos ? choice : choice.substr(colon + 2));
        columns_->setItem(r, 0, new QTableWidgetItem(Q(read_[std::size_t(r)].caption)));
        columns_->setItem(r, 1, new QTableWidgetItem(Q(built->sheet.LevelName(r))));
        columns_->setItem(r, 2, new QTableWidgetItem(used));
      }
      if (built->missing.empty() || forget_->isChecked()) built_ = std::move(built).value();
    }
  }
  if (!built_ && (!readError_.empty() || file_->text().isEmpty())) columns_->setRowCount(0);
  report_->setPlainText(lines.join(QLatin1Char('\n')));
  import_->setEnabled(built_.has_value());
}

void ImportSheetDialog::ChooseForSelected() {
  const int row = columns_->currentRow();
  if (row < 0 || row >= int(read_.size())) return;
  std::optional<std::string> picked =
      prompt_.PickFile("Select A Sequence", "Quenda Drawing Files (*.qds)", "");
  if (picked) ChooseSequence(row, Q(*picked));
}

void ImportSheetDialog::ChooseSequence(int row, const QString& first) {
  if (row < 0 || row >= int(choices_.size())) return;
  const QTableWidgetItem* level = columns_->item(row, 1);
  choices_[std::size_t(row)] = SequenceChoice{
      level ? level->text().toStdString() : read_[std::size_t(row)].name, first.toStdString()};
  Rebuild();
  columns_->selectRow(row);
}

ExportTimesheetDialog::ExportTimesheetDialog(const CDopegridDoc& doc, Prompt& prompt,
                                             SavePathPicker pick, const QString& name,
                                             QWidget* parent)
    : QDialog(parent), doc_(doc), prompt_(prompt), pick_(std::move(pick)), name_(name) {
  setWindowTitle(tr("Export Timesheet"));
  file_ = new QLineEdit;
  auto* browse = new QPushButton(tr("Browse..."));
  connect(browse, &QPushButton::clicked, this, [this] {
    std::optional<QString> picked =
        pick_(this, {tr("Export Timesheet"), tr("XDTS Timesheets (*.xdts)"), "xdts", name_});
    if (picked) file_->setText(*picked);
  });
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{1,4}"), this);
  cut_ = new QLineEdit(QStringLiteral("1"));
  scene_ = new QLineEdit(QStringLiteral("1"));
  for (QLineEdit* edit : {cut_, scene_}) edit->setValidator(digits);
  auto* form = new QFormLayout(this);
  form->addRow(tr("Timesheet:"), FileRow(file_, browse));
  form->addRow(tr("Cut:"), cut_);
  form->addRow(tr("Scene:"), scene_);
  form->addRow(new QLabel(tr("Every level becomes a track; the front level is the top track.")));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  QPushButton* ok = buttons->addButton(tr("Export"), QDialogButtonBox::AcceptRole);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, &ExportTimesheetDialog::Export);
  resize(480, 0);
}

void ExportTimesheetDialog::Export() {
  const std::string path = file_->text().toStdString();
  if (path.empty()) {
    prompt_.Message("Choose the file to write.", MessageIcon::Warning);
    return;
  }
  if (!IsXdtsNumber(cut_->text().toStdString()) || !IsXdtsNumber(scene_->text().toStdString())) {
    prompt_.Message("The cut and the scene are numbers of 1 to 4 digits.", MessageIcon::Warning);
    return;
  }
  if (QFileInfo::exists(file_->text()) &&
      !prompt_.AskYesNo(path + " exists already.\nDo you want to replace it?"))
    return;
  std::vector<std::string> notes;
  Status saved = SaveXdtsFile(
      path, doc_.sheet(), doc_.sequences(),
      {cut_->text().toStdString(), scene_->text().toStdString(), name_.toStdString()}, notes);
  if (!saved) {
    prompt_.Message(saved.message(), MessageIcon::Error);
    return;
  }
  for (const std::string& note : notes) prompt_.Message(note, MessageIcon::Information);
  accept();
}

}  // namespace quenda

#include "analyzer/app/scan_mode_window.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/drawing_scan.h"
#include "common/peg_turn.h"
#include "ui/peg_buttons.h"
#include "ui/progress_window.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr int kIconSide = 96;
constexpr int kHighestFrameNumber = 5000;

// The drawing at icon size; a file that cannot be read shows as an empty icon.
QIcon Thumbnail(const std::string& path) {
  auto loaded = ReadDrawingScan(path, ScanReader::Analyzer);
  if (!loaded) return {};
  const Raster& grey = loaded->scan.picture;
  QImage shown(grey.width(), grey.height(), QImage::Format_Grayscale8);
  for (int y = 0; y < grey.height(); ++y)  // stored rows run bottom first
    std::copy_n(grey.Row(grey.height() - 1 - y), grey.width(), shown.scanLine(y));
  return QIcon(QPixmap::fromImage(
      shown.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace

ScanSelectionDialog::ScanSelectionDialog(Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Quenda: Scan Sequence: Selection"));
  auto* layout = new QVBoxLayout(this);
  auto* folderRow = new QHBoxLayout;
  auto* choose = new QPushButton(QStringLiteral("Select Output Directory"));
  choose->setObjectName(QStringLiteral("selectOutputDirectory"));
  shownDirectory_ = new QLabel;
  folderRow->addWidget(choose);
  folderRow->addWidget(shownDirectory_, 1);
  layout->addLayout(folderRow);
  connect(choose, &QPushButton::clicked, this, [this] {
    if (auto chosen = prompt_.PickDirectory("Select Output Directory", directory_)) {
      directory_ = *chosen;
      shownDirectory_->setText(Q(directory_));
    }
  });
  auto* form = new QFormLayout;
  name_ = new QLineEdit(QStringLiteral("header"));
  form->addRow(QStringLiteral("Name:"), name_);
  layout->addLayout(form);
  pegs_ = new PegButtons;
  pegs_->SetChecked(1);
  layout->addWidget(pegs_);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &ScanSelectionDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

std::string ScanSelectionDialog::name() const {
  return name_->text().toStdString();
}

int ScanSelectionDialog::pegPosition() const {
  return PegPositionOfButton(pegs_->checked());
}

void ScanSelectionDialog::accept() {
  if (Status checked = twain::CheckAnalyzerScanSelection(directory_, name()); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Information);
    return;
  }
  QDialog::accept();
}

ScannedImageList::ScannedImageList(twain::AnalyzerScanMode& mode, ScannedFrames frames,
                                   Prompt& prompt, QWidget* parent)
    : QDialog(parent, Qt::Tool), mode_(mode), frames_(std::move(frames)), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Quenda: Scanned image list"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget;
  list_->setViewMode(QListView::IconMode);
  list_->setIconSize({kIconSide, kIconSide});
  list_->setResizeMode(QListView::Adjust);
  list_->setMovement(QListView::Static);
  list_->setMinimumSize(3 * (kIconSide + 24), kIconSide + 48);
  layout->addWidget(list_, 1);
  auto* row = new QHBoxLayout;
  const struct {
    const char* name;
    const char* text;
    void (ScannedImageList::*run)();
  } kButtons[] = {{"scan", "Scan", &ScannedImageList::Scan},
                  {"delete", "Delete", &ScannedImageList::DeleteSelected},
                  {"changeFrame", "Change Frame", &ScannedImageList::ChangeSelected}};
  for (const auto& button : kButtons) {
    auto* push = new QPushButton(QString::fromLatin1(button.text));
    push->setObjectName(QString::fromLatin1(button.name));
    connect(push, &QPushButton::clicked, this, button.run);
    row->addWidget(push);
  }
  layout->addLayout(row);
}

void ScannedImageList::Scan() {
  mode_.SetCounter(frames_.NextNumber());
  const int number = mode_.counter();
  bool goesOn = true;
  ProgressWindow window(QStringLiteral("Scanning"), this);
  window.RunJobHere(
      [&](Progress& progress, Prompt&) {
        progress.SetStage("Scanning frame " + std::to_string(number));
        mode_.SetProgress(&progress);
        goesOn = mode_.ScanOne();
        mode_.SetProgress(nullptr);
      },
      prompt_);
  if (mode_.counter() > number) {
    // The number the scan took: a later one when another program took this one meanwhile.
    frames_.Add(mode_.counter() - 1);
    Refresh();
    list_->setCurrentRow(list_->count() - 1);
  }
  if (!goesOn) emit Ended();
}

void ScannedImageList::DeleteSelected() {
  if (frames_.Delete(list_->currentRow())) Refresh();
}

void ScannedImageList::ChangeSelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= int(frames_.frames().size())) return;
  bool ok = false;
  const int number = QInputDialog::getInt(
      this, QStringLiteral("Change Frame"), QStringLiteral("New frame number:"),
      frames_.frames()[row].number, 1, kHighestFrameNumber, 1, &ok);
  if (ok && frames_.Renumber(row, number)) Refresh();
}

void ScannedImageList::reject() {
  QDialog::reject();
  emit Ended();
}

void ScannedImageList::Refresh() {
  const int row = list_->currentRow();
  list_->clear();
  for (const ScannedFrame& frame : frames_.frames())
    list_->addItem(new QListWidgetItem(Thumbnail(frame.path),
                                       Q(frames_.name()) + QString::number(frame.number)));
  list_->setCurrentRow(std::min(row < 0 ? list_->count() - 1 : row, list_->count() - 1));
}

}  // namespace quenda

#include "dopegrid/app/dopegrid_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "dopegrid/core/sheet_dialogs.h"
#include "dopegrid/core/sheet_drawing.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QDialogButtonBox* OkCancel(QDialog* dialog, QVBoxLayout* layout) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);
  return buttons;
}

}  // namespace

LevelNameDialog::LevelNameDialog(const QString& name, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Level Name?"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("New Level Name?")));
  field_ = new QLineEdit(name);
  field_->setMaxLength(kLevelNameLimit);
  layout->addWidget(field_);
  auto* buttons = OkCancel(this, layout);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (!field_->text().isEmpty()) accept();
  });
}

std::string LevelNameDialog::name() const {
  return field_->text().toStdString();
}

std::optional<std::string> AskLevelName(const QString& current, QWidget* parent) {
  LevelNameDialog dialog(current, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.name();
}

LevelListDialog::LevelListDialog(const CSheetGrid& sheet, const QString& title,
                                 const QString& question, Choice choice, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(question));
  list_ = new QListWidget;
  list_->setSelectionMode(choice == Choice::One ? QAbstractItemView::SingleSelection
                                                : QAbstractItemView::MultiSelection);
  for (int l = 0; l < sheet.levelCount; ++l) list_->addItem(Q(sheet.LevelName(l)));
  if (choice == Choice::One && list_->count() > 0) list_->setCurrentRow(0);
  layout->addWidget(list_);
  auto* buttons = OkCancel(this, layout);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this, choice] {
    if (choice == Choice::One) Accept();
  });
}

std::vector<int> LevelListDialog::chosen() const {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedIndexes())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void LevelListDialog::Accept() {
  const std::vector<int> rows = chosen();
  if (check_ ? check_(rows) : !rows.empty()) accept();
}

std::optional<int> AskLevel(const CSheetGrid& sheet, const QString& question, QWidget* parent) {
  LevelListDialog dialog(sheet, QStringLiteral("Select Level"), question,
                         LevelListDialog::Choice::One, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen().front();
}

FrameLengthDialog::FrameLengthDialog(Change change, Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Change Dopegrid frame length"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(change == Change::Add
                                   ? QStringLiteral("Frames to add to the end?")
                                   : QStringLiteral("Frames to cut from the end?")));
  field_ = new QLineEdit(QStringLiteral("1"));
  layout->addWidget(field_);
  auto* buttons = OkCancel(this, layout);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
}

void FrameLengthDialog::Accept() {
  bool number = false;
  const int count = field_->text().trimmed().toInt(&number);
  // Anything but a whole number gets the range's message, as a number out of range does.
  const Status checked = CDopegridDoc::CheckFrameChangeCount(number ? count : -1);
  if (!checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  count_ = count;
  accept();
}

TransferOnAnyDialog::TransferOnAnyDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Transfer on any"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Transfer on what's ?")));
  spin_ = new QSpinBox;
  spin_->setRange(1, kMaxTransferSpacing);
  spin_->setValue(kTransferOnAnyDefault);
  layout->addWidget(spin_);
  auto* buttons = OkCancel(this, layout);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (IsTransferSpacing(spin_->value())) accept();
  });
}

CelImageWindow::CelImageWindow(const DrawingScan& drawing, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Image Display"));
  const Raster& picture = drawing.picture;
  image_ = QImage(picture.width(), picture.height(), QImage::Format_Grayscale8);
  for (int y = 0; y < picture.height(); ++y)  // the raster keeps its bottom row first
    std::copy_n(picture.Row(picture.height() - 1 - y), picture.width(), image_.scanLine(y));

  auto* shown = new QLabel;
  shown->setPixmap(QPixmap::fromImage(image_));
  auto* scroll = new QScrollArea;
  scroll->setWidget(shown);
  scroll->setObjectName(QStringLiteral("picture"));

  auto* facts = new QGridLayout;
  const QString rows[][2] = {{QString(), Q(CelSizeText(drawing))},
                             {QStringLiteral("at"), Q(CelOriginText(drawing))},
                             {QStringLiteral("Peg:"), Q(PegName(drawing.pegPosition))},
                             {QStringLiteral("dpi:"), QString::number(drawing.dpi)}};
  int r = 0;
  for (const auto& [caption, value] : rows) {
    facts->addWidget(new QLabel(caption), r, 0);
    auto* label = new QLabel(value);
    label->setObjectName(QStringLiteral("fact"));
    facts->addWidget(label, r++, 1);
  }
  facts->setRowStretch(r, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addLayout(facts);
  resize(std::min(picture.width() + 160, 900), std::min(picture.height() + 40, 700));
}

QStringList CelImageWindow::facts() const {
  QStringList texts;
  for (const QLabel* label : findChildren<QLabel*>(QStringLiteral("fact"))) texts << label->text();
  return texts;
}

}  // namespace quenda

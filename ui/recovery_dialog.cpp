#include "ui/recovery_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quenda {

RecoveryDialog::RecoveryDialog(std::vector<RecoverableCopy> copies, QWidget* parent)
    : QDialog(parent), copies_(std::move(copies)) {
  setWindowTitle(tr("Recover Unsaved Work"));
  auto* layout = new QVBoxLayout(this);
  auto* text =
      new QLabel(tr("The program ended without saving these changes. Restore the chosen document's "
                    "changes, discard them, or decide later."),
                 this);
  text->setWordWrap(true);
  layout->addWidget(text);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("recoveryList"));
  list_->setHeaderLabels({tr("Document"), tr("Changes kept at")});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(this);
  restore_ = buttons->addButton(tr("Restore"), QDialogButtonBox::AcceptRole);
  discard_ = buttons->addButton(tr("Discard"), QDialogButtonBox::DestructiveRole);
  later_ = buttons->addButton(tr("Later"), QDialogButtonBox::RejectRole);
  restore_->setDefault(true);
  layout->addWidget(buttons);
  connect(restore_, &QPushButton::clicked, this, &RecoveryDialog::Restore);
  connect(discard_, &QPushButton::clicked, this, &RecoveryDialog::Discard);
  connect(later_, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &RecoveryDialog::Restore);
  Fill();
  resize(520, 260);
}

void RecoveryDialog::Fill() {
  list_->clear();
  for (const RecoverableCopy& copy : copies_) {
    const QString path = QString::fromStdString(copy.manifest.documentPath);
    auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(copy.manifest.documentName),
                                             RecoveryTimeText(copy.manifest.savedAt)});
    item->setToolTip(0, path.isEmpty() ? tr("never saved") : path);
  }
  // The newest is the likeliest wanted.
  if (!copies_.empty()) list_->setCurrentItem(list_->topLevelItem(int(copies_.size()) - 1));
  restore_->setEnabled(!copies_.empty());
  discard_->setEnabled(!copies_.empty());
}

void RecoveryDialog::Restore() {
  const int row = list_->currentIndex().row();
  if (row < 0 || row >= int(copies_.size())) return;
  chosen_ = copies_[std::size_t(row)];
  accept();
}

void RecoveryDialog::Discard() {
  const int row = list_->currentIndex().row();
  if (row < 0 || row >= int(copies_.size())) return;
  DiscardRecoverable(copies_[std::size_t(row)]);
  copies_.erase(copies_.begin() + row);
  if (copies_.empty()) {
    reject();
    return;
  }
  Fill();
}

QString RecoveryTimeText(int64_t savedAt) {
  return QLocale().toString(QDateTime::fromSecsSinceEpoch(savedAt).toLocalTime(),
                            QStringLiteral("d MMM yyyy HH:mm"));
}

std::string RecoveryStoreFolder() {
  return (QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
          QStringLiteral("/recovery"))
      .toStdString();
}

std::optional<RecoverableCopy> OfferRecovery(QWidget* parent, const std::string& storeFolder,
                                             const std::string& program) {
  std::vector<RecoverableCopy> copies = ListRecoverable(storeFolder, program);
  if (copies.empty()) return std::nullopt;
  RecoveryDialog dialog(std::move(copies), parent);
  dialog.exec();
  return dialog.chosen();
}

}  // namespace quenda

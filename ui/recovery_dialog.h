#pragma once
// Started after a crash, a program offers what the crashed run left: a list of the copies, each
// with its document's name and the time it was written, and Restore, Discard or Later. Restore
// takes the chosen copy back into the program; Discard removes the chosen copy and keeps the
// dialog open on the others; Later leaves every copy for the next start.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "common/recovery_store.h"

class QPushButton;
class QTreeWidget;

namespace quenda {

class RecoveryDialog final : public QDialog {
  Q_OBJECT

 public:
  RecoveryDialog(std::vector<RecoverableCopy> copies, QWidget* parent = nullptr);

  // The copy to restore, once Restore was pressed.
  const std::optional<RecoverableCopy>& chosen() const { return chosen_; }
  // The copies the dialog still lists.
  const std::vector<RecoverableCopy>& copies() const { return copies_; }

  QTreeWidget* list() const { return list_; }
  QPushButton* restoreButton() const { return restore_; }
  QPushButton* discardButton() const { return discard_; }
  QPushButton* laterButton() const { return later_; }

 private:
  void Fill();
  void Restore();
  void Discard();

  std::vector<RecoverableCopy> copies_;
  std::optional<RecoverableCopy> chosen_;
  QTreeWidget* list_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* discard_ = nullptr;
  QPushButton* later_ = nullptr;
};

// "7 Dec 2026 23:41" in the user's local time.
QString RecoveryTimeText(int64_t savedAt);

// The folder of the recovery copies: "recovery" in the program's state folder
// (QStandardPaths::AppLocalDataLocation).
std::string RecoveryStoreFolder();

// Shows the dialog when `program` left copies in `storeFolder`; the copy to restore, or
// nothing (none left, Later, or every copy discarded).
std::optional<RecoverableCopy> OfferRecovery(QWidget* parent, const std::string& storeFolder,
                                             const std::string& program);

}  // namespace quenda

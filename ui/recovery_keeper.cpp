#include "ui/recovery_keeper.h"

#include <QDebug>
#include <ctime>

#include "ui/recovery_dialog.h"

namespace quenda {

RecoveryKeeper::RecoveryKeeper(std::string program, Snapshot snapshot, QObject* parent)
    : QObject(parent),
      program_(std::move(program)),
      snapshot_(std::move(snapshot)),
      storeFolder_(RecoveryStoreFolder()) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::Refresh);
  timer_.start();
}

void RecoveryKeeper::Refresh() {
  std::optional<RecoverySnapshot> now = snapshot_();
  if (!now) {
    Remove();
    return;
  }
  if (!copy_) {
    Result<RecoveryCopy> made = RecoveryCopy::Create(storeFolder_, program_);
    if (!made) {
      lastError_ = made.message();
      qWarning("%s", lastError_.c_str());
      return;
    }
    copy_ = std::move(*made);
  }
  now->about.savedAt = int64_t(std::time(nullptr));
  // A copy that cannot be written is no reason to interrupt the work: it is said on the
  // terminal and tried again at the next turn.
  Status written = copy_->Write(std::move(now->about), now->parts);
  lastError_ = written.ok() ? std::string() : written.message();
  if (!written) qWarning("%s", lastError_.c_str());
}

bool RecoveryKeeper::OfferRestore(QWidget* parent, Prompt& prompt, const Restore& restore) {
  const std::optional<RecoverableCopy> chosen = OfferRecovery(parent, storeFolder_, program_);
  if (!chosen) return false;
  if (Status restored = restore(*chosen); !restored) {
    if (!restored.message().empty())
      prompt.Message("The changes kept for " + chosen->manifest.documentName +
                         " cannot be restored: " + restored.message(),
                     MessageIcon::Warning);
    return false;
  }
  DiscardRecoverable(*chosen);
  // This run keeps the changes from now on, under its own copy.
  Refresh();
  return true;
}

void RecoveryKeeper::Remove() {
  if (copy_) copy_->Remove();
}

}  // namespace quenda

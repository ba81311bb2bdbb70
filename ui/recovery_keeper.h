#pragma once
// Keeps the recovery copy of one window's unsaved work: every two minutes, and whenever the
// window asks (a change of frame), the copy is written while there are unsaved changes and
// removed once there are none. The window removes it on save and on a clean exit; a crash
// leaves it for the next start (see RecoveryDialog).

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "common/prompt.h"
#include "common/recovery_store.h"

class QWidget;

namespace quenda {

class RecoveryKeeper final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 2 * 60 * 1000;

  // What the copy is to hold now; nothing while there are no unsaved changes. The time is
  // filled in by the keeper.
  using Snapshot = std::function<std::optional<RecoverySnapshot>()>;

  // `program` names the copies ("painter"); they go to RecoveryStoreFolder() unless a test
  // points them elsewhere.
  RecoveryKeeper(std::string program, Snapshot snapshot, QObject* parent = nullptr);

  void SetStoreFolder(std::string folder) { storeFolder_ = std::move(folder); }
  const std::string& storeFolder() const { return storeFolder_; }
  const std::string& program() const { return program_; }
  void SetInterval(int milliseconds) { timer_.setInterval(milliseconds); }

  // Writes the copy, or removes it when there is nothing unsaved.
  void Refresh();
  // Offers what earlier runs of the program left (see RecoveryDialog); `restore` takes the
  // chosen copy back into the window as its unsaved work. On success the copy becomes this
  // run's; on failure it stays for another try, and the reason (when `restore` has not said it
  // itself, with an empty message) is told through `prompt`. True when a copy was restored.
  using Restore = std::function<Status(const RecoverableCopy&)>;
  bool OfferRestore(QWidget* parent, Prompt& prompt, const Restore& restore);
  // The document was saved, or closed without its changes.
  void Remove();

  bool written() const { return copy_ && copy_->written(); }
  // Why the last write failed; empty after one that worked.
  const std::string& lastError() const { return lastError_; }

 private:
  std::string program_;
  Snapshot snapshot_;
  std::string storeFolder_;
  std::optional<RecoveryCopy> copy_;
  std::string lastError_;
  QTimer timer_;
};

}  // namespace quenda

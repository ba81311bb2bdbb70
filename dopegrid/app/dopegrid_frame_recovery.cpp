// The exposure sheet's side of crash recovery: offering what a crashed run left, and taking the
// chosen sheet back as the window's unsaved document.

#include <QFileInfo>

#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/core/sheet_recovery.h"
#include "ui/recovery_dialog.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CDopegridFrame::OfferRecovery() {
  std::optional<RecoverableCopy> chosen =
      quenda::OfferRecovery(this, recovery_->storeFolder(), recovery_->program());
  if (!chosen) return false;
  if (!RestoreSheetRecovery(*doc_, *chosen)) {
    // The reader has said why; the copy stays for another try.
    UpdateTitle();
    return false;
  }
  path_ = QString::fromStdString(chosen->manifest.documentPath);
  DiscardRecoverable(*chosen);
  // This run keeps the changes from now on, under its own copy.
  recovery_->Refresh();
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return true;
}

}  // namespace quenda

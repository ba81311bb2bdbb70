// The background maker's side of crash recovery: offering what a crashed run left, and taking
// the chosen background back as the window's unsaved document.

#include "panorama/app/panorama_frame.h"
#include "panorama/core/background_recovery.h"
#include "ui/recovery_dialog.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CPanoramaFrame::OfferRecovery() {
  std::optional<RecoverableCopy> chosen =
      quenda::OfferRecovery(this, recovery_->storeFolder(), recovery_->program());
  if (!chosen) return false;
  if (!RestoreBackgroundRecovery(*doc_, *chosen)) {
    // The reader has said why; the copy stays for another try.
    UpdateTitle();
    return false;
  }
  DiscardRecoverable(*chosen);
  // This run keeps the changes from now on, under its own copy.
  recovery_->Refresh();
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return true;
}

}  // namespace quenda

// The composer's side of crash recovery: offering what a crashed run left, and taking the
// chosen composition back as the window's unsaved movie.

#include "composer/app/composer_frame.h"
#include "composer/core/composition_recovery.h"
#include "ui/recovery_dialog.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CComposerFrame::OfferRecovery() {
  std::optional<RecoverableCopy> chosen =
      quenda::OfferRecovery(this, recovery_->storeFolder(), recovery_->program());
  if (!chosen) return false;
  if (Status restored = RestoreCompositionRecovery(*doc_, *chosen); !restored) {
    // Kept for another try.
    prompt_->Message("The changes kept for " + chosen->manifest.documentName +
                         " cannot be restored: " + restored.message(),
                     MessageIcon::Warning);
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

// The composer's side of crash recovery: the chosen composition comes back as the window's
// unsaved movie, under the name it had.

#include "composer/app/composer_frame.h"
#include "composer/core/composition_recovery.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CComposerFrame::OfferRecovery() {
  const bool restored =
      recovery_->OfferRestore(this, *prompt_, [this](const RecoverableCopy& chosen) {
        Status taken = RestoreCompositionRecovery(*doc_, chosen);
        if (taken) path_ = QString::fromStdString(chosen.manifest.documentPath);
        return taken;
      });
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return restored;
}

}  // namespace quenda

// The background maker's side of crash recovery: the chosen background comes back as the
// window's unsaved document.

#include "panorama/app/panorama_frame.h"
#include "panorama/core/background_recovery.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CPanoramaFrame::OfferRecovery() {
  const bool restored =
      recovery_->OfferRestore(this, *prompt_, [this](const RecoverableCopy& chosen) {
        // The reader says why it failed.
        return RestoreBackgroundRecovery(*doc_, chosen) ? Status() : Status(Error{});
      });
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return restored;
}

}  // namespace quenda

// The exposure sheet's side of crash recovery: the chosen sheet comes back as the window's
// unsaved document, under the name it had.

#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/core/sheet_recovery.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CDopegridFrame::OfferRecovery() {
  const bool restored =
      recovery_->OfferRestore(this, *prompt_, [this](const RecoverableCopy& chosen) {
        // The reader says why it failed.
        if (!RestoreSheetRecovery(*doc_, chosen)) return Status(Error{});
        path_ = QString::fromStdString(chosen.manifest.documentPath);
        return Status();
      });
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return restored;
}

}  // namespace quenda

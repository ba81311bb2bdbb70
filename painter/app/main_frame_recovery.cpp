// The painter's side of crash recovery: the chosen copy's drawing is opened and its paint
// taken back as the frame's unsaved change.

#include "painter/app/main_frame.h"
#include "painter/core/painter_recovery.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CMainFrame::OfferRecovery() {
  // A copy that cannot be restored is kept: the drawing may be back (a disk mounted again) at
  // the next start.
  const bool restored =
      recovery_->OfferRestore(this, *prompt_, [this](const RecoverableCopy& chosen) {
        if (!OpenFile(QString::fromStdString(chosen.manifest.documentPath),
                      SequenceStart::NamedDrawing))
          return Status(Error{"the drawing did not open"});
        return RestorePainterRecovery(*doc_, chosen);
      });
  if (restored) {
    UpdateTitle();
    UpdateActions();
    UpdateStatus();
  }
  return restored;
}

}  // namespace quenda

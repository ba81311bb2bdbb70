// The analyzer's side of crash recovery: the chosen copy's sequence is painted again on its
// drawing, and its paint taken back as the frame's unsaved change.

#include "analyzer/app/analyzer_frame.h"
#include "analyzer/core/analyzer_recovery.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CAnalyzerFrame::OfferRecovery() {
  // A copy that cannot be restored is kept: the drawing may be back (a disk mounted again) at
  // the next start.
  return recovery_->OfferRestore(this, *prompt_, [this](const RecoverableCopy& chosen) {
    if (doc_->sequencePainting() || !doc_->ConfirmLoseDrawing())
      return Status(Error{"another drawing is in hand"});
    doc_->DropDrawing();
    return RestoreAnalyzerRecovery(*doc_, chosen);
  });
}

}  // namespace quenda

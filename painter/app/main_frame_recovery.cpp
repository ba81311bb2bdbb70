// The painter's side of crash recovery: offering what a crashed run left, and restoring it.

#include "painter/app/main_frame.h"
#include "painter/core/painter_recovery.h"
#include "ui/recovery_dialog.h"
#include "ui/recovery_keeper.h"

namespace quenda {

bool CMainFrame::OfferRecovery() {
  std::optional<RecoverableCopy> chosen =
      quenda::OfferRecovery(this, recovery_->storeFolder(), recovery_->program());
  if (!chosen) return false;
  const std::string& drawing = chosen->manifest.documentPath;
  Status restored = OpenFile(QString::fromStdString(drawing), SequenceStart::NamedDrawing)
                        ? RestorePainterRecovery(*doc_, *chosen)
                        : Status(Error{"the drawing did not open"});
  if (!restored) {
    // Kept: the drawing may be back (a disk mounted again) at the next start.
    prompt_->Message("The changes kept for " + chosen->manifest.documentName +
                         " cannot be restored: " + restored.message(),
                     MessageIcon::Warning);
    return false;
  }
  // This run keeps the changes from now on, under its own copy.
  DiscardRecoverable(*chosen);
  recovery_->Refresh();
  UpdateTitle();
  UpdateActions();
  UpdateStatus();
  return true;
}

}  // namespace quenda

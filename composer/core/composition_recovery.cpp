#include "composer/core/composition_recovery.h"

#include "common/path.h"
#include "composer/core/composition_file.h"

namespace quenda {

std::optional<RecoverySnapshot> CompositionRecoverySnapshot(const CComposerDoc& doc,
                                                            const std::string& documentPath) {
  if (!doc.hasMovie() || !doc.modified()) return std::nullopt;
  RecoverySnapshot snapshot;
  snapshot.about.documentPath = documentPath.empty() ? "" : AbsolutePath(documentPath);
  snapshot.about.documentName = documentPath.empty() ? "Untitled" : FileNameOf(documentPath);
  snapshot.parts.push_back({"composition", EncodeComposition(doc.composition())});
  return snapshot;
}

Status RestoreCompositionRecovery(CComposerDoc& doc, const RecoverableCopy& copy) {
  const std::string kept = RecoveredPartPath(copy, "composition");
  if (kept.empty()) return Error{"the recovery copy holds no composition"};
  // The clips' folders were kept absolute, so the copy reads from its own folder.
  if (Status opened = doc.Open(kept); !opened) return opened;
  doc.SetModified(true);
  doc.UpdateAllViews(ComposerHint::All);
  return Status::Ok();
}

}  // namespace quenda

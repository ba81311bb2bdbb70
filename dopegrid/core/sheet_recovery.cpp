#include "dopegrid/core/sheet_recovery.h"

#include "common/archive.h"
#include "common/path.h"
#include "dopegrid/core/sheet_file.h"

namespace quenda {

std::optional<RecoverySnapshot> SheetRecoverySnapshot(const CDopegridDoc& doc,
                                                      const std::string& documentPath) {
  if (!doc.modified()) return std::nullopt;
  RecoverySnapshot snapshot;
  snapshot.about.documentPath = documentPath.empty() ? "" : AbsolutePath(documentPath);
  snapshot.about.documentName = documentPath.empty() ? "Untitled" : FileNameOf(documentPath);
  ArchiveWriter out;
  WriteSheetFile(out, doc.sheet(), doc.sequences());
  snapshot.parts.push_back({"sheet", out.bytes()});
  return snapshot;
}

bool RestoreSheetRecovery(CDopegridDoc& doc, const RecoverableCopy& copy) {
  const std::string kept = RecoveredPartPath(copy, "sheet");
  // The sequences' folders were kept absolute, so the copy reads from its own folder.
  if (kept.empty() || !doc.OnOpenDocument(kept)) return false;
  doc.SetModified(true);
  doc.UpdateAllViews(SheetHint::All);
  return true;
}

}  // namespace quenda

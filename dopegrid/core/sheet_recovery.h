#pragma once
// What the exposure sheet keeps of its unsaved work for a crash: the whole sheet as its file
// holds it, with the path it is saved under (none for an untitled sheet).

#include <optional>
#include <string>

#include "common/recovery_store.h"
#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

inline constexpr const char* kDopegridRecoveryProgram = "dopegrid";

// Nothing while the sheet holds no unsaved change. `documentPath` is where it is saved; empty
// for an untitled sheet.
std::optional<RecoverySnapshot> SheetRecoverySnapshot(const CDopegridDoc& doc,
                                                      const std::string& documentPath);

// Opens the kept sheet in `doc` as its unsaved state, with the document's questions about
// missing sequences; false (the document as it was) when the copy does not read.
bool RestoreSheetRecovery(CDopegridDoc& doc, const RecoverableCopy& copy);

}  // namespace quenda

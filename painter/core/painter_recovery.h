#pragma once
// What the painter keeps of its unsaved work for a crash. The painter writes a frame's files
// when it leaves the frame, so what is unsaved is the current frame's changes: its paint, and
// its region data when the line tools changed them. The copy names the drawing, whose sequence
// is opened on it again to restore.

#include <optional>

#include "common/recovery_store.h"
#include "painter/core/painter_doc.h"

namespace quenda {

inline constexpr const char* kPainterRecoveryProgram = "painter";

// Nothing while the current frame holds no unsaved change.
std::optional<RecoverySnapshot> PainterRecoverySnapshot(const CPainterDoc& doc);

// Takes the copy's changes into `doc`, which has opened the copy's drawing; the frame then holds
// them unsaved. The reason when the copy does not fit the drawing as it is now.
Status RestorePainterRecovery(CPainterDoc& doc, const RecoverableCopy& copy);

}  // namespace quenda

#pragma once
// What the analyzer keeps of its unsaved work for a crash. Sequence paint writes a frame's files
// when it leaves the frame, so what is unsaved is the frame in hand's changes: its paint, and its
// regions when the pen changed them. The copy names the drawing, whose sequence is painted again
// on it to restore. Single-frame paint keeps no file of its own (its result is a composite made
// on request), so it has nothing to recover.

#include <optional>

#include "analyzer/core/analyzer_doc.h"
#include "common/recovery_store.h"

namespace quenda {

inline constexpr const char* kAnalyzerRecoveryProgram = "analyzer";

// Nothing while sequence paint holds no unsaved change.
std::optional<RecoverySnapshot> AnalyzerRecoverySnapshot(const CAnalyzerDoc& doc);

// Sequence paint begun on the copy's drawing, and the copy's changes taken into its frame, which
// then holds them unsaved. The reason when the drawing does not open or the copy does not fit it.
Status RestoreAnalyzerRecovery(CAnalyzerDoc& doc, const RecoverableCopy& copy);

}  // namespace quenda

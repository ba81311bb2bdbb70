#pragma once
// What the composer keeps of its unsaved work for a crash: the whole composition as its file
// holds it, with the path it is saved under (none for an untitled movie).

#include <optional>
#include <string>

#include "common/recovery_store.h"
#include "composer/core/composer_doc.h"

namespace quenda {

inline constexpr const char* kComposerRecoveryProgram = "composer";

// Nothing while there is no movie or it holds no unsaved change. `documentPath` is where it is
// saved; empty for an untitled movie.
std::optional<RecoverySnapshot> CompositionRecoverySnapshot(const CComposerDoc& doc,
                                                            const std::string& documentPath);

// Opens the kept composition in `doc` as its unsaved state, with the document's questions
// about missing clips; the reader's reason (the document as it was) when it does not read.
Status RestoreCompositionRecovery(CComposerDoc& doc, const RecoverableCopy& copy);

}  // namespace quenda

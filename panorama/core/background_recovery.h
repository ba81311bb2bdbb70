#pragma once
// What the background maker keeps of its unsaved work for a crash: the picture with its mask, as
// the 32-bit Targa that Save writes, with the path it is saved under (none for a scan not yet
// saved).

#include <optional>

#include "common/recovery_store.h"
#include "panorama/core/panorama_doc.h"

namespace quenda {

inline constexpr const char* kPanoramaRecoveryProgram = "panorama";

// Nothing while no background is loaded or it holds no unsaved change.
std::optional<RecoverySnapshot> BackgroundRecoverySnapshot(const CPanoramaDoc& doc);

// Opens the kept background in `doc` as its unsaved state under the document's own path;
// false, with the reader's message shown, when the copy does not read.
bool RestoreBackgroundRecovery(CPanoramaDoc& doc, const RecoverableCopy& copy);

}  // namespace quenda

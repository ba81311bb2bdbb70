#pragma once
// Clips whose pictures are gone when a composition is opened: found again through the user, or
// discarded.

#include "common/prompt.h"
#include "composer/core/composition.h"

namespace quenda {

inline constexpr const char* kFindClipDefaultName = "Select_A_Sequence.tga";

enum class FrameCoverage { All, Some, None };

// Which of an image clip's frame files exist (open for reading).
FrameCoverage CheckClipFrames(const ClipRecord& clip);

// For every image clip in index order: a clip with some frames missing stays, with the
// warning; one with none is looked for through `prompt` until its pictures are found or it is
// discarded (a user who does neither is asked again), unless the prompt's OnLostPart keeps it
// or gives it up at once. A discarded clip's children lose their parent and parent indices
// above it drop.
void FindLostClips(Composition& composition, Prompt& prompt);

}  // namespace quenda

#pragma once
// The clip pictures a stretch of movie frames reads, checked before a render or preview writes
// anything, so that a run never reports success for frames that leave a clip out.

#include "common/result.h"
#include "composer/core/composition.h"

namespace quenda {

// Ok when every picture that movie frames first, first + step, ... up to last (1-based) show
// opens and passes the Targa header checks; otherwise an error with one line per picture, each
// once in the order first used: "missing: PATH" or "unreadable: PATH". Hidden clips and frames
// a clip does not show are not read. Fields read the same pictures, so need no look of their own.
Status CheckClipInputs(const Composition& composition, int first, int last, int step = 1);

}  // namespace quenda

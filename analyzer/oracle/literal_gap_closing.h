#pragma once
// Gap closing done the plain way, for every end a walk over the whole rectangle: the reference
// that the fast CloseGaps must match pixel for pixel. Used by tests and the benchmark only.

#include <cstdint>
#include <vector>

#include "analyzer/core/gap_closing.h"

namespace quenda {

// The rectangle must lie inside the picture.
GapJoins CloseGapsLiteral(std::vector<uint8_t>& flags, int width, int height, PixelRect rect,
                          int maxGap);

}  // namespace quenda

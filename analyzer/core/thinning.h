#pragma once
// Thinning of the line pixels of a rectangle down to one-pixel-wide strokes, and the growth of
// stroke ends across light gaps: the two halves of line generation that are not plain per-pixel
// maps.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analyzer/core/working_image.h"

namespace quenda {

// Removes line pixels (flag bit 0) of the rectangle's inner part whose neighbourhood code is
// deletable both counting every line pixel and counting only those not yet taken in this
// iteration, visiting columns left to right and each column bottom to top, and repeats until an
// iteration takes nothing. Leaves bit 1 clear in the rectangle. `rect` must lie in the picture.
//
// Only the first iteration looks at every line pixel. A later one can take a pixel only if a
// pixel of its 3 x 3 block went in the iteration before (otherwise its code is unchanged and
// it would have gone then), so it visits just those, still in column order.
//
// With `changed`, the lines are what a thinning of the rectangle left except that the pixels
// `changed` lists became line pixels, and bit 1 is clear in the rectangle. The first iteration
// then looks only at the blocks around them: every other line pixel kept the code that made it
// stay last time. The result is that of thinning with every line pixel looked at.
//
// `marksClear` says bit 1 is already clear in the rectangle (as the pick-up leaves it). With
// more than one of `threads`, the iterations run in bands of rows, each band on a thread, and
// their seams are put right after each iteration (thinning_bands.h): the same lines.
void ThinLines(std::vector<uint8_t>& flags, int width, PixelRect rect,
               const std::vector<std::ptrdiff_t>* changed = nullptr, bool marksClear = false,
               int threads = 1);

// Stroke ends of the inner part (line pixels with exactly one line neighbour), taken in column
// order, extend away from their stroke over pixels darker than `lineGrowth` that are neither
// line pixels nor already marked: each such pixel gets bit 1 and extends further while it is
// strictly inside the picture. Marked pixels of the inner part then become line pixels, listed
// in `grownLines`, and bit 1 is cleared again inside the rectangle (it stays on marked pixels
// beyond it). Bit 1 must be clear in the rectangle on entry, as ThinLines leaves it. The ends
// are looked for on up to `threads` threads.
void GrowStrokeEnds(std::vector<uint8_t>& flags, const std::vector<uint8_t>& grey, int width,
                    int height, PixelRect rect, uint8_t lineGrowth,
                    std::vector<std::ptrdiff_t>& grownLines, int threads = 1);

}  // namespace quenda

#pragma once
// The iterations of thinning (see ThinLines) on bands of rows, one thread each. A pixel's fate
// depends on the marks of the neighbours visited before it, and at a seam those belong to the
// other band: each band first takes them as unmarked, then the seams are put right on one
// thread, in column order, re-deciding every pixel that saw a neighbour another band marked
// and every pixel after it that a changed decision reaches. The result is that of one thread.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analyzer/core/column_order_set.h"
#include "analyzer/core/working_image.h"
#include "common/stripes.h"

namespace quenda {

// Adds to `set` the line pixels of rows y0 <= y < y1 (and of `inner`) in the 3 x 3 blocks
// around `pixels`: the ones whose neighbourhood a deletion there changed.
void InsertLinesAround(const uint8_t* flags, std::ptrdiff_t width, PixelRect inner, int y0, int y1,
                       const std::vector<std::ptrdiff_t>& pixels, ColumnOrderSet& set);

// Iterations on one thread from `candidates` (pixels of `inner`, the rectangle less its border)
// until one takes nothing; `candidates` is empty afterwards.
void ThinFrom(uint8_t* flags, std::ptrdiff_t width, PixelRect inner, ColumnOrderSet& candidates);

// The same iterations in `bands` (rows of `inner`), starting from every line pixel of `inner`
// whose code is deletable or, with `changed`, from the line pixels around those. Bit 1 must be
// clear in `inner` and its border.
void ThinInBands(uint8_t* flags, std::ptrdiff_t width, PixelRect inner, const Stripes& bands,
                 const std::vector<std::ptrdiff_t>* changed);

}  // namespace quenda

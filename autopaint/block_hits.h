#pragma once
// How many points land in marked blocks of a grid under every motion of a coarse search at
// once: a painted piece (autopaint/painted_pieces.h) tries thousands of motions for a few dozen
// points of its outline, so the points are taken one at a time over all the motions' rows.

#include <cstdint>
#include <utility>
#include <vector>

namespace quenda {

// Blocks of `block` pixels over a picture `width` x `height`, one byte each (1 marked, else 0),
// `columns` x `rows` of them, row major.
struct BlockGrid {
  const uint8_t* marked = nullptr;
  int columns = 0, rows = 0, block = 1, width = 0, height = 0;
};

// For the motions (dx, dy) = (gx + block * i, gy + block * j), i and j from -steps to steps, the
// number of points p for which p - (dx, dy) lies in the picture, in a marked block; row major by
// j, then i. The counts are 16 bits: at most 65 535 points (a piece's outline gives a few dozen).
std::vector<uint16_t> CountBlockHits(const std::vector<std::pair<int, int>>& points,
                                     const BlockGrid& grid, int gx, int gy, int steps);

}  // namespace quenda

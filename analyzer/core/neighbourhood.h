#pragma once
// The 8-neighbourhood code that thinning tests, and the codes whose centre pixel may go.
//
// Bit of the code: 0 (x-1, y+1), 1 (x, y+1), 2 (x+1, y+1), 3 (x-1, y), 4 (x+1, y),
// 5 (x-1, y-1), 6 (x, y-1), 7 (x+1, y-1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/progress.h"

namespace quenda {

// A centre pixel with one of these neighbourhoods can be removed without cutting its stroke.
inline constexpr std::array<uint8_t, 31> kDeletableCodes = {
    3,   6,   7,   9,   11,  15,  20,  23,  31,  40,  41,  43,  47,  96,  104, 105,
    107, 144, 148, 150, 151, 192, 208, 212, 214, 224, 232, 233, 240, 244, 248};

inline constexpr std::array<bool, 256> MakeDeletableTable() {
  std::array<bool, 256> table{};
  for (uint8_t code : kDeletableCodes) table[code] = true;
  return table;
}
inline constexpr std::array<bool, 256> kDeletable = MakeDeletableTable();

// The code of the pixel at `centre` in a row-major byte map of `width` columns, counting a
// neighbour whose byte, masked with `mask`, equals `wanted`. The caller keeps the 3 x 3 block
// inside the map.
inline uint8_t NeighbourhoodCode(const uint8_t* centre, std::ptrdiff_t width, uint8_t mask,
                                 uint8_t wanted) {
  const uint8_t* up = centre + width;
  const uint8_t* down = centre - width;
  auto is = [&](const uint8_t* p) { return (*p & mask) == wanted ? 1 : 0; };
  return uint8_t(is(up - 1) | is(up) << 1 | is(up + 1) << 2 | is(centre - 1) << 3 |
                 is(centre + 1) << 4 | is(down - 1) << 5 | is(down) << 6 | is(down + 1) << 7);
}

// The same code from the rows below, at and above the centre (each indexed by x), for a centre
// whose neighbouring rows are not all in the map (a copy of a row another thread changes).
inline uint8_t RowsCode(const uint8_t* down, const uint8_t* mid, const uint8_t* up, int x,
                        uint8_t mask, uint8_t wanted) {
  auto is = [&](const uint8_t* row, int at) { return (row[at] & mask) == wanted ? 1 : 0; };
  return uint8_t(is(up, x - 1) | is(up, x) << 1 | is(up, x + 1) << 2 | is(mid, x - 1) << 3 |
                 is(mid, x + 1) << 4 | is(down, x - 1) << 5 | is(down, x) << 6 |
                 is(down, x + 1) << 7);
}

// The neighbours a column-order scan visits before the centre: (x-1, y+1), (x-1, y),
// (x-1, y-1) and (x, y-1).
inline constexpr uint8_t kVisitedBefore = 1 | 8 | 32 | 64;

// One update of the progress window: its title and its bar.
inline void ReportStage(Progress& progress, std::string_view text, int percent) {
  progress.SetStage(text);
  progress.SetPercent(percent);
}

}  // namespace quenda

namespace quenda {

// Calls visit(x) for every x0 <= x < x1 whose byte in `row` has bit 0 set, skipping eight
// clear bytes at a time: line pixels are sparse.
template <class Visit>
inline void ForEachLinePixel(const uint8_t* row, int x0, int x1, Visit&& visit) {
  constexpr uint64_t kBit0 = 0x0101010101010101ull;
  int x = x0;
  while (x < x1) {
    if (x + 8 <= x1) {
      uint64_t word;
      std::memcpy(&word, row + x, 8);
      if ((word & kBit0) == 0) {
        x += 8;
        continue;
      }
    }
    int end = x + 8 < x1 ? x + 8 : x1;
    for (; x < end; ++x)
      if (row[x] & 1) visit(x);
  }
}

}  // namespace quenda

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

// Both codes thinning tests at once, from the rows below, at and above the centre (each indexed
// by x): `lines` counts every line pixel (bit 0), `unmarked` only those without bit 1. The
// eight neighbours' bytes are gathered into one word in code order and their bits collected
// by one multiplication (each byte's bit lands on its own bit of the top byte, no carries).
struct ThinningCodes {
  uint8_t lines;
  uint8_t unmarked;
};
inline ThinningCodes CodesAt(const uint8_t* down, const uint8_t* mid, const uint8_t* up, int x) {
  auto three = [x](const uint8_t* row) {
    return uint64_t(row[x - 1]) | uint64_t(row[x]) << 8 | uint64_t(row[x + 1]) << 16;
  };
  const uint64_t bytes =
      three(up) | uint64_t(mid[x - 1]) << 24 | uint64_t(mid[x + 1]) << 32 | three(down) << 40;
  constexpr uint64_t kBit0 = 0x0101010101010101ull, kGather = 0x0102040810204080ull;
  const uint64_t lines = bytes & kBit0, unmarked = bytes & ~(bytes >> 1) & kBit0;
  return {uint8_t((lines * kGather) >> 56), uint8_t((unmarked * kGather) >> 56)};
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

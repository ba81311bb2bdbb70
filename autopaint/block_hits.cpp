#include "autopaint/block_hits.h"

#include <algorithm>

#include "common/floor_division.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {
namespace {

// out[k] += in[k] for k in 0 .. n - 1.
void AddRow(uint16_t* out, const uint8_t* in, int n) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= n; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    __m128i* lo = reinterpret_cast<__m128i*>(out + k);
    __m128i* hi = reinterpret_cast<__m128i*>(out + k + 8);
    _mm_storeu_si128(lo, _mm_add_epi16(_mm_loadu_si128(lo), _mm_unpacklo_epi8(v, zero)));
    _mm_storeu_si128(hi, _mm_add_epi16(_mm_loadu_si128(hi), _mm_unpackhi_epi8(v, zero)));
  }
#endif
  for (; k < n; ++k) out[k] = uint16_t(out[k] + in[k]);
}

}  // namespace

std::vector<uint16_t> CountBlockHits(const std::vector<std::pair<int, int>>& points,
                                     const BlockGrid& grid, int gx, int gy, int steps) {
  const int n = 2 * steps + 1, b = grid.block;
  // Counted by the negated steps (u, v) = (-i, -j) first: point p lands at p - g + block * (u, v),
  // in block floor((p - g) / block) + (u, v), so that each point adds a run of a grid row to a
  // run of counts. The negated order is the wanted one reversed.
  std::vector<uint16_t> hits(std::size_t(n) * std::size_t(n), 0);
  for (const auto& [px, py] : points) {
    const int ax = px - gx, ay = py - gy;
    const int fx = FloorDiv(ax, b), fy = FloorDiv(ay, b);
    const int u0 = std::max(-steps, CeilDiv(-ax, b));
    const int u1 = std::min(steps, FloorDiv(grid.width - 1 - ax, b));
    const int v0 = std::max(-steps, CeilDiv(-ay, b));
    const int v1 = std::min(steps, FloorDiv(grid.height - 1 - ay, b));
    if (u0 > u1) continue;
    for (int v = v0; v <= v1; ++v) {
      const uint8_t* row = grid.marked + std::size_t(fy + v) * std::size_t(grid.columns);
      AddRow(&hits[std::size_t(v + steps) * std::size_t(n) + std::size_t(u0 + steps)],
             row + fx + u0, u1 - u0 + 1);
    }
  }
  std::reverse(hits.begin(), hits.end());
  return hits;
}

}  // namespace quenda

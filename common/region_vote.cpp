#include "common/region_vote.h"

#include <algorithm>
#include <unordered_map>

#include "common/region_data.h"

namespace quenda {
namespace {

// Above this many counters the votes go into a hash of the pairs actually seen; the winners
// are the same, since every pair never seen keeps the starting count that any seen pair beats.
constexpr std::size_t kDenseVoteLimit = std::size_t(1) << 22;

// Runs of equal (target, source) pairs along a row, handed to `add` once per run.
template <class Add>
void CollectVotes(const RegionMapView& target, const RegionMapView& source, PegOffset shift,
                  Add&& add) {
  const int x0 = std::max(0, -shift.x);
  const int x1 = std::min(source.width, target.width - shift.x);
  const int y0 = std::max(0, -shift.y);
  const int y1 = std::min(source.height, target.height - shift.y);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    const uint16_t* s = source.map + std::size_t(y) * std::size_t(source.width) + x0;
    const uint16_t* t =
        target.map + std::size_t(y + shift.y) * std::size_t(target.width) + (x0 + shift.x);
    const int n = x1 - x0;
    int start = 0;
    for (int k = 1; k <= n; ++k) {
      if (k == n || s[k] != s[start] || t[k] != t[start]) {
        add(t[start], s[start], uint32_t(k - start));
        start = k;
      }
    }
  }
}

}  // namespace

PegOffset PegAlignmentShift(int targetPeg, const PegPlacement& target, const PegPlacement& source) {
  const PegOffset t =
      PegOffsetFor(targetPeg, target.width, target.height, target.originX, target.originY);
  const PegOffset s =
      PegOffsetFor(targetPeg, source.width, source.height, source.originX, source.originY);
  return {s.x - t.x, s.y - t.y};
}

std::vector<int> VoteRegionMaps(const RegionMapView& target, const RegionMapView& source,
                                PegOffset shift) {
  const std::size_t rows = std::size_t(target.regionCount) + 2;
  const std::size_t cols = std::size_t(source.regionCount) + 2;
  std::vector<int> winner(rows, kBackgroundRegion);
  // Region numbers are kept within each table by the readers; guard all the same.
  auto valid = [&](uint16_t t, uint16_t s) { return t < rows && s < cols; };

  if (rows * cols <= kDenseVoteLimit) {
    std::vector<uint32_t> votes(rows * cols, 1);
    CollectVotes(target, source, shift, [&](uint16_t t, uint16_t s, uint32_t n) {
      if (valid(t, s)) votes[t * cols + s] += n;
    });
    for (std::size_t r = 1; r < rows; ++r) {
      const uint32_t* row = &votes[r * cols];
      std::size_t best = 1;
      for (std::size_t t = 2; t < cols; ++t)
        if (row[t] > row[best]) best = t;
      winner[r] = int(best);
    }
    return winner;
  }

  std::unordered_map<uint32_t, uint32_t> votes;
  CollectVotes(target, source, shift, [&](uint16_t t, uint16_t s, uint32_t n) {
    if (valid(t, s)) votes[(uint32_t(t) << 16) | s] += n;
  });
  std::vector<uint32_t> bestCount(rows, 1);
  for (const auto& [key, count] : votes) {
    const std::size_t t = key >> 16;
    const int s = int(key & 0xFFFF);
    if (s < kBackgroundRegion) continue;
    const uint32_t total = count + 1;
    if (total > bestCount[t] || (total == bestCount[t] && s < winner[t])) {
      bestCount[t] = total;
      winner[t] = s;
    }
  }
  return winner;
}

}  // namespace quenda

#include "autopaint/line_motion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/region_data.h"
#include "common/thread_pool.h"

namespace quenda {
namespace {

// Line pixels counted in square blocks: a coarse picture of the drawing that can be slid over
// another cheaply.
struct BlockCounts {
  int block = 1, columns = 0, rows = 0;
  std::vector<int32_t> count;

  int32_t At(int cx, int cy) const {
    return cx < 0 || cy < 0 || cx >= columns || cy >= rows
               ? 0
               : count[std::size_t(cy) * std::size_t(columns) + std::size_t(cx)];
  }
};

// Blocks over the target's area; source pixels are moved by `shift` onto it first.
BlockCounts CountLines(const RegionMapView& view, PegOffset shift, int width, int height,
                       int block) {
  BlockCounts b;
  b.block = block;
  b.columns = (width + block - 1) / block;
  b.rows = (height + block - 1) / block;
  b.count.assign(std::size_t(b.columns) * std::size_t(b.rows), 0);
  for (int y = 0; y < view.height; ++y) {
    const int ty = y + shift.y;
    if (ty < 0 || ty >= height) continue;
    const uint8_t* flags = view.flags + std::size_t(y) * std::size_t(view.width);
    int32_t* row = &b.count[std::size_t(ty / block) * std::size_t(b.columns)];
    for (int x = 0; x < view.width; ++x) {
      if (x + 8 <= view.width && !HasLineAmongEight(flags + x)) {
        x += 7;  // most of a drawing is off the lines
        continue;
      }
      const int tx = x + shift.x;
      if ((flags[x] & kFlagRegionLine) && tx >= 0 && tx < width) ++row[tx / block];
    }
  }
  return b;
}

BlockCounts Coarser(const BlockCounts& fine, int factor) {
  BlockCounts b;
  b.block = fine.block * factor;
  b.columns = (fine.columns + factor - 1) / factor;
  b.rows = (fine.rows + factor - 1) / factor;
  b.count.assign(std::size_t(b.columns) * std::size_t(b.rows), 0);
  for (int y = 0; y < fine.rows; ++y)
    for (int x = 0; x < fine.columns; ++x)
      b.count[std::size_t(y / factor) * std::size_t(b.columns) + std::size_t(x / factor)] +=
          fine.At(x, y);
  return b;
}

// The block shift (within `reach` blocks of `around`) under which the target's blocks meet the
// most source line: the sum over blocks of target count times source count.
std::pair<int, int> BestShift(const BlockCounts& t, const BlockCounts& s,
                              std::pair<int, int> around, int reach) {
  // Only blocks with target line in them add to a sum: most of a drawing has none.
  struct Lined {
    int x, y;
    int32_t count;
  };
  std::vector<Lined> lined;
  for (int y = 0; y < t.rows; ++y)
    for (int x = 0; x < t.columns; ++x)
      if (const int32_t c = t.count[std::size_t(y) * std::size_t(t.columns) + std::size_t(x)])
        lined.push_back({x, y, c});
  // Every shift's sum on the inner threads, a row of shifts each; the best is chosen in order.
  const int side = 2 * reach + 1;
  std::vector<int64_t> sums(std::size_t(side) * std::size_t(side), 0);
  ParallelFor(side, [&](int j) {
    const int dy = around.second - reach + j;
    for (int i = 0; i < side; ++i) {
      const int dx = around.first - reach + i;
      int64_t sum = 0;
      for (const Lined& b : lined) sum += int64_t(b.count) * s.At(b.x + dx, b.y + dy);
      sums[std::size_t(j) * std::size_t(side) + std::size_t(i)] = sum;
    }
  });
  int64_t best = -1;
  std::pair<int, int> at = around;
  for (int dy = around.second - reach; dy <= around.second + reach; ++dy)
    for (int dx = around.first - reach; dx <= around.first + reach; ++dx) {
      const int64_t sum = sums[std::size_t(dy - around.second + reach) * std::size_t(side) +
                               std::size_t(dx - around.first + reach)];
      // Ties go to the smaller motion, so a still drawing stays still.
      const bool nearer = std::abs(dx) + std::abs(dy) < std::abs(at.first) + std::abs(at.second);
      if (sum > best || (sum == best && nearer)) best = sum, at = {dx, dy};
    }
  return at;
}

}  // namespace

LineMotion EstimateLineMotion(const RegionMapView& target, const RegionMapView& source,
                              PegOffset shift) {
  if (!target.flags || !source.flags || target.width <= 0 || target.height <= 0) return {};
  // Fine blocks of about a three-hundredth of the sheet, coarse ones four times that.
  const double side = std::sqrt(double(target.width) * double(target.height));
  const int fineBlock = std::max(2, int(std::lround(side / 300)));
  constexpr int kCoarse = 4;
  // The two drawings' blocks at once.
  BlockCounts fineT, fineS;
  ParallelFor(2, [&](int k) {
    (k == 0 ? fineT : fineS) =
        CountLines(k == 0 ? target : source, k == 0 ? PegOffset{0, 0} : shift, target.width,
                   target.height, fineBlock);
  });
  const BlockCounts coarseT = Coarser(fineT, kCoarse), coarseS = Coarser(fineS, kCoarse);
  const int reach = std::max(1, std::min(target.width, target.height) / 4 / coarseT.block);
  const auto coarse = BestShift(coarseT, coarseS, {0, 0}, reach);
  const auto fine =
      BestShift(fineT, fineS, {coarse.first * kCoarse, coarse.second * kCoarse}, kCoarse + 1);
  return {fine.first * fineBlock, fine.second * fineBlock};
}

}  // namespace quenda

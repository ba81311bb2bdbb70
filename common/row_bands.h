#pragma once
// Rows cut into one band per thread, for work in which every band gathers its own partial
// result (counts, sums) to be merged in band order: few bands keep the partial results few.

#include <algorithm>
#include <vector>

#include "common/thread_pool.h"

namespace quenda {

struct RowBand {
  int first = 0, last = 0;  // rows [first, last)
};

// Rows [0, rows) in `threads` bands of near equal height, fewer where there are fewer rows;
// none for no rows.
inline std::vector<RowBand> RowBands(int rows, int threads = InnerThreads()) {
  const int count = std::min(std::max(threads, 1), std::max(rows, 0));
  std::vector<RowBand> bands(std::size_t(std::max(count, 0)));
  for (int b = 0; b < count; ++b)
    bands[std::size_t(b)] = {int((long long)rows * b / count),
                             int((long long)rows * (b + 1) / count)};
  return bands;
}

}  // namespace quenda

#pragma once
// Bands of whole rows for work on more than one thread. The bands depend only on
// the rows and the thread count, and each band's task writes only its own rows, so a result
// never depends on which thread ran which band.

#include <algorithm>
#include <functional>

#include "common/thread_pool.h"

namespace quenda {

// Rows y0 <= y < y1 cut into at most `threads` bands of at least `minRows` rows (one band when
// that leaves fewer than two): band k is [Start(k), Start(k + 1)).
class Stripes {
 public:
  Stripes(int y0, int y1, int threads, int minRows = 64) : y0_(y0), rows_(std::max(y1 - y0, 0)) {
    count_ = std::clamp(rows_ / std::max(minRows, 1), 1, std::max(threads, 1));
  }
  int count() const { return count_; }
  int Start(int k) const { return y0_ + int((long long)rows_ * k / count_); }

  // work(k, first row, end row) for every band, on up to count() threads.
  void Run(const std::function<void(int, int, int)>& work) const {
    if (count_ == 1) return work(0, Start(0), Start(1));
    ParallelFor(
        count_, [&](int k) { work(k, Start(k), Start(k + 1)); }, count_);
  }

 private:
  int y0_;
  int rows_;
  int count_;
};

}  // namespace quenda

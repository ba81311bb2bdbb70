#include "common/bands_in_order.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace quenda {

void MakeBandsInOrder(int bands, const std::function<void(int)>& make,
                      const std::function<void(int)>& handOver, int threads) {
  if (bands <= 0) return;
  if (std::min(threads, bands) <= 1) {
    for (int b = 0; b < bands; ++b) {
      make(b);
      handOver(b);
    }
    return;
  }
  std::mutex mutex;
  std::vector<char> made(std::size_t(bands), 0);
  int next = 0;          // the band the hand-over waits for
  bool handing = false;  // a thread is handing bands on
  ParallelFor(
      bands,
      [&](int b) {
        make(b);
        std::unique_lock lock(mutex);
        made[std::size_t(b)] = 1;
        // The thread handing on takes this band too when it comes back for the next: it looks
        // under the same lock before it lets go.
        if (handing) return;
        handing = true;
        while (next < bands && made[std::size_t(next)]) {
          const int band = next++;
          lock.unlock();
          try {
            handOver(band);
          } catch (...) {
            lock.lock();
            next = bands;  // nothing after a failed hand-over is handed on
            handing = false;
            throw;
          }
          lock.lock();
        }
        handing = false;
      },
      threads);
}

RowBandSplit::RowBandSplit(int rows, int rowsPerBand)
    : rows_(std::max(rows, 0)),
      count_(std::max(1, (rows_ + std::max(rowsPerBand, 1) / 2) / std::max(rowsPerBand, 1))) {}

}  // namespace quenda

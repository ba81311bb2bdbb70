#pragma once
// Work made in bands on several threads and handed on strictly in band order while later bands
// are still being made: a frame's rows are saved as they are finished instead of after the
// whole frame, so the disk and the cores work at the same time.
//
// Whichever thread finishes the band that the hand-over waits for hands it on, and every band
// after it that is already made, while the other threads go on making bands. Hand-overs never
// overlap and each sees everything its band's making wrote, so handOver may write a file that
// is not otherwise thread-safe. The result is that of one thread making and handing on the
// bands one after another.

#include <functional>

#include "common/thread_pool.h"

namespace quenda {

// Runs make(b) for every band b in [0, bands) through ParallelFor on up to `threads` threads,
// and handOver(b) once for each band, in ascending order, after its make(b) has returned.
// With one thread each band is made and handed on in turn on the calling thread. An exception
// from either is thrown again here once the others have stopped; bands after it are then not
// handed on.
void MakeBandsInOrder(int bands, const std::function<void(int)>& make,
                      const std::function<void(int)>& handOver, int threads = InnerThreads());

// Bands of rows [0, rows) for MakeBandsInOrder: about `rowsPerBand` rows each, and one band
// at least (empty for no rows). Band b holds rows [BandStart(b), BandStart(b + 1)).
class RowBandSplit {
 public:
  RowBandSplit(int rows, int rowsPerBand);
  int count() const { return count_; }
  int BandStart(int band) const { return int((long long)rows_ * band / count_); }

 private:
  int rows_;
  int count_;
};

}  // namespace quenda

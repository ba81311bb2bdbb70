#include "analyzer/core/thinning_bands.h"

#include <algorithm>
#include <functional>
#include <queue>

#include "analyzer/core/neighbourhood.h"
#include "common/region_data.h"

namespace quenda {
namespace {

constexpr uint8_t kLine = kFlagRegionLine;
constexpr uint8_t kMark = kFlagTemporary;

// Below this many deletions in an iteration the rest is left to one thread: the few pixels
// of the last iterations do not pay for waking the others twice an iteration.
constexpr std::size_t kOneThreadBelow = 2048;

struct Band {
  Band(PixelRect inner, int first, int end, std::ptrdiff_t width)
      : y0(first),
        y1(end),
        set(inner.x0, inner.x1, first, end),
        below(std::size_t(width)),
        above(std::size_t(width)) {}
  int y0, y1;
  ColumnOrderSet set;
  std::vector<std::ptrdiff_t> taken;  // marked in the iteration (some unmarked again at a seam)
  std::vector<std::ptrdiff_t> seam;   // line pixels looked at in a row next to another band
  std::vector<std::ptrdiff_t> deleted, deletedFirst, deletedLast;  // all, first row, last row
  // Bit 0 of the rows just below and above the band when another band owns them: read instead
  // of those rows, whose marks their band writes meanwhile.
  std::vector<uint8_t> below, above;
};

class BandedThinning {
 public:
  BandedThinning(uint8_t* flags, std::ptrdiff_t width, PixelRect inner, const Stripes& stripes)
      : f_(flags), w_(width), inner_(inner), rows_(uint64_t(inner.y1 - inner.y0)) {
    bands_.reserve(std::size_t(stripes.count()));
    for (int k = 0; k < stripes.count(); ++k)
      bands_.emplace_back(inner, stripes.Start(k), stripes.Start(k + 1), width);
  }

  void Run(const std::vector<std::ptrdiff_t>* changed) {
    const int n = int(bands_.size());
    ParallelFor(
        n, [&](int k) { Start(k, changed); }, n);
    for (bool first = true;; first = false) {
      ParallelFor(
          n,
          [&](int k) {
            if (!first) InsertAroundDeleted(k);
            Drain(k);
          },
          n);
      if (FixSeams() == 0) return;
      ParallelFor(
          n, [&](int k) { Delete(k); }, n);
      std::size_t deleted = 0;
      for (const Band& band : bands_) deleted += band.deleted.size();
      if (deleted < kOneThreadBelow) return FinishOnOneThread();
    }
  }

 private:
  bool SeamBelow(int k) const { return k > 0; }
  bool SeamAbove(int k) const { return k + 1 < int(bands_.size()); }

  void CopyLines(int y, std::vector<uint8_t>& to) const {
    const uint8_t* row = f_ + y * w_;
    for (std::ptrdiff_t x = 0; x < w_; ++x) to[std::size_t(x)] = row[x] & kLine;
  }

  // The first candidates of band k, and the rows next to it as they are before any marks.
  void Start(int k, const std::vector<std::ptrdiff_t>* changed) {
    Band& band = bands_[std::size_t(k)];
    if (SeamBelow(k)) CopyLines(band.y0 - 1, band.below);
    if (SeamAbove(k)) CopyLines(band.y1, band.above);
    if (changed != nullptr)
      return InsertLinesAround(f_, w_, inner_, band.y0, band.y1, *changed, band.set);
    for (int y = band.y0; y < band.y1; ++y) {
      const uint8_t* row = f_ + y * w_;
      ForEachLinePixel(row, inner_.x0, inner_.x1, [&](int x) {
        if (kDeletable[CodesAt(row - w_, row, row + w_, x).lines]) band.set.Insert(x, y);
      });
    }
  }

  // Band k's part of an iteration, as one thread would take it, except that the neighbours in
  // other bands count as unmarked.
  void Drain(int k) {
    Band& band = bands_[std::size_t(k)];
    band.taken.clear();
    band.seam.clear();
    const int seamDown = SeamBelow(k) ? band.y0 : -1, seamUp = SeamAbove(k) ? band.y1 - 1 : -1;
    band.set.Drain([&](int x, int y) {
      const std::ptrdiff_t i = y * w_ + x;
      uint8_t* p = f_ + i;
      if (!(*p & kLine)) return;
      const uint8_t* mid = f_ + y * w_;
      const uint8_t* down = y == seamDown ? band.below.data() : mid - w_;
      const uint8_t* up = y == seamUp ? band.above.data() : mid + w_;
      if (y == seamDown || y == seamUp) band.seam.push_back(i);
      const ThinningCodes codes = CodesAt(down, mid, up, x);
      if (!kDeletable[codes.lines] || !kDeletable[codes.unmarked]) return;
      *p |= kMark;
      band.taken.push_back(i);
    });
  }

  uint64_t Key(int x, int y) const {
    return uint64_t(x - inner_.x0) * rows_ + uint64_t(y - inner_.y0);
  }

  Band& BandOf(int y) {
    auto after = std::upper_bound(bands_.begin(), bands_.end(), y,
                                  [](int row, const Band& band) { return row < band.y0; });
    return *(after - 1);
  }

  // Decides again, in column order, every pixel next to a seam and every later one whose
  // earlier neighbour changed, now that every band's marks are in place. Returns how many
  // pixels the iteration marks.
  std::size_t FixSeams() {
    std::priority_queue<uint64_t, std::vector<uint64_t>, std::greater<>> pending;
    std::size_t marked = 0;
    for (const Band& band : bands_) {
      marked += band.taken.size();
      for (std::ptrdiff_t i : band.seam) pending.push(Key(int(i % w_), int(i / w_)));
    }
    uint64_t last = ~uint64_t(0);
    while (!pending.empty()) {
      const uint64_t key = pending.top();
      pending.pop();
      if (key == last) continue;
      last = key;
      const int x = inner_.x0 + int(key / rows_), y = inner_.y0 + int(key % rows_);
      const std::ptrdiff_t i = y * w_ + x;
      uint8_t* p = f_ + i;
      if (!(*p & kLine)) continue;
      // Only the neighbours visited before this pixel may be marked when one thread gets to it.
      const uint8_t all = NeighbourhoodCode(p, w_, kLine, kLine);
      const uint8_t before = NeighbourhoodCode(p, w_, kMark, kMark) & kVisitedBefore;
      const bool takes = kDeletable[all] && kDeletable[uint8_t(all & ~before)];
      if (takes == bool(*p & kMark)) continue;
      *p ^= kMark;
      if (takes) {
        BandOf(y).taken.push_back(i);  // one unmarked again stays listed; Delete skips it
        ++marked;
      } else {
        --marked;
      }
      if (y + 1 < inner_.y1) pending.push(key + 1);
      if (x + 1 < inner_.x1)
        for (int ny = std::max(y - 1, inner_.y0); ny <= std::min(y + 1, inner_.y1 - 1); ++ny)
          pending.push(Key(x + 1, ny));
    }
    return marked;
  }

  // The iteration's deletions in band k, and its first and last rows for the bands next to it.
  void Delete(int k) {
    Band& band = bands_[std::size_t(k)];
    band.deleted.clear();
    band.deletedFirst.clear();
    band.deletedLast.clear();
    for (std::ptrdiff_t i : band.taken) {
      if (!(f_[i] & kMark)) continue;
      f_[i] &= uint8_t(~(kLine | kMark));
      band.deleted.push_back(i);
      const int y = int(i / w_);
      if (y == band.y0) band.deletedFirst.push_back(i);
      if (y == band.y1 - 1) band.deletedLast.push_back(i);
    }
    if (SeamBelow(k)) CopyLines(band.y0, bands_[std::size_t(k) - 1].above);
    if (SeamAbove(k)) CopyLines(band.y1 - 1, bands_[std::size_t(k) + 1].below);
  }

  // Band k's candidates for the next iteration: its line pixels next to any deletion.
  void InsertAroundDeleted(int k) {
    Band& band = bands_[std::size_t(k)];
    InsertLinesAround(f_, w_, inner_, band.y0, band.y1, band.deleted, band.set);
    if (SeamBelow(k))
      InsertLinesAround(f_, w_, inner_, band.y0, band.y1, bands_[std::size_t(k) - 1].deletedLast,
                        band.set);
    if (SeamAbove(k))
      InsertLinesAround(f_, w_, inner_, band.y0, band.y1, bands_[std::size_t(k) + 1].deletedFirst,
                        band.set);
  }

  void FinishOnOneThread() {
    ColumnOrderSet candidates(inner_.x0, inner_.x1, inner_.y0, inner_.y1);
    for (const Band& band : bands_)
      InsertLinesAround(f_, w_, inner_, inner_.y0, inner_.y1, band.deleted, candidates);
    ThinFrom(f_, w_, inner_, candidates);
  }

  uint8_t* f_;
  std::ptrdiff_t w_;
  PixelRect inner_;
  uint64_t rows_;
  std::vector<Band> bands_;
};

}  // namespace

void ThinInBands(uint8_t* flags, std::ptrdiff_t width, PixelRect inner, const Stripes& bands,
                 const std::vector<std::ptrdiff_t>* changed) {
  BandedThinning(flags, width, inner, bands).Run(changed);
}

}  // namespace quenda

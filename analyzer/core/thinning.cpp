#include "analyzer/core/thinning.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "analyzer/core/neighbourhood.h"
#include "common/stripes.h"

namespace quenda {
namespace {

constexpr uint8_t kLine = kFlagRegionLine;
constexpr uint8_t kMark = kFlagTemporary;

// One bit per pixel of an area, in column order (x outer, y inner), so that walking the set
// bits visits pixels in the order thinning must.
class ColumnOrderSet {
 public:
  ColumnOrderSet(int x0, int x1, int y0, int y1)
      : x0_(x0),
        y0_(y0),
        rows_(y1 - y0),
        words_((std::size_t(x1 - x0) * std::size_t(y1 - y0) + 63) / 64, 0),
        used_((words_.size() + 63) / 64, 0) {}

  void Insert(int x, int y) {
    std::size_t bit = std::size_t(x - x0_) * rows_ + std::size_t(y - y0_);
    words_[bit >> 6] |= uint64_t(1) << (bit & 63);
    used_[bit >> 12] |= uint64_t(1) << ((bit >> 6) & 63);
  }

  // visit(x, y) for every member in column order; the set is empty afterwards. Only words
  // marked used are looked at: late iterations hold few members.
  template <class Visit>
  void Drain(Visit&& visit) {
    for (std::size_t u = 0; u < used_.size(); ++u) {
      uint64_t usedWords = used_[u];
      used_[u] = 0;
      while (usedWords != 0) {
        const std::size_t w = u * 64 + std::size_t(std::countr_zero(usedWords));
        usedWords &= usedWords - 1;
        uint64_t word = words_[w];
        words_[w] = 0;
        while (word != 0) {
          std::size_t bit = w * 64 + std::size_t(std::countr_zero(word));
          word &= word - 1;
          visit(x0_ + int(bit / rows_), y0_ + int(bit % rows_));
        }
      }
    }
  }

 private:
  int x0_;
  int y0_;
  std::size_t rows_;
  std::vector<uint64_t> words_;
  std::vector<uint64_t> used_;  // bit k of entry u: words_[64 u + k] may be non-zero
};

void ClearMarks(std::vector<uint8_t>& flags, int width, PixelRect rect) {
  constexpr uint64_t kKeep = ~(uint64_t(kMark) * 0x0101010101010101ull);
  for (int y = rect.y0; y < rect.y1; ++y) {
    uint8_t* row = flags.data() + std::size_t(y) * width;
    int x = rect.x0;
    for (; x + 8 <= rect.x1; x += 8) {
      uint64_t word;
      std::memcpy(&word, row + x, 8);
      word &= kKeep;
      std::memcpy(row + x, &word, 8);
    }
    for (; x < rect.x1; ++x) row[x] &= uint8_t(~kMark);
  }
}

}  // namespace

void ThinLines(std::vector<uint8_t>& flags, int width, PixelRect rect,
               const std::vector<std::ptrdiff_t>* changed, bool marksClear, int threads) {
  if (changed == nullptr && !marksClear) ClearMarks(flags, width, rect);
  const int ix0 = rect.x0 + 1, ix1 = rect.x1 - 1, iy0 = rect.y0 + 1, iy1 = rect.y1 - 1;
  if (ix0 >= ix1 || iy0 >= iy1) return;
  const std::ptrdiff_t w = width;
  uint8_t* f = flags.data();

  ColumnOrderSet candidates(ix0, ix1, iy0, iy1);
  // Line pixels of the 3 x 3 blocks around `pixels` (inside the inner part) may go next.
  auto insertAround = [&](const std::vector<std::ptrdiff_t>& pixels) {
    for (std::ptrdiff_t i : pixels) {
      int x = int(i % w), y = int(i / w);
      for (int ny = std::max(y - 1, iy0); ny <= std::min(y + 1, iy1 - 1); ++ny)
        for (int nx = std::max(x - 1, ix0); nx <= std::min(x + 1, ix1 - 1); ++nx)
          if (f[ny * w + nx] & kLine) candidates.Insert(nx, ny);
    }
  };
  if (changed != nullptr) {
    insertAround(*changed);
  } else {
    // Each band lists its candidates; the set, whose words the bands share, takes them after.
    const Stripes bands(iy0, iy1, threads);
    std::vector<std::vector<std::ptrdiff_t>> found(std::size_t(bands.count()));
    bands.Run([&](int k, int y0, int y1) {
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = f + y * w;
        ForEachLinePixel(row, ix0, ix1, [&](int x) {
          if (kDeletable[NeighbourhoodCode(row + x, w, kLine, kLine)])
            found[std::size_t(k)].push_back(y * w + x);
        });
      }
    });
    for (const auto& band : found)
      for (std::ptrdiff_t i : band) candidates.Insert(int(i % w), int(i / w));
  }

  std::vector<std::ptrdiff_t> taken;
  for (;;) {
    taken.clear();
    candidates.Drain([&](int x, int y) {
      std::ptrdiff_t i = y * w + x;
      uint8_t* p = f + i;
      if (!(*p & kLine)) return;
      if (!kDeletable[NeighbourhoodCode(p, w, kLine, kLine)]) return;
      if (!kDeletable[NeighbourhoodCode(p, w, kLine | kMark, kLine)]) return;
      *p |= kMark;
      taken.push_back(i);
    });
    if (taken.empty()) break;
    // The iteration's deletions, and the next iteration's clearing of its marks.
    for (std::ptrdiff_t i : taken) f[i] &= uint8_t(~(kLine | kMark));
    insertAround(taken);
  }
}

void GrowStrokeEnds(std::vector<uint8_t>& flags, const std::vector<uint8_t>& grey, int width,
                    int height, PixelRect rect, uint8_t lineGrowth,
                    std::vector<std::ptrdiff_t>& grownLines, int threads) {
  grownLines.clear();
  const int ix0 = rect.x0 + 1, ix1 = rect.x1 - 1, iy0 = rect.y0 + 1, iy1 = rect.y1 - 1;
  if (ix0 >= ix1 || iy0 >= iy1) return;
  const std::ptrdiff_t w = width;
  uint8_t* f = flags.data();

  // Stroke-end tests read bit 0 only, which growth does not touch until the end, so all ends
  // can be found first and then grown in the order the column scan would meet them.
  struct StrokeEnd {
    uint64_t order;  // column-order key
    int x, y, gx, gy;
  };
  // Found in bands of rows, then put in one list: the sort fixes the order.
  const Stripes bands(iy0, iy1, threads);
  std::vector<std::vector<StrokeEnd>> found(std::size_t(bands.count()));
  bands.Run([&](int k, int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      const uint8_t* row = f + y * w;
      ForEachLinePixel(row, ix0, ix1, [&](int x) {
        uint8_t code = NeighbourhoodCode(row + x, w, kLine, kLine);
        if (std::popcount(code) != 1) return;
        // The only neighbour; growth heads the other way.
        static constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
        static constexpr int kDy[8] = {1, 1, 1, 0, 0, -1, -1, -1};
        int b = std::countr_zero(code);
        found[std::size_t(k)].push_back(
            {uint64_t(x) * uint64_t(height) + uint64_t(y), x, y, -kDx[b], -kDy[b]});
      });
    }
  });
  std::vector<StrokeEnd> ends = std::move(found.front());
  for (std::size_t k = 1; k < found.size(); ++k)
    ends.insert(ends.end(), found[k].begin(), found[k].end());
  std::sort(ends.begin(), ends.end(),
            [](const StrokeEnd& a, const StrokeEnd& b) { return a.order < b.order; });

  std::vector<std::ptrdiff_t> grown;
  std::vector<std::ptrdiff_t> pending;
  for (const StrokeEnd& end : ends) {
    const int gx = end.gx, gy = end.gy;
    // The window relative to the pixel grown from, as offsets.
    std::ptrdiff_t window[4];
    int windowSize;
    if (gx == 0) {
      windowSize = 3;
      for (int k = 0; k < 3; ++k) window[k] = gy * w + (k - 1);
    } else if (gy == 0) {
      windowSize = 3;
      for (int k = 0; k < 3; ++k) window[k] = (k - 1) * w + gx;
    } else {
      windowSize = 4;
      int bx = gx > 0 ? 0 : -1, by = gy > 0 ? 0 : -1;
      for (int k = 0; k < 4; ++k) window[k] = (by + k / 2) * w + (bx + k % 2);
    }
    pending.push_back(end.y * w + end.x);
    while (!pending.empty()) {
      std::ptrdiff_t from = pending.back();
      pending.pop_back();
      for (int k = 0; k < windowSize; ++k) {
        std::ptrdiff_t q = from + window[k];
        if (grey[q] >= lineGrowth || (f[q] & (kLine | kMark))) continue;
        f[q] |= kMark;
        grown.push_back(q);
        int qx = int(q % w), qy = int(q / w);
        if (qx > 0 && qx < width - 1 && qy > 0 && qy < height - 1) pending.push_back(q);
      }
    }
  }
  for (std::ptrdiff_t q : grown) {
    int qx = int(q % w), qy = int(q / w);
    if (qx < rect.x0 || qx >= rect.x1 || qy < rect.y0 || qy >= rect.y1) continue;
    f[q] &= uint8_t(~kMark);
    if (qx >= ix0 && qx < ix1 && qy >= iy0 && qy < iy1) {
      f[q] |= kLine;
      grownLines.push_back(q);
    }
  }
}

}  // namespace quenda

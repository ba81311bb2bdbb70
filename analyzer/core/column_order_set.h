#pragma once
// One bit per pixel of an area, in column order (x outer, y inner), so that walking the set
// bits visits pixels in the order thinning must.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

class ColumnOrderSet {
 public:
  ColumnOrderSet(int x0, int x1, int y0, int y1)
      : x0_(x0),
        y0_(y0),
        rows_(std::size_t(y1 - y0)),
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

}  // namespace quenda

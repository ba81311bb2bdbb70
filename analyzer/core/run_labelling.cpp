#include "analyzer/core/run_labelling.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {
namespace {

constexpr uint64_t kBit0 = 0x0101010101010101ull;

// First x >= from (below width) whose pixel has bit 0 equal to `line`, or width. Line pixels
// are sparse, so the search for the next one looks at sixteen bytes at a time.
int NextLine(const uint8_t* row, int from, int width) {
  int x = from;
#if defined(__SSE2__)
  for (; x + 16 <= width; x += 16) {
    // Bit 0 of every byte moves to its bit 7, which movemask collects.
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    unsigned mask = unsigned(_mm_movemask_epi8(_mm_slli_epi16(bytes, 7)));
    if (mask != 0) return x + std::countr_zero(mask);
  }
#endif
  for (; x + 8 <= width; x += 8) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (uint64_t bits = word & kBit0; bits != 0) return x + std::countr_zero(bits) / 8;
  }
  while (x < width && !(row[x] & 1)) ++x;
  return x;
}

int NextNonLine(const uint8_t* row, int from, int width) {
  int x = from;
  for (; x + 8 <= width; x += 8) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (uint64_t bits = ~word & kBit0; bits != 0) return x + std::countr_zero(bits) / 8;
  }
  while (x < width && (row[x] & 1)) ++x;
  return x;
}

}  // namespace

RunLabeller::RunLabeller(const uint8_t* flags, int width, int height) {
  root_.push_back(0);
  rowBegin_.reserve(std::size_t(height) + 1);
  rowStart_.reserve(std::size_t(height));
  runs_.reserve(std::size_t(height) * 8);
  auto find = [this](uint32_t a) {
    while (root_[a] != a) a = root_[a] = root_[root_[a]];
    return a;
  };
  uint32_t counter = 0;
  std::size_t previous = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = flags + std::size_t(y) * width;
    const std::size_t begin = runs_.size();
    rowBegin_.push_back(begin);
    rowStart_.push_back(++counter);
    root_.push_back(counter);
    int x = 0;
    bool freshLabel = false;
    if (row[0] & 1) {
      x = NextNonLine(row, 0, width);
      // The row's first pixel does not count as a line before the next one.
      freshLabel = x >= 2;
    }
    while (x < width) {
      if (freshLabel) root_.push_back(++counter);
      int end = NextLine(row, x, width);
      runs_.push_back({x, end, counter});
      x = NextNonLine(row, end, width);
      freshLabel = true;
    }
    // Runs of the two rows that share a column belong together.
    std::size_t i = previous, j = begin;
    const std::size_t previousEnd = begin, currentEnd = runs_.size();
    while (i < previousEnd && j < currentEnd) {
      const LabelRun& a = runs_[i];
      const LabelRun& b = runs_[j];
      if (a.start < b.end && b.start < a.end) {
        uint32_t ra = find(a.label), rb = find(b.label);
        if (ra < rb)
          root_[rb] = ra;
        else if (rb < ra)
          root_[ra] = rb;
      }
      if (a.end <= b.end)
        ++i;
      else
        ++j;
    }
    previous = begin;
  }
  rowBegin_.push_back(runs_.size());
  // Parents never exceed their children, so one ascending sweep resolves every root.
  for (std::size_t label = 1; label < root_.size(); ++label) root_[label] = root_[root_[label]];
}

}  // namespace quenda

#pragma once
// The run-length rule of the region file's three streams, as the writers apply it: walk the
// pixels in linear order; a run ends where the value changes, and a run that would reach 255
// pixels is written as 254, the pixel that would have made it 255 starting the next run. A
// run's end depends only on where it starts, so a stream can be encoded a stretch at a time.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/byte_order.h"
#include "common/region_file.h"

namespace quenda {

// The end of the run of `value` that starts at `start`: the first index in (start, limit) whose
// value differs, or `limit`. Compares sixteen bytes at a time, which is where writing a region
// file spends its time: most runs are long, and every pixel of three maps is looked at.
template <class T>
std::size_t RunEnd(const T* values, std::size_t start, std::size_t limit, T value) {
  std::size_t i = start + 1;
#if defined(__SSE2__)
  {
    const __m128i pattern =
        sizeof(T) == 1 ? _mm_set1_epi8(char(value)) : _mm_set1_epi16(short(value));
    for (; i + 16 / sizeof(T) <= limit; i += 16 / sizeof(T)) {
      __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + i));
      unsigned same = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, pattern)));
      if (same != 0xFFFF) return i + std::size_t(std::countr_one(same)) / sizeof(T);
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::size_t kPerWord = sizeof(uint64_t) / sizeof(T);
    constexpr uint64_t kSpread = sizeof(T) == 1 ? 0x0101010101010101ULL : 0x0001000100010001ULL;
    const uint64_t pattern = uint64_t(value) * kSpread;
    for (; i + kPerWord <= limit; i += kPerWord) {
      uint64_t word;
      std::memcpy(&word, values + i, sizeof word);
      if (uint64_t diff = word ^ pattern)
        return i + std::size_t(std::countr_zero(diff)) / (8 * sizeof(T));
    }
  }
  while (i < limit && values[i] == value) ++i;
  return i;
}

// One run: the value (one byte, or two low byte first) and its count.
template <class T>
void AppendRun(std::vector<uint8_t>& out, T value, std::size_t count) {
  static_assert(sizeof(T) == 1 || sizeof(T) == 2);
  if constexpr (sizeof(T) == 1) {
    out.push_back(value);
  } else {
    AppendU16LE(out, value);
  }
  out.push_back(uint8_t(count));
}

// The runs of values[0, n) that start at `start` up to the first that starts at or beyond
// `until`; returns where that one starts (n at the end).
template <class T>
std::size_t AppendRuns(std::vector<uint8_t>& out, const T* values, std::size_t n, std::size_t start,
                       std::size_t until) {
  while (start < std::min(until, n)) {
    const T value = values[start];
    const std::size_t end =
        RunEnd(values, start, std::min(n, start + std::size_t(kLongestRun)), value);
    AppendRun(out, value, end - start);
    start = end;
  }
  return start;
}

// The same for n pixels that all hold `value`, without a map of them: runs of 254 and the rest.
template <class T>
std::size_t AppendOneValueRuns(std::vector<uint8_t>& out, T value, std::size_t n, std::size_t start,
                               std::size_t until) {
  while (start < std::min(until, n)) {
    const std::size_t count = std::min(n - start, std::size_t(kLongestRun));
    AppendRun(out, value, count);
    start += count;
  }
  return start;
}

}  // namespace quenda

#pragma once
// Whole-row operations the analyzer does on every pixel, written so the compiler need not
// vectorise them itself (the build does not ask it to).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {

// n copies of `value` from `out` on: 16 bytes per store.
template <class T>
inline void FillRow(T* out, std::size_t n, T value) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4);
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i v = sizeof(T) == 2 ? _mm_set1_epi16(short(value)) : _mm_set1_epi32(int(value));
  constexpr std::size_t kPer = 16 / sizeof(T);
  for (; i + kPer <= n; i += kPer) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
#endif
  for (; i < n; ++i) out[i] = value;
}

// Rows of a map far larger than the caches, written once and not read again soon: stores that
// bypass the caches save the read of every line they would otherwise fetch first. Call
// FinishStreaming before another thread reads what was written.
template <class T>
inline void StreamRow(T* out, const T* in, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i < n && (reinterpret_cast<std::uintptr_t>(out + i) & 15) != 0; ++i) out[i] = in[i];
  constexpr std::size_t kPer = 16 / sizeof(T);
  for (; i + kPer <= n; i += kPer)
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)));
#endif
  for (; i < n; ++i) out[i] = in[i];
}

// n copies of `value`, bypassing the caches as StreamRow does.
inline void StreamFill(uint16_t* out, std::size_t n, uint16_t value) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i < n && (reinterpret_cast<std::uintptr_t>(out + i) & 15) != 0; ++i) out[i] = value;
  const __m128i v = _mm_set1_epi16(short(value));
  for (; i + 8 <= n; i += 8) _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), v);
#endif
  for (; i < n; ++i) out[i] = value;
}

inline void FinishStreaming() {
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

// A byte table applied two bytes at a time: half the lookups of the byte table, from 128 KB
// that stay in cache since a drawing's grey values cluster.
class PairTable {
 public:
  explicit PairTable(const std::array<uint8_t, 256>& table) : pairs_(std::size_t(1) << 16) {
    for (std::size_t pair = 0; pair < pairs_.size(); ++pair) {
      const uint8_t in[2] = {uint8_t(pair & 0xFF), uint8_t(pair >> 8)};
      const uint8_t out[2] = {table[in[0]], table[in[1]]};
      // Same byte order as the pixels the pair is read from.
      uint16_t packed, key;
      std::memcpy(&packed, out, 2);
      std::memcpy(&key, in, 2);
      pairs_[key] = packed;
    }
    single_ = table;
  }

  // bytes[i] = table[bytes[i]] for i < n.
  void MapRow(uint8_t* bytes, std::size_t n) const {
    const uint16_t* t = pairs_.data();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      uint16_t in[4];
      std::memcpy(in, bytes + i, 8);
      const uint16_t out[4] = {t[in[0]], t[in[1]], t[in[2]], t[in[3]]};
      std::memcpy(bytes + i, out, 8);
    }
    for (; i < n; ++i) bytes[i] = single_[bytes[i]];
  }

 private:
  std::vector<uint16_t> pairs_;
  std::array<uint8_t, 256> single_;
};

}  // namespace quenda

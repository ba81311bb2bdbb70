#pragma once
// Whole-row operations the analyzer does on every pixel, written so the compiler need not
// vectorise them itself (the build does not ask it to).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// bytes[i] = table[bytes[i]] for i < n. Eight lookups are read before any is stored, so the
// stores cannot make the compiler read the table's address or the next bytes again.
inline void MapRow(uint8_t* bytes, std::size_t n, const std::array<uint8_t, 256>& table) {
  const uint8_t* t = table.data();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint8_t in[8];
    std::memcpy(in, bytes + i, 8);
    uint8_t out[8];
    for (int k = 0; k < 8; ++k) out[k] = t[in[k]];
    std::memcpy(bytes + i, out, 8);
  }
  for (; i < n; ++i) bytes[i] = t[bytes[i]];
}

}  // namespace quenda

#include "analyzer/core/stretch_rows.h"

#include <cmath>

#include "common/contrast_stretch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>
#define QUENDA_HAVE_SSSE3_PATH 1
#endif

namespace quenda {
namespace {

// What the product gives for grey g: the grey above black, shifted and multiplied, its high
// half, at most 255 (-1 where the vector code would not give that).
int ProductStretch(int g, int black, int shift, uint32_t multiplier) {
  const uint32_t above = uint32_t(g > black ? g - black : 0) << shift;
  const uint32_t value = (above * multiplier) >> 16;
  // The vector code packs the 16-bit results as signed values: one above 32767 would come out 0.
  if (value > 32767) return -1;
  return value > 255 ? 255 : int(value);
}

#if defined(__SSE2__)
// Sixteen grey values stretched by the product.
inline __m128i Stretch16(__m128i grey, __m128i black, __m128i shift, __m128i multiplier) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i above = _mm_subs_epu8(grey, black);
  const __m128i low =
      _mm_mulhi_epu16(_mm_sll_epi16(_mm_unpacklo_epi8(above, zero), shift), multiplier);
  const __m128i high =
      _mm_mulhi_epu16(_mm_sll_epi16(_mm_unpackhi_epi8(above, zero), shift), multiplier);
  return _mm_packus_epi16(low, high);
}
#endif

#if QUENDA_HAVE_SSSE3_PATH
// Sixteen pixels at a time: stretched, turned into three equal bytes each by byte shuffles,
// and the line pixels' bytes replaced by the line colour's. `shown` is 16-byte aligned; the
// stores bypass the caches (a display is far larger than they are and is not read back soon).
__attribute__((target("ssse3"))) std::size_t ShowBySsse3(const uint8_t* grey, const uint8_t* flags,
                                                         uint8_t* shown, std::size_t n,
                                                         uint8_t black, int shift,
                                                         uint16_t multiplier, Bgr line) {
  const __m128i blackV = _mm_set1_epi8(char(black));
  const __m128i shiftV = _mm_cvtsi32_si128(shift);
  const __m128i multiplierV = _mm_set1_epi16(short(multiplier));
  const __m128i one = _mm_set1_epi8(1);
  const __m128i spread0 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
  const __m128i spread1 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
  const __m128i spread2 =
      _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
  const uint8_t colour[3] = {line.blue, line.green, line.red};
  alignas(16) uint8_t pattern[48];
  for (int k = 0; k < 48; ++k) pattern[k] = colour[k % 3];
  const __m128i line0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
  const __m128i line1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
  const __m128i line2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
  auto blend = [](__m128i bytes, __m128i mask, __m128i lineBytes) {
    return _mm_or_si128(_mm_andnot_si128(mask, bytes), _mm_and_si128(mask, lineBytes));
  };
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + i));
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(flags + i));
    const __m128i value = Stretch16(g, blackV, shiftV, multiplierV);
    const __m128i isLine = _mm_cmpeq_epi8(_mm_and_si128(f, one), one);
    __m128i* out = reinterpret_cast<__m128i*>(shown + 3 * i);
    _mm_storeu_si128(
        out, blend(_mm_shuffle_epi8(value, spread0), _mm_shuffle_epi8(isLine, spread0), line0));
    _mm_storeu_si128(
        out + 1, blend(_mm_shuffle_epi8(value, spread1), _mm_shuffle_epi8(isLine, spread1), line1));
    _mm_storeu_si128(
        out + 2, blend(_mm_shuffle_epi8(value, spread2), _mm_shuffle_epi8(isLine, spread2), line2));
  }
  return i;
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}
#endif

}  // namespace

StretchRows::StretchRows(uint8_t whiteClamp, uint8_t blackClamp)
    : table_(StretchTable(whiteClamp, blackClamp)), black_(blackClamp) {
  // The finest shift whose multiplier fits 16 bits, rounded down or up, if either matches the
  // table everywhere (it does for every ordered pair of clamps in practice; reversed or equal
  // clamps never match).
  if (whiteClamp > blackClamp) {
    const double scale = 255.0 / (int(whiteClamp) - int(blackClamp));
    for (int shift = 0; shift <= 8 && multiplier_ == 0; ++shift) {
      const double exact = std::ldexp(scale, 16 - shift);
      if (exact >= 65535) continue;
      for (const double candidate : {std::floor(exact), std::floor(exact) + 1}) {
        bool matches = true;
        for (int g = 0; g < 256 && matches; ++g)
          matches =
              ProductStretch(g, blackClamp, shift, uint32_t(candidate)) == table_[std::size_t(g)];
        if (matches) {
          shift_ = shift, multiplier_ = uint16_t(candidate);
          break;
        }
      }
    }
  }
#if QUENDA_HAVE_SSSE3_PATH
  canShow_ = multiplier_ != 0 && HasSsse3();
#endif
  if (multiplier_ == 0) pairs_.emplace(table_);
}

void StretchRows::MapRow(uint8_t* bytes, std::size_t n) const {
  if (pairs_) return pairs_->MapRow(bytes, n);
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i black = _mm_set1_epi8(char(black_));
  const __m128i shift = _mm_cvtsi32_si128(shift_);
  const __m128i multiplier = _mm_set1_epi16(short(multiplier_));
  for (; i + 16 <= n; i += 16) {
    __m128i* at = reinterpret_cast<__m128i*>(bytes + i);
    _mm_storeu_si128(at, Stretch16(_mm_loadu_si128(at), black, shift, multiplier));
  }
#endif
  for (; i < n; ++i) bytes[i] = table_[bytes[i]];
}

void StretchRows::ShowRow(const uint8_t* grey, const uint8_t* flags, uint8_t* shown, std::size_t n,
                          Bgr line) const {
  auto show = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      uint8_t* d = shown + 3 * i;
      if (flags[i] & 1)
        d[0] = line.blue, d[1] = line.green, d[2] = line.red;
      else
        d[0] = d[1] = d[2] = table_[grey[i]];
    }
  };
  std::size_t i = 0;
#if QUENDA_HAVE_SSSE3_PATH
  if (canShow_) {
    // Pixels one at a time up to the first whose bytes start on 16 (at most 15).
    std::size_t head = 0;
    while (head < n && (reinterpret_cast<std::uintptr_t>(shown + 3 * head) & 15) != 0) ++head;
    show(0, head);
    i = head + ShowBySsse3(grey + head, flags + head, shown + 3 * head, n - head, black_, shift_,
                           multiplier_, line);
    FinishStreaming();
  }
#endif
  show(i, n);
}

}  // namespace quenda

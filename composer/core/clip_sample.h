#pragma once
// Sampling a clip image at a point of the image: the nearest pixel, or bilinear. The bilinear
// sum is defined per channel in doubles,
//   (c * fx + b) * fy + a * fx + p00, truncated,
// with a = p10 - p00, b = p01 - p00 and c = p11 - p10 - p01 + p00. On processors with SSE2 the
// four channels go through the same operations two lanes at a time; every lane rounds exactly
// as a lone double does, so both forms give the same bytes.

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "composer/core/clip_image.h"
#include "composer/core/pixel_effects.h"

namespace quenda {

namespace clip_sample {

// The formula channel by channel. p00 is the lower left neighbour; its right neighbour is
// pixelBytes further on and the one above rowBytes further on.
inline Rgba BilinearScalar(const uint8_t* p00, std::size_t pixelBytes, std::size_t rowBytes,
                           bool alpha, double fx, double fy) {
  const uint8_t* p10 = p00 + pixelBytes;
  const uint8_t* p01 = p00 + rowBytes;
  const uint8_t* p11 = p10 + rowBytes;
  auto channel = [&](int i) {
    int a = p10[i] - p00[i];
    int b = p01[i] - p00[i];
    int c = p11[i] - p10[i] - p01[i] + p00[i];
    return int((c * fx + b) * fy + a * fx + p00[i]);
  };
  return {channel(0), channel(1), channel(2), alpha ? channel(3) : 255};
}

#if defined(__SSE2__)
// Two horizontally neighbouring pixels as eight bytes B, G, R, A, B, G, R, A; 24-bit pixels
// are widened with alpha 255 (reading only their six bytes).
template <bool Alpha>
inline __m128i LoadPair(const uint8_t* p) {
  uint64_t bytes = 0;
  if constexpr (Alpha) {
    std::memcpy(&bytes, p, 8);
  } else {
    std::memcpy(&bytes, p, 6);
    bytes = (bytes & 0xFFFFFFu) | (uint64_t(0xFFu) << 24) | ((bytes << 8) & 0xFFFFFF00000000u) |
            (uint64_t(0xFFu) << 56);
  }
  return _mm_cvtsi64_si128(static_cast<long long>(bytes));
}

// The formula on all four channels at once. Differences are taken exactly in 16-bit lanes,
// then widened to doubles, low lanes (B, G) and high lanes (R, A) apart.
template <bool Alpha>
inline Rgba BilinearLanes(const uint8_t* p00, std::size_t rowBytes, double fx, double fy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(LoadPair<Alpha>(p00), zero);              // p00, p10
  const __m128i high = _mm_unpacklo_epi8(LoadPair<Alpha>(p00 + rowBytes), zero);  // p01, p11
  const __m128i a = _mm_sub_epi16(_mm_shuffle_epi32(low, 0x4E), low);  // p10 - p00 (low half)
  const __m128i up = _mm_sub_epi16(high, low);                         // b = p01 - p00, p11 - p10
  const __m128i c = _mm_sub_epi16(_mm_shuffle_epi32(up, 0x4E), up);    // (p11 - p10) - b
  // Sign-extended 32-bit lanes: each 16-bit value doubled up, then shifted down.
  const __m128i a32 = _mm_srai_epi32(_mm_unpacklo_epi16(a, a), 16);
  const __m128i b32 = _mm_srai_epi32(_mm_unpacklo_epi16(up, up), 16);
  const __m128i c32 = _mm_srai_epi32(_mm_unpacklo_epi16(c, c), 16);
  const __m128i p32 = _mm_unpacklo_epi16(low, zero);
  const __m128d vx = _mm_set1_pd(fx), vy = _mm_set1_pd(fy);
  auto half = [&](int shuffle) {
    auto lanes = [&](__m128i v) {
      return _mm_cvtepi32_pd(shuffle ? _mm_shuffle_epi32(v, 0x4E) : v);
    };
    __m128d sum = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(lanes(c32), vx), lanes(b32)), vy);
    sum = _mm_add_pd(_mm_add_pd(sum, _mm_mul_pd(lanes(a32), vx)), lanes(p32));
    return _mm_cvttpd_epi32(sum);
  };
  const __m128i out = _mm_unpacklo_epi64(half(0), half(1));
  alignas(16) int32_t channels[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(channels), out);
  return {channels[0], channels[1], channels[2], channels[3]};
}
#endif

template <bool Alpha>
inline Rgba Bilinear(const uint8_t* p00, std::size_t rowBytes, double fx, double fy) {
#if defined(__SSE2__)
  return BilinearLanes<Alpha>(p00, rowBytes, fx, fy);
#else
  return BilinearScalar(p00, Alpha ? 4 : 3, rowBytes, Alpha, fx, fy);
#endif
}

}  // namespace clip_sample

// The sample of (sx, sy): bilinear when `antialias`, else the pixel at (trunc(sx), trunc(sy));
// 24-bit images have alpha 255. The point must lie inside 0..iw-1 by 0..ih-1 with a
// neighbour to the right and above when bilinear.
inline Rgba SampleImage(const ClipImage& image, double sx, double sy, bool antialias) {
  if (!antialias) {
    const uint8_t* p = image.At(int(sx), int(sy));
    return {p[0], p[1], p[2], HasAlpha(image) ? p[3] : 255};
  }
  // The point is never negative, so truncation is the floor (and needs no library call).
  const int x0 = int(sx), y0 = int(sy);
  const double fx = sx - x0, fy = sy - y0;
  const std::size_t rowBytes = std::size_t(image.stride());
  const uint8_t* p00 = image.At(x0, y0);
  return HasAlpha(image) ? clip_sample::Bilinear<true>(p00, rowBytes, fx, fy)
                         : clip_sample::Bilinear<false>(p00, rowBytes, fx, fy);
}

}  // namespace quenda

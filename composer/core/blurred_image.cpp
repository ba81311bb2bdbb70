#include "composer/core/blurred_image.h"

#include <algorithm>
#include <cstring>

#include "common/thread_pool.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {

namespace {

// The running sums of one image. For every column x (padded by A columns of copies of the end
// columns on either side, so that entry i stands for column clamp(i - A)): blue, green, red
// and alpha summed down the column's window of 2B+1 clamped rows, blue, green and red only
// over pixels whose alpha is not 0, and the number of those pixels. A window holds at most 31
// rows, so 16 bits hold every sum; unsigned wrap-around lets a sum dip below 0 on the way.
struct ColumnSums {
  int width, pad;
  std::vector<uint16_t> channels;  // 4 per entry: B, G, R, A
  std::vector<uint16_t> counts;    // 1 per entry

  ColumnSums(int w, int rx)
      : width(w),
        pad(rx),
        channels(std::size_t(w + 2 * rx + 1) * 4, 0),
        counts(std::size_t(w + 2 * rx + 1), 0) {}

  uint16_t* ChannelsAt(int x) { return &channels[std::size_t(x + pad) * 4]; }
  uint16_t* CountAt(int x) { return &counts[std::size_t(x + pad)]; }

  // Copies the end columns into the padding, after the columns changed.
  void RefreshPadding() {
    for (int i = 0; i < pad; ++i) {
      std::memcpy(&channels[std::size_t(i) * 4], ChannelsAt(0), 8);
      std::memcpy(ChannelsAt(width + i), ChannelsAt(width - 1), 8);
      counts[std::size_t(i)] = *CountAt(0);
      *CountAt(width + i) = *CountAt(width - 1);
    }
  }
};

// What one stored pixel adds to its column's sums: blue, green and red (0 where alpha is 0),
// alpha, and 1 when its colour counts.
inline std::array<int, 5> Contribution(const uint8_t* p, bool alpha) {
  if (!alpha) return {p[0], p[1], p[2], 0, 1};
  if (p[3] == 0) return {0, 0, 0, 0, 0};
  return {p[0], p[1], p[2], p[3], 1};
}

// Moves every column's window down: row `enter` comes in and, unless `leave` is -1, row
// `leave` goes out. One channel at a time.
void MoveRowsScalar(const ClipImage& image, int enter, int leave, ColumnSums& sums) {
  const bool alpha = HasAlpha(image);
  for (int x = 0; x < image.width(); ++x) {
    const std::array<int, 5> in = Contribution(image.At(x, enter), alpha);
    std::array<int, 5> out{};
    if (leave >= 0) out = Contribution(image.At(x, leave), alpha);
    uint16_t* c = sums.ChannelsAt(x);
    for (std::size_t k = 0; k < 4; ++k) c[k] = uint16_t(c[k] + in[k] - out[k]);
    uint16_t* n = sums.CountAt(x);
    *n = uint16_t(*n + in[4] - out[4]);
  }
}

#if defined(__SSE2__)
struct alignas(16) Lanes {
  float v[4];
};

// Two neighbouring pixels as 16-bit lanes B, G, R, A, B, G, R, A with the colour lanes of a
// pixel whose alpha is 0 cleared; 24-bit pixels have alpha lanes 0.
inline __m128i PixelPair(const uint8_t* p, bool alpha) {
  const __m128i zero = _mm_setzero_si128();
  uint64_t pair = 0;
  if (alpha) {
    std::memcpy(&pair, p, 8);
  } else {
    std::memcpy(&pair, p, 6);
    pair = (pair & 0xFFFFFFu) | ((pair << 8) & 0xFFFFFF00000000u);
  }
  const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(pair)), zero);
  if (!alpha) return v;
  const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
  const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
  return _mm_andnot_si128(_mm_and_si128(_mm_cmpeq_epi16(a, zero), colourLanes), v);
}

// MoveRowsScalar two columns at a time.
void MoveRowsVector(const ClipImage& image, int enter, int leave, ColumnSums& sums) {
  const int w = image.width();
  const bool alpha = HasAlpha(image);
  const std::size_t bytes = std::size_t(image.channels());
  const uint8_t* in = image.At(0, enter);
  const uint8_t* out = leave >= 0 ? image.At(0, leave) : nullptr;
  int x = 0;
  for (; x + 1 < w; x += 2) {
    const std::size_t at = std::size_t(x) * bytes;
    __m128i change = PixelPair(in + at, alpha);
    int first = !alpha || in[at + 3] != 0, second = !alpha || in[at + 7] != 0;
    if (out) {
      change = _mm_sub_epi16(change, PixelPair(out + at, alpha));
      first -= !alpha || out[at + 3] != 0;
      second -= !alpha || out[at + 7] != 0;
    }
    uint16_t* c = sums.ChannelsAt(x);
    const __m128i held = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c), _mm_add_epi16(held, change));
    uint16_t* n = sums.CountAt(x);
    n[0] = uint16_t(n[0] + first);
    n[1] = uint16_t(n[1] + second);
  }
  if (x < w) {  // an odd last column
    const std::array<int, 5> entering = Contribution(in + std::size_t(x) * bytes, alpha);
    std::array<int, 5> leaving{};
    if (out) leaving = Contribution(out + std::size_t(x) * bytes, alpha);
    uint16_t* c = sums.ChannelsAt(x);
    for (std::size_t k = 0; k < 4; ++k) c[k] = uint16_t(c[k] + entering[k] - leaving[k]);
    uint16_t* n = sums.CountAt(x);
    *n = uint16_t(*n + entering[4] - leaving[4]);
  }
}

// One row of output from the column sums: a window of 2A+1 entries slides along the row.
// Quotients are single-precision divisions, truncated: every sum n is below 2^24, so n is
// exact as a float, and n / d with d <= 961 is at least 1/961 away from the next whole number
// unless it is one, far more than the division's rounding (under 2^-24 of a quotient <= 255).
// The truncated float quotient is therefore the integer quotient (checked for every n and d).
void WriteRowVector(ColumnSums& sums, bool alpha, int span, const std::vector<Lanes>& divisors,
                    uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  auto widen = [&](int i) {
    return _mm_unpacklo_epi16(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&sums.channels[std::size_t(i) * 4])),
        zero);
  };
  __m128i running = zero;
  int counted = 0;
  for (int i = 0; i < span; ++i) {
    running = _mm_add_epi32(running, widen(i));
    counted += sums.counts[std::size_t(i)];
  }
  const uint32_t opaque = alpha ? 0 : 0xFF000000u;
  for (int x = 0; x < sums.width; ++x, out += 4) {
    const __m128 divisor = _mm_load_ps(divisors[alpha ? std::size_t(counted) : 0].v);
    const __m128i q = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(running), divisor));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q, q), zero);
    const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(bytes)) | opaque;
    std::memcpy(out, &pixel, 4);
    running = _mm_add_epi32(running, _mm_sub_epi32(widen(x + span), widen(x)));
    counted += sums.counts[std::size_t(x + span)] - sums.counts[std::size_t(x)];
  }
}
#endif

void WriteRowScalar(ColumnSums& sums, bool alpha, int span, uint32_t visited, uint8_t* out) {
  std::array<uint32_t, 4> running{};
  uint32_t counted = 0;
  for (int i = 0; i < span; ++i) {
    for (int k = 0; k < 4; ++k) running[std::size_t(k)] += sums.channels[std::size_t(i * 4 + k)];
    counted += sums.counts[std::size_t(i)];
  }
  for (int x = 0; x < sums.width; ++x, out += 4) {
    if (alpha) {
      for (int k = 0; k < 3; ++k)
        out[k] = counted > 0 ? uint8_t(running[std::size_t(k)] / counted) : 0;
      out[3] = uint8_t(running[3] / visited);
    } else {
      for (int k = 0; k < 3; ++k) out[k] = uint8_t(running[std::size_t(k)] / visited);
      out[3] = 255;
    }
    for (int k = 0; k < 4; ++k)
      running[std::size_t(k)] += uint32_t(sums.channels[std::size_t((x + span) * 4 + k)]) -
                                 uint32_t(sums.channels[std::size_t(x * 4 + k)]);
    counted += uint32_t(sums.counts[std::size_t(x + span)]) - sums.counts[std::size_t(x)];
  }
}

}  // namespace

BlurredImage::BlurredImage(const ClipImage& image, int rx, int ry, BlurArithmetic arithmetic)
    : rx_(rx), ry_(ry), image_(image.width(), image.height(), 4) {
  const int w = image.width(), h = image.height();
  if (w <= 0 || h <= 0) return;
  const bool alpha = HasAlpha(image);
  const int span = 2 * rx + 1;
  const uint32_t visited = uint32_t(span) * uint32_t(2 * ry + 1);
#if defined(__SSE2__)
  const bool vector = arithmetic == BlurArithmetic::Vector;
  // Divisors per number of counted pixels: that number (at least 1, where the colour sums
  // are 0 anyway) in the colour lanes and all the positions in alpha's; on a 24-bit image
  // all the positions throughout.
  std::vector<Lanes> divisors;
  if (vector) {
    const float all = float(visited);
    if (alpha)
      for (uint32_t n = 0; n <= visited; ++n) {
        const float c = float(std::max(n, 1u));
        divisors.push_back({{c, c, c, all}});
      }
    else
      divisors.push_back({{all, all, all, all}});
  }
#else
  const bool vector = false;
  (void)arithmetic;
#endif
  // A band of rows starts its column sums afresh at its first row: the sums are exact, so
  // every band gives the rows one pass over the whole image gives.
  ParallelBands(
      0, h,
      [&](int firstRow, int endRow) {
        ColumnSums sums(w, rx);
        auto move = [&](int enter, int leave) {
#if defined(__SSE2__)
          if (vector) return MoveRowsVector(image, enter, leave, sums);
#endif
          MoveRowsScalar(image, enter, leave, sums);
        };
        for (int j = firstRow - ry; j <= firstRow + ry; ++j) move(std::clamp(j, 0, h - 1), -1);
        for (int y = firstRow; y < endRow; ++y) {
          sums.RefreshPadding();
          uint8_t* out = image_.Row(y);
#if defined(__SSE2__)
          if (vector)
            WriteRowVector(sums, alpha, span, divisors, out);
          else
#endif
            WriteRowScalar(sums, alpha, span, visited, out);
          if (y + 1 == endRow) break;
          // Down one row: the row entering the window comes in, the one leaving goes.
          move(std::clamp(y + ry + 1, 0, h - 1), std::clamp(y - ry, 0, h - 1));
        }
      },
      4 * ry + 8);
}

}  // namespace quenda

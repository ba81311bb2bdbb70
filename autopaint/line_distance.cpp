#include "autopaint/line_distance.h"

#include <algorithm>

#include "common/region_data.h"
#include "common/stripes.h"
#include "common/thread_pool.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {
namespace {

// d + step, far at most.
inline uint8_t Plus(uint8_t d, int step) {
  return uint8_t(std::min(int(d) + step, kFarFromLine));
}

#if defined(__SSE2__)
__m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
void Store(uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
// Steps add up to far at most, in every byte: the saturating add does just that.
__m128i PlusAll(__m128i v, int step) {
  return _mm_adds_epu8(v, _mm_set1_epi8(char(step)));
}
#endif

// Each pixel of `row` takes the least of itself and the three pixels of `passed` (the row above
// or below) beside and across from it, by their steps.
void FromRowPassed(uint8_t* row, const uint8_t* passed, int w) {
  auto least = [](uint8_t own, uint8_t across, uint8_t left, uint8_t right) {
    return std::min(std::min(own, Plus(across, 3)), std::min(Plus(left, 4), Plus(right, 4)));
  };
  if (w == 1) {
    row[0] = std::min(row[0], Plus(passed[0], 3));
    return;
  }
  row[0] = least(row[0], passed[0], passed[1], passed[1]);
  int x = 1;
#if defined(__SSE2__)
  for (; x + 16 < w; x += 16) {
    const __m128i across = PlusAll(Load(passed + x), 3);
    const __m128i beside =
        _mm_min_epu8(PlusAll(Load(passed + x - 1), 4), PlusAll(Load(passed + x + 1), 4));
    Store(row + x, _mm_min_epu8(Load(row + x), _mm_min_epu8(across, beside)));
  }
#endif
  for (; x + 1 < w; ++x) row[x] = least(row[x], passed[x], passed[x - 1], passed[x + 1]);
  row[w - 1] = least(row[w - 1], passed[w - 1], passed[w - 2], passed[w - 2]);
}

#if defined(__SSE2__)
// Within sixteen pixels, each takes the least of the pixels before it (towards lower addresses
// when `forward`), a step per pixel between: four doublings reach all fifteen; what is shifted
// in from beyond the sixteen is far.
__m128i AlongSixteen(__m128i v, bool forward) {
  const __m128i far = _mm_set1_epi8(char(0xFF));
  if (forward) {
    v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_slli_si128(v, 1), _mm_srli_si128(far, 15)), 3));
    v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_slli_si128(v, 2), _mm_srli_si128(far, 14)), 6));
    v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_slli_si128(v, 4), _mm_srli_si128(far, 12)), 12));
    return _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_slli_si128(v, 8), _mm_srli_si128(far, 8)), 24));
  }
  v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_srli_si128(v, 1), _mm_slli_si128(far, 15)), 3));
  v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_srli_si128(v, 2), _mm_slli_si128(far, 14)), 6));
  v = _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_srli_si128(v, 4), _mm_slli_si128(far, 12)), 12));
  return _mm_min_epu8(v, PlusAll(_mm_or_si128(_mm_srli_si128(v, 8), _mm_slli_si128(far, 8)), 24));
}
#endif

// Along the row, towards higher x, each pixel takes the least of itself and the pixel before it
// plus a step: the serial part of the pass, sixteen pixels at a time.
void AlongRowForward(uint8_t* row, int w) {
  int x = 0;
  uint8_t d = uint8_t(kFarFromLine);
#if defined(__SSE2__)
  // How far each of sixteen pixels lies past the pixel before them, in steps.
  const __m128i ramp = _mm_setr_epi8(3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48);
  for (; x + 16 <= w; x += 16) {
    __m128i v = AlongSixteen(Load(row + x), true);
    v = _mm_min_epu8(v, _mm_adds_epu8(_mm_set1_epi8(char(d)), ramp));
    Store(row + x, v);
    d = row[x + 15];
  }
#endif
  for (; x < w; ++x) row[x] = d = std::min(row[x], Plus(d, 3));
}

// The same towards lower x.
void AlongRowBackward(uint8_t* row, int w) {
  int x = w;
  uint8_t d = uint8_t(kFarFromLine);
#if defined(__SSE2__)
  const __m128i ramp = _mm_setr_epi8(48, 45, 42, 39, 36, 33, 30, 27, 24, 21, 18, 15, 12, 9, 6, 3);
  for (; x >= 16; x -= 16) {
    __m128i v = AlongSixteen(Load(row + x - 16), false);
    v = _mm_min_epu8(v, _mm_adds_epu8(_mm_set1_epi8(char(d)), ramp));
    Store(row + x - 16, v);
    d = row[x - 16];
  }
#endif
  while (x > 0) --x, row[x] = d = std::min(row[x], Plus(d, 3));
}

// The field of rows [first, last) of the box `bw` wide whose line flags start at `flags`, a row
// `stride` apart, written where rowAt(y) says: two passes, down and back up, each taking the
// least of the neighbours already passed: on each row, first the row passed before it, then the
// row's own pixels in the pass's direction. Both go sixteen pixels at a time (the build does
// not ask the compiler to).
template <class RowAt>
void Field(const uint8_t* flags, std::size_t stride, int bw, int first, int last,
           const RowAt& rowAt) {
  for (int y = first; y < last; ++y) {
    const uint8_t* f = flags + std::size_t(y) * stride;
    uint8_t* row = rowAt(y);
    for (int x = 0; x < bw; ++x) row[x] = (f[x] & kFlagRegionLine) ? 0 : uint8_t(kFarFromLine);
  }
  for (int y = first; y < last; ++y) {
    uint8_t* row = rowAt(y);
    if (y > first) FromRowPassed(row, rowAt(y - 1), bw);
    AlongRowForward(row, bw);
  }
  for (int y = last - 1; y >= first; --y) {
    uint8_t* row = rowAt(y);
    if (y + 1 < last) FromRowPassed(row, rowAt(y + 1), bw);
    AlongRowBackward(row, bw);
  }
}

// A line pixel this many rows away or more is far (3 a row), so a band of rows computed with
// this many rows on either side is exactly what the whole box gives it: the least path to a
// nearer line pixel stays within the rows between them.
constexpr int kBandReach = kFarFromLine / 3 + 1;

struct Box {
  int minX, minY, maxX, maxY;
};

// The box of the line pixels of rows [first, last).
Box LineBox(const RegionMapView& view, int first, int last) {
  const int w = view.width;
  Box box{w, view.height, -1, -1};
  for (int y = first; y < last; ++y) {
    const uint8_t* row = view.flags + std::size_t(y) * std::size_t(w);
    for (int x = 0; x < w; ++x) {
      if (x + 8 <= w && !HasLineAmongEight(row + x)) {
        x += 7;  // most of a drawing is off the lines
        continue;
      }
      if (row[x] & kFlagRegionLine) {
        box.minX = std::min(box.minX, x), box.maxX = std::max(box.maxX, x);
        box.minY = std::min(box.minY, y), box.maxY = y;
      }
    }
  }
  return box;
}

}  // namespace

LineDistance::LineDistance(const RegionMapView& view) {
  if (!view.flags || view.width <= 0 || view.height <= 0) return;
  const int w = view.width, h = view.height;
  const Stripes searched(0, h, InnerThreads(), 1);
  std::vector<Box> boxes(std::size_t(searched.count()));
  searched.Run(
      [&](int k, int first, int last) { boxes[std::size_t(k)] = LineBox(view, first, last); });
  Box lines{w, h, -1, -1};
  for (const Box& b : boxes) {
    if (b.maxX < 0) continue;
    lines.minX = std::min(lines.minX, b.minX), lines.maxX = std::max(lines.maxX, b.maxX);
    lines.minY = std::min(lines.minY, b.minY), lines.maxY = std::max(lines.maxY, b.maxY);
  }
  if (lines.maxX < 0) return;
  const int reach = kFarFromLine / 3 + 1;
  x0_ = std::max(lines.minX - reach, 0), y0_ = std::max(lines.minY - reach, 0);
  x1_ = std::min(lines.maxX + reach + 1, w), y1_ = std::min(lines.maxY + reach + 1, h);
  const int bw = x1_ - x0_, bh = y1_ - y0_;
  // Every pixel is written below, by one band.
  distance_ = std::make_unique_for_overwrite<uint8_t[]>(std::size_t(bw) * std::size_t(bh));
  const uint8_t* flags = view.flags + std::size_t(y0_) * std::size_t(w) + std::size_t(x0_);
  Stripes(0, bh, InnerThreads(), 1).Run([&](int, int first, int last) {
    // The rows beyond the band it needs go to rows of its own, the band's to the field.
    const int from = std::max(first - kBandReach, 0), to = std::min(last + kBandReach, bh);
    std::vector<uint8_t> above(std::size_t(first - from) * std::size_t(bw));
    std::vector<uint8_t> below(std::size_t(to - last) * std::size_t(bw));
    Field(flags, std::size_t(w), bw, from, to, [&](int y) {
      if (y < first) return above.data() + std::size_t(y - from) * std::size_t(bw);
      if (y >= last) return below.data() + std::size_t(y - last) * std::size_t(bw);
      return distance_.get() + std::size_t(y) * std::size_t(bw);
    });
  });
}

}  // namespace quenda

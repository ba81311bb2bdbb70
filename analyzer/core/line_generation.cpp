#include "analyzer/core/line_generation.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstring>

#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/thinning.h"
#include "common/contrast_stretch.h"

namespace quenda {
namespace {

// flags = grey < pickUp ? 1 : 0 over the rectangle.
void PickUp(WorkingImage& image, PixelRect r, uint8_t linePickUp) {
  const std::size_t w = std::size_t(image.width());
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* flags = image.regions.flags.data() + y * w;
    int x = r.x0;
#if defined(__SSE2__)
    if (linePickUp > 0) {
      // grey < pickUp exactly when min(grey, pickUp - 1) == grey.
      const __m128i below = _mm_set1_epi8(char(linePickUp - 1));
      const __m128i one = _mm_set1_epi8(1);
      for (; x + 16 <= r.x1; x += 16) {
        __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + x));
        __m128i dark = _mm_cmpeq_epi8(_mm_min_epu8(g, below), g);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(flags + x), _mm_and_si128(dark, one));
      }
    }
#endif
    for (; x < r.x1; ++x) flags[x] = grey[x] < linePickUp ? 1 : 0;
  }
}

// Ink flags and the shown picture; line pixels show in the line colour.
void InkAndDisplay(WorkingImage& image, PixelRect r, const RedlineSettings& s, Bgr lineColour) {
  const std::size_t w = std::size_t(image.width());
  const auto stretch = StretchTable(s.whiteClamp, s.blackClamp);
  // Per grey value: the ink bit, and the stretched grey in all three bytes of a display pixel.
  std::array<uint8_t, 256> ink{};
  std::array<uint32_t, 256> shownGrey{};
  for (int g = 0; g < 256; ++g) {
    ink[std::size_t(g)] = g < s.whiteClamp ? kFlagAnimatorLine : 0;
    shownGrey[std::size_t(g)] = uint32_t(stretch[std::size_t(g)]) * 0x010101u;
  }
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* flags = image.regions.flags.data() + y * w;
    uint8_t* shown = image.display.Row(y);
    int x = r.x0;
    // Four pixels as three 4-byte words.
#if defined(__SSE2__)
    {
      // Ink where min(grey, whiteClamp - 1) == grey, as in the pick-up.
      const __m128i below = _mm_set1_epi8(char(s.whiteClamp - 1));
      const __m128i inkBit = _mm_set1_epi8(char(kFlagAnimatorLine));
      int fx = r.x0;
      for (; s.whiteClamp > 0 && fx + 16 <= r.x1; fx += 16) {
        __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + fx));
        __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(flags + fx));
        __m128i dark = _mm_cmpeq_epi8(_mm_min_epu8(g, below), g);
        f = _mm_or_si128(_mm_andnot_si128(inkBit, f), _mm_and_si128(dark, inkBit));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(flags + fx), f);
      }
      for (; fx < r.x1; ++fx) flags[fx] = uint8_t((flags[fx] & ~kFlagAnimatorLine) | ink[grey[fx]]);
    }
    constexpr bool kInkDone = true;
#else
    constexpr bool kInkDone = false;
#endif
    for (; std::endian::native == std::endian::little && x + 4 <= r.x1; x += 4) {
      uint8_t g[4];
      std::memcpy(g, grey + x, 4);
      if (!kInkDone)
        for (int k = 0; k < 4; ++k)
          flags[x + k] = uint8_t((flags[x + k] & ~kFlagAnimatorLine) | ink[g[k]]);
      const uint32_t a = shownGrey[g[0]], b = shownGrey[g[1]], c = shownGrey[g[2]],
                     d = shownGrey[g[3]];
      const uint32_t words[3] = {a | b << 24, b >> 8 | c << 16, c >> 16 | d << 8};
      std::memcpy(shown + 3 * x, words, 12);
    }
    for (; x < r.x1; ++x) {
      if (!kInkDone) flags[x] = uint8_t((flags[x] & ~kFlagAnimatorLine) | ink[grey[x]]);
      shown[3 * x] = shown[3 * x + 1] = shown[3 * x + 2] = stretch[grey[x]];
    }
    ForEachLinePixel(flags, r.x0, r.x1, [&](int lx) {
      uint8_t* d = shown + 3 * lx;
      d[0] = lineColour.blue, d[1] = lineColour.green, d[2] = lineColour.red;
    });
  }
}

}  // namespace

void GenerateLines(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                   int y1, Progress& progress, Bgr lineColour) {
  const PixelRect r = ClipToPicture(image, {x0, x1, y0, y1});
  const int w = image.width(), h = image.height();
  ReportStage(progress, "Preparing...", 1);
  PickUp(image, r, settings.linePickUp);
  ReportStage(progress, "Pass 1...", 10);
  ThinLines(image.regions.flags, w, r);
  ReportStage(progress, "Pass 2...", 50);
  // Thinning leaves marks clear, growth clears them again inside the rectangle, and the second
  // thinning need only look where growth added lines.
  std::vector<std::ptrdiff_t> grown;
  GrowStrokeEnds(image.regions.flags, image.grey, w, h, r, settings.lineGrowth, grown);
  ReportStage(progress, "Pass 3...", 70);
  ThinLines(image.regions.flags, w, r, &grown);
  ReportStage(progress, "Pass 4...", 90);
  InkAndDisplay(image, r, settings, lineColour);
  ReportStage(progress, "Done", 100);
}

void ShowClampedImage(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                      int y1) {
  const PixelRect r = ClipToPicture(image, {x0, x1, y0, y1});
  const std::size_t w = std::size_t(image.width());
  const auto stretch = StretchTable(settings.whiteClamp, settings.blackClamp);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* shown = image.display.Row(y);
    for (int x = r.x0; x < r.x1; ++x)
      shown[3 * x] = shown[3 * x + 1] = shown[3 * x + 2] = stretch[grey[x]];
  }
}

}  // namespace quenda

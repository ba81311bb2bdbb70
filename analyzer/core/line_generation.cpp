#include "analyzer/core/line_generation.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/stretch_rows.h"
#include "analyzer/core/thinning.h"
#include "common/contrast_stretch.h"
#include "common/stripes.h"

namespace quenda {
namespace {

// flags = (grey < pickUp ? 1 : 0) | (grey < whiteClamp ? 4 : 0) over rows y0 <= y < y1 of the
// rectangle. The ink bit belongs to the last step, but nothing between looks at it or changes
// it, so it is set here, where the grey picture is read anyway.
void PickUp(WorkingImage& image, PixelRect r, int y0, int y1, const RedlineSettings& s) {
  const std::size_t w = std::size_t(image.width());
  std::array<uint8_t, 256> table{};
  for (int g = 0; g < 256; ++g)
    table[std::size_t(g)] = uint8_t((g < s.linePickUp ? kFlagRegionLine : 0) |
                                    (g < s.whiteClamp ? kFlagAnimatorLine : 0));
  for (int y = y0; y < y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* flags = image.regions.flags.data() + y * w;
    int x = r.x0;
#if defined(__SSE2__)
    // grey < value exactly when min(grey, value - 1) == grey; a value of 0 takes nothing.
    const __m128i pickBelow = _mm_set1_epi8(char(s.linePickUp - 1));
    const __m128i inkBelow = _mm_set1_epi8(char(s.whiteClamp - 1));
    const __m128i pickBit = _mm_set1_epi8(char(s.linePickUp > 0 ? kFlagRegionLine : 0));
    const __m128i inkBit = _mm_set1_epi8(char(s.whiteClamp > 0 ? kFlagAnimatorLine : 0));
    for (; x + 16 <= r.x1; x += 16) {
      __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + x));
      __m128i line = _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(g, pickBelow), g), pickBit);
      __m128i ink = _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(g, inkBelow), g), inkBit);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(flags + x), _mm_or_si128(line, ink));
    }
#endif
    for (; x < r.x1; ++x) flags[x] = table[grey[x]];
  }
}

// The tables of the last pass, built once for all bands.
struct DisplayTables {
  DisplayTables(PixelRect r, const RedlineSettings& s)
      : stretch(StretchTable(s.whiteClamp, s.blackClamp)), rows(s.whiteClamp, s.blackClamp) {
    // Worth building only for rectangles at least as large as the table, and only when the
    // rows cannot be shown without it.
    const bool byPairs =
        !rows.CanShow() && std::endian::native == std::endian::little &&
        std::size_t(r.x1 - r.x0) * std::size_t(r.y1 - r.y0) >= (std::size_t(1) << 16);
    shownPair.resize(byPairs ? std::size_t(1) << 16 : 0);
    for (std::size_t pair = 0; pair < shownPair.size(); ++pair)
      shownPair[pair] = uint64_t(stretch[pair & 0xFF]) * 0x010101u |
                        uint64_t(stretch[pair >> 8]) * 0x010101u << 24;
  }
  std::array<uint8_t, 256> stretch;
  StretchRows rows;
  // Per pair of grey bytes as read from memory (little-endian): the six display bytes.
  std::vector<uint64_t> shownPair;
};

// The shown picture of rows y0 <= y < y1; line pixels show in the line colour.
void ShowLines(WorkingImage& image, PixelRect r, int y0, int y1, const DisplayTables& tables,
               Bgr lineColour) {
  const std::size_t w = std::size_t(image.width());
  const auto& stretch = tables.stretch;
  const auto& shownPair = tables.shownPair;
  const bool byPairs = !shownPair.empty();
  for (int y = y0; y < y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    const uint8_t* flags = image.regions.flags.data() + y * w;
    uint8_t* shown = image.display.Row(y);
    if (tables.rows.CanShow()) {
      tables.rows.ShowRow(grey + r.x0, flags + r.x0, shown + 3 * r.x0, std::size_t(r.x1 - r.x0),
                          lineColour);
      continue;
    }
    int x = r.x0;
    // Eight pixels as three 8-byte words, from the six display bytes of each pixel pair.
    for (; byPairs && x + 8 <= r.x1; x += 8) {
      uint16_t g[4];
      std::memcpy(g, grey + x, 8);
      const uint64_t p0 = shownPair[g[0]], p1 = shownPair[g[1]], p2 = shownPair[g[2]],
                     p3 = shownPair[g[3]];
      const uint64_t words[3] = {p0 | p1 << 48, p1 >> 16 | p2 << 32, p2 >> 32 | p3 << 16};
      std::memcpy(shown + 3 * x, words, 24);
    }
    for (; x < r.x1; ++x) shown[3 * x] = shown[3 * x + 1] = shown[3 * x + 2] = stretch[grey[x]];
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
  // Every pass runs in bands of rows; both thinnings put their seams right after each
  // iteration, and growth, whose order matters, finds its stroke ends in bands and grows them on
  // one thread.
  const Stripes stripes(r.y0, r.y1, InnerThreads());
  ReportStage(progress, "Preparing...", 1);
  stripes.Run([&](int, int y0, int y1) { PickUp(image, r, y0, y1, settings); });
  ReportStage(progress, "Pass 1...", 10);
  ThinLines(image.regions.flags, w, r, nullptr, true, stripes.count());
  ReportStage(progress, "Pass 2...", 50);
  // Thinning leaves marks clear, growth clears them again inside the rectangle, and the second
  // thinning need only look where growth added lines.
  std::vector<std::ptrdiff_t> grown;
  GrowStrokeEnds(image.regions.flags, image.grey, w, h, r, settings.lineGrowth, grown,
                 stripes.count());
  ReportStage(progress, "Pass 3...", 70);
  ThinLines(image.regions.flags, w, r, &grown, true, stripes.count());
  ReportStage(progress, "Pass 4...", 90);
  // The ink bits were set with the pick-up; the display is all that is left.
  if (!image.display.empty()) {
    const DisplayTables tables(r, settings);
    stripes.Run([&](int, int y0, int y1) { ShowLines(image, r, y0, y1, tables, lineColour); });
  }
  ReportStage(progress, "Done", 100);
}

void ShowClampedImage(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                      int y1) {
  const PixelRect r = ClipToPicture(image, {x0, x1, y0, y1});
  if (image.display.empty()) return;
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

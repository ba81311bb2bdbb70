// Whole-mask operations and the colour keyer: row loops that keep only what each row needs,
// so the work is linear in the pixels and no pass reads a byte it has already changed unless
// the operation itself does (smooth).

#include "panorama/core/mask_ops.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace quenda {

std::string PercentCompleteText(int percent) {
  char text[48];
  std::snprintf(text, sizeof text, "Percent Complete %d %%", percent);
  return text;
}

RowProgress::RowProgress(const MaskStatus& status, int rows, std::string_view done)
    : status_(status), rows_(rows), done_(done) {
  nextRow_ = rows_ > 0 ? (rows_ + 19) / 20 : INT_MAX;
}

void RowProgress::Report(int rows) {
  int step = step_;
  while (step < 20 && (long long)rows * 20 >= (long long)(step + 1) * rows_) ++step;
  if (step == step_) return;
  step_ = step;
  if (status_) status_(PercentCompleteText(step * 5));
  nextRow_ = step_ < 20 ? int(((long long)(step_ + 1) * rows_ + 19) / 20) : INT_MAX;
}

void RowProgress::Finish() {
  if (status_) status_(done_);
}

namespace {

template <class RowFunction>
void ForEachRow(RasterView mask, RowProgress& progress, RowFunction function) {
  for (int y = 0; y < mask.height; ++y) {
    function(mask.Row(y), mask.width);
    progress.RowsDone(y + 1);
  }
  progress.Finish();
}

struct MaxOf {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a > b ? a : b; }
};
struct MinOf {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a < b ? a : b; }
};

// The 3 x 3 extreme is separable: the extreme of three rows per column, then of three columns.
// Rows are kept as they were before this row was written, so every row sees the original mask.
template <class Op>
void Neighbourhood(RasterView mask, RowProgress& progress, Op op) {
  const int w = mask.width, h = mask.height;
  std::vector<uint8_t> below(w), here(w), column(w);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = mask.Row(y);
    std::copy(row, row + w, here.begin());
    // A missing row counts as the row itself, which leaves the extreme as it is.
    const uint8_t* b = y > 0 ? below.data() : here.data();
    const uint8_t* a = y + 1 < h ? mask.Row(y + 1) : here.data();
    const uint8_t* m = here.data();
    uint8_t* c = column.data();
    for (int x = 0; x < w; ++x) c[x] = op(op(m[x], b[x]), a[x]);
    if (w == 1) {
      row[0] = c[0];
    } else {
      row[0] = op(c[0], c[1]);
      for (int x = 1; x < w - 1; ++x) row[x] = op(op(c[x - 1], c[x]), c[x + 1]);
      row[w - 1] = op(c[w - 2], c[w - 1]);
    }
    std::swap(below, here);
    progress.RowsDone(y + 1);
  }
  progress.Finish();
}

}  // namespace

void ClearMask(RasterView mask, RowProgress& progress) {
  ForEachRow(mask, progress, [](uint8_t* row, int w) { std::fill(row, row + w, 0); });
}

void FillMask(RasterView mask, RowProgress& progress) {
  ForEachRow(mask, progress, [](uint8_t* row, int w) { std::fill(row, row + w, 255); });
}

void InvertMask(RasterView mask, RowProgress& progress) {
  ForEachRow(mask, progress, [](uint8_t* row, int w) {
    for (int x = 0; x < w; ++x) row[x] = uint8_t(255 - row[x]);
  });
}

void GrowMask(RasterView mask, RowProgress& progress) {
  Neighbourhood(mask, progress, MaxOf{});
}

void ShrinkMask(RasterView mask, RowProgress& progress) {
  Neighbourhood(mask, progress, MinOf{});
}

void SmoothMask(RasterView mask, RowProgress& progress) {
  const int w = mask.width, h = mask.height;
  if (w < 3 || h < 3) {
    for (int y = 0; y < h; ++y) progress.RowsDone(y + 1);
    progress.Finish();
    return;
  }
  // Only the left neighbour is already smoothed within the row; everything else a pixel reads
  // (the smoothed row below, the original row above, itself and its right neighbour) is summed
  // ahead for the whole row, leaving one add and shift per pixel in the serial chain.
  std::vector<uint16_t> ahead(w);
  progress.RowsDone(1);
  for (int y = 1; y < h - 1; ++y) {
    const uint8_t* b = mask.Row(y - 1);
    const uint8_t* a = mask.Row(y + 1);
    uint8_t* m = mask.Row(y);
    uint16_t* s = ahead.data();
    for (int x = 1; x < w - 1; ++x)
      s[x] = uint16_t(b[x - 1] + 2 * b[x] + b[x + 1] + a[x - 1] + 2 * a[x] + a[x + 1] + 4 * m[x] +
                      2 * m[x + 1]);
    unsigned left = m[0];
    for (int x = 1; x < w - 1; ++x) {
      left = (s[x] + 2 * left) >> 4;
      m[x] = uint8_t(left);
    }
    progress.RowsDone(y + 1);
  }
  progress.RowsDone(h);
  progress.Finish();
}

int KeyValue(int tolerance, int distanceSquared) {
  const double limit = tolerance * 765 * 0.01;
  const double distance = std::sqrt(double(distanceSquared));
  // d >= T first: with T = 0 (or less) every pixel is out of reach and nothing divides by T.
  if (distance >= limit) return 0;
  return int(255 * (limit - distance) / limit);
}

namespace {

template <class Blend>
void KeyRows(ConstRasterView image, RasterView mask, const KeyerSettings& key,
             const std::vector<uint8_t>& value, RowProgress& progress, Blend blend) {
  const int kb = key.blue, kg = key.green, kr = key.red;
  for (int y = 0; y < mask.height; ++y) {
    const uint8_t* p = image.Row(y);
    uint8_t* m = mask.Row(y);
    for (int x = 0; x < mask.width; ++x, p += 3) {
      const int db = kb - p[0], dg = kg - p[1], dr = kr - p[2];
      m[x] = blend(m[x], value[std::size_t(dr * dr + dg * dg + db * db)]);
    }
    progress.RowsDone(y + 1);
  }
  progress.Finish();
}

}  // namespace

void ApplyKeyer(ConstRasterView image, RasterView mask, const KeyerSettings& settings,
                RowProgress& progress) {
  // The key value depends on the squared distance alone, an integer of at most 3 x 255^2:
  // one square root per possible distance instead of one per pixel.
  constexpr int kMaxDistanceSquared = 3 * 255 * 255;
  std::vector<uint8_t> value(kMaxDistanceSquared + 1, 0);
  for (int d2 = 0; d2 <= kMaxDistanceSquared; ++d2) {
    const int k = KeyValue(settings.tolerance, d2);
    if (k == 0) break;  // the value never rises with the distance
    value[std::size_t(d2)] = uint8_t(k);
  }
  switch (settings.operation) {
    case KeyerOperation::Add:
      KeyRows(image, mask, settings, value, progress,
              [](unsigned m, unsigned k) { return uint8_t(m + (255 - m) * k / 255); });
      break;
    case KeyerOperation::Subtract:
      KeyRows(image, mask, settings, value, progress,
              [](unsigned m, unsigned k) { return uint8_t((255 - k) * m / 255); });
      break;
    case KeyerOperation::Replace:
      KeyRows(image, mask, settings, value, progress,
              [](unsigned, unsigned k) { return uint8_t(k); });
      break;
  }
}

}  // namespace quenda

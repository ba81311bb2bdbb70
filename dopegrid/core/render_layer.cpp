#include "dopegrid/core/render_layer.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "common/thread_pool.h"

namespace quenda {
namespace {

// Byte offset of a picture pixel's alpha; blue, green and red come before it.
constexpr int kA = 3;

// The sample s over the picture pixel d.
void Over(const uint8_t* s, uint8_t* d) {
  int as = s[kA], ad = d[kA];
  // The same results as the general case below, without its divisions.
  if (as == 255 || ad == 0) {
    std::copy_n(s, 3, d);
    d[kA] = uint8_t(as);
    return;
  }
  if (as == 0) return;
  for (int c = 0; c < 3; ++c)
    d[c] = ad == 0 ? s[c] : uint8_t((d[c] * (255 - as) + s[c] * as) / 255);
  d[kA] = uint8_t(255 - (255 - ad) * (255 - as) / 255);
}

std::vector<AxisSample> SampleAxis(int outputSize, float scale, float offset, int layerSize) {
  std::vector<AxisSample> axis(static_cast<std::size_t>(outputSize));
  for (int o = 0; o < outputSize; ++o) {
    float u = float(o) / scale - offset;
    if (!(u >= 0 && u < float(layerSize - 1))) continue;
    int whole = int(u);  // u >= 0: truncation and floor agree
    axis[std::size_t(o)] = {whole, u - float(whole)};
  }
  return axis;
}

// The reached columns form one run, as u grows with x: [first, last).
std::pair<int, int> ReachedColumns(const std::vector<AxisSample>& columns) {
  auto reached = [](const AxisSample& a) { return a.index >= 0; };
  auto first = std::find_if(columns.begin(), columns.end(), reached);
  auto last = std::find_if(first, columns.end(), [](const AxisSample& a) { return a.index < 0; });
  return {int(first - columns.begin()), int(last - columns.begin())};
}

// The sample of the layer at one output pixel: the nearest layer pixel, or the bilinear blend
// of four. `at(x, y)` gives a layer pixel's four bytes.
template <class PixelAt>
void Sample(const AxisSample& u, const AxisSample& v, RenderQuality quality, PixelAt&& at,
            uint8_t* sample) {
  const uint8_t* p00 = at(u.index, v.index);
  // With no fraction the weights are exactly 1 and 0, so the sample is the pixel itself:
  // half and quarter size of whole-pixel placements always land here.
  if (quality == RenderQuality::Fast || (u.fraction == 0 && v.fraction == 0)) {
    std::copy_n(p00, 4, sample);
    return;
  }
  uint8_t q00[4];
  std::copy_n(p00, 4, q00);
  const uint8_t* p10 = at(u.index + 1, v.index);
  uint8_t q10[4];
  std::copy_n(p10, 4, q10);
  const uint8_t* p01 = at(u.index, v.index + 1);
  uint8_t q01[4];
  std::copy_n(p01, 4, q01);
  const uint8_t* p11 = at(u.index + 1, v.index + 1);
  float fu = u.fraction, fv = v.fraction;
  for (int c = 0; c < 4; ++c)
    sample[c] = uint8_t(float(q00[c]) * (1 - fu) * (1 - fv) + float(q10[c]) * fu * (1 - fv) +
                        float(q01[c]) * (1 - fu) * fv + float(p11[c]) * fu * fv);
}

// Lays what `at` samples over the picture, for every output pixel the layer reaches.
template <class PixelAt>
void LayOver(int layerWidth, int layerHeight, DrawingCorner corner, const CommonFrame& frame,
             float scale, RenderQuality quality, PixelAt&& at, Raster& picture) {
  std::vector<AxisSample> columns =
      SampleAxis(picture.width(), scale, float(corner.left - frame.minX), layerWidth);
  std::vector<AxisSample> rows =
      SampleAxis(picture.height(), scale, float(corner.top - frame.minY), layerHeight);
  auto [x0, x1] = ReachedColumns(columns);
  for (int y = 0; y < picture.height(); ++y) {
    const AxisSample& v = rows[std::size_t(y)];
    if (v.index < 0) continue;
    uint8_t* out = picture.Row(y);
    if (quality == RenderQuality::Fast) {
      for (int x = x0; x < x1; ++x) Over(at(columns[std::size_t(x)].index, v.index), out + 4 * x);
      continue;
    }
    for (int x = x0; x < x1; ++x) {
      uint8_t sample[4];
      Sample(columns[std::size_t(x)], v, quality, at, sample);
      Over(sample, out + 4 * x);
    }
  }
}

// The pixels of a painted drawing's layer, each made on its own: blue, green, red, alpha.
PaintLayerPixels LayerPixels(const PaintedDrawing& painted) {
  return PaintLayerPixels(painted.regions, painted.drawing.picture.data(),
                          painted.drawing.picture.width(), painted.drawing.picture.height(),
                          painted.regionColor, painted.colors);
}

// One output row of `count` pixels sampled at the nearest layer pixels, the k-th at layer column
// column(k) of the row starting at rowStart.
template <class Column>
void LayNearestRow(const CommonLayerPixels& common, const PaintLayerPixels& pixels,
                   long long rowStart, std::size_t count, Column column, uint8_t* out) {
  for (std::size_t k = 0; k < count;) {
    if (k + 8 <= count && common.LayEight(rowStart, column, k, out + 4 * k)) {
      k += 8;
      continue;
    }
    // Eight (or what is left) one by one, then eight at a time again.
    for (const std::size_t stop = std::min(count, k + 8); k < stop; ++k) {
      uint8_t* d = out + 4 * k;
      const long long i = rowStart + column(k);
      if (common.LayOver(i, d)) continue;
      uint8_t sample[4];
      pixels.Make(i, sample);
      Over(sample, d);
    }
  }
}

}  // namespace

Raster BuildLayer(const PaintedDrawing& painted) {
  Raster layer;
  BuildLayerInto(painted, layer);
  return layer;
}

void BuildLayerInto(const PaintedDrawing& painted, Raster& layer) {
  const int width = painted.drawing.picture.width(), height = painted.drawing.picture.height();
  // Every byte is written below, so a layer of the right size is reused as it is.
  if (layer.width() != width || layer.height() != height || layer.channels() != 4)
    layer = Raster(width, height, 4);
  long long count = (long long)width * height;
  const PaintLayerPixels pixels = LayerPixels(painted);
  for (long long i = 0; i < count; ++i) pixels.Make(i, layer.data() + 4 * i);
}

void FilterLayer(const Raster& layer, DrawingCorner corner, const CommonFrame& frame, float scale,
                 RenderQuality quality, Raster& picture) {
  auto at = [&](int x, int y) { return layer.At(x, y); };
  LayOver(layer.width(), layer.height(), corner, frame, scale, quality, at, picture);
}

void LayDrawing(const PaintedDrawing& painted, const CommonFrame& frame, float scale,
                RenderQuality quality, Raster& picture) {
  const DrawingLayout layout(painted, frame, scale, quality, picture.width(), picture.height());
  // Each output row reads the layer and writes only itself, so bands of rows are laid at once
  // and give the bytes of one thread.
  ParallelBands(0, picture.height(), [&](int firstRow, int endRow) {
    RasterView band = picture.view();
    band.pixels = picture.Row(firstRow);
    band.height = endRow - firstRow;
    layout.LayRows(firstRow, endRow, band);
  });
}

DrawingLayout::DrawingLayout(const PaintedDrawing& painted, const CommonFrame& frame, float scale,
                             RenderQuality quality, int pictureWidth, int pictureHeight)
    : width_(painted.drawing.picture.width()),
      quality_(quality),
      pixels_(LayerPixels(painted)),
      common_(painted) {
  const int height = painted.drawing.picture.height();
  const DrawingCorner corner = CornerOf(painted.drawing);
  columns_ = SampleAxis(pictureWidth, scale, float(corner.left - frame.minX), width_);
  rows_ = SampleAxis(pictureHeight, scale, float(corner.top - frame.minY), height);
  std::tie(x0_, x1_) = ReachedColumns(columns_);
  // Where no column has a fraction, a row without one samples the nearest pixel at any
  // quality: renders at half and quarter size always do.
  wholeColumns_ = std::all_of(columns_.begin() + x0_, columns_.begin() + x1_,
                              [](const AxisSample& a) { return a.fraction == 0; });
  for (int x = x0_; x < x1_; ++x) columnIndex_.push_back(columns_[std::size_t(x)].index);
  const std::size_t count = columnIndex_.size();
  // Whole renders step through the layer evenly: by 1 at full size, 2 at half, 4 at quarter.
  first_ = count > 0 ? columnIndex_[0] : 0;
  step_ = count > 1 ? columnIndex_[1] - first_ : 1;
  for (std::size_t k = 0; k < count && even_; ++k)
    even_ = columnIndex_[k] == first_ + step_ * (long long)k;
}

void DrawingLayout::LayRows(int firstRow, int endRow, RasterView band) const {
  const std::size_t count = columnIndex_.size();
  for (int y = firstRow; y < endRow; ++y) {
    const AxisSample& v = rows_[std::size_t(y)];
    if (v.index < 0) continue;
    uint8_t* out = band.Row(y - firstRow) + 4 * std::ptrdiff_t(x0_);
    if (quality_ != RenderQuality::Fast && !(wholeColumns_ && v.fraction == 0)) {
      LayFilteredRow(v, out);
      continue;
    }
    const long long rowStart = (long long)v.index * width_;
    const long long step = step_;
    if (even_ && step == 1)
      LayNearestRow(common_, pixels_, rowStart + first_, count, UnitLayerStep{}, out);
    else if (even_)
      LayNearestRow(
          common_, pixels_, rowStart + first_, count,
          [step](std::size_t k) { return step * (long long)k; }, out);
    else
      LayNearestRow(
          common_, pixels_, rowStart, count, [this](std::size_t k) { return columnIndex_[k]; },
          out);
  }
}

void DrawingLayout::LayFilteredRow(const AxisSample& v, uint8_t* out) const {
  uint8_t scratch[4];
  // Each layer pixel is made where a sample needs it (a bilinear sample asks for four, and
  // keeps each before asking for the next).
  auto at = [&](int x, int y) {
    long long i = (long long)y * width_ + x;
    if (!common_.Copy(i, scratch)) pixels_.Make(i, scratch);
    return static_cast<const uint8_t*>(scratch);
  };
  for (int x = x0_; x < x1_; ++x, out += 4) {
    uint8_t sample[4];
    Sample(columns_[std::size_t(x)], v, quality_, at, sample);
    Over(sample, out);
  }
}

}  // namespace quenda

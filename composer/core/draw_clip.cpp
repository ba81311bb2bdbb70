#include "composer/core/draw_clip.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "common/thread_pool.h"
#include "composer/core/blurred_image.h"

namespace quenda {

namespace {

// Columns whose image points are worked out in one pass before any of them is drawn: the
// pass is a plain loop of arithmetic that the compiler turns into vector instructions.
constexpr int kSpan = 256;

void NarrowByLinear(double slope, double offset, double upper, double& lo, double& hi) {
  // Keep the columns c with 0 <= slope * c + offset < upper (with a margin).
  if (std::fabs(slope) < 1e-12) {
    if (!(offset >= -1e-6 && offset < upper + 1e-6)) hi = lo - 1;
    return;
  }
  double a = (0 - offset) / slope, b = (upper - offset) / slope;
  if (a > b) std::swap(a, b);
  lo = std::max(lo, a - 2);
  hi = std::min(hi, b + 2);
}

// The clip's effects made ready once for all its pixels.
struct PreparedEffects {
  std::vector<EffectParams> ripples, others;
  // Each Blur of the list gets its blurred image, made once for the whole clip.
  std::vector<std::unique_ptr<BlurredImage>> blurred;
  std::vector<const BlurredImage*> blurOf;  // per entry of `others`
  // What the sample is taken from. When the list starts with a Blur, the Blur's picture at the
  // nearest pixel is exactly what that Blur puts in place of the sample, so it is sampled
  // instead and the Blur is done; otherwise the clip image, bilinear when antialiased.
  const ClipImage* source = nullptr;
  bool antialias = false;
  // A Directional Blur at the head of the list replaces the sample, so none is taken.
  bool sampleNeeded = true;
  std::size_t firstEffect = 0;  // the entries of `others` still to run after sampling
  // The end of the entries that replace the pixel (blurs), 0 when there are none. After them
  // every effect keeps an alpha of 0 at 0, and blending alpha 0 changes nothing, so such a
  // pixel can be dropped there.
  std::size_t replacingEnd = 0;

  PreparedEffects(const ClipImage& image, const std::vector<EffectParams>& effects,
                  bool antialiased) {
    for (const EffectParams& e : effects) {
      if (e.kind == ClipKind::Underwater) {
        ripples.push_back(e);
        continue;
      }
      others.push_back(e);
      if (IsBlurKind(e.kind)) replacingEnd = others.size();
      const BlurredImage* made = nullptr;
      if (e.kind == ClipKind::Blur) {
        for (const auto& b : blurred)
          if (b->rx() == e.a && b->ry() == e.b) made = b.get();
        if (!made) {
          blurred.push_back(std::make_unique<BlurredImage>(image, e.a, e.b));
          made = blurred.back().get();
        }
      }
      blurOf.push_back(made);
    }
    source = &image;
    antialias = antialiased;
    if (!others.empty() && others.front().kind == ClipKind::Blur) {
      source = &blurOf.front()->image();
      antialias = false;
      firstEffect = 1;
    } else if (!others.empty() && others.front().kind == ClipKind::DirectionalBlur) {
      sampleNeeded = false;
    }
  }
};

// The mapping of one buffer row: column col lands on image point
// sx = u / scaleX + iw/2, sy = v / scaleY + ih/2 with (u, v) the offset from the clip centre,
// turned by the rotation. Each column is computed on its own, never by stepping from its
// neighbour, so every point is exactly the one the mapping defines.
struct RowMapping {
  double x, dy;     // placement x; this row's vertical offset from the centre
  double c, s;      // cosine and sine of the rotation
  double sxw, syw;  // scales
  double halfW, halfH;
  int step;
  bool rotated, divideX, divideY;  // dividing by a scale of exactly 1 changes nothing

  void Map(int first, int n, double* sx, double* sy) const {
    if (rotated)
      MapRotated(first, n, sx, sy);
    else if (divideX)
      MapStraight<true>(first, n, sx, sy);
    else
      MapStraight<false>(first, n, sx, sy);
  }

  template <bool DivideX>
  void MapStraight(int first, int n, double* sx, double* sy) const {
    const double row = (divideY ? dy / syw : dy) + halfH;
    for (int k = 0; k < n; ++k) {
      const double dx = double((first + k) * step) - x;
      sx[k] = (DivideX ? dx / sxw : dx) + halfW;
      sy[k] = row;
    }
  }

  void MapRotated(int first, int n, double* sx, double* sy) const {
    const double sdy = s * dy, cdy = c * dy;
    if (divideX && divideY) {
      for (int k = 0; k < n; ++k) {
        const double dx = double((first + k) * step) - x;
        sx[k] = (c * dx - sdy) / sxw + halfW;
        sy[k] = (cdy + s * dx) / syw + halfH;
      }
    } else {
      for (int k = 0; k < n; ++k) {
        const double dx = double((first + k) * step) - x;
        const double u = c * dx - sdy, v = cdy + s * dx;
        sx[k] = (divideX ? u / sxw : u) + halfW;
        sy[k] = (divideY ? v / syw : v) + halfH;
      }
    }
  }
};

// The pixels of one span still to be drawn: their columns within the span, the image pixels
// their points (after any ripple) fall in, and their colour so far. Each stage below runs over all
// of them, so an effect is chosen once per span rather than once per pixel.
struct SpanPixels {
  int count = 0;
  std::array<int, kSpan> column;
  std::array<int, kSpan> tx, ty;  // the image pixel the point falls in
  std::array<Rgba, kSpan> pixel;
};

// Keeps the columns whose image point lies inside 0 <= sx < iw - 1, 0 <= sy < ih - 1, moves
// them by the ripples and samples `image` there (unless a blur is about to replace the sample).
template <bool Antialias, bool Alpha>
void Gather(const ClipImage& image, const PreparedEffects& effects, int frame, const double* sxs,
            const double* sys, int n, SpanPixels& out) {
  const int iw = image.width(), ih = image.height();
  const double right = iw - 1, top = ih - 1;
  const std::size_t pixelBytes = Alpha ? 4 : 3;
  const std::size_t rowBytes = std::size_t(image.stride());
  const uint8_t* const pixels = image.data();
  // An alpha that samples to 0 stays 0 unless a blur replaces the pixel, and blending alpha 0
  // changes nothing: such a pixel is dropped before its colour is worked out.
  const bool dropClear = Alpha && effects.replacingEnd <= effects.firstEffect;
  int m = 0;
  for (int k = 0; k < n; ++k) {
    double sx = sxs[k], sy = sys[k];
    if (!(sx >= 0 && sx < right && sy >= 0 && sy < top)) continue;
    for (const EffectParams& ripple : effects.ripples) Ripple(sx, sy, ripple, frame, iw, ih);
    if (effects.sampleNeeded) {
      const int x0 = int(sx), y0 = int(sy);
      const uint8_t* p00 = pixels + std::size_t(y0) * rowBytes + std::size_t(x0) * pixelBytes;
      if constexpr (Alpha) {
        if (dropClear) {
          const bool clear = Antialias
                                 ? (p00[3] | p00[7] | p00[rowBytes + 3] | p00[rowBytes + 7]) == 0
                                 : p00[3] == 0;
          if (clear) continue;
        }
      }
      if constexpr (Antialias)
        out.pixel[std::size_t(m)] = clip_sample::Bilinear<Alpha>(p00, rowBytes, sx - x0, sy - y0);
      else
        out.pixel[std::size_t(m)] = {p00[0], p00[1], p00[2], Alpha ? p00[3] : 255};
    }
    out.column[std::size_t(m)] = k;
    out.tx[std::size_t(m)] = int(sx);
    out.ty[std::size_t(m)] = int(sy);
    ++m;
  }
  out.count = m;
}

void ApplyEffect(const PreparedEffects& effects, std::size_t i, const ClipImage& image,
                 SpanPixels& p) {
  const EffectParams& e = effects.others[i];
  const std::size_t n = std::size_t(p.count);
  switch (e.kind) {
    case ClipKind::Blur: {
      const BlurredImage& blurred = *effects.blurOf[i];
      for (std::size_t m = 0; m < n; ++m) p.pixel[m] = blurred.At(p.tx[m], p.ty[m]);
      break;
    }
    case ClipKind::DirectionalBlur:
      for (std::size_t m = 0; m < n; ++m)
        p.pixel[m] = DirectionalBlur(image, p.tx[m], p.ty[m], e.a, e.b);
      break;
    case ClipKind::Transparency:
      for (std::size_t m = 0; m < n; ++m) p.pixel[m] = Transparency(p.pixel[m], e.a);
      break;
    case ClipKind::BrightnessContrast:
      for (std::size_t m = 0; m < n; ++m) p.pixel[m] = BrightnessContrast(p.pixel[m], e.a, e.b);
      break;
    case ClipKind::HueSaturation:
      for (std::size_t m = 0; m < n; ++m) p.pixel[m] = HueSaturation(p.pixel[m], e.a, e.b);
      break;
    default:
      break;
  }
}

// Drops the pixels whose alpha is 0: every effect after the last blur keeps it 0.
void DropClear(SpanPixels& p) {
  int kept = 0;
  for (int m = 0; m < p.count; ++m) {
    const std::size_t from = std::size_t(m), to = std::size_t(kept);
    if (p.pixel[from].a == 0) continue;
    p.column[to] = p.column[from];
    p.tx[to] = p.tx[from];
    p.ty[to] = p.ty[from];
    p.pixel[to] = p.pixel[from];
    ++kept;
  }
  p.count = kept;
}

// Draws columns start..start+n-1 of one row, whose image points are in sxs and sys; the
// first of them is buffer pixel `index`. `p` is room for the span's pixels.
template <bool Antialias, bool Alpha>
void DrawSpan(const ClipImage& image, const PreparedEffects& effects, int frame, const double* sxs,
              const double* sys, int n, std::size_t index, SpanPixels& p, FrameBuffer& buffer,
              ClipLayer* layer) {
  Gather<Antialias, Alpha>(*effects.source, effects, frame, sxs, sys, n, p);
  const std::size_t count = effects.others.size();
  std::size_t i = effects.firstEffect;
  for (; i < effects.replacingEnd; ++i) ApplyEffect(effects, i, image, p);
  if (i > effects.firstEffect && i < count) DropClear(p);
  for (; i < count; ++i) ApplyEffect(effects, i, image, p);
  if (layer != nullptr) {
    for (int m = 0; m < p.count; ++m) {
      const Rgba& pixel = p.pixel[std::size_t(m)];
      uint8_t* to = layer->bgra.data() + (index + std::size_t(p.column[std::size_t(m)])) * 4;
      to[0] = uint8_t(pixel.b), to[1] = uint8_t(pixel.g), to[2] = uint8_t(pixel.r);
      to[3] = uint8_t(pixel.a);
    }
    return;
  }
  for (int m = 0; m < p.count; ++m)
    BlendPixel(buffer, index + std::size_t(p.column[std::size_t(m)]), p.pixel[std::size_t(m)]);
}

using DrawSpanFunction = void (*)(const ClipImage&, const PreparedEffects&, int, const double*,
                                  const double*, int, std::size_t, SpanPixels&, FrameBuffer&,
                                  ClipLayer*);

DrawSpanFunction SpanDrawer(bool antialias, bool alpha) {
  if (antialias) return alpha ? &DrawSpan<true, true> : &DrawSpan<true, false>;
  return alpha ? &DrawSpan<false, true> : &DrawSpan<false, false>;
}

void DrawRows(const ClipImage& image, const ClipPlacement& placement,
              const std::vector<EffectParams>& effects, const DrawSettings& settings,
              const DrawArea& area, FrameBuffer& buffer, ClipLayer* layer);

}  // namespace

void DrawClip(const ClipImage& image, const ClipPlacement& placement,
              const std::vector<EffectParams>& effects, const DrawSettings& settings,
              FrameBuffer& buffer) {
  DrawClipIn(image, placement, effects, settings, DrawArea{}, buffer);
}

void DrawClipIn(const ClipImage& image, const ClipPlacement& placement,
                const std::vector<EffectParams>& effects, const DrawSettings& settings,
                const DrawArea& area, FrameBuffer& buffer) {
  DrawRows(image, placement, effects, settings, area, buffer, nullptr);
}

void DrawClipLayer(const ClipImage& image, const ClipPlacement& placement,
                   const std::vector<EffectParams>& effects, const DrawSettings& settings,
                   ClipLayer& layer) {
  FrameBuffer size;  // only its size is read
  size.width = layer.width;
  size.height = layer.height;
  layer.bgra.assign(std::size_t(layer.width) * std::size_t(layer.height) * 4, 0);
  DrawRows(image, placement, effects, settings, DrawArea{}, size, &layer);
}

void BlendLayer(const ClipLayer& layer, const DrawArea& area, FrameBuffer& buffer) {
  const int top = std::min({area.top, buffer.height - 1, layer.height - 1});
  const int right = std::min({area.right, buffer.width - 1, layer.width - 1});
  ParallelBands(std::max(0, area.bottom), top + 1, [&](int firstRow, int endRow) {
    for (int row = firstRow; row < endRow; ++row) {
      for (int col = std::max(0, area.left); col <= right; ++col) {
        const uint8_t* p = layer.bgra.data() +
                           (std::size_t(row) * std::size_t(layer.width) + std::size_t(col)) * 4;
        if (p[3] == 0) continue;
        BlendPixel(buffer, std::size_t(row) * std::size_t(buffer.width) + std::size_t(col),
                   Rgba{p[0], p[1], p[2], p[3]});
      }
    }
  });
}

namespace {

void DrawRows(const ClipImage& image, const ClipPlacement& placement,
              const std::vector<EffectParams>& effects, const DrawSettings& settings,
              const DrawArea& area, FrameBuffer& buffer, ClipLayer* layer) {
  const int iw = image.width(), ih = image.height();
  if (iw < 2 || ih < 2) return;
  const PreparedEffects prepared(image, effects, settings.antialias);
  const DrawSpanFunction drawSpan = SpanDrawer(prepared.antialias, HasAlpha(*prepared.source));

  const double sxw = placement.scaleX, syw = placement.scaleY;
  const double rotation = placement.rotation;
  const bool rotated = rotation != 0;
  const double c = std::cos(rotation), s = std::sin(rotation);
  const double halfW = iw >> 1, halfH = ih >> 1;
  const int step = 1 << settings.quality;
  const RowMapping rowMapping{placement.x, 0,     c,    s,       sxw,        syw,
                              halfW,       halfH, step, rotated, sxw != 1.0, syw != 1.0};

  const int lastRow = std::min(buffer.height - 1, area.top);
  const double leftmost = std::max(0, area.left);
  const double rightmost = std::min(buffer.width - 1, area.right);
  // Every row writes only its own buffer (or layer) row, so bands of rows are drawn at once,
  // each with room of its own, and give the bytes one thread gives.
  auto drawBand = [&](int firstRow, int endRow) {
    RowMapping mapping = rowMapping;
    auto pixels = std::make_unique<SpanPixels>();
    std::array<double, kSpan> sxs, sys;
    for (int row = firstRow; row < endRow; ++row) {
      const double dy = double(row * step) - placement.y;
      mapping.dy = dy;
      // sx = (su * col + so) and sy = (tu * col + to) for this row, near enough to bound the
      // columns that can land inside the image; each of them is then tested exactly.
      double su, so, tu, to;
      if (rotated) {
        su = c * step / sxw;
        so = (c * -placement.x - s * dy) / sxw + halfW;
        tu = s * step / syw;
        to = (c * dy + s * -placement.x) / syw + halfH;
      } else {
        su = step / sxw;
        so = -placement.x / sxw + halfW;
        tu = 0;
        to = dy / syw + halfH;
      }
      double lo = leftmost, hi = rightmost;
      NarrowByLinear(su, so, iw - 1, lo, hi);
      NarrowByLinear(tu, to, ih - 1, lo, hi);
      if (!(lo <= hi)) continue;
      const int first = int(std::max(leftmost, std::floor(lo)));
      const int last = int(std::min(rightmost, std::ceil(hi)));
      const std::size_t rowStart = std::size_t(row) * std::size_t(buffer.width);
      for (int start = first; start <= last; start += kSpan) {
        const int n = std::min(kSpan, last - start + 1);
        mapping.Map(start, n, sxs.data(), sys.data());
        drawSpan(image, prepared, settings.frame, sxs.data(), sys.data(), n,
                 rowStart + std::size_t(start), *pixels, buffer, layer);
      }
    }
  };
  ParallelBands(std::max(0, area.bottom), lastRow + 1, drawBand);
}

}  // namespace

}  // namespace quenda

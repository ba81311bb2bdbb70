#include "composer/core/draw_clip.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "composer/core/blurred_image.h"

namespace quenda {

namespace {

// The columns of one row that may map inside the image: a superset of the exact set, which
// the caller narrows with the exact test. sx and sy are linear in the column.
struct ColumnRange {
  int first, last;
};

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

}  // namespace

void DrawClip(const ClipImage& image, const ClipPlacement& placement,
              const std::vector<EffectParams>& effects, const DrawSettings& settings,
              FrameBuffer& buffer) {
  const int iw = image.width, ih = image.height;
  if (iw < 2 || ih < 2) return;
  std::vector<EffectParams> ripples, others;
  // Each Blur of the list gets its blurred image, made once for the whole clip.
  std::vector<std::unique_ptr<BlurredImage>> blurred;
  std::vector<const BlurredImage*> blurOf;  // per entry of `others`
  for (const EffectParams& e : effects) {
    if (e.kind == ClipKind::Underwater) {
      ripples.push_back(e);
      continue;
    }
    others.push_back(e);
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
  // A blur at the head of the list replaces the sample, so there is no need to take it.
  const bool sampleReplaced = !others.empty() && IsBlurKind(others.front().kind);

  const double sxw = placement.scaleX, syw = placement.scaleY;
  const bool unitX = sxw == 1.0, unitY = syw == 1.0;
  const double rotation = placement.rotation;
  const bool rotated = rotation != 0;
  const double c = std::cos(rotation), s = std::sin(rotation);
  const double halfW = iw >> 1, halfH = ih >> 1;
  const int step = 1 << settings.quality;

  for (int row = 0; row < buffer.height; ++row) {
    const double dy = double(row * step) - placement.y;
    // sx = (su * col + so) and sy = (tu * col + to) for this row.
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
    double lo = 0, hi = buffer.width - 1;
    NarrowByLinear(su, so, iw - 1, lo, hi);
    NarrowByLinear(tu, to, ih - 1, lo, hi);
    if (!(lo <= hi)) continue;
    const int first = int(std::max(0.0, std::floor(lo)));
    const int last = int(std::min(double(buffer.width - 1), std::ceil(hi)));
    std::size_t index = std::size_t(row) * std::size_t(buffer.width) + std::size_t(first);
    for (int col = first; col <= last; ++col, ++index) {
      const double dx = double(col * step) - placement.x;
      double u = dx, v = dy;
      if (rotated) {
        u = c * dx - s * dy;
        v = c * dy + s * dx;
      }
      // Dividing by exactly 1 changes nothing, and a division is the dearest step here.
      double sx = (unitX ? u : u / sxw) + halfW;
      double sy = (unitY ? v : v / syw) + halfH;
      if (!(sx >= 0 && sx < iw - 1 && sy >= 0 && sy < ih - 1)) continue;
      for (const EffectParams& ripple : ripples) Ripple(sx, sy, ripple, settings.frame, iw, ih);
      Rgba pixel;
      if (!sampleReplaced) pixel = SampleImage(image, sx, sy, settings.antialias);
      for (std::size_t i = 0; i < others.size(); ++i) {
        const EffectParams& e = others[i];
        switch (e.kind) {
          case ClipKind::Blur:
            pixel = blurOf[i]->At(int(sx), int(sy));
            break;
          case ClipKind::DirectionalBlur:
            pixel = DirectionalBlur(image, int(sx), int(sy), e.a, e.b);
            break;
          case ClipKind::Transparency:
            pixel = Transparency(pixel, e.a);
            break;
          case ClipKind::BrightnessContrast:
            pixel = BrightnessContrast(pixel, e.a, e.b);
            break;
          case ClipKind::HueSaturation:
            pixel = HueSaturation(pixel, e.a, e.b);
            break;
          default:
            break;
        }
      }
      BlendPixel(buffer, index, pixel);
    }
  }
}

}  // namespace quenda

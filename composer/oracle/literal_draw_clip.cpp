#include "composer/oracle/literal_draw_clip.h"

#include <algorithm>
#include <cmath>

namespace quenda::oracle {

Rgba LiteralBlur(const ClipImage& image, int tx, int ty, int rx, int ry) {
  long long sb = 0, sg = 0, sr = 0, k = 0, sa = 0;
  for (int y = ty - ry; y <= ty + ry; ++y) {
    for (int x = tx - rx; x <= tx + rx; ++x) {
      const uint8_t* p =
          image.At(std::clamp(x, 0, image.width() - 1), std::clamp(y, 0, image.height() - 1));
      if (HasAlpha(image)) {
        sa += p[3];
        if (p[3] == 0) continue;
        ++k;
      }
      sb += p[0];
      sg += p[1];
      sr += p[2];
    }
  }
  long long n = (2LL * rx + 1) * (2LL * ry + 1);
  Rgba out;
  if (HasAlpha(image)) {
    out.b = k > 0 ? int(sb / k) : 0;
    out.g = k > 0 ? int(sg / k) : 0;
    out.r = k > 0 ? int(sr / k) : 0;
    out.a = int(sa / n);
  } else {
    out.b = int(sb / n);
    out.g = int(sg / n);
    out.r = int(sr / n);
    out.a = 255;
  }
  return out;
}

Rgba LiteralSample(const ClipImage& image, double sx, double sy, bool antialias) {
  auto pixel = [&](int x, int y, int channel) -> int {
    if (channel == 3 && !HasAlpha(image)) return 255;
    return image.At(x, y)[channel];
  };
  int value[4];
  for (int channel = 0; channel < 4; ++channel) {
    if (!antialias) {
      value[channel] = pixel(int(std::trunc(sx)), int(std::trunc(sy)), channel);
      continue;
    }
    int x0 = int(std::floor(sx)), y0 = int(std::floor(sy));
    double fx = sx - x0, fy = sy - y0;
    int p00 = pixel(x0, y0, channel), p10 = pixel(x0 + 1, y0, channel);
    int p01 = pixel(x0, y0 + 1, channel), p11 = pixel(x0 + 1, y0 + 1, channel);
    int a = p10 - p00, b = p01 - p00, c = p11 - p10 - p01 + p00;
    value[channel] = int((c * fx + b) * fy + a * fx + p00);
  }
  return {value[0], value[1], value[2], value[3]};
}

void LiteralDrawClip(const ClipImage& image, const ClipPlacement& placement,
                     const std::vector<EffectParams>& effects, const DrawSettings& settings,
                     FrameBuffer& buffer) {
  const int iw = image.width(), ih = image.height();
  for (int row = 0; row < buffer.height; ++row) {
    for (int col = 0; col < buffer.width; ++col) {
      double px = col * std::pow(2.0, settings.quality);
      double py = row * std::pow(2.0, settings.quality);
      double dx = px - placement.x, dy = py - placement.y;
      double u = dx, v = dy;
      if (placement.rotation != 0) {
        u = std::cos(placement.rotation) * dx - std::sin(placement.rotation) * dy;
        v = std::cos(placement.rotation) * dy + std::sin(placement.rotation) * dx;
      }
      double sx = u / placement.scaleX + (iw >> 1);
      double sy = v / placement.scaleY + (ih >> 1);
      if (!(0 <= sx && sx < iw - 1 && 0 <= sy && sy < ih - 1)) continue;
      for (const EffectParams& e : effects)
        if (e.kind == ClipKind::Underwater) Ripple(sx, sy, e, settings.frame, iw, ih);
      Rgba pixel = LiteralSample(image, sx, sy, settings.antialias);
      for (const EffectParams& e : effects) {
        int tx = int(sx), ty = int(sy);
        switch (e.kind) {
          case ClipKind::Blur:
            pixel = LiteralBlur(image, tx, ty, e.a, e.b);
            break;
          case ClipKind::DirectionalBlur:
            pixel = DirectionalBlur(image, tx, ty, e.a, e.b);
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
      BlendPixel(buffer, std::size_t(row) * std::size_t(buffer.width) + std::size_t(col), pixel);
    }
  }
}

}  // namespace quenda::oracle

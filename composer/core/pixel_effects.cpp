#include "composer/core/pixel_effects.h"

#include <algorithm>
#include <cmath>

namespace quenda {

namespace {

struct TrigTables {
  std::array<int, 360> sine{};
  std::array<int, 360> cosine{};
  TrigTables() {
    for (int d = 0; d < 360; ++d) {
      sine[std::size_t(d)] = int(std::trunc(std::sin(d * 0.017453292519944444) * 10000));
      cosine[std::size_t(d)] = int(std::trunc(std::cos(d * 0.017453292519944444) * 10000));
    }
  }
};

const TrigTables& Tables() {
  static const TrigTables tables;
  return tables;
}

int ToInt(double v, int lo, int hi) {
  if (!(v == v)) return lo;  // NaN from a damaged file
  return int(std::clamp(std::trunc(v), double(lo), double(hi)));
}

int ContrastChannel(int ch, int k) {
  int bright = ch;
  int t = ch <= 127 ? ch : 255 - ch;
  double e;
  if (k >= 0) {
    e = k == 127 ? 127.0 : 127.0 / (127 - k);
  } else {
    if (t == 0) t = 1;
    e = (k + 127) * 0.007874015748031496;
  }
  int v = int(std::trunc(std::pow(t * 0.007874015748031496, e) * 127.0));
  v = std::clamp(v, 0, 255);
  return bright <= 127 ? v : 255 - v;
}

int BrightnessChannel(int ch, int a) {
  if (a >= 0) return ch + ((255 - ch) * a) / 255;
  return ((a + 255) * ch) / 255;
}

float HlsChannel(float m1, float m2, int x) {
  if (x > 255)
    x -= 255;
  else if (x < 0)
    x += 255;
  if (x < 42.5f) return m1 + (m2 - m1) * float(x) * 0.023529412f;
  if (x < 127.5f) return m2;
  if (x < 170) return m1 + (m2 - m1) * float(170 - x) * 0.023529412f;
  return m1;
}

}  // namespace

const std::array<int, 360>& SinTable() {
  return Tables().sine;
}
const std::array<int, 360>& CosTable() {
  return Tables().cosine;
}

EffectParams LimitEffectParams(ClipKind kind, double a, double b) {
  EffectParams p{kind, 0, 0};
  switch (kind) {
    case ClipKind::Blur:
      p.a = ToInt(a, 0, kMaxBlurRadius);
      p.b = ToInt(b, 0, kMaxBlurRadius);
      break;
    case ClipKind::Transparency:
      p.a = ToInt(a, 0, 100);
      break;
    case ClipKind::BrightnessContrast:
    case ClipKind::HueSaturation:
      p.a = ToInt(a, -127, 127);
      p.b = ToInt(b, -127, 127);
      break;
    case ClipKind::DirectionalBlur:
      p.a = ToInt(a, 0, kMaxBlurRadius);
      p.b = ToInt(b, 0, 359);
      break;
    case ClipKind::Underwater:
      p.a = ToInt(a, 0, 100);
      p.b = ToInt(b, 0, 50);
      break;
    default:
      break;
  }
  return p;
}

void Ripple(double& sx, double& sy, const EffectParams& effect, int frame, int iw, int ih) {
  const TrigTables& t = Tables();
  long long phase = static_cast<long long>(frame) * effect.a;
  long long p = static_cast<long long>(std::trunc(double(phase) + sx));
  if (p < 0) p = 0;
  long long q = static_cast<long long>(std::trunc(double(phase) + sy));
  if (q < 0) q = 0;
  sx = sx + double(t.sine[std::size_t(p % 360)] * effect.b) * 0.0001;
  sy = sy + double(t.cosine[std::size_t(q % 360)] * effect.b) * 0.0001;
  if (sx < 0) sx = 0;
  if (sy < 0) sy = 0;
  if (sx >= iw - 1) sx = iw - 2;
  if (sy >= ih - 1) sy = ih - 2;
}

Rgba Transparency(Rgba pixel, int a) {
  pixel.a = ((100 - (a & 0xFF)) * pixel.a) / 100;
  return pixel;
}

Rgba BrightnessContrast(Rgba pixel, int brightness, int contrast) {
  for (int* ch : {&pixel.b, &pixel.g, &pixel.r})
    *ch = ContrastChannel(BrightnessChannel(*ch, brightness), contrast);
  return pixel;
}

Rgba HueSaturation(Rgba pixel, int hue, int saturation) {
  float c1 = float(pixel.b), c2 = float(pixel.g), c3 = float(pixel.r);
  float mx = std::max({c1, c2, c3});
  float mn = std::min({c1, c2, c3});
  float l = (mx + mn) * 0.5f;
  float s = 0, h = 0;
  if (mx != mn) {
    float d = mx - mn;
    s = l >= 128 ? d * 255 / (511 - mx - mn) : d * 255 / (mx + mn);
    if (c1 == mx)
      h = (c2 - c3) / d;
    else if (c2 == mx)
      h = (c3 - c1) / d + 2;
    else
      h = (c1 - c2) / d + 4;
    h = h * 42.5f;
    if (h < 0) h += 255;
    if (h > 255) h -= 255;
  }
  int hb = int(h), lb = int(l), sb = int(s);
  hb = ((hb + hue) % 256 + 256) % 256;
  sb = std::clamp(sb + saturation, 0, 255);
  if (sb == 0) {
    pixel.b = pixel.g = pixel.r = lb;
    return pixel;
  }
  float fl = float(lb), fs = float(sb);
  float m2 =
      lb >= 128 ? (fs + fl - fs * fl * 0.003921569f) * 0.003921569f : (fs + 255) * fl * 1.53787e-5f;
  float m1 = fl * 0.007843138f - m2;
  auto channel = [](float value) { return std::clamp(int(value * 255), 0, 255); };
  pixel.b = channel(HlsChannel(m1, m2, hb + 85));
  pixel.g = channel(HlsChannel(m1, m2, hb));
  pixel.r = channel(HlsChannel(m1, m2, hb - 85));
  return pixel;
}

Rgba DirectionalBlur(const ClipImage& image, int tx, int ty, int length, int angle) {
  const TrigTables& t = Tables();
  int cosine = t.cosine[std::size_t(angle)], sine = t.sine[std::size_t(angle)];
  unsigned long long sb = 0, sg = 0, sr = 0, k = 0, sa = 0;
  for (int step = -length; step <= length; ++step) {
    int x = std::clamp(tx + (step * cosine) / 10000, 0, image.width() - 1);
    int y = std::clamp(ty + (step * sine) / 10000, 0, image.height() - 1);
    const uint8_t* p = image.At(x, y);
    if (HasAlpha(image)) {
      sa += p[3];
      if (p[3] == 0) continue;
      ++k;
    }
    sb += p[0];
    sg += p[1];
    sr += p[2];
  }
  return BlurAverage(HasAlpha(image), sb, sg, sr, k, sa, 2ull * unsigned(length) + 1);
}

}  // namespace quenda

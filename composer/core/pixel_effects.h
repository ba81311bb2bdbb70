#pragma once
// The arithmetic of the six effects on one sampled pixel, exactly as the composer defines it:
// integer divisions truncate, Hue & Saturation works in single precision, and the ripple and
// directional blur use whole-number tables of sine and cosine.

#include <array>

#include "composer/core/clip_image.h"
#include "composer/core/clip_record.h"

namespace quenda {

struct Rgba {
  int b = 0, g = 0, r = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

// One effect as the engine hands it to a clip: its kind and its two whole-number parameters,
// already limited to the ranges of the effect's sliders.
struct EffectParams {
  ClipKind kind = ClipKind::Blur;
  int a = 0;
  int b = 0;
};

inline constexpr int kMaxBlurRadius = 15;

// trunc(sin(d degrees) * 10000) and the same of cos, for d = 0..359.
const std::array<int, 360>& SinTable();
const std::array<int, 360>& CosTable();

// Keeps a parameter pair within the effect's slider ranges (Directional Blur's angle within
// 0..359), so values from a damaged file cannot divide by zero or index outside the tables.
EffectParams LimitEffectParams(ClipKind kind, double a, double b);

// Underwater: moves the sample point of movie frame `frame` before it is sampled.
void Ripple(double& sx, double& sy, const EffectParams& effect, int frame, int iw, int ih);

Rgba Transparency(Rgba pixel, int a);
Rgba BrightnessContrast(Rgba pixel, int brightness, int contrast);
Rgba HueSaturation(Rgba pixel, int hue, int saturation);

// Directional Blur around (tx, ty) of the source image: 2L + 1 points along the angle.
Rgba DirectionalBlur(const ClipImage& image, int tx, int ty, int length, int angle);

// The averages Blur and Directional Blur share, from sums over N visited pixels: on a 32-bit
// image colour over the k pixels with alpha and alpha over all N; on a 24-bit one over N.
inline Rgba BlurAverage(bool hasAlpha, unsigned long long sumB, unsigned long long sumG,
                        unsigned long long sumR, unsigned long long withAlpha,
                        unsigned long long alphaSum, unsigned long long visited) {
  Rgba out;
  if (hasAlpha) {
    if (withAlpha > 0) {
      out.b = int(sumB / withAlpha);
      out.g = int(sumG / withAlpha);
      out.r = int(sumR / withAlpha);
    } else {
      out.b = out.g = out.r = 0;
    }
    out.a = int(alphaSum / visited);
  } else {
    out.b = int(sumB / visited);
    out.g = int(sumG / visited);
    out.r = int(sumR / visited);
    out.a = 255;
  }
  return out;
}

}  // namespace quenda

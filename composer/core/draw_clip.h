#pragma once
// Drawing one image clip into a frame buffer: every buffer pixel is mapped back into the clip
// image, sampled, passed through the clip's effects and blended by its alpha.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "composer/core/clip_image.h"
#include "composer/core/pixel_effects.h"

namespace quenda {

// A composited picture: 3 bytes (B, G, R) per pixel, bottom row first, rows not padded, and
// when asked for, one matte byte per pixel (the alpha laid down on it).
struct FrameBuffer {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;
  std::vector<uint8_t> matte;  // empty unless kept

  bool hasMatte() const { return !matte.empty(); }
};

// Where the clip stands, after its parents and the pixel aspect: the image centre at (x, y)
// in movie pixels, its scales, and its rotation in radians.
struct ClipPlacement {
  double x = 0;
  double y = 0;
  double scaleX = 1;
  double scaleY = 1;
  double rotation = 0;
};

struct DrawSettings {
  int frame = 0;    // movie frame, for the ripple
  int quality = 0;  // 0 Full, 1 Half, 2 Quarter: buffer pixel (c, r) is movie point (c, r) * 2^q
  bool antialias = false;
};

// Buffer pixels whose image point falls outside 0 <= sx < iw - 1, 0 <= sy < ih - 1 are left
// alone. `effects` run in the order given (blur-type effects are expected first). Blur reads
// an image blurred once with running sums; the result is exactly the average over the
// clamped window.
void DrawClip(const ClipImage& image, const ClipPlacement& placement,
              const std::vector<EffectParams>& effects, const DrawSettings& settings,
              FrameBuffer& buffer);

// The sample of (sx, sy): bilinear when `antialias`, else the pixel at (trunc(sx), trunc(sy));
// 24-bit images have alpha 255. The point must lie inside 0..iw-1 by 0..ih-1 with a
// neighbour to the right and above when bilinear.
inline Rgba SampleImage(const ClipImage& image, double sx, double sy, bool antialias) {
  Rgba out;
  if (!antialias) {
    const uint8_t* p = image.At(int(sx), int(sy));
    out.b = p[0];
    out.g = p[1];
    out.r = p[2];
    out.a = image.hasAlpha ? p[3] : 255;
    return out;
  }
  // The point is never negative, so truncation is the floor (and needs no library call).
  const int x0 = int(sx), y0 = int(sy);
  const double fx = sx - x0, fy = sy - y0;
  const std::size_t row = std::size_t(image.width) * std::size_t(image.bytesPerPixel());
  const uint8_t* p00 = image.At(x0, y0);
  const uint8_t* p10 = p00 + image.bytesPerPixel();
  const uint8_t* p01 = p00 + row;
  const uint8_t* p11 = p10 + row;
  // Per channel (c * fx + b) * fy + a * fx + p00 with a = p10 - p00, b = p01 - p00 and
  // c = p11 - p10 - p01 + p00, in doubles, truncated.
  auto channel = [&](int i) {
    int a = p10[i] - p00[i];
    int b = p01[i] - p00[i];
    int c = p11[i] - p10[i] - p01[i] + p00[i];
    return int((c * fx + b) * fy + a * fx + p00[i]);
  };
  out.b = channel(0);
  out.g = channel(1);
  out.r = channel(2);
  out.a = image.hasAlpha ? channel(3) : 255;
  return out;
}

// dst = ((255 - a) * dst + a * src) / 255 per channel; the matte grows by a up to 255.
inline void BlendPixel(FrameBuffer& buffer, std::size_t index, const Rgba& pixel) {
  uint8_t* dst = buffer.bgr.data() + index * 3;
  const int alpha = pixel.a;
  if (alpha == 255) {  // the formula gives the source exactly
    dst[0] = uint8_t(pixel.b);
    dst[1] = uint8_t(pixel.g);
    dst[2] = uint8_t(pixel.r);
  } else if (alpha != 0) {  // alpha 0 gives the destination exactly
    dst[0] = uint8_t(((255 - alpha) * dst[0] + alpha * pixel.b) / 255);
    dst[1] = uint8_t(((255 - alpha) * dst[1] + alpha * pixel.g) / 255);
    dst[2] = uint8_t(((255 - alpha) * dst[2] + alpha * pixel.r) / 255);
  }
  if (buffer.hasMatte()) buffer.matte[index] = uint8_t(std::min(255, buffer.matte[index] + alpha));
}

}  // namespace quenda

#pragma once
// Drawing one image clip into a frame buffer: every buffer pixel is mapped back into the clip
// image, sampled, passed through the clip's effects and blended by its alpha.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "composer/core/clip_image.h"
#include "composer/core/clip_sample.h"
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

// Buffer columns left..right and rows bottom..top, both ends included.
struct DrawArea {
  int left = 0;
  int bottom = 0;
  int right = INT_MAX;
  int top = INT_MAX;
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
// A clip's pixels as drawn but not yet blended, one B, G, R, A per buffer pixel; alpha 0 where
// the clip leaves the buffer alone.
struct ClipLayer {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
};

// The same for the buffer pixels of `area` only; each is drawn exactly as by a whole draw, so a
// view can redraw the part of a frame that changed.
void DrawClipIn(const ClipImage& image, const ClipPlacement& placement,
                const std::vector<EffectParams>& effects, const DrawSettings& settings,
                const DrawArea& area, FrameBuffer& buffer);
// The pixels DrawClip would blend, kept in `layer` (whose size is set) instead; blending them
// later with BlendLayer gives exactly what DrawClip gives.
void DrawClipLayer(const ClipImage& image, const ClipPlacement& placement,
                   const std::vector<EffectParams>& effects, const DrawSettings& settings,
                   ClipLayer& layer);
void BlendLayer(const ClipLayer& layer, const DrawArea& area, FrameBuffer& buffer);

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

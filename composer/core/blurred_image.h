#pragma once
// A clip image blurred once, so that Blur costs a lookup per drawn pixel whatever its size.
//
// The Blur of a pixel averages the (2A+1)(2B+1) positions around it, each coordinate clamped
// into the image (border pixels count once for every position clamped onto them). Those sums
// separate into a running sum along each row and then one down each column, so building the
// whole blurred image costs a few additions per pixel for any A and B. On a 32-bit image
// colour is summed only over pixels whose alpha is not 0 and divided by their number; alpha is
// summed over all positions and divided by (2A+1)(2B+1). Every sum fits in 32 bits.

#include <array>
#include <cstdint>
#include <vector>

#include "composer/core/clip_image.h"
#include "composer/core/pixel_effects.h"

namespace quenda {

class BlurredImage {
 public:
  // rx and ry are 0..kMaxBlurRadius.
  BlurredImage(const ClipImage& image, int rx, int ry);

  int rx() const { return rx_; }
  int ry() const { return ry_; }
  // The Blur of pixel (tx, ty).
  Rgba At(int tx, int ty) const {
    const uint8_t* p =
        pixels_.data() + (std::size_t(ty) * std::size_t(width_) + std::size_t(tx)) * 4;
    return {p[0], p[1], p[2], p[3]};
  }

 private:
  int width_;
  int rx_;
  int ry_;
  std::vector<uint8_t> pixels_;  // B, G, R, A per pixel
};

}  // namespace quenda

#pragma once
// A clip image blurred once, so that Blur costs a lookup per drawn pixel whatever its size.
//
// The Blur of a pixel averages the (2A+1)(2B+1) positions around it, each coordinate clamped
// into the image (border pixels count once for every position clamped onto them). Those sums
// separate into a running sum down each column and then one along each row, so building the
// whole blurred image costs a few additions per pixel for any A and B. On a 32-bit image
// colour is summed only over pixels whose alpha is not 0 and divided by their number; alpha is
// summed over all positions and divided by (2A+1)(2B+1). Every sum fits in 32 bits.

#include <array>
#include <cstdint>
#include <vector>

#include "composer/core/clip_image.h"
#include "composer/core/pixel_effects.h"

namespace quenda {

// How the sums are divided and stepped: four channels at once in vector registers where the
// processor has them, or one channel at a time. Both give the same bytes.
enum class BlurArithmetic { Vector, Scalar };

class BlurredImage {
 public:
  // rx and ry are 0..kMaxBlurRadius.
  BlurredImage(const ClipImage& image, int rx, int ry,
               BlurArithmetic arithmetic = BlurArithmetic::Vector);

  int rx() const { return rx_; }
  int ry() const { return ry_; }
  // The Blur of pixel (tx, ty).
  Rgba At(int tx, int ty) const {
    const uint8_t* p = image_.At(tx, ty);
    return {p[0], p[1], p[2], p[3]};
  }
  // The blurred picture: the clip image's size, 32 bits per pixel (alpha 255 from a 24-bit
  // image).
  const ClipImage& image() const { return image_; }

 private:
  int rx_;
  int ry_;
  ClipImage image_;
};

}  // namespace quenda

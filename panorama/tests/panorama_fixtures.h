#pragma once
// Generated masks and backgrounds for the background maker's tests.

#include <cstdint>

#include "common/raster.h"

namespace quenda::testing {

// Deterministic bytes, so a failure repeats.
class Bytes {
 public:
  explicit Bytes(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint8_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return uint8_t(state_ >> 24);
  }

 private:
  uint32_t state_;
};

enum class MaskPattern { Random, Border, Blobs, Single, Empty, Opaque };

inline Raster MakeMask(int width, int height, MaskPattern pattern, uint32_t seed = 1) {
  Raster mask(width, height, 1);
  Bytes bytes(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      // Border: values on the edge only; Blobs: mostly 0 and 255, some soft pixels.
      *mask.At(x, y) =
          uint8_t(pattern == MaskPattern::Random   ? bytes.Next()
                  : pattern == MaskPattern::Border ? (edge ? bytes.Next() : 0)
                  : pattern == MaskPattern::Blobs
                      ? (bytes.Next() < 100 ? 255 : (bytes.Next() < 30 ? bytes.Next() : 0))
                  : pattern == MaskPattern::Single ? (x == width / 2 && y == height / 2) * 255
                  : pattern == MaskPattern::Opaque ? 255
                                                   : 0);
    }
  return mask;
}

inline Raster MakeImage(int width, int height, uint32_t seed = 7) {
  Raster image(width, height, 3);
  Bytes bytes(seed);
  for (auto& b : image.bytes()) b = bytes.Next();
  return image;
}

}  // namespace quenda::testing

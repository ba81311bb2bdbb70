#pragma once
// Generated masks and backgrounds for the background maker's tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/raster.h"
#include "common/targa.h"
#include "testing/test_support.h"

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

// A 32-bit background file in `dir` of a generated image and mask, and its path.
inline std::string WriteBackground(const TempDir& dir, const std::string& name, const Raster& image,
                                   const Raster& mask) {
  Raster file(image.width(), image.height(), 4);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      std::copy(image.At(x, y), image.At(x, y) + 3, file.At(x, y));
      file.At(x, y)[3] = *mask.At(x, y);
    }
  const std::string path = dir.File(name);
  EXPECT_TRUE(WriteTarga(path, file, WriteMessages("failed")).ok());
  return path;
}

}  // namespace quenda::testing

#pragma once
// Pictures in memory: an owning Raster and non-owning views over it. Rows are bottom row first
// and colour bytes blue, green, red (alpha), as in every file of the suite.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/large_pages.h"

namespace quenda {

template <class Byte>
struct BasicRasterView {
  Byte* pixels = nullptr;
  int width = 0;
  int height = 0;
  int channels = 1;
  std::ptrdiff_t stride = 0;  // bytes from one row to the next

  Byte* Row(int y) const { return pixels + std::ptrdiff_t(y) * stride; }
  Byte* At(int x, int y) const { return Row(y) + std::ptrdiff_t(x) * channels; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

using RasterView = BasicRasterView<uint8_t>;
using ConstRasterView = BasicRasterView<const uint8_t>;

// Rows packed without padding unless a stride is asked for.
class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, int channels, uint8_t fill = 0)
      : Raster(width, height, channels, std::ptrdiff_t(width) * channels, fill) {}
  Raster(int width, int height, int channels, std::ptrdiff_t stride, uint8_t fill)
      : width_(width), height_(height), channels_(channels), stride_(stride) {
    assert(width >= 0 && height >= 0 && channels > 0 && stride >= std::ptrdiff_t(width) * channels);
    const std::size_t size = std::size_t(stride) * std::size_t(height);
    ReserveLarge(bytes_, size);
    bytes_.assign(size, fill);
  }

  // Adopts rows already packed in place: `packed` holds width * channels * height bytes.
  Raster(int width, int height, int channels, std::vector<uint8_t> packed)
      : width_(width),
        height_(height),
        channels_(channels),
        stride_(std::ptrdiff_t(width) * channels),
        bytes_(std::move(packed)) {
    assert(width >= 0 && height >= 0 && channels > 0 &&
           bytes_.size() == std::size_t(stride_) * std::size_t(height));
  }

  int width() const { return width_; }
  int height() const { return height_; }
  int channels() const { return channels_; }
  std::ptrdiff_t stride() const { return stride_; }
  bool empty() const { return bytes_.empty(); }

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }
  std::vector<uint8_t>& bytes() { return bytes_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  uint8_t* Row(int y) { return data() + std::ptrdiff_t(y) * stride_; }
  const uint8_t* Row(int y) const { return data() + std::ptrdiff_t(y) * stride_; }
  uint8_t* At(int x, int y) { return Row(y) + std::ptrdiff_t(x) * channels_; }
  const uint8_t* At(int x, int y) const { return Row(y) + std::ptrdiff_t(x) * channels_; }

  RasterView view() { return {data(), width_, height_, channels_, stride_}; }
  ConstRasterView view() const { return {data(), width_, height_, channels_, stride_}; }
  operator ConstRasterView() const { return view(); }  // NOLINT: views convert freely

  bool operator==(const Raster&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  int channels_ = 1;
  std::ptrdiff_t stride_ = 0;
  std::vector<uint8_t> bytes_;
};

// Row length in pixels of a 24-bit display copy: always 1..4 spare pixels past the width.
inline int DisplayRowPixels(int width) {
  return width - (width % 4) + 4;
}

}  // namespace quenda

#pragma once
// The picture a native transfer hands over: a device-independent bitmap of 8 bits per pixel
// (grey, through its colour table) or 24 (blue, green, red), rows bottom first, each row padded
// to a multiple of 4 bytes. The scanner and the background maker take it over from here.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/raster.h"

namespace quenda::twain {

struct PaletteEntry {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
};

struct DeviceBitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 8;               // 8 or 24
  std::vector<PaletteEntry> palette;  // 256 grey entries for 8 bits, empty for 24
  std::vector<uint8_t> bits;          // height rows of RowBytes(), bottom row first

  int RowBytes() const { return (width * (bitsPerPixel / 8) + 3) / 4 * 4; }
  bool empty() const { return bits.empty(); }

  // The pixels with row 0 at the TOP, as TurnForPeg reads a scanned sheet: a view starting at
  // the last stored row and stepping backwards. Padding stays outside the view.
  ConstRasterView TopDownView() const {
    const int channels = bitsPerPixel / 8;
    if (height == 0) return {bits.data(), width, 0, channels, 0};
    const std::ptrdiff_t stride = RowBytes();
    return {bits.data() + stride * (height - 1), width, height, channels, -stride};
  }
};

inline std::vector<PaletteEntry> GreyPalette() {
  std::vector<PaletteEntry> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  return palette;
}

}  // namespace quenda::twain

// Decodes a paint file for a region count and colour count taken from the first bytes. Every
// region gets an index the colour set holds, and a write and second read change nothing.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/paint_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  int regionCount = (data[0] | (data[1] << 8)) % 4096;
  int colorCount = 1 + data[2] % 250;
  std::span<const uint8_t> bytes(data + 3, size - 3);
  quenda::PaintFile paint = quenda::DecodePaintFile(bytes, regionCount, colorCount);
  if (paint.regionColor.size() != std::size_t(regionCount) + 2) __builtin_trap();
  for (std::size_t r = 1; r < paint.regionColor.size(); ++r) {
    int32_t color = paint.regionColor[r];
    if (color < 0 || (color >= colorCount && color != 1)) __builtin_trap();
  }
  std::vector<uint8_t> again = quenda::EncodePaintFile(paint.regionColor, paint.paintedCount);
  quenda::PaintFile reread = quenda::DecodePaintFile(again, regionCount, colorCount);
  if (reread.regionColor != paint.regionColor) __builtin_trap();
  return 0;
}

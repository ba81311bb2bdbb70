#include "common/paint_file.h"

#include <algorithm>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/color_set.h"
#include "common/file_io.h"
#include "common/region_data.h"

namespace quenda {

std::vector<int32_t> DefaultPaint(int regionCount) {
  std::vector<int32_t> colors(std::size_t(std::max(regionCount, 0)) + 2, kUnfilledColor);
  colors[0] = kTransparentColor;
  colors[kBackgroundRegion] = kTransparentColor;
  return colors;
}

PaintFile DecodePaintFile(std::span<const uint8_t> bytes, int regionCount, int colorCount) {
  PaintFile paint;
  paint.regionColor.assign(std::size_t(std::max(regionCount, 0)) + 2, kTransparentColor);
  if (bytes.size() >= kPaintFileHeaderSize) paint.paintedCount = GetU16LE(bytes.data());
  for (std::size_t r = 1; r < paint.regionColor.size(); ++r) {
    std::size_t at = kPaintFileHeaderSize + 2 * (r - 1);
    // A region past the end of the file stays transparent.
    if (at + 2 > bytes.size()) break;
    int32_t color = GetU16LE(&bytes[at]);
    paint.regionColor[r] = color < colorCount ? color : kUnfilledColor;
  }
  return paint;
}

Result<PaintFile> ReadPaintFile(const std::string& path, int regionCount, int colorCount) {
  // Only what the regions need is read, however long the file is.
  std::uint64_t wanted = kPaintFileHeaderSize + 2 * (std::uint64_t(std::max(regionCount, 0)) + 1);
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path, 0, wanted);
  if (!bytes) return Error{std::string(kPaintFileReadError) + path};
  return DecodePaintFile(*bytes, regionCount, colorCount);
}

std::vector<uint8_t> EncodePaintFile(std::span<const int32_t> regionColor, int paintedCount) {
  std::vector<uint8_t> out;
  out.reserve(kPaintFileHeaderSize + 2 * regionColor.size());
  AppendU16LE(out, uint16_t(paintedCount));
  for (std::size_t r = 1; r < regionColor.size(); ++r) AppendU16LE(out, uint16_t(regionColor[r]));
  return out;
}

Status WritePaintFile(const std::string& path, std::span<const int32_t> regionColor,
                      int paintedCount) {
  return WriteFileAtomically(path, EncodePaintFile(regionColor, paintedCount),
                             WriteMessages(std::string(kPaintFileWriteError)));
}

}  // namespace quenda

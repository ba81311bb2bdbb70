#include "common/paint_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

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

std::uint64_t PaintFileSize(int regionCount) {
  return kPaintFileHeaderSize + 2 * (std::uint64_t(std::max(regionCount, 0)) + 1);
}

PaintFile DecodePaintFile(std::span<const uint8_t> bytes, int regionCount, int colorCount) {
  PaintFile paint;
  if (bytes.size() >= kPaintFileHeaderSize) paint.paintedCount = GetU16LE(bytes.data());
  if (bytes.size() != PaintFileSize(regionCount)) {
    paint.stale = true;
    paint.regionColor = DefaultPaint(regionCount);
    return paint;
  }
  paint.regionColor.assign(std::size_t(std::max(regionCount, 0)) + 2, kTransparentColor);
  for (std::size_t r = 1; r < paint.regionColor.size(); ++r) {
    int32_t color = GetU16LE(&bytes[kPaintFileHeaderSize + 2 * (r - 1)]);
    paint.regionColor[r] = colorCount <= 0 || color < colorCount ? color : kUnfilledColor;
  }
  return paint;
}

std::string StalePaintWarning(const std::string& paintPath, const std::string& regionPath) {
  return "The paint file " + paintPath + " does not fit its region file " + regionPath +
         " (it was made for other regions): the frame shows unpainted, and the old paint is "
         "kept as " +
         paintPath + ".stale once new paint is saved.";
}

Result<std::string> MoveStalePaintAside(const std::string& paintPath) {
  for (int n = 1; n < 1000; ++n) {
    const std::string aside = paintPath + ".stale" + (n > 1 ? std::to_string(n) : "");
    // A hard link refuses an existing name, so an older stale file is never replaced.
    if (::link(paintPath.c_str(), aside.c_str()) == 0) {
      if (::unlink(paintPath.c_str()) == 0) return aside;
      ::unlink(aside.c_str());
      break;
    }
    if (errno == EEXIST) continue;
    // Folders without hard links: rename, having looked that the name is free.
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(aside, error))) continue;
    std::filesystem::rename(paintPath, aside, error);
    if (!error) return aside;
    break;
  }
  return Error{"The stale paint file " + paintPath + " could not be moved aside."};
}

Result<PaintFile> ReadPaintFile(const std::string& path, int regionCount, int colorCount) {
  // One byte more than the regions need tells a longer file; more is never read.
  std::optional<std::vector<uint8_t>> bytes =
      ReadFileBytes(path, 0, PaintFileSize(regionCount) + 1);
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

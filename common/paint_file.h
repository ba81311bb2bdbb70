#pragma once
// Paint files (".pnt"): the colour index of every region of one drawing. The file holds a
// 16-bit painted count, then one 16-bit index per region 1 .. N + 1, little-endian, where N is
// the regionCount of the frame's region file; N itself is not stored, so a reader needs the
// region file first.
//
// In memory `regionColor` has N + 2 elements; element 0 belongs to no region, is never stored,
// and is transparent so that pixels without a region show through.
//
// Reading never fails once the file opens: an index at or beyond the colour set's count reads
// as unfilled, a region whose two bytes are not both in the file reads as transparent, and
// bytes beyond the regions are ignored. A file written for another region count therefore
// loads without a message.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace quenda {

inline constexpr std::size_t kPaintFileHeaderSize = 2;

inline constexpr std::string_view kPaintFileReadError =
    "Fatal: Error opening paint file for reading: ";
inline constexpr std::string_view kPaintFileWriteError =
    "Fatal: Error opening paint file writing: maybe readonly?";

struct PaintFile {
  // The analyzer's running count of painted regions, as stored; the painter ignores it.
  int paintedCount = 0;
  std::vector<int32_t> regionColor;  // regionCount + 2 elements
};

// A fresh frame: region 1 transparent, every other region unfilled.
std::vector<int32_t> DefaultPaint(int regionCount);

// `colorCount` is the colour set's count of stored entries.
PaintFile DecodePaintFile(std::span<const uint8_t> bytes, int regionCount, int colorCount);
// Fails with kPaintFileReadError and the path when the file does not open.
Result<PaintFile> ReadPaintFile(const std::string& path, int regionCount, int colorCount);

// Writes elements 1 .. size - 1 of `regionColor` as their low 16 bits. The painter stores a
// painted count of 0. A file that cannot be written keeps its old contents and answers
// kPaintFileWriteError; the paints stay with the caller.
std::vector<uint8_t> EncodePaintFile(std::span<const int32_t> regionColor, int paintedCount = 0);
Status WritePaintFile(const std::string& path, std::span<const int32_t> regionColor,
                      int paintedCount = 0);

}  // namespace quenda

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
// as unfilled. A file whose length is not that of the region count was written for other
// regions (the region file was made again since): its colours would land on the wrong regions,
// so it reads as stale, with the default paint, and the programs say so and set it aside
// before new paint replaces it.

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
  // The painted count as stored; nobody trusts it (the painter writes 0 there), the regions
  // themselves tell what is painted.
  int paintedCount = 0;
  std::vector<int32_t> regionColor;  // regionCount + 2 elements
  bool stale = false;                // made for other regions; regionColor is the default paint
};

// The length of the paint file of a frame with `regionCount` regions besides region 1.
std::uint64_t PaintFileSize(int regionCount);

// "The paint file /a/walk1.pnt does not fit its region file /a/walk1.rgn (it was made for other
// regions): the frame shows unpainted, and the old paint is kept as /a/walk1.pnt.stale once new
// paint is saved."
std::string StalePaintWarning(const std::string& paintPath, const std::string& regionPath);

// Moves a stale paint file out of the way: walk1.pnt becomes walk1.pnt.stale, or
// walk1.pnt.stale2, .stale3 … when older ones are there, never replacing one. Answers the new
// path, or the message naming the file when it cannot be moved.
Result<std::string> MoveStalePaintAside(const std::string& paintPath);

// A fresh frame: region 1 transparent, every other region unfilled.
std::vector<int32_t> DefaultPaint(int regionCount);

// `colorCount` is the colour set's count of stored entries.
PaintFile DecodePaintFile(std::span<const uint8_t> bytes, int regionCount, int colorCount);
// Fails with kPaintFileReadError and the path when the file does not open; `colorCount` 0 keeps
// every stored index.
Result<PaintFile> ReadPaintFile(const std::string& path, int regionCount, int colorCount);

// Writes elements 1 .. size - 1 of `regionColor` as their low 16 bits. The painter stores a
// painted count of 0. A file that cannot be written keeps its old contents and answers
// kPaintFileWriteError; the paints stay with the caller.
std::vector<uint8_t> EncodePaintFile(std::span<const int32_t> regionColor, int paintedCount = 0);
Status WritePaintFile(const std::string& path, std::span<const int32_t> regionColor,
                      int paintedCount = 0);

}  // namespace quenda

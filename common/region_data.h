#pragma once
// The region data of one drawing as the programs hold it and as region files store it: a flag
// byte, a region number and an animator-line colour index per pixel, a bounding box per region,
// and the line settings that produced it. Pixels are in linear order, i = y * width + x, with
// row 0 the bottom row.
//
// Regions are numbered 1 .. regionCount + 1; region 1 is the background that holds the
// bottom-left pixel. `regionCount` counts the regions besides region 1, as the file does.
// Number 0 belongs to no region: a damaged file may leave pixels there, and they show as
// transparent.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "common/redline_settings.h"

namespace quenda {

// Bits of the per-pixel flag byte.
inline constexpr uint8_t kFlagRegionLine = 0x01;    // line pixel: separates regions
inline constexpr uint8_t kFlagTemporary = 0x02;     // marked while thinning or growing lines
inline constexpr uint8_t kFlagAnimatorLine = 0x04;  // ink of the pencil drawing
inline constexpr uint8_t kFlagVisited = 0x08;       // scratch mark of region splitting
inline constexpr uint8_t kFlagRegionPen = 0x10;     // drawn with the region pen
inline constexpr uint8_t kFlagRubbedOut = 0x20;     // ink rubbed out: the region colour shows

// True when one of the eight flag bytes from `flags` marks a line pixel: scans pass the long
// stretches off the lines eight pixels at a time.
inline bool HasLineAmongEight(const uint8_t* flags) {
  uint64_t eight;
  std::memcpy(&eight, flags, sizeof eight);
  return (eight & (0x0101010101010101ull * kFlagRegionLine)) != 0;
}

// Region numbers and the count are 16-bit in the file, so at most this many regions fit.
inline constexpr int kMaxRegions = 65535;
// Width and height are 16-bit in the file.
inline constexpr int kMaxRegionPictureSide = 65535;
inline constexpr int kBackgroundRegion = 1;

// Inclusive bounds of one region, rows counted from the bottom. A region without pixels has
// the empty box of EmptyRegionBox: min above max on both axes, so loops over it run zero times.
struct RegionBox {
  int minX = 0;
  int maxY = -1;
  int maxX = -1;
  int minY = 0;

  bool IsEmpty() const { return minX > maxX || minY > maxY; }
  bool operator==(const RegionBox&) const = default;
};

inline RegionBox EmptyRegionBox(int width, int height) {
  return {width, -1, -1, height};
}

struct RegionData {
  int width = 0;
  int height = 0;
  RedlineSettings settings;             // written back unchanged by programs that do not redo lines
  int regionCount = 0;                  // regions besides region 1
  std::vector<uint8_t> flags;           // width * height
  std::vector<uint16_t> regionMap;      // width * height, numbers 1 .. regionCount + 1
  std::vector<uint16_t> animColor;      // width * height, colour set indices
  std::vector<RegionBox> regionBounds;  // regionCount + 2 entries; entry 0 is unused

  // When set, animColor is empty and every pixel has this colour: fresh regions that are only
  // written to a file, unpainted, need no map of one value. Only writers take such data.
  std::optional<uint16_t> uniformAnimColor;

  std::size_t PixelCount() const { return std::size_t(width) * std::size_t(height); }
  int RegionTotal() const { return regionCount + 1; }
  // Every container has the size that width, height and regionCount ask for.
  bool IsConsistent() const;

  bool operator==(const RegionData&) const = default;
};

// A drawing with no lines: one region covering the picture, no flags, unpainted animator lines.
RegionData MakeBlankRegionData(int width, int height, const RedlineSettings& settings = {});

// Rebuilds every box from the region map (numbers beyond the table are skipped). Boxes of
// regions without pixels become EmptyRegionBox.
void ComputeRegionBounds(RegionData& data);

}  // namespace quenda

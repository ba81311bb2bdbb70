#pragma once
// The analyzer's working data for one drawing: the grey scan, a 24-bit display copy when asked
// for, and the region data (whose flag map line generation writes and region extraction reads).
// Pictures are bottom row first, pixel i = y * width + x.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/raster.h"
#include "common/region_data.h"

namespace quenda {

struct Bgr {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  bool operator==(const Bgr&) const = default;
};

// The "LINE" colour until a colour set is loaded.
inline constexpr Bgr kDefaultLineColour{255, 0, 255};

// The pixels x0 <= x < x1, y0 <= y < y1.
struct PixelRect {
  int x0 = 0;
  int x1 = 0;
  int y0 = 0;
  int y1 = 0;
  bool operator==(const PixelRect&) const = default;
};

struct WorkingImage {
  std::vector<uint8_t> grey;  // width * height; stretched in place by region extraction
  Raster display;  // 3 channels, rows of DisplayRowPixels(width) pixels; empty with Display::None
  // width, height and the flag map always; region map, line colours, boxes, regionCount and
  // the settings once regions are extracted (until then those maps are empty).
  RegionData regions;
  std::vector<int32_t> regionColor;      // regionCount + 2 entries, colour set indices
  std::vector<int32_t> regionColorUndo;  // the same size
  int filledCount = 0;
  // The pixels that the last gap closing made line pixels, shown in their own colour. Only for
  // the eye: a region file stores them as plain region lines.
  std::vector<std::ptrdiff_t> joinPixels;

  int width() const { return regions.width; }
  int height() const { return regions.height; }
  std::size_t PixelCount() const { return regions.PixelCount(); }
  bool empty() const { return regions.width <= 0 || regions.height <= 0; }
  bool HasRegions() const { return !regions.regionMap.empty(); }
};

// Whether a working image has a display picture. The window composes what it shows from the
// other buffers and a batch run only writes region files, so both go without: three bytes a
// pixel. The whole picture remains for checking what the window shows against.
enum class Display { Shown, None };

// Buffers for a drawing whose `grey` holds width * height pixels: flags cleared, display
// black (or none), no regions. A grey vector of another size is cut or padded with white.
WorkingImage MakeWorkingImage(int width, int height, std::vector<uint8_t> grey,
                              Display display = Display::Shown);

inline PixelRect WholePicture(const WorkingImage& image) {
  return {0, image.width(), 0, image.height()};
}

// The rectangle cut to the picture; an inverted one becomes empty.
PixelRect ClipToPicture(const WorkingImage& image, PixelRect rect);

// The grey drawing inside `rect` (cut to the picture) into `display`, a 3-channel picture at
// least as large, as three equal channels.
void ShowGreyIn(const WorkingImage& image, PixelRect rect, RasterView display);

}  // namespace quenda

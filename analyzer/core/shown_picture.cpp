#include "analyzer/core/shown_picture.h"

#include "analyzer/core/paint_composite.h"
#include "common/region_view.h"

namespace quenda {
namespace {

// The grey picture alone is enough for the drawing as scanned.
bool FitsGrey(const WorkingImage& image, const SampleGrid& grid, const RasterView& out) {
  return grid.Inside(image.width(), image.height()) && out.channels == 3 &&
         out.width >= grid.columns && out.height >= grid.rows &&
         image.grey.size() == image.PixelCount();
}

bool Fits(const WorkingImage& image, const SampleGrid& grid, const RasterView& out) {
  return FitsGrey(image, grid, out) && image.regions.flags.size() == image.PixelCount();
}

}  // namespace

void SampleGrey(const WorkingImage& image, const SampleGrid& grid, RasterView out) {
  if (!FitsGrey(image, grid, out)) return;
  const std::size_t w = std::size_t(image.width());
  for (int j = 0; j < grid.rows; ++j) {
    const uint8_t* grey = image.grey.data() + std::size_t(grid.Y(j)) * w + std::size_t(grid.x0);
    uint8_t* to = out.Row(j);
    for (int i = 0; i < grid.columns; ++i, grey += grid.step, to += 3)
      to[0] = to[1] = to[2] = *grey;
  }
}

void SampleJoinPixels(const WorkingImage& image, const SampleGrid& grid, RasterView out,
                      Bgr colour) {
  if (image.joinPixels.empty() || !Fits(image, grid, out)) return;
  const int w = image.width();
  const int xEnd = grid.X(grid.columns - 1), yEnd = grid.Y(grid.rows - 1);
  // Joins are few next to the samples: each is placed on the grid, if it lies on it.
  for (std::ptrdiff_t pixel : image.joinPixels) {
    const int x = int(pixel % w), y = int(pixel / w);
    if (x < grid.x0 || x > xEnd || y < grid.y0 || y > yEnd) continue;
    if ((x - grid.x0) % grid.step != 0 || (y - grid.y0) % grid.step != 0) continue;
    if ((image.regions.flags[std::size_t(pixel)] & kFlagRegionLine) == 0) continue;
    uint8_t* d = out.At((x - grid.x0) / grid.step, (y - grid.y0) / grid.step);
    d[0] = colour.blue, d[1] = colour.green, d[2] = colour.red;
  }
}

void SampleRegionLines(const WorkingImage& image, Bgr line, const SampleGrid& grid,
                       RasterView out) {
  if (!Fits(image, grid, out)) return;
  const std::size_t w = std::size_t(image.width());
  for (int j = 0; j < grid.rows; ++j) {
    const std::size_t start = std::size_t(grid.Y(j)) * w + std::size_t(grid.x0);
    const uint8_t* grey = image.grey.data() + start;
    const uint8_t* flags = image.regions.flags.data() + start;
    uint8_t* to = out.Row(j);
    for (int i = 0; i < grid.columns; ++i, grey += grid.step, flags += grid.step, to += 3) {
      if (*flags & kFlagRegionLine)
        to[0] = line.blue, to[1] = line.green, to[2] = line.red;
      else
        to[0] = to[1] = to[2] = *grey;
    }
  }
  SampleJoinPixels(image, grid, out);
}

void SamplePaintView(const WorkingImage& image, const ColorSet& colors, ViewMode mode,
                     const SampleGrid& grid, RasterView out) {
  if (!Fits(image, grid, out)) return;
  if (mode == ViewMode::Composited) {
    SamplePaintedLayer(image, colors, grid, out);
    return;
  }
  SampleRegionView(image.regions, image.regionColor, colors, mode, grid, out);
  if (mode == ViewMode::RegionLine || mode == ViewMode::RegionsPainted)
    SampleJoinPixels(image, grid, out);
}

}  // namespace quenda

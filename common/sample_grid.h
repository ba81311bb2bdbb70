#pragma once
// Picture pixels taken at a regular spacing, as a view shows a picture at a zoom level: every
// pixel of the visible area at 1:1 and above, every step-th pixel when reduced. Composing only
// those pixels spares a view a whole display copy of a large drawing. Rows count from the
// bottom, as the suite keeps pictures.

#include "common/image_rect.h"
#include "common/raster.h"

namespace quenda {

// Sample (i, j) is picture pixel (x0 + i * step, y0 + j * step), 0 <= i < columns,
// 0 <= j < rows.
struct SampleGrid {
  int x0 = 0;
  int y0 = 0;
  int columns = 0;
  int rows = 0;
  int step = 1;

  int X(int i) const { return x0 + i * step; }
  int Y(int j) const { return y0 + j * step; }
  bool IsEmpty() const { return columns <= 0 || rows <= 0 || step <= 0; }
  // Whether every sample lies inside a picture of width x height.
  bool Inside(int width, int height) const {
    return !IsEmpty() && x0 >= 0 && y0 >= 0 && X(columns - 1) < width && Y(rows - 1) < height;
  }
  bool operator==(const SampleGrid&) const = default;
};

// Every pixel of `area`.
inline SampleGrid EveryPixel(const ImageRect& area) {
  return {area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0, 1};
}

// The part of `picture` (3 channels or more) from (x, y) on, for composing a grid's samples
// straight into it.
inline RasterView PictureFrom(RasterView picture, int x, int y) {
  return {picture.At(x, y), picture.width - x, picture.height - y, picture.channels,
          picture.stride};
}

// Copies the samples of `picture` (3 channels or more; the first three are taken) into `out`
// (3 channels, at least columns x rows). A grid that reaches outside the picture copies
// nothing.
void SamplePicture(ConstRasterView picture, const SampleGrid& grid, RasterView out);

}  // namespace quenda

#include "common/sample_grid.h"

#include <cstring>

namespace quenda {

void SamplePicture(ConstRasterView picture, const SampleGrid& grid, RasterView out) {
  if (!grid.Inside(picture.width, picture.height) || picture.channels < 3 || out.channels != 3 ||
      out.width < grid.columns || out.height < grid.rows)
    return;
  for (int j = 0; j < grid.rows; ++j) {
    const uint8_t* from = picture.At(grid.x0, grid.Y(j));
    uint8_t* to = out.Row(j);
    if (grid.step == 1 && picture.channels == 3) {
      std::memcpy(to, from, std::size_t(grid.columns) * 3);
      continue;
    }
    const std::ptrdiff_t next = std::ptrdiff_t(grid.step) * picture.channels;
    for (int i = 0; i < grid.columns; ++i, from += next, to += 3) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
}

}  // namespace quenda

#pragma once
// The samples a view keeps of what it shows: one sample grid's pixels, composed once, so a
// repaint only copies them and an edit composes only the samples in its changed box. Moving to
// another grid of the same spacing that overlaps keeps what both show and composes the rest.
// Memory is that of the grid, never of the whole picture.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/image_rect.h"
#include "common/raster.h"
#include "common/sample_grid.h"

namespace quenda {

// Composes the pixels of `grid` into `out` (3 channels, at least columns x rows).
using SampleSource = std::function<void(const SampleGrid& grid, RasterView out)>;

class KeptSamples {
 public:
  // Makes `grid` the kept one. Samples the old grid shares with it (same step, same spacing from
  // the origin) are moved over; `source` composes only the others.
  void Cover(const SampleGrid& grid, const SampleSource& source);
  // Composes again the kept samples that lie in `area` (picture pixels, y from the bottom).
  void Refresh(const ImageRect& area, const SampleSource& source);
  // Forgets every sample: the next Cover composes its whole grid.
  void Clear();

  const SampleGrid& grid() const { return grid_; }
  bool empty() const { return grid_.IsEmpty(); }
  // Sample (i, j) at pixel (i, j), row 0 the grid's lowest, as the suite keeps pictures, in 4
  // channels: blue, green, red and 255, the bytes of a 32-bit screen pixel, which a window
  // draws by copying.
  ConstRasterView samples() const;
  // The same rows top first, each `topDownStride()` bytes, as screen images keep them.
  const uint8_t* topDown() const { return bytes_.data(); }
  std::ptrdiff_t topDownStride() const { return stride_; }

 private:
  RasterView Rows();

  SampleGrid grid_;
  std::ptrdiff_t stride_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace quenda

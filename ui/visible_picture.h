#pragma once
// A picture that a view asks for piece by piece: only the pixels shown at the current zoom and
// scroll position, which the view keeps, so a large drawing needs no display copy of its whole
// size.

#include <QRect>
#include <QSize>

#include "common/raster.h"
#include "common/sample_grid.h"

namespace quenda {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The whole picture's size in pixels; empty when there is nothing to show.
  virtual QSize sourceSize() const = 0;
  // The pixels on `grid`, which lies inside the picture, into `out`: 3 channels, grid.columns x
  // grid.rows, rows from the bottom.
  virtual void Sample(const SampleGrid& grid, RasterView out) const = 0;

 protected:
  PictureSource() = default;
  PictureSource(const PictureSource&) = default;
  PictureSource& operator=(const PictureSource&) = default;
};

// The grid of picture pixels a view of a picture `size` at `zoom` draws for `shown` (screen
// pixels relative to the picture's top left on screen, inside the zoomed picture): every pixel
// under the area at 1:1 and above; when reduced, screen pixel i shows picture pixel
// i x divisor, the one the mouse maps to.
SampleGrid VisibleGrid(QSize size, int zoom, const QRect& shown);

// What a view draws for `shown` from the samples it keeps on grid `kept`, which holds every
// sample of VisibleGrid(size, zoom, shown): the kept samples to draw (columns, and rows from
// the top as screen images keep them) and the screen rectangle they fill, relative to the
// picture's top left, enlarged without smoothing above 1:1. Both empty when `kept` lacks any.
struct KeptPart {
  QRect samples;
  QRect target;
};
KeptPart PartToDraw(const SampleGrid& kept, QSize size, int zoom, const QRect& shown);

}  // namespace quenda

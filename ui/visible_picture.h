#pragma once
// A picture that a view asks for piece by piece: only the pixels drawn at the current zoom and
// scroll position, so a large drawing needs no display copy of its whole size.

#include <QImage>
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

// What a view draws for the screen area `shown`, relative to the picture's top left on screen
// and inside the zoomed picture: the picture's pixels (top row first, as Qt keeps images) and
// the screen rectangle they fill, enlarged without smoothing at levels above 1.
struct VisiblePart {
  QImage pixels;
  QRect target;
};

// The grid of picture pixels a view of a picture `size` at `zoom` draws for `shown`: every
// pixel under the area at 1:1 and above; when reduced, screen pixel i shows picture pixel
// i x divisor, the one the mouse maps to.
SampleGrid VisibleGrid(QSize size, int zoom, const QRect& shown);
VisiblePart VisiblePicture(const PictureSource& source, QSize size, int zoom, const QRect& shown);

}  // namespace quenda

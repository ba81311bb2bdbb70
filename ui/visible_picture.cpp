#include "ui/visible_picture.h"

#include <algorithm>

namespace quenda {

SampleGrid VisibleGrid(QSize size, int zoom, const QRect& shown) {
  if (shown.isEmpty() || size.isEmpty()) return {};
  // Screen rows run down from the top, picture rows up from the bottom: the grid starts at the
  // lowest row drawn.
  if (zoom >= 1) {
    const int x0 = shown.left() / zoom, y0 = shown.top() / zoom;
    const int x1 = std::min(size.width(), (shown.right() + zoom) / zoom);
    const int y1 = std::min(size.height(), (shown.bottom() + zoom) / zoom);
    return {x0, size.height() - y1, x1 - x0, y1 - y0, 1};
  }
  const int divisor = 2 - zoom;
  const int lowest = size.height() - 1 - (shown.bottom()) * divisor;
  return {shown.left() * divisor, lowest, shown.width(), shown.height(), divisor};
}

VisiblePart VisiblePicture(const PictureSource& source, QSize size, int zoom, const QRect& shown) {
  const SampleGrid grid = VisibleGrid(size, zoom, shown);
  if (!grid.Inside(size.width(), size.height())) return {};
  QImage pixels(grid.columns, grid.rows, QImage::Format_BGR888);
  // The suite's row 0 is the image's last scan line.
  const RasterView rows{pixels.scanLine(grid.rows - 1), grid.columns, grid.rows, 3,
                        -std::ptrdiff_t(pixels.bytesPerLine())};
  source.Sample(grid, rows);
  if (zoom < 1) return {std::move(pixels), QRect(shown.topLeft(), shown.size())};
  const int top = size.height() - grid.y0 - grid.rows;
  return {std::move(pixels),
          QRect(grid.x0 * zoom, top * zoom, grid.columns * zoom, grid.rows * zoom)};
}

}  // namespace quenda

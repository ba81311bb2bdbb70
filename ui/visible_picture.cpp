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

KeptPart PartToDraw(const SampleGrid& kept, QSize size, int zoom, const QRect& shown) {
  const SampleGrid part = VisibleGrid(size, zoom, shown);
  if (part.IsEmpty() || kept.IsEmpty() || part.step != kept.step) return {};
  const int step = part.step;
  const int dx = part.x0 - kept.x0;
  // Kept rows are drawn from the top: the part's first is as far below the kept grid's highest
  // row as its own highest row is.
  const int dy = kept.Y(kept.rows - 1) - part.Y(part.rows - 1);
  if (dx < 0 || dy < 0 || dx % step != 0 || dy % step != 0 ||
      dx / step + part.columns > kept.columns || dy / step + part.rows > kept.rows)
    return {};
  const QRect samples(dx / step, dy / step, part.columns, part.rows);
  if (zoom < 1) return {samples, QRect(shown.topLeft(), shown.size())};
  const int top = size.height() - part.y0 - part.rows;
  return {samples, QRect(part.x0 * zoom, top * zoom, part.columns * zoom, part.rows * zoom)};
}

}  // namespace quenda

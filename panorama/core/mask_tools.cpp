// The hand tools on the mask: the soft brush and the filled polygon.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "panorama/core/mask_ops.h"

namespace quenda {

const BrushTables& StandardBrushTables() {
  static const BrushTables tables = [] {
    BrushTables made{};
    for (int s = 1; s <= kBrushSizes; ++s) {
      const double radius = 2 * s;
      for (int j = 0; j < kBrushTableSide; ++j)
        for (int i = 0; i < kBrushTableSide; ++i) {
          const double d = std::sqrt(double((i - kBrushCentre) * (i - kBrushCentre) +
                                            (j - kBrushCentre) * (j - kBrushCentre)));
          made[s - 1][j * kBrushTableSide + i] =
              d >= radius ? 0 : uint8_t(int(255 * (radius - d) / radius));
        }
    }
    return made;
  }();
  return tables;
}

void StampBrush(RasterView mask, const BrushTable& table, int x, int y, MaskMode mode) {
  for (int j = 0; j < kBrushTableSide; ++j) {
    const int py = y + j - kBrushCentre;
    if (py < 0 || py >= mask.height) continue;
    uint8_t* row = mask.Row(py);
    for (int i = 0; i < kBrushTableSide; ++i) {
      const int px = x + i - kBrushCentre;
      if (px < 0 || px >= mask.width) continue;
      row[px] = BlendMask(row[px], table[j * kBrushTableSide + i], mode);
    }
  }
}

void StrokeBrush(RasterView mask, const BrushTable& table, int brushSize, int x0, int y0, int x1,
                 int y1, MaskMode mode) {
  if (x0 == x1 && y0 == y1) {
    ++x1;
    ++y1;
  }
  const int step = (2 * brushSize + 1) / 4 + 1;
  const long long dx = x1 - x0, dy = y1 - y0;
  if (std::llabs(dx) >= std::llabs(dy)) {
    const int sx = dx > 0 ? step : -step;
    for (long long x = x0; dx > 0 ? x < x1 : x > x1; x += sx)
      StampBrush(mask, table, int(x), int(y0 + (x - x0) * dy / dx), mode);
  } else {
    const int sy = dy > 0 ? step : -step;
    for (long long y = y0; dy > 0 ? y < y1 : y > y1; y += sy)
      StampBrush(mask, table, int(x0 + (y - y0) * dx / dy), int(y), mode);
  }
}

MaskRect StrokeBounds(int x0, int y0, int x1, int y1) {
  // The end point may move one pixel (a click), and a stamp reaches the table's half side.
  return {std::min(x0, x1) - kBrushCentre, std::min(y0, y1) - kBrushCentre,
          std::max(x0, x1) + 1 + kBrushCentre, std::max(y0, y1) + 1 + kBrushCentre};
}

namespace {

struct Edge {
  int yLow, yHigh;  // the edge meets rows yLow <= y < yHigh
  double xLow;      // x at yLow
  double slope;     // dx / dy
};

void FillSpan(uint8_t* row, int width, double xa, double xb, MaskMode mode) {
  xa = std::clamp(xa, 0.0, double(width));
  xb = std::clamp(xb, 0.0, double(width));
  const int left = int(std::floor(xa)), right = int(std::floor(xb));
  auto blend = [&](int x, double fraction) {
    if (x >= 0 && x < width) row[x] = BlendMask(row[x], int(fraction * 255), mode);
  };
  if (left == right) {
    blend(left, xb - xa);
    return;
  }
  const uint8_t full = mode == MaskMode::Erase ? 0 : 255;
  std::fill(row + left + 1, row + std::min(right, width), full);
  blend(left, left + 1 - xa);
  blend(right, xb - right);
}

}  // namespace

// Pixel (x, y) is the unit square from (x, y) to (x + 1, y + 1); each row is cut along its
// lower edge, edges counting from their lower end up to but not including their upper end, so
// a rectangle fills exactly its area and two polygons sharing an edge never both cover it.
// Spans pair the crossings sorted by x (even-odd), so a self-crossing outline leaves holes.
void FillPolygon(RasterView mask, const MaskPoint* points, int count, MaskMode mode) {
  if (count < 3) return;
  std::vector<Edge> edges;
  int yMin = points[0].y, yMax = points[0].y;
  for (int i = 0; i < count; ++i) {
    MaskPoint a = points[i], b = points[(i + 1) % count];
    yMin = std::min(yMin, a.y);
    yMax = std::max(yMax, a.y);
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    edges.push_back({a.y, b.y, double(a.x), double(b.x - a.x) / double(b.y - a.y)});
  }
  std::sort(edges.begin(), edges.end(),
            [](const Edge& l, const Edge& r) { return l.yLow < r.yLow; });
  yMin = std::max(yMin, 0);
  yMax = std::min(yMax, mask.height - 1);
  std::vector<const Edge*> active;
  std::vector<double> crossings;
  std::size_t next = 0;
  while (next < edges.size() && edges[next].yLow < yMin) active.push_back(&edges[next++]);
  for (int y = yMin; y <= yMax; ++y) {
    while (next < edges.size() && edges[next].yLow <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return e->yHigh <= y; });
    crossings.clear();
    for (const Edge* e : active) crossings.push_back(e->xLow + (y - e->yLow) * e->slope);
    std::sort(crossings.begin(), crossings.end());
    uint8_t* row = mask.Row(y);
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
      FillSpan(row, mask.width, crossings[i], crossings[i + 1], mode);
  }
}

}  // namespace quenda

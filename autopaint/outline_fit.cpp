#include "autopaint/outline_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace quenda {
namespace {

// The search looks at no more than this many points of an outline; the last look takes all.
constexpr std::size_t kSearchPoints = 96;

// The mean distance of the points (every `stride`-th) to the lines, each cut off at `cap`, so
// that a part of the outline with no counterpart (a limb in front) does not drag the rest.
double MeanDistance(const std::vector<std::pair<int, int>>& outline, const LineDistance& lines,
                    int x, int y, std::size_t stride, int cap) {
  int64_t sum = 0, count = 0;
  for (std::size_t i = 0; i < outline.size(); i += stride, ++count)
    sum += std::min(lines.At(outline[i].first + x, outline[i].second + y), cap);
  return count > 0 ? double(sum) / double(count) : double(cap);
}

// Points further than a few tolerances off count as far, however far.
int CapOf(int tolerance) {
  return std::min(kFarFromLine, 3 * 4 * std::max(tolerance, 1));
}

}  // namespace

double OutlineLanded(const std::vector<std::pair<int, int>>& outline, const LineDistance& lines,
                     int x, int y, int tolerance) {
  if (outline.empty()) return 0;
  const int near = 3 * tolerance;
  std::size_t landed = 0;
  for (const auto& [px, py] : outline) landed += lines.At(px + x, py + y) <= near;
  return double(landed) / double(outline.size());
}

OutlineFit FitOutline(const std::vector<std::pair<int, int>>& outline, const LineDistance& lines,
                      int x, int y, int reach, int tolerance) {
  OutlineFit fit{x, y, 0};
  if (outline.empty()) return fit;
  const std::size_t stride = std::max<std::size_t>(1, outline.size() / kSearchPoints);
  const int cap = CapOf(tolerance);
  double best = MeanDistance(outline, lines, x, y, stride, cap);
  int step = 1;
  while (step * 2 <= reach) step *= 2;
  for (; step >= 1; step /= 2) {
    bool moved = true;
    while (moved) {
      moved = false;
      for (int dy = -step; dy <= step; dy += step)
        for (int dx = -step; dx <= step; dx += step) {
          const int nx = fit.x + dx, ny = fit.y + dy;
          if ((dx == 0 && dy == 0) || std::abs(nx - x) > reach || std::abs(ny - y) > reach)
            continue;
          const double d = MeanDistance(outline, lines, nx, ny, stride, cap);
          if (d < best) best = d, fit.x = nx, fit.y = ny, moved = true;
        }
    }
  }
  fit.landed = OutlineLanded(outline, lines, fit.x, fit.y, tolerance);
  return fit;
}

int OutlineTolerance(int width, int height) {
  const double side = std::sqrt(double(std::max(width, 0)) * double(std::max(height, 0)));
  return std::max(1, int(std::lround(side / 600)));
}

}  // namespace quenda

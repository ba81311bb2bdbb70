#pragma once
// The pixel walk shared by brush strokes and pen lines: along the longer axis one pixel at a
// time from the lower to the higher coordinate, both ends included, the other coordinate
// interpolated linearly in floating point and truncated. A segment of length zero visits
// nothing, so a click without movement changes nothing.

#include <cstdlib>

#include "common/image_rect.h"

namespace quenda {

template <class Visit>
void WalkSegment(ImagePoint a, ImagePoint b, Visit&& visit) {
  const int dx = b.x - a.x;
  const int dy = b.y - a.y;
  if (dx == 0 && dy == 0) return;
  if (std::abs(dx) >= std::abs(dy)) {
    const ImagePoint& lo = dx > 0 ? a : b;
    const ImagePoint& hi = dx > 0 ? b : a;
    const double slope = double(hi.y - lo.y) / double(hi.x - lo.x);
    for (int x = lo.x; x <= hi.x; ++x) visit(x, int(lo.y + slope * (x - lo.x)));
  } else {
    const ImagePoint& lo = dy > 0 ? a : b;
    const ImagePoint& hi = dy > 0 ? b : a;
    const double slope = double(hi.x - lo.x) / double(hi.y - lo.y);
    for (int y = lo.y; y <= hi.y; ++y) visit(int(lo.x + slope * (y - lo.y)), y);
  }
}

}  // namespace quenda

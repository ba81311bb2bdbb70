#pragma once
// Rectangles of image pixels for the painting tools: what a tool changed and the views must
// redraw.

#include <algorithm>

namespace quenda {

// The pixels x0 <= x < x1, y0 <= y < y1 (y upwards). Empty when either span is empty.
struct ImageRect {
  int x0 = 0;
  int x1 = 0;
  int y0 = 0;
  int y1 = 0;

  bool IsEmpty() const { return x0 >= x1 || y0 >= y1; }
  bool operator==(const ImageRect&) const = default;
};

inline ImageRect WholeImage(int width, int height) {
  return {0, width, 0, height};
}

inline ImageRect ClipRect(ImageRect r, int width, int height) {
  r.x0 = std::max(r.x0, 0);
  r.y0 = std::max(r.y0, 0);
  r.x1 = std::min(r.x1, width);
  r.y1 = std::min(r.y1, height);
  if (r.IsEmpty()) return {};
  return r;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline ImageRect UniteRects(const ImageRect& a, const ImageRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.x0, b.x0), std::max(a.x1, b.x1), std::min(a.y0, b.y0), std::max(a.y1, b.y1)};
}

// A point in image pixels (or window pixels, where a function says so).
struct ImagePoint {
  int x = 0;
  int y = 0;
  bool operator==(const ImagePoint&) const = default;
};

}  // namespace quenda

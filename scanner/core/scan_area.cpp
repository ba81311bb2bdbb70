#include "scanner/core/scan_area.h"

#include <algorithm>
#include <cstdlib>

#include "common/drawing_scan.h"

namespace quenda::scanner {
namespace {

constexpr int kNear = 10;
constexpr int kMinSide = 20;

bool Near(int a, int b) {
  return std::abs(a - b) < kNear;
}

}  // namespace

twain::BedFrame BedFrameOfSelection(const Selection& selection, int previewDpi, int pegPosition,
                                    double bedWidth, double bedHeight) {
  const double l = double(selection.left) / previewDpi;
  const double r = double(selection.right) / previewDpi;
  const double u = double(selection.top) / previewDpi;
  const double d = double(selection.bottom) / previewDpi;
  const double w = bedWidth, h = bedHeight;
  twain::BedFrame frame;
  switch (pegPosition) {
    case kPegLeft:
      frame = {w - u, h - r, w - d, h - l};
      break;
    case kPegRight:
      frame = {d, l, u, r};
      break;
    case kPegTop:
      frame = {w - r, d, w - l, u};
      break;
    default:
      frame = {l, h - u, r, h - d};
      break;
  }
  frame.left = std::clamp(frame.left, 0.0, w);
  frame.right = std::clamp(frame.right, 0.0, w);
  frame.top = std::clamp(frame.top, 0.0, h);
  frame.bottom = std::clamp(frame.bottom, 0.0, h);
  return frame;
}

Selection InitialSelection(int width, int height) {
  Selection s;
  if (width >= 41) {
    s.left = width / 4;
    s.right = 3 * width / 4;
  } else {
    s.left = std::max((width - 20) / 2, 0);
    s.right = std::min((width - 20) / 2 + 20, width - 1);
  }
  if (height >= 41) {
    s.bottom = height / 4;
    s.top = 3 * height / 4;
  } else {
    s.bottom = std::max((height - 20) / 2, 0);
    s.top = std::min((height - 20) / 2 + 20, height - 1);
  }
  return s;
}

Handle PickHandle(const Selection& s, int x, int y) {
  // Later tests replace earlier matches.
  Handle handle = Handle::Whole;
  const int midX = (s.left + s.right) / 2, midY = (s.top + s.bottom) / 2;
  if (Near(x, s.left) && Near(y, s.top)) handle = Handle::TopLeft;
  if (Near(x, s.right) && Near(y, s.top)) handle = Handle::TopRight;
  if (Near(x, s.left) && Near(y, s.bottom)) handle = Handle::BottomLeft;
  if (Near(x, s.right) && Near(y, s.bottom)) handle = Handle::BottomRight;
  if (Near(x, s.left) && Near(y, midY)) handle = Handle::Left;
  if (Near(x, s.right) && Near(y, midY)) handle = Handle::Right;
  if (Near(x, midX) && Near(y, s.top)) handle = Handle::Top;
  if (Near(x, midX) && Near(y, s.bottom)) handle = Handle::Bottom;
  return handle;
}

bool MoveHandle(Selection& s, Handle handle, int dx, int dy) {
  Selection moved = s;
  const bool left = handle == Handle::TopLeft || handle == Handle::BottomLeft ||
                    handle == Handle::Left || handle == Handle::Whole;
  const bool right = handle == Handle::TopRight || handle == Handle::BottomRight ||
                     handle == Handle::Right || handle == Handle::Whole;
  const bool top = handle == Handle::TopLeft || handle == Handle::TopRight ||
                   handle == Handle::Top || handle == Handle::Whole;
  const bool bottom = handle == Handle::BottomLeft || handle == Handle::BottomRight ||
                      handle == Handle::Bottom || handle == Handle::Whole;
  if (left) moved.left += dx;
  if (right) moved.right += dx;
  if (top) moved.top += dy;
  if (bottom) moved.bottom += dy;
  if (handle != Handle::Whole &&
      (moved.right - moved.left < kMinSide || moved.top - moved.bottom < kMinSide))
    return false;
  s = moved;
  return true;
}

}  // namespace quenda::scanner

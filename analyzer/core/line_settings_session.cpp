#include "analyzer/core/line_settings_session.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "analyzer/core/line_settings_file.h"

namespace quenda {
namespace {

uint8_t& Field(RedlineSettings& settings, LineSetting which) {
  switch (which) {
    case LineSetting::PickUp:
      return settings.linePickUp;
    case LineSetting::Growth:
      return settings.lineGrowth;
    case LineSetting::WhiteClamp:
      return settings.whiteClamp;
    case LineSetting::BlackClamp:
      break;
  }
  return settings.blackClamp;
}

// One axis of the centred rectangle.
std::pair<int, int> CentredSpan(int side) {
  if (side > kTestRectangleSide)
    return {(side - kTestRectangleSide) / 2, (side + kTestRectangleSide) / 2};
  return {0, side - 1};
}

// Moves one edge of a corner drag to `to`; when it passes the opposite edge the two swap and
// the drag goes on with the other one.
void DragEdge(int& low, int& high, bool& onLow, int to) {
  (onLow ? low : high) = to;
  if (low > high) {
    std::swap(low, high);
    onLow = !onLow;
  }
}

}  // namespace

int LineSettingValue(const RedlineSettings& settings, LineSetting which) {
  RedlineSettings copy = settings;
  return Field(copy, which);
}

int LineSettingMaximum(LineSetting which) {
  return which == LineSetting::PickUp || which == LineSetting::Growth ? kLineLevelMax
                                                                      : kClampLevelMax;
}

void SetLinkedLineSetting(RedlineSettings& s, LineSetting which, int value) {
  const uint8_t v = uint8_t(std::clamp(value, 0, LineSettingMaximum(which)));
  Field(s, which) = v;
  switch (which) {
    case LineSetting::PickUp:
      s.lineGrowth = std::max(s.lineGrowth, v);
      break;
    case LineSetting::Growth:
      s.linePickUp = std::min(s.linePickUp, v);
      break;
    case LineSetting::WhiteClamp:
      s.blackClamp = std::min(s.blackClamp, v);
      break;
    case LineSetting::BlackClamp:
      s.whiteClamp = std::max(s.whiteClamp, v);
      break;
  }
}

TestRectangle CentredTestRectangle(int width, int height) {
  auto [left, right] = CentredSpan(width);
  auto [top, bottom] = CentredSpan(height);
  return {left, top, right, bottom};
}

PixelRect TestRectanglePixels(const TestRectangle& rect, int height) {
  // Screen rows turned over: the bottom edge becomes the lowest row counted from the bottom.
  return {rect.left, rect.right, height - rect.bottom, height - rect.top};
}

void TestRectangleDrag::Press(const TestRectangle& rect, ScreenPoint at) {
  const bool nearLeft = std::abs(at.x - rect.left) <= kCornerGrip;
  const bool nearRight = std::abs(at.x - rect.right) <= kCornerGrip;
  const bool nearTop = std::abs(at.y - rect.top) <= kCornerGrip;
  const bool nearBottom = std::abs(at.y - rect.bottom) <= kCornerGrip;
  if ((nearLeft || nearRight) && (nearTop || nearBottom)) {
    mode_ = Mode::Corner;
    // The nearer edge when a small rectangle puts the point near both.
    leftEdge_ =
        nearLeft && (!nearRight || std::abs(at.x - rect.left) < std::abs(at.x - rect.right));
    topEdge_ = nearTop && (!nearBottom || std::abs(at.y - rect.top) < std::abs(at.y - rect.bottom));
    return;
  }
  mode_ = Mode::Whole;
  grip_ = {at.x - rect.left, at.y - rect.top};
}

TestRectangle TestRectangleDrag::MoveTo(TestRectangle rect, ScreenPoint at) {
  if (mode_ == Mode::Whole) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int left = std::clamp(at.x - grip_.x, 0, std::max(width_ - w, 0));
    const int top = std::clamp(at.y - grip_.y, 0, std::max(height_ - h, 0));
    return {left, top, left + w, top + h};
  }
  if (mode_ == Mode::Corner) {
    DragEdge(rect.left, rect.right, leftEdge_, std::clamp(at.x, 0, width_));
    DragEdge(rect.top, rect.bottom, topEdge_, std::clamp(at.y, 0, height_));
  }
  return rect;
}

}  // namespace quenda

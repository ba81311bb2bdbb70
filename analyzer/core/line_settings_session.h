#pragma once
// What the "Line Generation Settings" dialog does to its values and to its test rectangle,
// without a window: the four settings kept in order as the scroll bars move them, and the
// rectangle the user drags over the drawing.

#include "analyzer/core/working_image.h"
#include "common/redline_settings.h"

namespace quenda {

enum class LineSetting { PickUp, Growth, WhiteClamp, BlackClamp };

// The setting's value in `settings`.
int LineSettingValue(const RedlineSettings& settings, LineSetting which);
// Sets one setting as a scroll bar does (the value cut to the bar's range) and drags its
// partner along so that growth stays at or above pick-up and white at or above black.
void SetLinkedLineSetting(RedlineSettings& settings, LineSetting which, int value);
// The largest value a scroll bar of the setting reaches.
int LineSettingMaximum(LineSetting which);

// A point on the drawing in screen order: column, and row counted from the top row.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The test rectangle in screen order: columns left <= x < right, rows top <= y < bottom
// counted from the top of the drawing.
struct TestRectangle {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const TestRectangle&) const = default;
};

inline constexpr int kTestRectangleSide = 100;
inline constexpr int kCornerGrip = 10;  // a press this close to a corner, in both axes, takes it

// The 100 x 100 rectangle in the middle of a drawing; on a side of 100 or less it spans
// 0 .. side - 1.
TestRectangle CentredTestRectangle(int width, int height);
// The same pixels as line generation counts them (rows from the bottom).
PixelRect TestRectanglePixels(const TestRectangle& rect, int height);

// Dragging the rectangle: a press near a corner moves that corner, any other press moves the
// whole rectangle. The rectangle stays on the drawing; a corner dragged across the opposite
// edge swaps the two edges and goes on as the corner now under the cursor.
class TestRectangleDrag {
 public:
  TestRectangleDrag(int width, int height) : width_(width), height_(height) {}
  void Press(const TestRectangle& rect, ScreenPoint at);
  // The rectangle after the cursor moved to `at`; nothing changes without a press.
  TestRectangle MoveTo(TestRectangle rect, ScreenPoint at);
  void Release() { mode_ = Mode::None; }
  bool dragging() const { return mode_ != Mode::None; }

 private:
  enum class Mode { None, Whole, Corner };
  int width_;
  int height_;
  Mode mode_ = Mode::None;
  bool leftEdge_ = false;  // which corner: its horizontal and vertical edge
  bool topEdge_ = false;
  ScreenPoint grip_;  // the press point's offset from the rectangle's top left
};

}  // namespace quenda

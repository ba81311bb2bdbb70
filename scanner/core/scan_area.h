#pragma once
// The scan area: the selection drawn on the preview and where it lies on the
// scanner bed.

#include "common/peg_turn.h"
#include "twain/scan_device.h"

namespace quenda::scanner {

// The selection on the preview in picture pixels, rows counted from the bottom (top > bottom).
struct Selection {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
  bool operator==(const Selection&) const = default;
};

// Where the selection lies on a bed W x H inches wide, in inches in the scanner's axes, for a
// preview at `previewDpi` and the sequence's peg position; clamped to the bed.
twain::BedFrame BedFrameOfSelection(const Selection& selection, int previewDpi, int pegPosition,
                                    double bedWidth, double bedHeight);

// The selection a first preview of w x h pixels starts with.
Selection InitialSelection(int width, int height);

// What a left-button drag moves, picked from the pressed point in picture pixels.
enum class Handle {
  Whole,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
  Left,
  Right,
  Top,
  Bottom,
};
Handle PickHandle(const Selection& selection, int x, int y);

// Moves the handle's edges by dx (right) and dy (up). A corner or edge move that would leave
// the rectangle less than 20 pixels wide or high is refused as a whole (false); the whole
// rectangle always moves.
bool MoveHandle(Selection& selection, Handle handle, int dx, int dy);

}  // namespace quenda::scanner

#pragma once
// Where a picture shown at an integer zoom level (common/zoom_level.h) lies in a window, as
// plain arithmetic: window positions to picture pixels and back, and the offset of a picture
// dragged about inside a fixed frame. Window coordinates run down from the top; picture rows
// count up from the bottom, as the suite keeps pictures.

#include "common/zoom_level.h"

namespace quenda {

struct ViewPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ViewPoint&) const = default;
};

// x, y is the corner with the smallest coordinates: the top left in a window, the bottom left in
// a picture. Empty when either side is 0 or less.
struct ViewRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool operator==(const ViewRect&) const = default;
};

// The scroll position, the centring offset (CentreOffset of each side), the zoom level and the
// picture's height in pixels.
struct ViewPlacement {
  int scrollX = 0;
  int scrollY = 0;
  int offsetX = 0;
  int offsetY = 0;
  int zoom = 1;
  int pictureHeight = 0;
};

// The picture pixel drawn under a window position. Positions before the picture give negative
// coordinates and positions beyond it coordinates past the last pixel, so the tools can tell
// them apart (UnzoomedPosition: floored, never rounded onto the edge pixel).
ViewPoint WindowToPicture(ViewPoint window, const ViewPlacement& view);

// The window rectangle where picture rectangle `area` is drawn; empty for an empty area. When
// reduced it holds every screen pixel that samples a pixel of the area, with one to spare on the
// right and at the bottom.
ViewRect PictureToWindow(const ViewRect& area, const ViewPlacement& view);

// A picture larger than its frame, shown 1:1 from an offset into it: the offset starts centred
// (half the excess of the picture over the frame, 0 when it fits), and a drag moves it with the
// mouse unless the new offset would leave 0 .. pictureSize - 1, in which case it stays. One axis
// at a time.
int ReferenceStartOffset(int pictureSize, int frameSize);
int DragReferenceOffset(int offset, int previousMouse, int currentMouse, int pictureSize);

}  // namespace quenda

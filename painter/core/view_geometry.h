#pragma once
// The arithmetic of the painter's panes as plain functions: the mapping of window positions to
// image pixels, the frame strip and the colour list. Zoom, centring and pan are the shared
// picture-view arithmetic of common/zoom_level.h.

#include "painter/core/image_rect.h"

namespace quenda {

// The image pixel drawn under a window position. Positions left of or below the picture give
// negative coordinates and positions beyond it coordinates past the last pixel, so the tools
// can tell them apart (floor division, never rounded onto the edge pixel).
struct ViewPlacement {
  int scrollX = 0;
  int scrollY = 0;
  int offsetX = 0;  // centring offsets
  int offsetY = 0;
  int zoom = 1;
  int imageHeight = 0;
};
ImagePoint WindowToImage(ImagePoint window, const ViewPlacement& view);

// Frame strip: square cells as tall as the pane.
int VisibleStripCells(int paneWidth, int paneHeight);
int StripScrollMaximum(int frameCount, int visibleCells);
// The icon side: the pane height less 20, rounded down to a multiple of 4 (at least 0).
int StripIconSide(int paneHeight);

// Colour list: position 0 is entry 0, position p >= 1 entry p + 2 (entries 1 and 2 are
// never listed).
int ListPositionToEntry(int position);
// -1 for the unlisted entries 1 and 2.
int EntryToListPosition(int entry);
int ListedColorCount(int colorCount);
int VisibleColorRows(int clientHeight);
int ColorListScrollMaximum(int colorCount, int visibleRows);

// The reference picture in the colour dialog: the offset starts centred (half the excess of the
// picture over the frame, 0 when it fits), and a hand drag moves it with the mouse unless the
// new offset would leave 0 .. pictureSize - 1 on that axis, in which case it stays.
int ReferenceStartOffset(int pictureSize, int frameSize);
int DragReferenceOffset(int offset, int previousMouse, int currentMouse, int pictureSize);

}  // namespace quenda

#pragma once
// The arithmetic of the painter's frame strip and colour list as plain functions. The picture
// pane's zoom, centring, pan and mouse mapping are the shared view arithmetic of
// common/zoom_level.h and common/view_geometry.h.

namespace quenda {

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
int VisibleColorRows(int clientHeight);
int ColorListScrollMaximum(int colorCount, int visibleRows);

}  // namespace quenda

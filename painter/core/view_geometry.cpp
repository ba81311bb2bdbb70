#include "painter/core/view_geometry.h"

#include <algorithm>
#include <cmath>

namespace quenda {
namespace {

int FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return int(q);
}

}  // namespace

ImagePoint WindowToImage(ImagePoint window, const ViewPlacement& view) {
  const long long sx = (long long)window.x + view.scrollX - view.offsetX;
  const long long sy = (long long)window.y + view.scrollY - view.offsetY;
  int x, yFromTop;
  if (view.zoom >= 1) {
    x = FloorDiv(sx, view.zoom);
    yFromTop = FloorDiv(sy, view.zoom);
  } else {
    x = int(sx * (2 - view.zoom));
    yFromTop = int(sy * (2 - view.zoom));
  }
  // Rows count from the bottom: the top screen row shows image row height - 1.
  return {x, view.imageHeight - 1 - yFromTop};
}

int VisibleStripCells(int paneWidth, int paneHeight) {
  return paneHeight > 0 ? paneWidth / paneHeight : 0;
}

int StripScrollMaximum(int frameCount, int visibleCells) {
  return std::max(1, frameCount - visibleCells);
}

int StripIconSide(int paneHeight) {
  return std::max(0, (paneHeight - 20) & ~3);
}

int ListPositionToEntry(int position) {
  return position == 0 ? 0 : position + 2;
}

int EntryToListPosition(int entry) {
  if (entry == 0) return 0;
  return entry >= 3 ? entry - 2 : -1;
}

int ListedColorCount(int colorCount) {
  return std::max(1, colorCount - 2);
}

int VisibleColorRows(int clientHeight) {
  return std::max(0, clientHeight / 30);
}

int ColorListScrollMaximum(int colorCount, int visibleRows) {
  return std::max(1, colorCount - visibleRows - 2);
}

int ReferenceStartOffset(int pictureSize, int frameSize) {
  return pictureSize > frameSize ? (pictureSize - frameSize) / 2 : 0;
}

int DragReferenceOffset(int offset, int previousMouse, int currentMouse, int pictureSize) {
  const long long moved = (long long)offset + previousMouse - currentMouse;
  return moved < 0 || moved >= pictureSize ? offset : int(moved);
}

}  // namespace quenda

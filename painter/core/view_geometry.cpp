#include "painter/core/view_geometry.h"

#include <algorithm>

namespace quenda {

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

int VisibleColorRows(int clientHeight) {
  return std::max(0, clientHeight / 30);
}

int ColorListScrollMaximum(int colorCount, int visibleRows) {
  return std::max(1, colorCount - visibleRows - 2);
}

}  // namespace quenda

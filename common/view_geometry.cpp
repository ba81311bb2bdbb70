#include "common/view_geometry.h"

namespace quenda {

ViewPoint WindowToPicture(ViewPoint window, const ViewPlacement& view) {
  const int x = UnzoomedPosition(window.x + view.scrollX - view.offsetX, view.zoom);
  const int fromTop = UnzoomedPosition(window.y + view.scrollY - view.offsetY, view.zoom);
  // The top window row shows the picture's highest row.
  return {x, view.pictureHeight - 1 - fromTop};
}

ViewRect PictureToWindow(const ViewRect& area, const ViewPlacement& view) {
  if (area.IsEmpty()) return {};
  const int originX = view.offsetX - view.scrollX;
  const int originY = view.offsetY - view.scrollY;
  // The area's highest row, counted down from the picture's top.
  const int top = view.pictureHeight - area.y - area.height;
  if (view.zoom >= 1) {
    return {originX + area.x * view.zoom, originY + top * view.zoom, area.width * view.zoom,
            area.height * view.zoom};
  }
  const int divisor = 2 - view.zoom;
  const int left = area.x / divisor;
  const int right = (area.x + area.width - 1 + divisor) / divisor;
  const int upper = top / divisor;
  const int lower = (top + area.height - 1 + divisor) / divisor;
  return {originX + left, originY + upper, right - left + 1, lower - upper + 1};
}

int ReferenceStartOffset(int pictureSize, int frameSize) {
  return pictureSize > frameSize ? (pictureSize - frameSize) / 2 : 0;
}

int DragReferenceOffset(int offset, int previousMouse, int currentMouse, int pictureSize) {
  const long long moved = (long long)offset + previousMouse - currentMouse;
  return moved < 0 || moved >= pictureSize ? offset : int(moved);
}

}  // namespace quenda

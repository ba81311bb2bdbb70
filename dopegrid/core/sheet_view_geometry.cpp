#include "dopegrid/core/sheet_view_geometry.h"

#include <algorithm>

namespace quenda {

std::optional<SheetHit> HitTest(const CSheetGrid& sheet, int x, int y, int firstLevel,
                                int firstFrame) {
  if (y < kLevelBandTop) return std::nullopt;
  SheetHit hit;
  hit.inHeading = y < kHeadingHeight;
  // Floor division, so the frame-number column and the heading clamp to the first ones.
  auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  hit.level = std::clamp(floorDiv(x - kFrameColumnWidth, kLevelColumnWidth) + firstLevel, 0,
                         sheet.levelCount - 1);
  hit.frame = std::clamp(floorDiv(y - kHeadingHeight, kFrameRowHeight) + firstFrame, 0,
                         sheet.frameCount - 1);
  return hit;
}

void ClickSheet(CDopegridDoc& doc, const SheetHit& hit, int topVisibleFrame) {
  if (hit.inHeading) {
    doc.SetCurrentCell(hit.level, topVisibleFrame);
    doc.SetSelection({hit.level, 0, hit.level, doc.sheet().frameCount - 1});
  } else {
    doc.SetCurrentCell(hit.level, hit.frame);
    doc.SetSelection({hit.level, hit.frame, hit.level, hit.frame});
  }
  doc.UpdateAllViews(SheetHint::Sheet);
}

void ShiftClickSheet(CDopegridDoc& doc, const SheetHit& hit) {
  SheetSelection s = doc.selection();
  s.firstLevel = std::min(s.firstLevel, hit.level);
  s.lastLevel = std::max(s.lastLevel, hit.level);
  s.firstFrame = std::min(s.firstFrame, hit.frame);
  s.lastFrame = std::max(s.lastFrame, hit.frame);
  doc.SetSelection(s);
  doc.UpdateAllViews(SheetHint::Sheet);
}

void DragSheet(CDopegridDoc& doc, const SheetHit& pointer, bool startedInHeading) {
  if (startedInHeading)
    doc.SetSelection({doc.currentLevel(), 0, pointer.level, doc.sheet().frameCount - 1});
  else
    doc.SetSelection({doc.currentLevel(), doc.currentFrame(), pointer.level, pointer.frame});
  doc.UpdateAllViews(SheetHint::Sheet);
}

}  // namespace quenda

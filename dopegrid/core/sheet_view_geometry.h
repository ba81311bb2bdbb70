#pragma once
// Where things lie in the sheet view, and what its clicks and drags do to the current cell and
// the selection. The view only measures the pointer and calls these.

#include <optional>

#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

inline constexpr int kFrameColumnWidth = 35;
inline constexpr int kHeadingHeight = 50;
inline constexpr int kLevelBandTop = 26;  // the level names' band of the heading
inline constexpr int kLevelColumnWidth = 75;
inline constexpr int kFrameRowHeight = 25;
inline constexpr int kLevelsPerPage = 5;
inline constexpr int kFramesPerPage = 20;

// What lies under a point of the view, scrolled to `firstLevel` and `firstFrame`. Nothing
// above the level band; otherwise a level and frame clamped to those in use.
struct SheetHit {
  int level = 0;
  int frame = 0;
  bool inHeading = false;  // the level band: the whole level
  bool operator==(const SheetHit&) const = default;
};
std::optional<SheetHit> HitTest(const CSheetGrid& sheet, int x, int y, int firstLevel,
                                int firstFrame);

// A click: the cell becomes current and the whole selection, or, in the heading, the level
// becomes current at the top visible row and is selected from the first frame to the last.
void ClickSheet(CDopegridDoc& doc, const SheetHit& hit, int topVisibleFrame);
// Shift-click: the selection grows to hold the cell; the current cell stays.
void ShiftClickSheet(CDopegridDoc& doc, const SheetHit& hit);
// A drag: the block between the current cell and the pointer's cell, whole levels when the
// drag began in the heading.
void DragSheet(CDopegridDoc& doc, const SheetHit& pointer, bool startedInHeading);

}  // namespace quenda

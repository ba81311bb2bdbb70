#include "dopegrid/core/sheet_grid.h"

#include <algorithm>
#include <string>

namespace quenda {

CSheetGrid::CSheetGrid() : cells_(std::size_t(kLevelSlots) * kFrameSlots), names_(kLevelSlots) {}

bool CSheetGrid::AddLevel(std::string_view name) {
  if (levelCount >= kMaxLevels) return false;
  names_[levelCount] = std::string(name);
  for (int f = 0; f < frameCount; ++f) Cell(levelCount, f) = SheetCell{};
  ++levelCount;
  return true;
}

bool CSheetGrid::AddFrames(int n, Prompt& prompt) {
  if (n < 0 || frameCount + n >= kFrameSlots) {
    prompt.Message("Sorry, there is a maximum of " + std::to_string(kFrameSlots) + " frames");
    return false;
  }
  for (int l = 0; l < levelCount; ++l)
    for (int f = frameCount; f < frameCount + n; ++f) Cell(l, f) = SheetCell{};
  frameCount += n;
  return true;
}

bool CSheetGrid::DeleteFrames(int n, Prompt& prompt) {
  if (n < 0 || frameCount - n <= 1) {
    prompt.Message("There are not that many frames to delete.");
    return false;
  }
  frameCount -= n;
  return true;
}

bool CSheetGrid::DeleteLevel(int index) {
  if (index < 0 || index >= levelCount || levelCount == 1) return false;
  for (int l = index; l + 1 < levelCount; ++l) {
    names_[l] = names_[l + 1];
    std::copy_n(cells_.begin() + Index(l + 1, 0), kFrameSlots, cells_.begin() + Index(l, 0));
  }
  --levelCount;
  return true;
}

void CSheetGrid::SwapLevels(int a, int b) {
  std::swap(names_[a], names_[b]);
  for (int f = 0; f < frameCount; ++f) std::swap(Cell(a, f), Cell(b, f));
}

void CSheetGrid::NormaliseHolds() {
  for (int l = 0; l < levelCount; ++l) {
    for (int f = 0; f < frameCount; ++f) {
      SheetCell& cell = Cell(l, f);
      const SheetCell* above = f > 0 ? &Cell(l, f - 1) : nullptr;
      bool continues = above && above->used() && above->SameDrawing(cell);
      if (cell.kind == CellKind::Hold && !continues) cell.kind = CellKind::Key;
      if (cell.kind == CellKind::Key && continues) cell.kind = CellKind::Hold;
    }
  }
}

bool CSheetGrid::DropSequence(int sequence) {
  bool emptied = false;
  for (int l = 0; l < levelCount; ++l) {
    for (int f = 0; f < frameCount; ++f) {
      SheetCell& cell = Cell(l, f);
      if (cell.sequence == sequence && cell.used()) {
        cell.kind = CellKind::Empty;
        emptied = true;
      } else if (cell.sequence > sequence) {
        --cell.sequence;
      }
    }
  }
  return emptied;
}

CSheetGrid MakeNewSheet() {
  CSheetGrid grid;
  grid.AddLevel(kDefaultLevelName);
  grid.frameCount = kNewSheetFrames;  // a fresh grid's cells are all empty already
  return grid;
}

}  // namespace quenda

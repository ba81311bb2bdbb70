#pragma once
// One exposure sheet: levels (columns) by frames (rows) of cells, each naming one drawing of
// one sequence of the Picture Holder, holding the drawing above it, or nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompt.h"

namespace quenda {

// Storage slots; the last level slot is never counted, and frames stay below the slot count.
inline constexpr int kLevelSlots = 50;
inline constexpr int kFrameSlots = 2000;
inline constexpr int kMaxLevels = 49;
inline constexpr int kMaxSheetFrames = kFrameSlots - 1;
inline constexpr int kNewSheetFrames = 100;
inline constexpr std::string_view kDefaultLevelName = "default";

enum class CellKind : int32_t { Empty = 0, Key = 1, Hold = 2 };

struct SheetCell {
  CellKind kind = CellKind::Empty;
  int32_t sequence = -1;  // index into the Picture Holder
  int32_t frame = -1;     // index into that sequence's frames, not the frame number

  bool used() const { return kind != CellKind::Empty; }
  // Shows the same drawing as `other` (kinds aside).
  bool SameDrawing(const SheetCell& other) const {
    return sequence == other.sequence && frame == other.frame;
  }
  bool operator==(const SheetCell&) const = default;
};

class CSheetGrid {
 public:
  CSheetGrid();  // no levels, no frames; see MakeNewSheet

  SheetCell& Cell(int level, int frame) { return cells_[Index(level, frame)]; }
  const SheetCell& Cell(int level, int frame) const { return cells_[Index(level, frame)]; }
  const std::string& LevelName(int level) const { return names_[level]; }
  void SetLevelName(int level, std::string name) { names_[level] = std::move(name); }

  int frameCount = 0;
  int levelCount = 0;

  // False (and nothing counted) when the sheet already has kMaxLevels levels.
  bool AddLevel(std::string_view name);
  // Refused with "Sorry, there is a maximum of %d frames" when the sheet would reach
  // kFrameSlots frames (or n is negative).
  bool AddFrames(int n, Prompt& prompt);
  // Refused with "There are not that many frames to delete." when fewer than 2 would remain.
  // The cells stay in memory; AddFrames empties them again.
  bool DeleteFrames(int n, Prompt& prompt);
  // Only when index < levelCount and there is more than one level.
  bool DeleteLevel(int index);
  // Exchanges names and the cells of the frames in use.
  void SwapLevels(int a, int b);

  // Restores the cell invariant: a used cell showing the same drawing as the used cell above
  // it is a hold, every other used cell a key.
  void NormaliseHolds();
  // Empties every used cell of `sequence` and lowers the sequence index of cells above it.
  // Answers whether any cell was emptied.
  bool DropSequence(int sequence);

  bool operator==(const CSheetGrid&) const = default;

 private:
  static int Index(int level, int frame) { return level * kFrameSlots + frame; }

  std::vector<SheetCell> cells_;    // kLevelSlots x kFrameSlots, level-major
  std::vector<std::string> names_;  // kLevelSlots
};

// A new document's sheet: one level "default" and 100 frames.
CSheetGrid MakeNewSheet();

}  // namespace quenda

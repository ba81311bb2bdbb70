#pragma once
// What the timesheet and CSV imports and exports share: columns of cell texts read from another
// program's file become levels of a sheet, their texts drawings of sequences found on disk; and
// a sheet's cells become texts again ("12" within one sequence, "walk12" naming it).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

// One column of an imported file, front level first: its name and, per frame, the text of the
// drawing it shows there (nothing for an empty cell).
struct ExchangeColumn {
  std::string name;     // as the file gives it
  std::string caption;  // how messages call it: `track "A"` or `column "A"`
  std::vector<std::optional<std::string>> cells;
};

// `--sequence KEY=FIRST.qds`: the sequence of the drawing FIRST for the column named KEY (by the
// file's name or the level name it becomes). A column may be named more than once: the first
// sequence serves its bare frame texts, every one serves texts that name their sequence.
struct SequenceChoice {
  std::string key;
  std::string firstDrawing;
};
// "KEY=PATH" (split at the first "="); nothing without one or with either side empty.
std::optional<SequenceChoice> ParseSequenceChoice(std::string_view text);

struct ExchangeImportOptions {
  std::vector<SequenceChoice> choices;
  // Where sequences named by texts or columns are looked for, in order; each folder and a
  // folder of the sequence's name inside it.
  std::vector<std::string> folders;
};

struct ExchangeImport {
  CSheetGrid sheet;
  std::vector<DrawingSequence> sequences;
  std::vector<std::string> choices;  // per level, the sequence it uses and why
  std::vector<std::string> notes;    // names changed, holds, what was left out
  std::vector<std::string> missing;  // texts that name no drawing, sequences not found
};

// The level names the columns become: at most kLevelNameLimit bytes (cut at a character's
// boundary) and unique, each change noted.
std::vector<std::string> LevelNamesFor(std::span<const ExchangeColumn> columns,
                                       std::vector<std::string>& notes);

// Builds the sheet of `frameCount` frames (1 .. kMaxSheetFrames) from at most kMaxLevels
// columns. Cells whose text names no drawing are left empty and listed in `missing`, so the
// caller refuses the import or accepts the loss. Refused: a --sequence whose drawing is no
// sequence or whose key names no column, and more sequences than a sheet holds.
Result<ExchangeImport> BuildImportedSheet(std::span<const ExchangeColumn> columns, int frameCount,
                                          const ExchangeImportOptions& options);

// A cell text split into the sequence name it starts with (letters; empty for a bare frame
// text) and the frame text after it. Nothing when the rest is not digits and one letter at most.
struct CellText {
  std::string sequence;
  FrameTag tag;
};
std::optional<CellText> ParseCellText(std::string_view text);

// How a level's cells are written: its frame texts when every used cell shows one sequence
// (`bare`), otherwise sequence name and frame text.
struct LevelTexts {
  bool bare = true;
  int sequence = -1;  // the first sequence the level uses; -1 for an empty level
};
LevelTexts LevelTextsOf(const CSheetGrid& sheet, int level);
std::string CellTextOf(const SheetCell& cell, std::span<const DrawingSequence> sequences,
                       bool bare);

// The `--sequence` options that import an exported file back to the same sheet: for every level
// each sequence it uses, with the path of that sequence's first drawing, quoted for a shell.
// Keyed by the level names the import will give (LevelNamesFor the sheet's names).
std::vector<SequenceChoice> SequenceChoicesFor(const CSheetGrid& sheet,
                                               std::span<const DrawingSequence> sequences);
std::string SequenceOptionsFor(std::span<const SequenceChoice> choices);

// How the exports word a file that cannot be written, as the sheet's own saving does.
WriteMessages ExportWriteMessages(const std::string& path);

}  // namespace quenda

#pragma once
// What the exposure sheet commands share: opening a sheet and reading level and frame choices.

#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"
#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/sheet_file.h"

namespace quenda::cli {

// A comma-separated list of levels, each its index (0 is the front level) or its name; the
// answer is ascending and without repeats. Nothing when a level is unknown.
std::optional<std::vector<int>> ParseLevels(const std::string& text, const CSheetGrid& sheet);
// The sheet as stored, for a render's input check before the document opens (opening could
// forget a missing sequence before it is named); nothing, with the reader's message printed,
// when it does not read, after "quenda COMMAND: PATH: ".
std::optional<SheetFileContents> ReadStoredSheet(const std::string& path, CommandIo& io,
                                                 std::string_view command);
// Every level in use.
std::vector<int> AllLevels(const CSheetGrid& sheet);

// The block of cells `--levels L,...` (adjacent levels, by index or name) and `--frames A-B`
// (from 1) choose, each the whole sheet when not given; or the reason it is not a block.
Result<SheetSelection> ParseBlock(const Arguments& parsed, const CSheetGrid& sheet);

// The frames `--frames A-B` (from 1; the whole sheet when not given) and the levels `--levels
// L,...` (any, by index or name; every level in use when not given) a render or a flipbook
// draws, frames counted from 0; or the usage error.
struct DrawnPart {
  int firstFrame = 0, lastFrame = 0;
  std::vector<int> levels;
};
Result<DrawnPart> ParseDrawnPart(const Arguments& parsed, const CSheetGrid& sheet);

}  // namespace quenda::cli

#pragma once
// XDTS timesheets, the exposure-sheet exchange format of drawing and animation programs: a
// first line "exchangeDigitalTimeSheet Save Data", then one JSON object holding time tables
// whose cell tracks list, per track, the frames where the column changes. Track 0 is the bottom
// layer, so the order turns round against the sheet's levels (level 0 in front).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_exchange.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

inline constexpr std::string_view kXdtsFirstLine = "exchangeDigitalTimeSheet Save Data";
inline constexpr std::string_view kXdtsNullCell = "SYMBOL_NULL_CELL";
inline constexpr std::string_view kXdtsHyphen = "SYMBOL_HYPHEN";
inline constexpr std::string_view kXdtsTick1 = "SYMBOL_TICK_1";
inline constexpr std::string_view kXdtsTick2 = "SYMBOL_TICK_2";
inline constexpr int kXdtsVersion = 5;

struct XdtsReadOptions {
  std::string table;  // "N" (from 1) or a time table's name; the first when empty
  bool crop = false;  // keep the first frames and tracks of a table beyond the sheet's limits
};

// One time table as columns of cell texts, front level first (the top track).
struct XdtsColumns {
  std::vector<ExchangeColumn> columns;
  int frameCount = 0;
  std::vector<std::string> notes;  // what the sheet has no place for, and how odd entries read
};

// Refused, naming the file: a first line that is not the header line, JSON that does not
// parse, no time tables, a time table without a duration of at least 1, a frame that is
// negative or not a whole number, cell values that are empty or not strings; a time table
// beyond the sheet's 1999 frames or 49 tracks unless `crop`.
Result<XdtsColumns> ReadXdts(std::string_view text, const std::string& path,
                             const XdtsReadOptions& options);
Result<XdtsColumns> LoadXdtsFile(const std::string& path, const XdtsReadOptions& options);

struct XdtsWriteOptions {
  std::string cut = "1";    // 1 to 4 digits
  std::string scene = "1";  // 1 to 4 digits
  std::string name = "sheet";
};
// True for the header's cut and scene: 1 to 4 digits.
bool IsXdtsNumber(std::string_view text);

struct XdtsExport {
  std::string text;
  std::vector<std::string> notes;
};
XdtsExport WriteXdts(const CSheetGrid& sheet, std::span<const DrawingSequence> sequences,
                     const XdtsWriteOptions& options);
// WriteXdts through the atomic writer; the notes are handed back.
Status SaveXdtsFile(const std::string& path, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences, const XdtsWriteOptions& options,
                    std::vector<std::string>& notes);

}  // namespace quenda

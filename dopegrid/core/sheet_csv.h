#pragma once
// The sheet as CSV (RFC 4180, UTF-8) for spreadsheets and production tracking: a header row
// "frame,LEVEL,..." (front level first), then one row per frame, each cell its drawing's
// sequence name and frame text ("walk12"), empty for an empty cell. Every row names its
// drawings (no ditto marks), so the rows still say everything once sorted.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_exchange.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

std::string WriteSheetCsv(const CSheetGrid& sheet, std::span<const DrawingSequence> sequences);
Status SaveSheetCsv(const std::string& path, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences);

struct CsvColumns {
  std::vector<ExchangeColumn> columns;  // front level first
  int frameCount = 0;
  std::vector<std::string> notes;
};

// Rows may come in any order: each goes to the frame its first field names; frames without a
// row are empty. Refused, naming the file and the line: no header row, a header that does not
// start with "frame", more level columns than a sheet holds, a frame that is not a whole number
// from 1 or lies beyond the sheet's frames, a frame given twice, a row with more fields than
// the header, a quoted field that is not closed.
Result<CsvColumns> ReadSheetCsv(std::string_view text, const std::string& path);
Result<CsvColumns> LoadSheetCsv(const std::string& path);

}  // namespace quenda

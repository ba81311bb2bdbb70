// Reads an XDTS timesheet from arbitrary bytes, cropped and not. What reads stays within the
// sheet's limits, every column as long as the sheet, and builds a sheet without touching disk
// beyond looking for sequences that are not there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dopegrid/core/xdts_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (bool crop : {false, true}) {
    quenda::Result<quenda::XdtsColumns> read = quenda::ReadXdts(text, "f.xdts", {"", crop});
    if (!read.ok()) continue;
    if (read->frameCount < 1 || read->frameCount > quenda::kMaxSheetFrames ||
        read->columns.size() > std::size_t(quenda::kMaxLevels))
      __builtin_trap();
    for (const quenda::ExchangeColumn& column : read->columns)
      if (column.cells.size() != std::size_t(read->frameCount)) __builtin_trap();
    quenda::Result<quenda::ExchangeImport> sheet = quenda::BuildImportedSheet(
        read->columns, read->frameCount, {{}, {"/nonexistent-fuzz-folder/"}});
    if (sheet.ok() && sheet->sheet.levelCount < 1) __builtin_trap();
  }
  return 0;
}

// Reads a CSV sheet from arbitrary bytes: what reads fits a sheet, every column as long as it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dopegrid/core/sheet_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quenda::Result<quenda::CsvColumns> read = quenda::ReadSheetCsv(text, "f.csv");
  if (!read.ok()) return 0;
  if (read->frameCount < 1 || read->frameCount > quenda::kMaxSheetFrames || read->columns.empty() ||
      read->columns.size() > std::size_t(quenda::kMaxLevels))
    __builtin_trap();
  for (const quenda::ExchangeColumn& column : read->columns)
    if (column.cells.size() != std::size_t(read->frameCount)) __builtin_trap();
  return 0;
}

// Reads an exposure sheet file from arbitrary bytes. Whatever loads stays within the sheet's
// capacities, and writing it out gives a file that reads back and writes the same bytes again.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dopegrid/core/sheet_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  quenda::Result<quenda::SheetFileContents> read = quenda::ParseSheetFile({data, size}, "f.dgr");
  if (!read.ok()) return 0;
  const quenda::CSheetGrid& sheet = read->sheet;
  if (sheet.levelCount < 1 || sheet.levelCount > quenda::kMaxLevels || sheet.frameCount < 1 ||
      sheet.frameCount > quenda::kMaxSheetFrames ||
      read->sequences.size() > std::size_t(quenda::kMaxSequences))
    __builtin_trap();
  quenda::ArchiveWriter first;
  quenda::WriteSheetFile(first, sheet, read->sequences);
  quenda::Result<quenda::SheetFileContents> again = quenda::ParseSheetFile(first.bytes(), "f.dgr");
  if (!again.ok()) __builtin_trap();
  quenda::ArchiveWriter second;
  quenda::WriteSheetFile(second, again->sheet, again->sequences);
  if (second.bytes() != first.bytes()) __builtin_trap();
  return 0;
}

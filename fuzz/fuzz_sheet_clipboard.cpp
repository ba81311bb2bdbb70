// Reads a sheet clipboard file from arbitrary bytes. What loads stays within the sheet's
// capacities with every used cell naming a sequence of the file, and writes out bytes that read
// back and write the same again.
#include <cstddef>
#include <cstdint>

#include "dopegrid/core/sheet_clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  quenda::Result<quenda::SheetClipboard> read = quenda::ParseClipboardFile({data, size}, "f.clip");
  if (!read.ok()) return 0;
  const quenda::CSheetGrid& cells = read->cells;
  if (cells.levelCount < 1 || cells.levelCount > quenda::kMaxLevels || cells.frameCount < 1 ||
      cells.frameCount > quenda::kMaxSheetFrames)
    __builtin_trap();
  for (int l = 0; l < cells.levelCount; ++l) {
    for (int f = 0; f < cells.frameCount; ++f) {
      const quenda::SheetCell& cell = cells.Cell(l, f);
      if (!cell.used()) continue;
      if (cell.sequence < 0 || std::size_t(cell.sequence) >= read->sequences.size() ||
          cell.frame < 0)
        __builtin_trap();
    }
  }
  quenda::ArchiveWriter first;
  quenda::WriteClipboardFile(first, *read);
  quenda::Result<quenda::SheetClipboard> again =
      quenda::ParseClipboardFile(first.bytes(), "f.clip");
  if (!again.ok()) __builtin_trap();
  quenda::ArchiveWriter second;
  quenda::WriteClipboardFile(second, *again);
  if (second.bytes() != first.bytes()) __builtin_trap();
  return 0;
}

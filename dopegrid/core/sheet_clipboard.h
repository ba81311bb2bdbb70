#pragma once
// The clipboard of separate runs: a small file holding the block of cells a cut or copy took,
// so that a later run can paste it, into the same sheet or another one.
//   the bytes "QSC1"
//   level count, frame count (u32 each; 1 .. 49 and 1 .. 1999)
//   sequence count (u32, at most 99), and per sequence its directory and name (archive strings)
//   per level, per frame: kind, frame, sequence (32 bits each, as in the sheet file)
// A used cell's sequence indexes the file's own sequence list, which is the Picture Holder of
// the sheet it came from; pasting finds each sequence again by folder and name.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

class CDopegridDoc;

struct ClipboardSequence {
  std::string directory;
  std::string name;
  bool operator==(const ClipboardSequence&) const = default;
};

struct SheetClipboard {
  CSheetGrid cells;  // levelCount x frameCount of them are the block
  std::vector<ClipboardSequence> sequences;
};

// The document's clipboard (its last cut or copy) with the sequences its cells name.
SheetClipboard ClipboardOf(const CDopegridDoc& doc);

void WriteClipboardFile(ArchiveWriter& out, const SheetClipboard& clipboard);
// Refuses a file without the leading bytes as "PATH is not a sheet clipboard file.", and one
// that ends early, holds counts beyond the sheet's capacities or cells that are not empty, key
// or hold or name no sequence of the file, with the archive's "damaged" text.
Result<SheetClipboard> ParseClipboardFile(std::span<const uint8_t> bytes, const std::string& path);
Status SaveClipboardFile(const std::string& path, const SheetClipboard& clipboard);
Result<SheetClipboard> LoadClipboardFile(const std::string& path);

// The block with its used cells renumbered to `sequences` (a sheet's Picture Holder). Refused
// when a sequence is not there or a cell shows a picture beyond that sequence's frames.
Result<CSheetGrid> ClipboardCellsFor(const SheetClipboard& clipboard,
                                     std::span<const DrawingSequence> sequences);

}  // namespace quenda

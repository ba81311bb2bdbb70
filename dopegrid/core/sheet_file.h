#pragma once
// The exposure sheet file (".dgr"): the Picture Holder's sequences and the sheet, written
// through the document archive with no header or version:
//   sequence count (u32)
//   frame count, level count (u32 each)
//   per level, per frame: kind, frame, sequence (32 bits each; note the order)
//   the level names (archive strings)
//   per sequence: directory, name (archive strings), frame count (u32), and per frame its
//   number (i32) and letter (one byte)
// Empty cells are stored with whatever sequence and frame they hold.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

inline constexpr int kMaxSequences = 99;
inline constexpr std::size_t kStoredCellBytes = 12;
inline constexpr std::size_t kStoredFrameTagBytes = 5;

struct SheetFileContents {
  std::vector<DrawingSequence> sequences;
  CSheetGrid sheet;
};

void WriteSheetFile(ArchiveWriter& out, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences);

// Refuses, with the archive's "damaged" text, a file that ends early and one whose counts lie
// beyond the sheet's capacities (more than 99 sequences, 49 levels, 1999 frames or 2000 frames
// of a sequence, or a sheet without levels or frames), so that nothing later trusts them.
// Directories read with either separator and are kept with '/'. Cells are taken as stored;
// the document checks their indices against the sequences.
Result<SheetFileContents> ParseSheetFile(std::span<const uint8_t> bytes, const std::string& path);

Status SaveSheetFile(const std::string& path, const CSheetGrid& sheet,
                     std::span<const DrawingSequence> sequences);
// ParseSheetFile on the file's bytes; a sequence folder stored relative is then looked for
// beside the sheet first and in the current directory next, and made absolute where found.
Result<SheetFileContents> LoadSheetFile(const std::string& path);

}  // namespace quenda

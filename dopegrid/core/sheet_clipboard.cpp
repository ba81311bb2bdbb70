#include "dopegrid/core/sheet_clipboard.h"

#include <algorithm>
#include <array>

#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {
namespace {

constexpr std::array<uint8_t, 4> kClipboardMagic{'Q', 'S', 'C', '1'};

bool KnownKind(CellKind kind) {
  return kind == CellKind::Empty || kind == CellKind::Key || kind == CellKind::Hold;
}

}  // namespace

SheetClipboard ClipboardOf(const CDopegridDoc& doc) {
  SheetClipboard clipboard{doc.clipboard(), {}};
  for (const DrawingSequence& s : doc.sequences())
    clipboard.sequences.push_back({s.directory, s.name});
  return clipboard;
}

void WriteClipboardFile(ArchiveWriter& out, const SheetClipboard& clipboard) {
  const CSheetGrid& cells = clipboard.cells;
  for (uint8_t b : kClipboardMagic) out.U8(b);
  out.U32(uint32_t(cells.levelCount));
  out.U32(uint32_t(cells.frameCount));
  out.U32(uint32_t(clipboard.sequences.size()));
  for (const ClipboardSequence& s : clipboard.sequences) {
    out.String(s.directory);
    out.String(s.name);
  }
  for (int l = 0; l < cells.levelCount; ++l) {
    for (int f = 0; f < cells.frameCount; ++f) {
      const SheetCell& cell = cells.Cell(l, f);
      out.I32(int32_t(cell.kind));
      out.I32(cell.frame);
      out.I32(cell.sequence);
    }
  }
}

Result<SheetClipboard> ParseClipboardFile(std::span<const uint8_t> bytes, const std::string& path) {
  if (bytes.size() < kClipboardMagic.size() ||
      !std::equal(kClipboardMagic.begin(), kClipboardMagic.end(), bytes.begin()))
    return Error{path + " is not a sheet clipboard file."};
  ArchiveReader in(bytes.subspan(kClipboardMagic.size()));
  SheetClipboard clipboard;
  uint32_t levels = in.U32();
  uint32_t frames = in.U32();
  uint32_t sequences = in.U32();
  if (!in.ok() || levels < 1 || levels > uint32_t(kMaxLevels) || frames < 1 ||
      frames > uint32_t(kMaxSheetFrames) || sequences > uint32_t(kMaxSequences))
    return ArchiveEndsEarly(path);
  for (uint32_t i = 0; i < sequences; ++i) {
    ClipboardSequence s;
    s.directory = in.String();
    s.name = in.String();
    clipboard.sequences.push_back(std::move(s));
  }
  if (in.remaining() != std::size_t(levels) * frames * kStoredCellBytes)
    return ArchiveEndsEarly(path);

  CSheetGrid& cells = clipboard.cells;
  cells.levelCount = int(levels);
  cells.frameCount = int(frames);
  for (int l = 0; l < cells.levelCount; ++l) {
    for (int f = 0; f < cells.frameCount; ++f) {
      SheetCell& cell = cells.Cell(l, f);
      cell.kind = CellKind(in.I32());
      cell.frame = in.I32();
      cell.sequence = in.I32();
      // Checked here, so that a paste never puts an index outside the Picture Holder.
      if (!KnownKind(cell.kind) ||
          (cell.used() && (cell.sequence < 0 || cell.frame < 0 || cell.sequence >= int(sequences))))
        return ArchiveEndsEarly(path);
    }
  }
  return clipboard;
}

Status SaveClipboardFile(const std::string& path, const SheetClipboard& clipboard) {
  ArchiveWriter out;
  WriteClipboardFile(out, clipboard);
  return SaveArchive(path, out);
}

Result<SheetClipboard> LoadClipboardFile(const std::string& path) {
  Result<std::vector<uint8_t>> bytes = LoadArchive(path);
  if (!bytes) return Error{bytes.message()};
  return ParseClipboardFile(*bytes, path);
}

Result<CSheetGrid> ClipboardCellsFor(const SheetClipboard& clipboard,
                                     std::span<const DrawingSequence> sequences) {
  // Where each of the clipboard's sequences stands in the target's Picture Holder.
  std::vector<int> target(clipboard.sequences.size(), -1);
  for (std::size_t i = 0; i < clipboard.sequences.size(); ++i) {
    const ClipboardSequence& wanted = clipboard.sequences[i];
    auto same = [&](std::size_t t) {
      return sequences[t].directory == wanted.directory && sequences[t].name == wanted.name;
    };
    // The same place first, so that a sequence added twice pastes back where it was copied.
    if (i < sequences.size() && same(i)) target[i] = int(i);
    for (std::size_t t = 0; t < sequences.size() && target[i] < 0; ++t)
      if (same(t)) target[i] = int(t);
  }
  CSheetGrid cells = clipboard.cells;
  for (int l = 0; l < cells.levelCount; ++l) {
    for (int f = 0; f < cells.frameCount; ++f) {
      SheetCell& cell = cells.Cell(l, f);
      if (!cell.used()) continue;
      const ClipboardSequence& from = clipboard.sequences[std::size_t(cell.sequence)];
      int to = target[std::size_t(cell.sequence)];
      if (to < 0)
        return Error{"The sequence \"" + from.name + "\" (" + from.directory +
                     ") of the clipboard is not in this sheet's Picture Holder."};
      int pictures = int(sequences[std::size_t(to)].frames.size());
      if (cell.frame >= pictures)
        return Error{"The clipboard shows picture " + std::to_string(cell.frame + 1) +
                     " of the sequence \"" + from.name + "\", which has " +
                     std::to_string(pictures) + " pictures in this sheet."};
      cell.sequence = to;
    }
  }
  return cells;
}

}  // namespace quenda

#include "dopegrid/core/sheet_file.h"

#include <algorithm>
#include <filesystem>

#include "common/case_insensitive_path.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/path.h"

namespace quenda {

void WriteSheetFile(ArchiveWriter& out, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences) {
  out.U32(uint32_t(sequences.size()));
  out.U32(uint32_t(sheet.frameCount));
  out.U32(uint32_t(sheet.levelCount));
  for (int l = 0; l < sheet.levelCount; ++l) {
    for (int f = 0; f < sheet.frameCount; ++f) {
      const SheetCell& cell = sheet.Cell(l, f);
      out.I32(int32_t(cell.kind));
      out.I32(cell.frame);
      out.I32(cell.sequence);
    }
  }
  for (int l = 0; l < sheet.levelCount; ++l) out.String(sheet.LevelName(l));
  for (const DrawingSequence& sequence : sequences) {
    out.String(sequence.directory);
    out.String(sequence.name);
    out.U32(uint32_t(sequence.frames.size()));
    for (const FrameTag& tag : sequence.frames) {
      out.I32(tag.number);
      out.U8(uint8_t(tag.letter));
    }
  }
}

Result<SheetFileContents> ParseSheetFile(std::span<const uint8_t> bytes, const std::string& path) {
  ArchiveReader in(bytes);
  SheetFileContents contents;
  uint32_t sequenceCount = in.U32();
  uint32_t frameCount = in.U32();
  uint32_t levelCount = in.U32();
  if (!in.ok() || sequenceCount > uint32_t(kMaxSequences) || levelCount < 1 ||
      levelCount > uint32_t(kMaxLevels) || frameCount < 1 || frameCount > uint32_t(kMaxSheetFrames))
    return ArchiveEndsEarly(path);
  if (in.remaining() < std::size_t(levelCount) * frameCount * kStoredCellBytes)
    return ArchiveEndsEarly(path);

  CSheetGrid& sheet = contents.sheet;
  sheet.frameCount = int(frameCount);
  sheet.levelCount = int(levelCount);
  for (int l = 0; l < sheet.levelCount; ++l) {
    for (int f = 0; f < sheet.frameCount; ++f) {
      SheetCell& cell = sheet.Cell(l, f);
      cell.kind = CellKind(in.I32());
      cell.frame = in.I32();
      cell.sequence = in.I32();
    }
  }
  for (int l = 0; l < sheet.levelCount; ++l) sheet.SetLevelName(l, in.String());
  if (!in.ok()) return ArchiveEndsEarly(path);

  for (uint32_t i = 0; i < sequenceCount; ++i) {
    DrawingSequence sequence;
    sequence.directory = in.String();
    std::replace(sequence.directory.begin(), sequence.directory.end(), '\\', '/');
    sequence.name = in.String();
    uint32_t count = in.U32();
    if (!in.ok() || count > uint32_t(kSheetSequenceCapacity) ||
        in.remaining() < std::size_t(count) * kStoredFrameTagBytes)
      return ArchiveEndsEarly(path);
    sequence.frames.resize(count);
    for (FrameTag& tag : sequence.frames) {
      tag.number = in.I32();
      tag.letter = char(in.U8());
    }
    sequence.frameCount = int(count);
    contents.sequences.push_back(std::move(sequence));
  }
  if (!in.ok()) return ArchiveEndsEarly(path);
  return contents;
}

Status SaveSheetFile(const std::string& path, const CSheetGrid& sheet,
                     std::span<const DrawingSequence> sequences) {
  ArchiveWriter out;
  WriteSheetFile(out, sheet, sequences);
  return SaveArchive(path, out);
}

namespace {

// True when the sequence's folder is there and holds one of its drawings (or the sequence has
// none); the folder is looked at first, as a missing one would make every drawing a search.
bool SequenceFound(const DrawingSequence& sequence) {
  std::error_code ignored;
  std::string folder = ResolvePathIgnoringCase(NormalizeSeparators(sequence.directory));
  if (!std::filesystem::is_directory(folder, ignored)) return false;
  if (sequence.frames.empty()) return true;
  const FolderListing listing = SequenceFolder(sequence);
  for (const FrameTag& tag : sequence.frames)
    if (FileOpensForReading(SequenceFilePath(sequence, tag, ".qds", listing))) return true;
  return false;
}

// A folder stored relative (by older tools) is looked for beside the sheet first, then in the
// current directory; where it is found it becomes absolute, else it stays as stored.
void ResolveRelativeDirectories(std::vector<DrawingSequence>& sequences,
                                const std::string& sheetPath) {
  for (DrawingSequence& sequence : sequences) {
    auto folder = FindRelativeFolder(sequence.directory, sheetPath, [&](const std::string& dir) {
      DrawingSequence moved = sequence;
      moved.directory = dir;
      return SequenceFound(moved);
    });
    if (folder) sequence.directory = std::move(*folder);
  }
}

}  // namespace

Result<SheetFileContents> LoadSheetFile(const std::string& path) {
  Result<std::vector<uint8_t>> bytes = LoadArchive(path);
  if (!bytes) return Error{bytes.message()};
  Result<SheetFileContents> contents = ParseSheetFile(*bytes, path);
  if (contents) ResolveRelativeDirectories(contents->sequences, path);
  return contents;
}

}  // namespace quenda

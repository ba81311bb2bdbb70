#include "dopegrid/core/job_inputs.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "dopegrid/core/sheet_drawing.h"

namespace quenda {
namespace {

// Calls `bad` with each missing or unreadable file (once) and each cell that reads one.
void WalkJobInputs(const SheetSource& source, const CompositeJob& job, int writeFirst,
                   int writeLast, const std::function<void(const std::string&)>& badFile,
                   const std::function<void(int, int)>& badCell) {
  std::set<std::string> checked, failed;
  // Each sequence's folder is listed once for all its cells; the paths come out resolved.
  std::map<int, FolderListing> folders;
  auto folderOf = [&](int sequence) -> const FolderListing& {
    auto found = folders.find(sequence);
    if (found == folders.end())
      found =
          folders.emplace(sequence, SequenceFolder(source.sequences[std::size_t(sequence)])).first;
    return found->second;
  };
  // True when the file is fine; reports it the first time it is not.
  auto check = [&](const std::string& path, bool drawing) {
    if (checked.insert(path).second) {
      bool opens = !path.empty() && FileOpensForReading(path);
      if (!opens || (drawing && !ReadSheetDrawingHeader(path))) {
        failed.insert(path);
        badFile((opens ? "unreadable: " : "missing: ") + path);
      }
    }
    return !failed.contains(path);
  };
  for (int level : job.levels) {
    for (int f = job.firstFrame; f <= job.lastFrame; ++f) {
      const SheetCell& cell = source.sheet.Cell(level, f);
      if (!cell.used() || cell.sequence < 0 || cell.sequence >= int(source.sequences.size()))
        continue;
      const DrawingSequence& s = source.sequences[std::size_t(cell.sequence)];
      if (cell.frame < 0 || cell.frame >= int(s.frames.size())) continue;
      const FrameTag& tag = s.frames[std::size_t(cell.frame)];
      const FolderListing& folder = folderOf(cell.sequence);
      bool fine = check(SequenceFilePath(s, tag, ".qds", folder), true);
      if (job.mode == CompositeMode::Painted && f >= writeFirst && f <= writeLast) {
        // Every check runs, so that each missing file is named.
        fine = check(ColorSetPath(s), false) && fine;
        fine = check(SequenceFilePath(s, tag, ".rgn", folder), false) && fine;
        fine = check(SequenceFilePath(s, tag, ".pnt", folder), false) && fine;
      }
      if (!fine) badCell(level, f);
    }
  }
}

}  // namespace

Status CheckJobInputs(const SheetSource& source, const CompositeJob& job, int writeFirst,
                      int writeLast) {
  std::string lines;
  WalkJobInputs(
      source, job, writeFirst, writeLast,
      [&](const std::string& line) { lines += (lines.empty() ? "" : "\n") + line; },
      [](int, int) {});
  if (lines.empty()) return {};
  return Error{lines};
}

CSheetGrid WithoutMissingInputs(const SheetSource& source, const CompositeJob& job, int writeFirst,
                                int writeLast) {
  CSheetGrid sheet = source.sheet;
  WalkJobInputs(
      source, job, writeFirst, writeLast, [](const std::string&) {},
      [&](int level, int frame) { sheet.Cell(level, frame).kind = CellKind::Empty; });
  return sheet;
}

Status CheckSoundInput(const std::string& path) {
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return Error{"missing: " + path};
  if (!std::ifstream(path, std::ios::binary)) return Error{"unreadable: " + path};
  return {};
}

std::string MissingInputsQuestion(const Status& missing, std::string_view goOn) {
  return "These files are missing or unreadable:\n" + missing.message() + "\n\n" +
         std::string(goOn);
}

}  // namespace quenda

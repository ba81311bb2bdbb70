#include "cli/sheet_command_support.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <utility>

#include "cli/arguments.h"
#include "cli/file_info.h"

namespace quenda::cli {

std::optional<std::vector<int>> ParseLevels(const std::string& text, const CSheetGrid& sheet) {
  std::vector<int> levels;
  std::stringstream words(text);
  std::string word;
  while (std::getline(words, word, ',')) {
    std::optional<int> level = ParseInt(word, 0, sheet.levelCount - 1);
    for (int l = 0; !level && l < sheet.levelCount; ++l)
      if (sheet.LevelName(l) == word) level = l;
    if (!level) return std::nullopt;
    levels.push_back(*level);
  }
  if (levels.empty()) return std::nullopt;
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  return levels;
}

std::optional<SheetFileContents> ReadStoredSheet(const std::string& path, CommandIo& io,
                                                 std::string_view command) {
  Result<SheetFileContents> stored = LoadSheetFile(path);
  if (!stored) {
    ReportFileError(io, command, path, stored.message());
    return std::nullopt;
  }
  return std::move(stored).value();
}

std::vector<int> AllLevels(const CSheetGrid& sheet) {
  std::vector<int> levels(std::size_t(sheet.levelCount));
  for (int l = 0; l < sheet.levelCount; ++l) levels[std::size_t(l)] = l;
  return levels;
}

Result<SheetSelection> ParseBlock(const Arguments& parsed, const CSheetGrid& sheet) {
  SheetSelection block{0, 0, sheet.levelCount - 1, sheet.frameCount - 1};
  if (std::optional<std::string> text = parsed.Value("--levels")) {
    std::optional<std::vector<int>> levels = ParseLevels(*text, sheet);
    if (!levels || levels->back() - levels->front() + 1 != int(levels->size()))
      return Error{"--levels must name adjacent levels of the sheet, by index or name"};
    block.firstLevel = levels->front();
    block.lastLevel = levels->back();
  }
  if (std::optional<std::string> text = parsed.Value("--frames")) {
    auto frames = ParseRange(*text, 1, sheet.frameCount);
    if (!frames)
      return Error{"--frames must be A-B within the sheet's " + std::to_string(sheet.frameCount) +
                   " frames"};
    block.firstFrame = frames->first - 1;
    block.lastFrame = frames->second - 1;
  }
  return block;
}

Result<DrawnPart> ParseDrawnPart(const Arguments& parsed, const CSheetGrid& sheet) {
  DrawnPart part{0, sheet.frameCount - 1, AllLevels(sheet)};
  if (std::optional<std::string> text = parsed.Value("--frames")) {
    auto range = ParseRange(*text, 1, sheet.frameCount);
    if (!range) return Error{"--frames must be A-B within the sheet's frames"};
    part.firstFrame = range->first - 1;
    part.lastFrame = range->second - 1;
  }
  if (std::optional<std::string> text = parsed.Value("--levels")) {
    std::optional<std::vector<int>> levels = ParseLevels(*text, sheet);
    if (!levels) return Error{"--levels must name levels of the sheet"};
    part.levels = std::move(*levels);
  }
  return part;
}

// As stored: the sequences are not looked for, only whether their folders are there.
int PrintSheetInfo(const std::string& path, CommandIo& io) {
  Result<SheetFileContents> stored = LoadSheetFile(path);
  if (!stored) {
    io.err << stored.message() << "\n";
    return 1;
  }
  const CSheetGrid& sheet = stored->sheet;
  io.out << "exposure sheet " << path << "\n"
         << "size: " << sheet.levelCount << " levels, " << sheet.frameCount << " frames\n";
  for (int l = 0; l < sheet.levelCount; ++l)
    io.out << "level " << l << ": " << sheet.LevelName(l) << "\n";
  int number = 1;
  for (const DrawingSequence& sequence : stored->sequences) {
    std::error_code ignored;
    const bool there = std::filesystem::is_directory(
        sequence.directory.empty() ? "." : sequence.directory, ignored);
    io.out << "sequence " << number++ << ": " << sequence.directory << sequence.name << ", "
           << sequence.frameCount << " frames, folder " << (there ? "found" : "missing") << "\n";
  }
  io.out << "sound: none kept in the sheet (flipbook --sound lays one under its frames)\n";
  return 0;
}

}  // namespace quenda::cli

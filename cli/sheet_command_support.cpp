#include "cli/sheet_command_support.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "cli/arguments.h"

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

std::optional<SheetFileContents> ReadStoredSheet(const std::string& path, CommandIo& io) {
  Result<SheetFileContents> stored = LoadSheetFile(path);
  if (!stored) {
    io.err << stored.message() << "\n";
    return std::nullopt;
  }
  return std::move(stored).value();
}

std::vector<int> AllLevels(const CSheetGrid& sheet) {
  std::vector<int> levels(std::size_t(sheet.levelCount));
  for (int l = 0; l < sheet.levelCount; ++l) levels[std::size_t(l)] = l;
  return levels;
}

}  // namespace quenda::cli

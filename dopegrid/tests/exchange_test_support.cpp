#include "dopegrid/tests/exchange_test_support.h"

#include <filesystem>
#include <random>

#include "testing/test_support.h"

namespace quenda::testing {

DrawingSequence TouchSequence(const std::string& folder, const std::string& name,
                              const std::vector<std::string>& tags) {
  std::filesystem::create_directories(folder);
  for (const std::string& tag : tags) WriteText(folder + name + tag + ".qds", "");
  return OpenSequence(folder + name + tags.front() + ".qds", name + tags.front());
}

std::vector<std::vector<std::string>> DrawingsOf(const CSheetGrid& sheet,
                                                 const std::vector<DrawingSequence>& sequences) {
  std::vector<std::vector<std::string>> drawings(std::size_t(sheet.levelCount));
  for (int l = 0; l < sheet.levelCount; ++l) {
    for (int f = 0; f < sheet.frameCount; ++f) {
      const SheetCell& cell = sheet.Cell(l, f);
      std::string text;
      if (cell.used()) {
        const DrawingSequence& s = sequences.at(std::size_t(cell.sequence));
        text = s.directory + s.name + " " + FormatFrameTag(s.frames.at(std::size_t(cell.frame)));
      }
      drawings[std::size_t(l)].push_back(text);
    }
  }
  return drawings;
}

CSheetGrid GeneratedSheet(int levels, int frames, const std::vector<DrawingSequence>& sequences,
                          unsigned seed) {
  std::mt19937 random(seed);
  auto below = [&](int n) { return int(random() % unsigned(n)); };
  CSheetGrid sheet;
  sheet.frameCount = frames;
  for (int l = 0; l < levels; ++l) {
    sheet.AddLevel("level" + std::to_string(l));
    const int kind = below(6);  // 0: empty level, 1: mixed sequences, else one sequence
    if (kind == 0) continue;
    const int own = below(int(sequences.size()));
    for (int f = 0; f < frames;) {
      const int run = 1 + below(4);
      const bool empty = below(5) == 0;
      const int s = kind == 1 ? below(int(sequences.size())) : own;
      const int picture = below(sequences[std::size_t(s)].frameCount);
      for (int i = 0; i < run && f < frames; ++i, ++f)
        if (!empty) sheet.Cell(l, f) = {CellKind::Key, s, picture};
    }
  }
  // The last frame shows a drawing on the first level, so that the sheet's end is tested.
  sheet.Cell(0, frames - 1) = {CellKind::Key, 0, sequences[0].frameCount - 1};
  sheet.NormaliseHolds();
  return sheet;
}

std::string ColumnText(const ExchangeColumn& column) {
  std::string text;
  for (const auto& cell : column.cells) text += (text.empty() ? "" : " ") + cell.value_or(".");
  return text;
}

}  // namespace quenda::testing

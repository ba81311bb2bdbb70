#include "dopegrid/core/sheet_exchange.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <map>
#include <set>

#include "common/path.h"
#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/sheet_file.h"

namespace quenda {
namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// At most `limit` bytes of UTF-8 text, never cutting a character in two.
std::string CutToBytes(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// A sequence as the user knows it: its folder and name.
std::string SequenceCaption(const DrawingSequence& sequence) {
  return sequence.name + " (" + sequence.directory + ")";
}

using TagIndex = std::map<std::pair<int, char>, int>;

TagIndex IndexTags(const DrawingSequence& sequence) {
  TagIndex index;
  for (int i = 0; i < sequence.frameCount; ++i) {
    const FrameTag& tag = sequence.frames[std::size_t(i)];
    index.emplace(std::pair(tag.number, tag.letter), i);
  }
  return index;
}

// The index of the drawing with that tag; a letter of the other case matches when the exact
// one is not there (file names ignore case).
std::optional<int> FindTag(const TagIndex& index, const FrameTag& tag) {
  if (auto it = index.find({tag.number, tag.letter}); it != index.end()) return it->second;
  char other = char(std::islower(static_cast<unsigned char>(tag.letter))
                        ? std::toupper(static_cast<unsigned char>(tag.letter))
                        : std::tolower(static_cast<unsigned char>(tag.letter)));
  if (auto it = index.find({tag.number, other}); it != index.end()) return it->second;
  return std::nullopt;
}

// The sequences of one import, each once, found by choice or by name.
class SequencePool {
 public:
  explicit SequencePool(const ExchangeImportOptions& options) : options_(options) {}

  // Adds the sequence of a chosen drawing; nothing when it is none.
  std::optional<int> Choose(const std::string& drawing) {
    std::string path = AbsolutePath(drawing);
    if (!IsSequenceFileName(path) || !FrameExists(path)) return std::nullopt;
    DrawingSequence sequence = OpenSequence(path, TitleOf(path));
    if (sequence.frameCount == 0) return std::nullopt;
    return Add(std::move(sequence));
  }

  // The sequence called `name`: one chosen for this column, then any chosen, then one found in
  // the folders.
  std::optional<int> Named(const std::string& name, const std::vector<int>& columnChoices) {
    const std::string lower = LowerAscii(name);
    for (int s : columnChoices)
      if (LowerAscii(sequences_[std::size_t(s)].name) == lower) return s;
    for (int s : chosen_)
      if (LowerAscii(sequences_[std::size_t(s)].name) == lower) return s;
    if (auto it = byName_.find(lower); it != byName_.end()) return it->second;
    std::optional<int> found;
    for (const std::string& folder : options_.folders) {
      for (const std::string& place : {JoinPath(folder, ""), JoinPath(folder, name + "/")}) {
        DrawingSequence sequence = OpenSequence(place + name + "1.qds", name + "1");
        if (sequence.frameCount > 0) {
          found = Add(std::move(sequence));
          break;
        }
      }
      if (found) break;
    }
    byName_[lower] = found;
    return found;
  }

  void MarkChosen(int s) { chosen_.push_back(s); }
  const DrawingSequence& at(int s) const { return sequences_[std::size_t(s)]; }
  const TagIndex& tags(int s) const { return tags_[std::size_t(s)]; }
  std::vector<DrawingSequence> Take() { return std::move(sequences_); }

  std::string FolderList() const {
    std::string list;
    for (const std::string& folder : options_.folders)
      list += (list.empty() ? "" : " or ") + JoinPath(folder, "");
    return list;
  }

 private:
  int Add(DrawingSequence sequence) {
    for (std::size_t s = 0; s < sequences_.size(); ++s)
      if (sequences_[s].directory == sequence.directory &&
          LowerAscii(sequences_[s].name) == LowerAscii(sequence.name))
        return int(s);
    tags_.push_back(IndexTags(sequence));
    sequences_.push_back(std::move(sequence));
    return int(sequences_.size() - 1);
  }

  const ExchangeImportOptions& options_;
  std::vector<DrawingSequence> sequences_;
  std::vector<TagIndex> tags_;
  std::vector<int> chosen_;
  std::map<std::string, std::optional<int>> byName_;
};

// One text that names nothing, counted over the frames it stands on.
struct MissingText {
  int firstFrame = 0;
  int cells = 0;
  std::string reason;
};

// The column's sequence for bare frame texts and why: chosen, named by a text, or the column's.
struct ColumnSequence {
  std::optional<int> sequence;
  std::string why;
  std::string name;  // the name looked for
};

ColumnSequence SequenceForColumn(const ExchangeColumn& column, const std::vector<int>& choices,
                                 SequencePool& pool) {
  if (!choices.empty()) return {choices.front(), "by --sequence", pool.at(choices.front()).name};
  for (const std::optional<std::string>& text : column.cells) {
    if (!text) continue;
    std::optional<CellText> cell = ParseCellText(*text);
    if (cell && !cell->sequence.empty())
      return {pool.Named(cell->sequence, choices), "named by its cells", cell->sequence};
  }
  bool lettersOnly = !column.name.empty();
  for (char c : column.name) lettersOnly = lettersOnly && IsLetter(c);
  if (!lettersOnly) return {std::nullopt, "", column.name};
  return {pool.Named(column.name, choices), "named as the column", column.name};
}

std::string FrameCount(int cells) {
  return std::to_string(cells) + (cells == 1 ? " cell" : " cells");
}

}  // namespace

std::optional<SequenceChoice> ParseSequenceChoice(std::string_view text) {
  std::size_t equals = text.find('=');  // a path may hold "=", a level name hardly
  if (equals == std::string_view::npos || equals == 0 || equals + 1 == text.size())
    return std::nullopt;
  return SequenceChoice{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

std::optional<CellText> ParseCellText(std::string_view text) {
  std::size_t letters = 0;
  while (letters < text.size() && IsLetter(text[letters])) ++letters;
  std::size_t digits = letters;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == letters) return std::nullopt;
  if (text.size() > digits + 1 || (text.size() == digits + 1 && !IsLetter(text[digits])))
    return std::nullopt;
  long long number = 0;
  for (std::size_t i = letters; i < digits; ++i)
    number = std::min<long long>(number * 10 + (text[i] - '0'), INT_MAX);
  CellText cell{std::string(text.substr(0, letters)), {int(number), kNoLetter}};
  if (text.size() == digits + 1) cell.tag.letter = text[digits];
  return cell;
}

std::vector<std::string> LevelNamesFor(std::span<const ExchangeColumn> columns,
                                       std::vector<std::string>& notes) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const ExchangeColumn& column : columns) {
    std::string name = CutToBytes(column.name, std::size_t(kLevelNameLimit));
    if (taken.count(name)) {
      for (int n = 2;; ++n) {
        std::string suffix = "~" + std::to_string(n);
        std::string candidate =
            CutToBytes(column.name, std::size_t(kLevelNameLimit) - suffix.size()) + suffix;
        if (!taken.count(candidate)) {
          name = candidate;
          break;
        }
      }
    }
    if (name != column.name)
      notes.push_back(
          column.caption + " became level " + Quoted(name) +
          (name.size() < column.name.size() || taken.count(column.name) == 0
               ? " (a level name has at most " + std::to_string(kLevelNameLimit) + " bytes)"
               : " (its name was taken)"));
    taken.insert(name);
    names.push_back(std::move(name));
  }
  return names;
}

Result<ExchangeImport> BuildImportedSheet(std::span<const ExchangeColumn> given, int frameCount,
                                          const ExchangeImportOptions& options) {
  ExchangeImport result;
  // A sheet has at least one level.
  const std::vector<ExchangeColumn> fallback = {
      {std::string(kDefaultLevelName), std::string(kDefaultLevelName), {}}};
  std::span<const ExchangeColumn> columns = given;
  if (given.empty()) {
    columns = fallback;
    result.notes.push_back("the file has no cell columns: the sheet has one empty level \"" +
                           std::string(kDefaultLevelName) + "\"");
  }
  std::vector<std::string> names = LevelNamesFor(columns, result.notes);
  SequencePool pool(options);

  // Each choice's column: the one whose level name is the key, else those the file so names.
  std::vector<std::vector<int>> columnChoices(columns.size());
  for (const SequenceChoice& choice : options.choices) {
    std::vector<std::size_t> keyed;
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (names[c] == choice.key) keyed.push_back(c);
    for (std::size_t c = 0; keyed.empty() && c < columns.size(); ++c)
      if (columns[c].name == choice.key) keyed.push_back(c);
    if (keyed.empty())
      return Error{"--sequence " + choice.key + "=" + choice.firstDrawing +
                   ": the file has no column " + Quoted(choice.key)};
    std::optional<int> s = pool.Choose(choice.firstDrawing);
    if (!s)
      return Error{"--sequence " + choice.key + "=" + choice.firstDrawing +
                   ": no drawing sequence starts there"};
    pool.MarkChosen(*s);
    for (std::size_t c : keyed) columnChoices[c].push_back(*s);
  }

  CSheetGrid& sheet = result.sheet;
  sheet.frameCount = frameCount;
  for (const std::string& name : names) sheet.AddLevel(name);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const ExchangeColumn& column = columns[c];
    const std::string level = "level " + Quoted(names[c]);
    ColumnSequence own = SequenceForColumn(column, columnChoices[c], pool);
    bool used = false;
    for (const auto& text : column.cells) used = used || text.has_value();
    if (!used)
      result.choices.push_back(level + ": no cells");
    else if (own.sequence)
      result.choices.push_back(level + ": sequence " + SequenceCaption(pool.at(*own.sequence)) +
                               ", " + own.why);
    else
      result.choices.push_back(level + ": no sequence found");
    std::map<std::string, MissingText> missing;
    for (int f = 0; f < frameCount && f < int(column.cells.size()); ++f) {
      const std::optional<std::string>& text = column.cells[std::size_t(f)];
      if (!text) continue;
      std::optional<CellText> cell = ParseCellText(*text);
      std::optional<int> sequence = own.sequence;
      std::string reason, key = *text;
      if (!cell) {
        reason =
            "names no drawing (a drawing is its frame text, as 12 or 12a, or its "
            "sequence's name and frame text, as walk12)";
      } else {
        if (!cell->sequence.empty()) sequence = pool.Named(cell->sequence, columnChoices[c]);
        const std::string wanted = cell->sequence.empty() ? own.name : cell->sequence;
        if (!sequence && wanted.empty())
          reason =
              "names no sequence, and the column's name is no sequence name (--sequence "
              "chooses one)";
        else if (!sequence) {
          // One line for all the cells of a sequence that is not there.
          key = std::string("\x01") + wanted;
          reason = "sequence " + wanted + " is not found in " + pool.FolderList() +
                   " (--sequence chooses one)";
        } else if (std::optional<int> index = FindTag(pool.tags(*sequence), cell->tag)) {
          SheetCell& target = sheet.Cell(int(c), f);
          target = {CellKind::Key, *sequence, *index};
          continue;
        } else {
          reason = "is no drawing of sequence " + SequenceCaption(pool.at(*sequence));
        }
      }
      auto [it, fresh] = missing.try_emplace(key, MissingText{f, 0, reason});
      ++it->second.cells;
    }
    for (const auto& [text, what] : missing)
      result.missing.push_back(level + ": " + (text[0] == '\x01' ? "" : Quoted(text) + " ") +
                               what.reason + " (from frame " + std::to_string(what.firstFrame + 1) +
                               ", " + FrameCount(what.cells) + ")");
  }
  sheet.NormaliseHolds();
  result.sequences = pool.Take();
  if (int(result.sequences.size()) > kMaxSequences)
    return Error{"the file names " + std::to_string(result.sequences.size()) +
                 " sequences; a sheet holds at most " + std::to_string(kMaxSequences)};
  return result;
}

LevelTexts LevelTextsOf(const CSheetGrid& sheet, int level) {
  LevelTexts texts;
  for (int f = 0; f < sheet.frameCount; ++f) {
    const SheetCell& cell = sheet.Cell(level, f);
    if (!cell.used()) continue;
    if (texts.sequence < 0) texts.sequence = cell.sequence;
    if (cell.sequence != texts.sequence) texts.bare = false;
  }
  return texts;
}

std::string CellTextOf(const SheetCell& cell, std::span<const DrawingSequence> sequences,
                       bool bare) {
  if (!cell.used() || cell.sequence < 0 || std::size_t(cell.sequence) >= sequences.size())
    return "";
  const DrawingSequence& sequence = sequences[std::size_t(cell.sequence)];
  if (cell.frame < 0 || cell.frame >= int(sequence.frames.size())) return "";
  std::string text = FormatFrameTag(sequence.frames[std::size_t(cell.frame)]);
  return bare ? text : sequence.name + text;
}

namespace {

std::string ShellWord(const std::string& word) {
  bool plain = !word.empty();
  for (char c : word)
    plain = plain && (IsLetter(c) || IsDigit(c) ||
                      std::string_view("_./=+,:@%-").find(c) != std::string_view::npos);
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::vector<SequenceChoice> SequenceChoicesFor(const CSheetGrid& sheet,
                                               std::span<const DrawingSequence> sequences) {
  std::vector<ExchangeColumn> columns;
  for (int l = 0; l < sheet.levelCount; ++l) columns.push_back({sheet.LevelName(l), "", {}});
  std::vector<std::string> ignored;
  std::vector<std::string> keys = LevelNamesFor(columns, ignored);
  std::vector<SequenceChoice> choices;
  for (int l = 0; l < sheet.levelCount; ++l) {
    std::vector<int> used;
    for (int f = 0; f < sheet.frameCount; ++f) {
      const SheetCell& cell = sheet.Cell(l, f);
      if (!cell.used() || cell.sequence < 0 || std::size_t(cell.sequence) >= sequences.size())
        continue;
      if (std::find(used.begin(), used.end(), cell.sequence) == used.end())
        used.push_back(cell.sequence);
    }
    for (int s : used) {
      const DrawingSequence& sequence = sequences[std::size_t(s)];
      if (sequence.frames.empty()) continue;
      choices.push_back(
          {keys[std::size_t(l)], SequenceFilePath(sequence, sequence.frames.front(), ".qds")});
    }
  }
  return choices;
}

std::string SequenceOptionsFor(std::span<const SequenceChoice> choices) {
  std::string options;
  for (const SequenceChoice& choice : choices)
    options += (options.empty() ? "" : " ") + std::string("--sequence ") +
               ShellWord(choice.key + "=" + choice.firstDrawing);
  return options;
}

WriteMessages ExportWriteMessages(const std::string& path) {
  return {"Could not write " + path + ": the file or its folder may be read only.",
          "Could not write " + path + ": the disk may be full. The previous file is unchanged."};
}

}  // namespace quenda

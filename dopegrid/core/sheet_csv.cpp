#include "dopegrid/core/sheet_csv.h"

#include <map>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {
namespace {

// Quoted when it holds a separator, a quote or a line end, quotes doubled.
void AppendField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  out += '"';
}

struct CsvRecord {
  int line = 0;  // of its first character, from 1
  std::vector<std::string> fields;
};

// RFC 4180 records; a quote inside an unquoted field is taken as it is. Blank lines are no
// records.
Result<std::vector<CsvRecord>> SplitRecords(std::string_view text, const std::string& path) {
  std::vector<CsvRecord> records;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int line = 1;
  std::size_t i = 0;
  while (i < text.size()) {
    CsvRecord record{line, {}};
    std::string field;
    bool any = false;
    while (true) {
      if (i < text.size() && text[i] == '"' && field.empty()) {
        const int opened = line;
        ++i;
        while (true) {
          if (i >= text.size())
            return Error{path + ": line " + std::to_string(opened) +
                         ": a quoted field is not closed"};
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field += '"', i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == '\n') ++line;
          field += text[i++];
        }
        any = true;
      }
      while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
        field += text[i++], any = true;
      record.fields.push_back(std::move(field));
      field.clear();
      if (i < text.size() && text[i] == ',') {
        ++i, any = true;
        continue;
      }
      break;
    }
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
    ++line;
    if (any) records.push_back(std::move(record));
  }
  return records;
}

std::string Trim(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

}  // namespace

std::string WriteSheetCsv(const CSheetGrid& sheet, std::span<const DrawingSequence> sequences) {
  std::string out = "frame";
  for (int l = 0; l < sheet.levelCount; ++l) {
    out += ',';
    AppendField(out, sheet.LevelName(l));
  }
  out += "\r\n";
  for (int f = 0; f < sheet.frameCount; ++f) {
    out += std::to_string(f + 1);
    for (int l = 0; l < sheet.levelCount; ++l) {
      out += ',';
      AppendField(out, CellTextOf(sheet.Cell(l, f), sequences, false));
    }
    out += "\r\n";
  }
  return out;
}

Status SaveSheetCsv(const std::string& path, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences) {
  return WriteFileAtomically(path, WriteSheetCsv(sheet, sequences), ExportWriteMessages(path));
}

Result<CsvColumns> ReadSheetCsv(std::string_view text, const std::string& path) {
  Result<std::vector<CsvRecord>> records = SplitRecords(text, path);
  if (!records) return Error{records.message()};
  if (records->empty()) return Error{path + ": no header row (frame,LEVEL,...)"};
  const CsvRecord& header = records->front();
  if (LowerAscii(Trim(header.fields.front())) != "frame")
    return Error{path + ": line " + std::to_string(header.line) +
                 ": the header row must start with \"frame\""};
  const std::size_t levels = header.fields.size() - 1;
  if (levels > std::size_t(kMaxLevels))
    return Error{path + " has " + std::to_string(levels) +
                 " level columns; a sheet holds at most " + std::to_string(kMaxLevels)};
  if (levels == 0) return Error{path + ": the header row names no level"};

  CsvColumns result;
  for (std::size_t c = 0; c < levels; ++c) {
    ExchangeColumn column;
    column.name = Trim(header.fields[c + 1]);
    if (column.name.empty()) {
      column.name = "level " + std::to_string(c + 1);
      result.notes.push_back("column " + std::to_string(c + 2) + " has no name: level \"" +
                             column.name + "\"");
    }
    column.caption = "column \"" + column.name + "\"";
    result.columns.push_back(std::move(column));
  }
  std::map<int, std::size_t> rowOfFrame;  // frame (from 1) -> record
  for (std::size_t r = 1; r < records->size(); ++r) {
    const CsvRecord& record = (*records)[r];
    const std::string where = path + ": line " + std::to_string(record.line);
    if (record.fields.size() > header.fields.size())
      return Error{where + " has " + std::to_string(record.fields.size()) +
                   " fields; the header has " + std::to_string(header.fields.size())};
    std::string frameText = Trim(record.fields.front());
    bool digits = !frameText.empty() && frameText.size() < 10 &&
                  frameText.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(frameText) < 1)
      return Error{where + ": frame \"" + frameText + "\" is not a whole number from 1"};
    const int frame = std::stoi(frameText);
    if (frame > kMaxSheetFrames)
      return Error{where + ": frame " + frameText + " lies beyond the " +
                   std::to_string(kMaxSheetFrames) + " frames a sheet holds"};
    auto [it, fresh] = rowOfFrame.emplace(frame, r);
    if (!fresh)
      return Error{where + ": frame " + frameText + " is given twice (also on line " +
                   std::to_string((*records)[it->second].line) + ")"};
  }
  if (rowOfFrame.empty()) return Error{path + ": no rows of frames below the header"};
  result.frameCount = rowOfFrame.rbegin()->first;
  for (ExchangeColumn& column : result.columns) column.cells.resize(std::size_t(result.frameCount));
  for (const auto& [frame, r] : rowOfFrame) {
    const CsvRecord& record = (*records)[r];
    for (std::size_t c = 0; c < levels && c + 1 < record.fields.size(); ++c) {
      std::string cell = Trim(record.fields[c + 1]);
      if (!cell.empty()) result.columns[c].cells[std::size_t(frame - 1)] = std::move(cell);
    }
  }
  const int absent = result.frameCount - int(rowOfFrame.size());
  if (absent > 0)
    result.notes.push_back(std::to_string(absent) + (absent == 1 ? " frame has" : " frames have") +
                           " no row: empty cells");
  return result;
}

Result<CsvColumns> LoadSheetCsv(const std::string& path) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) return Error{"Could not open " + path + "."};
  return ReadSheetCsv(*text, path);
}

}  // namespace quenda

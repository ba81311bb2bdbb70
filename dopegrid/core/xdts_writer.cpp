// Writing XDTS timesheets: every level a cell track (the front level the highest track), each
// listing the frames where its column changes and ending empty one past the last frame.

#include <nlohmann/json.hpp>

#include "common/atomic_file.h"
#include "dopegrid/core/xdts_file.h"

namespace quenda {

bool IsXdtsNumber(std::string_view text) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

namespace {

using ordered = nlohmann::ordered_json;

// Built member by member and moved into place: initializer lists would copy every nested value.
ordered Entry(int frame, std::string_view value) {
  ordered values = ordered::array();
  values.push_back(value);
  ordered datum = ordered::object();
  datum["id"] = 0;
  datum["values"] = std::move(values);
  ordered data = ordered::array();
  data.push_back(std::move(datum));
  ordered entry = ordered::object();
  entry["frame"] = frame;
  entry["data"] = std::move(data);
  return entry;
}

}  // namespace

XdtsExport WriteXdts(const CSheetGrid& sheet, std::span<const DrawingSequence> sequences,
                     const XdtsWriteOptions& options) {
  XdtsExport result;
  ordered tracks = ordered::array();
  ordered names = ordered::array();
  for (int track = 0; track < sheet.levelCount; ++track) {
    const int level = sheet.levelCount - 1 - track;
    LevelTexts texts = LevelTextsOf(sheet, level);
    if (!texts.bare)
      result.notes.push_back("level \"" + sheet.LevelName(level) +
                             "\" shows drawings of several sequences: its cells are written as "
                             "sequence name and frame text (as walk12)");
    ordered frames = ordered::array();
    std::string showing;  // empty: the column is empty
    for (int f = 0; f < sheet.frameCount; ++f) {
      std::string text = CellTextOf(sheet.Cell(level, f), sequences, texts.bare);
      if (text == showing) continue;
      frames.push_back(Entry(f, text.empty() ? kXdtsNullCell : std::string_view(text)));
      showing = std::move(text);
    }
    frames.push_back(Entry(sheet.frameCount, kXdtsNullCell));
    tracks.push_back(ordered{{"trackNo", track}, {"frames", std::move(frames)}});
    names.push_back(sheet.LevelName(level));
  }
  ordered table{
      {"name", options.name},
      {"duration", sheet.frameCount},
      {"fields", ordered::array({ordered{{"fieldId", 0}, {"tracks", std::move(tracks)}}})},
      {"timeTableHeaders", ordered::array({ordered{{"fieldId", 0}, {"names", std::move(names)}}})}};
  ordered root{{"header", ordered{{"cut", options.cut}, {"scene", options.scene}}},
               {"timeTables", ordered::array({std::move(table)})},
               {"version", kXdtsVersion}};
  // Level names of old sheets may not be UTF-8; they are written with replacement characters
  // rather than refused.
  result.text = std::string(kXdtsFirstLine) + "\n" +
                root.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  return result;
}

Status SaveXdtsFile(const std::string& path, const CSheetGrid& sheet,
                    std::span<const DrawingSequence> sequences, const XdtsWriteOptions& options,
                    std::vector<std::string>& notes) {
  XdtsExport written = WriteXdts(sheet, sequences, options);
  notes = std::move(written.notes);
  return WriteFileAtomically(path, written.text, ExportWriteMessages(path));
}

}  // namespace quenda

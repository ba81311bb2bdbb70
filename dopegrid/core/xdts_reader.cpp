// Reading XDTS timesheets: what the sheet can hold becomes columns of cell texts; everything
// else is counted in the notes, never dropped unsaid.

#include <algorithm>
#include <climits>
#include <map>
#include <nlohmann/json.hpp>

#include "common/file_io.h"
#include "dopegrid/core/xdts_file.h"

namespace quenda {
namespace {

using nlohmann::json;

constexpr int kCellField = 0;
constexpr int kDialogueField = 3;
constexpr int kCameraField = 5;

std::string_view Trimmed(std::string_view text) {
  const std::string_view blanks = " \t\r\n\f\v";
  std::size_t start = text.find_first_not_of(blanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

// A whole number within the long long range, as JSON integers the file may hold.
std::optional<long long> WholeNumber(const json& value) {
  if (value.is_number_unsigned()) {
    auto n = value.get<unsigned long long>();
    return n > (unsigned long long)LLONG_MAX ? std::optional<long long>(LLONG_MAX)
                                             : std::optional<long long>((long long)n);
  }
  if (value.is_number_integer()) return value.get<long long>();
  return std::nullopt;
}

std::optional<long long> WholeMember(const json& object, const char* name) {
  if (!object.is_object()) return std::nullopt;
  auto it = object.find(name);
  if (it == object.end()) return std::nullopt;
  return WholeNumber(*it);
}

const json* ArrayMember(const json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(name);
  return it != object.end() && it->is_array() ? &*it : nullptr;
}

struct CellEntry {
  long long frame = 0;
  std::string value;
};

// Counts of what the sheet keeps differently or not at all, for the notes.
struct Tally {
  long long inBetweens = 0, reverseMarks = 0, duplicates = 0, pastEnd = 0;
  long long dialogueLines = 0, cameraLines = 0;
  std::map<long long, long long> otherFields;  // field id -> tracks
  long long unnumberedTracks = 0;
};

std::string Plural(long long n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

class TableReader {
 public:
  TableReader(const std::string& path, int number)
      : where_(path + ": time table " + std::to_string(number)) {}

  Status ReadFields(const json& table, std::map<long long, std::vector<CellEntry>>& tracks,
                    Tally& tally) {
    const json* fields = ArrayMember(table, "fields");
    if (!fields) return Status::Ok();
    for (const json& field : *fields) {
      std::optional<long long> id = WholeMember(field, "fieldId");
      const json* fieldTracks = ArrayMember(field, "tracks");
      if (!fieldTracks) continue;
      for (const json& track : *fieldTracks) {
        std::optional<long long> number = WholeMember(track, "trackNo");
        const json* frames = ArrayMember(track, "frames");
        if (id != kCellField && id != kDialogueField && id != kCameraField) {
          ++tally.otherFields[id.value_or(-1)];
          continue;
        }
        if (!frames) continue;
        for (const json& entry : *frames) {
          std::optional<long long> frame = WholeMember(entry, "frame");
          if (!frame || *frame < 0)
            return Error{where_ + ": a \"frame\" that is negative or not a whole number"};
          const json* values = nullptr;
          if (const json* data = ArrayMember(entry, "data"); data && !data->empty())
            values = ArrayMember(data->front(), "values");
          if (id == kCellField) {
            if (!values || values->empty() ||
                std::any_of(values->begin(), values->end(),
                            [](const json& v) { return !v.is_string(); }))
              return Error{where_ + ", frame " + std::to_string(*frame) +
                           ": cell \"values\" must be one or more strings"};
            if (!number || *number < 0) {
              ++tally.unnumberedTracks;
              break;
            }
            tracks[*number].push_back({*frame, values->front().get<std::string>()});
          } else if (values && !values->empty()) {
            // A line starts where its first value is no continuation.
            const json& first = values->front();
            bool continues = first.is_string() && (first.get<std::string>() == kXdtsHyphen ||
                                                   first.get<std::string>() == kXdtsNullCell);
            if (!continues) ++(id == kDialogueField ? tally.dialogueLines : tally.cameraLines);
          }
        }
      }
    }
    return Status::Ok();
  }

 private:
  std::string where_;
};

// The track's cells over `frames` frames: entries sorted by frame (the later of two for one
// frame wins), each holding until the next.
std::vector<std::optional<std::string>> TrackCells(std::vector<CellEntry> entries, int frames,
                                                   long long duration, Tally& tally,
                                                   bool& firstFrameHold) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const CellEntry& a, const CellEntry& b) { return a.frame < b.frame; });
  std::vector<std::optional<std::string>> cells(static_cast<std::size_t>(frames));
  std::optional<std::string> showing;
  std::size_t next = 0;
  for (int f = 0; f < frames; ++f) {
    while (next < entries.size() && entries[next].frame < f) ++next;
    std::size_t last = next;
    while (last + 1 < entries.size() && entries[last + 1].frame == f) ++last, ++tally.duplicates;
    if (next < entries.size() && entries[last].frame == f) {
      const std::string& value = entries[last].value;
      if (value == kXdtsNullCell) {
        showing.reset();
      } else if (value == kXdtsHyphen || value == kXdtsTick1 || value == kXdtsTick2) {
        if (value == kXdtsTick1) ++tally.inBetweens;
        if (value == kXdtsTick2) ++tally.reverseMarks;
        if (f == 0) firstFrameHold = true;
      } else {
        showing = value;
      }
      next = last + 1;
    }
    cells[std::size_t(f)] = showing;
  }
  for (const CellEntry& entry : entries)
    if (entry.frame >= duration && entry.value != kXdtsNullCell) ++tally.pastEnd;
  return cells;
}

std::optional<std::size_t> ChooseTable(const json& tables, const std::string& wanted) {
  if (wanted.empty()) return 0;
  bool digits =
      std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits && wanted.size() < 6) {
    std::size_t n = std::stoul(wanted);
    if (n >= 1 && n <= tables.size()) return n - 1;
  }
  for (std::size_t t = 0; t < tables.size(); ++t) {
    auto name = tables[t].is_object() ? tables[t].find("name") : tables[t].end();
    if (tables[t].is_object() && name != tables[t].end() && name->is_string() &&
        name->get<std::string>() == wanted)
      return t;
  }
  return std::nullopt;
}

std::string TableName(const json& table) {
  if (!table.is_object()) return "";
  auto name = table.find("name");
  return name != table.end() && name->is_string() ? name->get<std::string>() : "";
}

void AddTallyNotes(const Tally& tally, std::vector<std::string>& notes) {
  if (tally.inBetweens)
    notes.push_back(Plural(tally.inBetweens, "in-between mark", "in-between marks") +
                    " kept as holds");
  if (tally.reverseMarks)
    notes.push_back(Plural(tally.reverseMarks, "reverse-sheet mark", "reverse-sheet marks") +
                    " kept as holds");
  if (tally.duplicates)
    notes.push_back(Plural(tally.duplicates, "frame", "frames") +
                    " listed twice: the later entry taken");
  if (tally.pastEnd)
    notes.push_back(Plural(tally.pastEnd, "entry", "entries") + " at or past the duration ignored");
  if (tally.dialogueLines)
    notes.push_back("dialogue field: " + Plural(tally.dialogueLines, "line", "lines") +
                    " not imported");
  if (tally.cameraLines)
    notes.push_back("camera-work field: " +
                    Plural(tally.cameraLines, "instruction", "instructions") + " not imported");
  for (const auto& [id, tracks] : tally.otherFields)
    notes.push_back(
        (id < 0 ? std::string("a field without a fieldId") : "field " + std::to_string(id)) + ": " +
        Plural(tracks, "track", "tracks") + " not imported");
  if (tally.unnumberedTracks)
    notes.push_back(Plural(tally.unnumberedTracks, "cell track", "cell tracks") +
                    " without a \"trackNo\" not imported");
}

}  // namespace

Result<XdtsColumns> ReadXdts(std::string_view text, const std::string& path,
                             const XdtsReadOptions& options) {
  std::size_t lineEnd = text.find('\n');
  std::string_view first = Trimmed(text.substr(0, lineEnd));
  if (first.substr(0, 3) == "\xEF\xBB\xBF") first = first.substr(3);
  if (first != kXdtsFirstLine)
    return Error{path + " is not an XDTS timesheet: its first line is not \"" +
                 std::string(kXdtsFirstLine) + "\""};
  std::string_view body = lineEnd == std::string_view::npos ? "" : text.substr(lineEnd + 1);
  json root = json::parse(body.begin(), body.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object())
    return Error{path + ": the timesheet's JSON does not parse (it must be one JSON object)"};
  const json* tables = ArrayMember(root, "timeTables");
  if (!tables || tables->empty()) return Error{path + ": the timesheet has no \"timeTables\""};

  XdtsColumns result;
  std::optional<long long> version = WholeMember(root, "version");
  if (version != kXdtsVersion)
    result.notes.push_back(version ? "version " + std::to_string(*version) + " read as version 5"
                                   : "no \"version\": read as version 5");
  // The sheet has no cut or scene of its own; an export takes them again as options.
  if (auto header = root.find("header"); header != root.end() && header->is_object()) {
    std::string kept;
    for (const char* member : {"cut", "scene"})
      if (auto it = header->find(member); it != header->end() && it->is_string())
        kept += (kept.empty() ? "" : ", ") + std::string(member) + " " + it->get<std::string>();
    if (!kept.empty()) result.notes.push_back("header: " + kept + " not kept in the sheet");
  }
  std::optional<std::size_t> chosen = ChooseTable(*tables, options.table);
  if (!chosen) {
    std::string names;
    for (std::size_t t = 0; t < tables->size(); ++t)
      names += (t ? ", " : "") + std::to_string(t + 1) + " \"" + TableName((*tables)[t]) + "\"";
    return Error{path + " has no time table \"" + options.table + "\" (it has " + names + ")"};
  }
  if (tables->size() > 1)
    result.notes.push_back("further time tables: " +
                           Plural(static_cast<long long>(tables->size() - 1), "table", "tables") +
                           " not imported (--table chooses one)");
  const json& table = (*tables)[*chosen];
  const int number = int(*chosen + 1);
  const std::string where = path + ": time table " + std::to_string(number);
  std::optional<long long> duration = WholeMember(table, "duration");
  if (!duration || *duration < 1) return Error{where + " has no \"duration\" of at least 1 frame"};

  Tally tally;
  std::map<long long, std::vector<CellEntry>> tracks;
  if (Status read = TableReader(path, number).ReadFields(table, tracks, tally); !read)
    return Error{read.message()};

  std::vector<std::string> names;
  if (const json* headers = ArrayMember(table, "timeTableHeaders")) {
    for (const json& header : *headers) {
      const json* list = ArrayMember(header, "names");
      if (WholeMember(header, "fieldId") != kCellField || !list) continue;
      for (const json& name : *list)
        names.push_back(name.is_string() ? name.get<std::string>() : "");
      break;
    }
  }
  long long trackCount = (long long)names.size();
  if (!tracks.empty()) trackCount = std::max(trackCount, tracks.rbegin()->first + 1);
  if (trackCount > kMaxLevels && !options.crop)
    return Error{where + " has " + std::to_string(trackCount) + " tracks; a sheet holds at most " +
                 std::to_string(kMaxLevels) + " (cropping keeps the first " +
                 std::to_string(kMaxLevels) + ")"};
  if (*duration > kMaxSheetFrames && !options.crop)
    return Error{where + " is " + std::to_string(*duration) +
                 " frames long; a sheet holds at most " + std::to_string(kMaxSheetFrames) +
                 " (cropping keeps the first " + std::to_string(kMaxSheetFrames) + ")"};
  if (trackCount > kMaxLevels)
    result.notes.push_back("tracks " + std::to_string(kMaxLevels + 1) + " to " +
                           std::to_string(trackCount) + " left out (a sheet holds " +
                           std::to_string(kMaxLevels) + " levels)");
  if (*duration > kMaxSheetFrames)
    result.notes.push_back("frames " + std::to_string(kMaxSheetFrames + 1) + " to " +
                           std::to_string(*duration) + " left out (a sheet holds " +
                           std::to_string(kMaxSheetFrames) + " frames)");
  const int kept = int(std::min<long long>(trackCount, kMaxLevels));
  result.frameCount = int(std::min<long long>(*duration, kMaxSheetFrames));

  // The top track is the front level.
  for (int t = kept - 1; t >= 0; --t) {
    ExchangeColumn column;
    column.name = std::size_t(t) < names.size() ? names[std::size_t(t)] : "";
    if (column.name.empty()) {
      column.name = "track " + std::to_string(t + 1);
      column.caption = "track " + std::to_string(t + 1);
      result.notes.push_back("track " + std::to_string(t + 1) + " has no name: level \"" +
                             column.name + "\"");
    } else {
      column.caption = "track \"" + column.name + "\"";
    }
    bool firstFrameHold = false;
    auto found = tracks.find(t);
    column.cells =
        TrackCells(found == tracks.end() ? std::vector<CellEntry>() : std::move(found->second),
                   result.frameCount, *duration, tally, firstFrameHold);
    if (firstFrameHold)
      result.notes.push_back(column.caption + ": a hold on its first frame is an empty cell");
    result.columns.push_back(std::move(column));
  }
  AddTallyNotes(tally, result.notes);
  return result;
}

Result<XdtsColumns> LoadXdtsFile(const std::string& path, const XdtsReadOptions& options) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) return Error{"Could not open " + path + "."};
  return ReadXdts(*text, path, options);
}

}  // namespace quenda

#include "dopegrid/core/lipsync_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

#include "common/case_insensitive_path.h"
#include "common/file_io.h"
#include "common/path.h"

namespace quenda {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::string_view blanks = " \t\r\n\f\v";
  std::size_t start = text.find_first_not_of(blanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::optional<double> Number(std::string_view text, bool whole) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  if (whole && (value != std::floor(value) || value > 1e9)) return std::nullopt;
  return value;
}

std::string Formatted(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

Result<LipSyncData> ReadLipSync(std::string_view text, const std::string& path) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(Trimmed(text.substr(start, end - start)));
    start = end + 1;
  }
  LipSyncData data;
  const std::string extension = LowerAscii(ExtensionOf(path));
  std::size_t first = 0;
  if (!lines.empty() && lines.front() == kSwitchSignature) {
    data.form = LipSyncForm::Switch;
    first = 1;
  } else if (extension == ".dat" || extension == ".txt") {
    return Error{path + ": line 1: switch data must start with the line \"" +
                 std::string(kSwitchSignature) + "\""};
  } else {
    data.form = LipSyncForm::Timed;
  }
  const bool whole = data.form == LipSyncForm::Switch;
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const std::string where = path + ": line " + std::to_string(i + 1);
    std::vector<std::string_view> words = Words(lines[i]);
    if (words.size() != 2)
      return Error{where + ": a line is " + (whole ? "FRAME SHAPE" : "SECONDS<TAB>SHAPE") +
                   ", two fields; this one has " + std::to_string(words.size())};
    std::optional<double> at = Number(words[0], whole);
    if (!at)
      return Error{where + ": \"" + std::string(words[0]) + "\" is not " +
                   (whole ? "a frame number" : "a time in seconds")};
    if (*at < 0) return Error{where + ": " + std::string(words[0]) + " is negative"};
    if (!data.lines.empty() && *at < data.lines.back().at)
      return Error{where + ": " + std::string(words[0]) + " goes backwards (line " +
                   std::to_string(data.lines.back().line) + " was " +
                   Formatted(data.lines.back().at) + ")"};
    data.lines.push_back({int(i + 1), *at, std::string(words[1])});
  }
  if (data.lines.empty()) return Error{path + ": no mouth shapes in the file"};
  return data;
}

Result<LipSyncData> LoadLipSyncFile(const std::string& path) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) return Error{"Could not open " + path + "."};
  return ReadLipSync(*text, path);
}

std::vector<ShapeAt> ShapeFrames(const LipSyncData& data, double rate) {
  std::vector<ShapeAt> shapes;
  for (const LipSyncLine& line : data.lines) {
    double frame = data.form == LipSyncForm::Switch ? line.at : std::round(line.at * rate) + 1;
    ShapeAt shape{int(std::clamp(frame, 1.0, 1e9)), line.shape};
    if (!shapes.empty() && shapes.back().frame == shape.frame)
      shapes.back() = std::move(shape);
    else
      shapes.push_back(std::move(shape));
  }
  return shapes;
}

std::vector<std::string> ShapesOf(const LipSyncData& data) {
  std::vector<std::string> shapes;
  std::set<std::string> seen;
  for (const LipSyncLine& line : data.lines)
    if (seen.insert(LowerAscii(line.shape)).second) shapes.push_back(line.shape);
  return shapes;
}

std::optional<std::string> MouthMap::DrawingFor(std::string_view shape) const {
  const std::string lower = LowerAscii(std::string(shape));
  for (const auto& [name, drawing] : shapes)
    if (LowerAscii(name) == lower) return drawing;
  if (!fallback.empty()) return fallback;
  return std::nullopt;
}

Result<MouthMap> ParseMouthMap(std::string_view text) {
  MouthMap map;
  std::string pairs;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    pairs += std::string(line) + ",";
  }
  std::set<std::string> named;
  for (std::size_t start = 0; start < pairs.size();) {
    std::size_t end = pairs.find(',', start);
    std::string_view pair = Trimmed(std::string_view(pairs).substr(start, end - start));
    start = end + 1;
    if (pair.empty()) continue;
    std::size_t equals = pair.find('=');
    std::string shape(Trimmed(pair.substr(0, std::min(equals, pair.size()))));
    std::string drawing(equals == std::string_view::npos ? "" : Trimmed(pair.substr(equals + 1)));
    if (shape.empty() || drawing.empty())
      return Error{"the mouth map's \"" + std::string(pair) +
                   "\" is not SHAPE=DRAWING (as AI=3, or *=1 for every other shape)"};
    if (!named.insert(LowerAscii(shape)).second)
      return Error{"the mouth map names the shape " + shape + " twice"};
    if (shape == "*")
      map.fallback = drawing;
    else
      map.shapes.emplace_back(shape, drawing);
  }
  if (map.shapes.empty() && map.fallback.empty())
    return Error{"the mouth map is empty (give SHAPE=DRAWING pairs, as AI=3,E=4,*=1)"};
  return map;
}

std::string MouthMapText(const MouthMap& map) {
  std::string text;
  for (const auto& [shape, drawing] : map.shapes)
    text += (text.empty() ? "" : ",") + shape + "=" + drawing;
  if (!map.fallback.empty()) text += (text.empty() ? "" : ",") + std::string("*=") + map.fallback;
  return text;
}

Result<LipSyncPlacement> PlaceLipSync(const LipSyncData& data, const MouthMap& map,
                                      const DrawingSequence& sequence, int from,
                                      std::optional<int> until, double rate) {
  std::vector<std::string> unknown;
  for (const std::string& shape : ShapesOf(data))
    if (!map.DrawingFor(shape)) unknown.push_back(shape);
  if (!unknown.empty()) {
    std::string list;
    for (const std::string& shape : unknown) list += (list.empty() ? "" : ", ") + shape;
    return Error{"the mouth map has no drawing for " + list + " (name each, or *=DRAWING)"};
  }
  auto drawingIndex = [&](std::string_view shape) -> Result<int> {
    std::string text = *map.DrawingFor(shape);
    FrameTag tag = ParseTypedFrameTag(text);
    std::optional<int> index = FindFrame(sequence.frames, tag);
    if (!index || FormatFrameTag(tag) != text)
      return Error{"the mouth map's drawing " + text + " (for " + std::string(shape) +
                   ") is no drawing of the sequence " + sequence.name + " in " +
                   sequence.directory};
    return *index;
  };
  std::vector<ShapeAt> shapes = ShapeFrames(data, rate);
  LipSyncPlacement placement;
  placement.firstFrame = from + shapes.front().frame - 1;
  const int lastStart = from + shapes.back().frame - 1;
  if (until && *until < lastStart)
    return Error{"--until " + std::to_string(*until + 1) +
                 " lies before the last shape, on frame " + std::to_string(lastStart + 1)};
  placement.untilFrame = until;
  const int end = until.value_or(lastStart);
  if (end >= kMaxSheetFrames)
    return Error{"the lip-sync data runs to frame " + std::to_string(end + 1) +
                 "; a sheet holds at most " + std::to_string(kMaxSheetFrames) + " frames"};
  placement.drawings.resize(std::size_t(end - placement.firstFrame + 1));
  for (std::size_t s = 0; s < shapes.size(); ++s) {
    Result<int> index = drawingIndex(shapes[s].shape);
    if (!index) return Error{index.message()};
    const int start = from + shapes[s].frame - 1;
    const int stop = s + 1 < shapes.size() ? from + shapes[s + 1].frame - 1 : end + 1;
    for (int f = start; f < stop; ++f)
      placement.drawings[std::size_t(f - placement.firstFrame)] = *index;
  }
  const std::size_t merged = data.lines.size() - shapes.size();
  if (merged > 0)
    placement.notes.push_back(std::to_string(merged) +
                              (merged == 1 ? " shape shares its frame" : " shapes share a frame") +
                              " with a later one: the later shape is exposed");
  return placement;
}

}  // namespace quenda

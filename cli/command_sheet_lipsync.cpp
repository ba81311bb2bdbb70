// `quenda sheet lipsync`: a lip-sync tool's mouth shapes as drawings of one level.

#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>

#include "cli/command_sheet_verbs.h"
#include "cli/sheet_command_support.h"
#include "common/file_io.h"
#include "dopegrid/core/lipsync_data.h"

namespace quenda::cli {
namespace {

// The one sequence of the level's drawings; the reason when it holds none or several.
Result<int> SequenceOfLevel(const CDopegridDoc& doc, int level) {
  std::set<int> used;
  for (int f = 0; f < doc.sheet().frameCount; ++f)
    if (const SheetCell& cell = doc.sheet().Cell(level, f); cell.used()) used.insert(cell.sequence);
  const std::string name = "level \"" + doc.sheet().LevelName(level) + "\"";
  if (used.empty())
    return Error{name + " holds no drawings: --sequence FIRST.qds names the mouth drawings"};
  if (used.size() > 1) {
    std::string list;
    for (int s : used) list += (list.empty() ? "" : ", ") + doc.sequences()[std::size_t(s)].name;
    return Error{name + " holds drawings of several sequences (" + list +
                 "): --sequence FIRST.qds chooses the mouth drawings"};
  }
  return *used.begin();
}

std::optional<double> Rate(const std::string& text) {
  double rate = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  if (error != std::errc() || end != text.data() + text.size() || !(rate > 0) || rate > 1000)
    return std::nullopt;
  return rate;
}

}  // namespace

int ApplyLipSync(const Arguments& parsed, CommandIo& io) {
  const std::string& path = parsed.positional()[1];
  std::optional<std::string> dataPath = parsed.Value("--data");
  std::optional<std::string> mouths = parsed.Value("--mouths");
  if (!dataPath || !mouths || !parsed.Value("--level"))
    return SheetUsageError(io, "give --data FILE, --level L and --mouths MAP");
  std::optional<double> rate = Rate(parsed.Value("--rate").value_or("25"));
  if (!rate) return SheetUsageError(io, "--rate must be frames per second, above 0 and up to 1000");

  ConsolePrompt prompt(io.err, false, false);
  prompt.Name("sheet", path);
  CDopegridDoc doc(prompt);
  if (!doc.OnOpenDocument(path)) return 1;
  if (prompt.keptLostParts())
    return ReportFileError(
        io, "sheet", path,
        "the sheet is left as it was; --forget-missing forgets the missing sequences");
  std::optional<std::vector<int>> level = ParseLevels(*parsed.Value("--level"), doc.sheet());
  if (!level || level->size() != 1) return SheetUsageError(io, "--level must name one level");
  auto from = ParseInt(parsed.Value("--from").value_or("1"), 1, doc.sheet().frameCount);
  if (!from) return SheetUsageError(io, "--from must be a frame of the sheet, from 1");
  std::optional<int> until;
  if (std::optional<std::string> text = parsed.Value("--until")) {
    until = ParseInt(*text, 1, kMaxSheetFrames);
    if (!until) return SheetUsageError(io, "--until must be a frame from 1 to 1999");
    *until -= 1;
  }

  Result<LipSyncData> data = LoadLipSyncFile(*dataPath);
  if (!data) return ReportFileError(io, "sheet", "", data.message());
  // A map given as a file is read from it; otherwise the option is the map.
  std::string mapText = *mouths;
  std::error_code ignored;
  if (std::filesystem::is_regular_file(*mouths, ignored)) {
    std::optional<std::string> text = ReadFileText(*mouths);
    if (!text) return ReportFileError(io, "sheet", *mouths, "Could not open " + *mouths + ".");
    mapText = *text;
  }
  Result<MouthMap> map = ParseMouthMap(mapText);
  if (!map) return ReportFileError(io, "sheet", "", map.message());

  Result<int> sequence = Error{""};
  if (std::optional<std::string> first = parsed.Value("--sequence")) {
    std::optional<int> found = doc.SequenceOfDrawing(*first);
    if (!found)
      return ReportFileError(io, "sheet", *first,
                             "no drawing sequence starts there (or the sheet holds 99 already)");
    sequence = *found;
  } else {
    sequence = SequenceOfLevel(doc, level->front());
  }
  if (!sequence) return ReportFileError(io, "sheet", path, sequence.message());
  const DrawingSequence& mouthsSequence = doc.sequences()[std::size_t(*sequence)];

  Result<LipSyncPlacement> placed =
      PlaceLipSync(*data, *map, mouthsSequence, *from - 1, until, *rate);
  if (!placed) return ReportFileError(io, "sheet", *dataPath, placed.message());
  for (const std::string& note : placed->notes)
    io.err << FileMessage("sheet", *dataPath, note) << "\n";
  const int end = placed->firstFrame + int(placed->drawings.size());
  if (end > doc.sheet().frameCount) {
    if (!parsed.Has("--extend"))
      return ReportFileError(io, "sheet", path,
                             "the lip-sync data runs to frame " + std::to_string(end) +
                                 ", past the sheet's " + std::to_string(doc.sheet().frameCount) +
                                 " frames (--extend lengthens it)");
    while (doc.sheet().frameCount < end) {
      const int before = doc.sheet().frameCount;
      doc.AddFrames(std::min(end - before, kMaxFramesPerChange));
      if (doc.sheet().frameCount == before) return 1;  // past the sheet's limit, said so
    }
  }
  doc.ExposeDrawings(level->front(), placed->firstFrame, *sequence, placed->drawings);
  io.out << "level \"" << doc.sheet().LevelName(level->front()) << "\": frames "
         << placed->firstFrame + 1 << "-" << end << " from " << data->lines.size()
         << " mouth shapes of " << mouthsSequence.name << "\n";
  if (!doc.OnSaveDocument(path)) return 1;
  io.out << "wrote " << path << "\n";
  return 0;
}

}  // namespace quenda::cli

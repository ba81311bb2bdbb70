// `quenda sheet lipsync`: a lip-sync tool's mouth shapes as drawings of one level.

#include <charconv>
#include <cmath>
#include <filesystem>

#include "cli/command_sheet_verbs.h"
#include "cli/edit_lock.h"
#include "cli/sheet_command_support.h"
#include "common/file_io.h"
#include "dopegrid/core/lipsync_apply.h"

namespace quenda::cli {
namespace {

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

  std::optional<DocumentLock> lock =
      LockDocumentForEdit(path, parsed.Has("--no-wait"), "sheet", io);
  if (!lock) return 1;
  ConsolePrompt prompt(io, false, false);
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
    sequence = MouthSequenceOf(doc, level->front());
  }
  if (!sequence) return ReportFileError(io, "sheet", path, sequence.message());
  const std::string mouthsName = doc.sequences()[std::size_t(*sequence)].name;

  Result<LipSyncPlacement> placed =
      ApplyLipSync(doc, *data, *map,
                   {level->front(), *from - 1, until, *rate, *sequence, parsed.Has("--extend")});
  if (!placed) {
    const bool aboutSheet = placed.message().find("past the sheet's") != std::string::npos;
    return ReportFileError(io, "sheet", aboutSheet ? path : *dataPath,
                           placed.message() + (aboutSheet ? " (--extend lengthens it)" : ""));
  }
  for (const std::string& note : placed->notes)
    io.err << FileMessage("sheet", *dataPath, note) << "\n";
  const int end = placed->firstFrame + int(placed->drawings.size());
  io.out << "level \"" << doc.sheet().LevelName(level->front()) << "\": frames "
         << placed->firstFrame + 1 << "-" << end << " from " << data->lines.size()
         << " mouth shapes of " << mouthsName << "\n";
  if (!doc.OnSaveDocument(path)) return 1;
  io.out << "wrote " << path << "\n";
  return 0;
}

}  // namespace quenda::cli

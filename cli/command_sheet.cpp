// `quenda sheet`: builds and shows an exposure sheet headless, one edit per run.

#include <algorithm>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/command_sheet_verbs.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/edit_lock.h"
#include "cli/sheet_command_support.h"
#include "common/frame_sequence.h"
#include "common/path.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda sheet new SHEET.dgr\n"
    "       quenda sheet add-sequence SHEET.dgr DRAWING.qds\n"
    "       quenda sheet add-level SHEET.dgr NAME\n"
    "       quenda sheet transfer SHEET.dgr --sequence S --pictures A-B --level L --frame F\n"
    "                             --on N [--overwrite] [--extend]\n"
    "       quenda sheet frames SHEET.dgr (--add N | --delete N)\n"
    "       quenda sheet show SHEET.dgr\n"
    "       quenda sheet cut|copy SHEET.dgr --to CLIP [--levels L,...] [--frames A-B]\n"
    "       quenda sheet paste SHEET.dgr --from CLIP --level L --frame F [--crop]\n"
    "       quenda sheet condense|expand|reverse SHEET.dgr [--levels L,...] [--frames A-B]\n"
    "                 [--extend] [--yes]\n"
    "       quenda sheet delete-level SHEET.dgr LEVEL [--yes]\n"
    "       quenda sheet swap-levels SHEET.dgr LEVEL LEVEL\n"
    "       quenda sheet rename-level SHEET.dgr LEVEL NAME\n"
    "       quenda sheet remove-sequence SHEET.dgr S [--yes]\n"
    "       quenda sheet print SHEET.dgr --pdf FILE.pdf [--pages A-B]\n"
    "       quenda sheet import-xdts FILE.xdts --out SHEET.dgr [--table N|NAME]\n"
    "                    [--sequence TRACK=FIRST.qds]... [--forget-missing] [--crop] [--force]\n"
    "       quenda sheet export-xdts SHEET.dgr --out FILE.xdts [--cut N] [--scene N] [--force]\n"
    "       quenda sheet import-csv FILE.csv --out SHEET.dgr [--sequence LEVEL=FIRST.qds]...\n"
    "                    [--forget-missing] [--force]\n"
    "       quenda sheet export-csv SHEET.dgr --out FILE.csv [--force]\n"
    "       quenda sheet lipsync SHEET.dgr --data FILE --level L --mouths MAP [--from F]\n"
    "                    [--until F] [--rate R] [--sequence FIRST.qds] [--extend]\n"
    "Makes or changes an exposure sheet and saves it, or prints it. A sequence whose drawings\n"
    "are all gone is listed and kept: the sheet is left as it was (exit code 1), unless\n"
    "--forget-missing forgets it and empties its cells, as \"Forget it\" does.\n\n"
    "  new            a sheet of one level \"default\" and 100 frames (an existing file is kept)\n"
    "  add-sequence   adds the sequence of a drawing to the Picture Holder\n"
    "  add-level      adds a level in front of all others (level 0)\n"
    "  transfer       exposes pictures A..B (from 1, in list order) of sequence S (from 1) on\n"
    "                 level L (index from 0, or name) from frame F (from 1), each for N frames;\n"
    "                 later cells move down unless --overwrite; a transfer that runs past the\n"
    "                 sheet's end is refused unless --extend lengthens the sheet to take it\n"
    "  frames         adds frames at the end or cuts them from the end\n"
    "  show           one line per frame: its number and each level's label\n"
    "  cut, copy      take the block of cells --levels (adjacent levels, index from 0 or name)\n"
    "                 and --frames (from 1) choose, the whole sheet by default, into the\n"
    "                 clipboard file CLIP; cut empties the block\n"
    "  paste          lays the clipboard file's block with its first cell at level L, frame F;\n"
    "                 a block that runs off the sheet is refused unless --crop drops the rest\n"
    "  condense       one frame less for each exposure that ends in the block\n"
    "  expand         one frame more for each exposure in the block; cells it would push past\n"
    "                 the sheet's end are kept by refusing, unless --extend lengthens the\n"
    "                 sheet to take them or --yes lets them go\n"
    "  reverse        the block's frames in reverse order, on each of its levels\n"
    "  delete-level   deletes a level after the program's question, which --yes answers\n"
    "  swap-levels    exchanges two levels\n"
    "  rename-level   gives a level a new name\n"
    "  remove-sequence removes sequence S (from 1) and empties its cells, after the\n"
    "                 program's question, which --yes answers\n"
    "  print          the sheet's pages (or pages A..B) as the program prints them, to PDF\n"
    "  import-xdts    an XDTS timesheet (time table 1, or --table) as a new sheet: each cell\n"
    "                 track a level named after it. XDTS's track 0 is the bottom layer and the\n"
    "                 sheet's level 0 the front, so the order turns round: the highest track\n"
    "                 becomes level 0. A track's drawings come from --sequence TRACK=FIRST.qds,\n"
    "                 else from the sequence its texts name (run3: the sequence run), else from\n"
    "                 the sequence named as the track, looked for in the file's folder, then the\n"
    "                 sheet's (and in a folder of the sequence's name in each). A text that\n"
    "                 names no drawing saves nothing (exit 1) unless --forget-missing leaves\n"
    "                 its cells empty; a table beyond 49 tracks or 1999 frames is refused\n"
    "                 unless --crop keeps the first; an existing sheet is replaced only with\n"
    "                 --force. What the sheet has no place for is listed on standard error\n"
    "  export-xdts    the sheet as an XDTS timesheet: level 0 (the front) the highest track;\n"
    "                 prints the --sequence options that import it back to the same sheet\n"
    "  import-csv     a CSV sheet (a header frame,LEVEL,..., front level first, one row per\n"
    "                 frame): matched and refused as import-xdts, with LEVEL for TRACK\n"
    "  export-csv     the sheet as CSV: every cell its sequence name and frame text (walk12)\n"
    "  lipsync        exposes mouth drawings from lip-sync data (switch data or timed shapes)\n"
    "                 on level L from frame F (1), replacing that level's cells where the data\n"
    "                 runs; MAP is SHAPE=DRAWING,... (AI=3,E=4,*=1) or a file of such lines,\n"
    "                 the drawings those of the level's sequence or of --sequence; the last\n"
    "                 shape holds until --until; timed shapes at --rate frames a second (25);\n"
    "                 data past the sheet's end is refused unless --extend lengthens it\n"
    "An edit (every verb but show and print) waits while another edit of the sheet is under\n"
    "way, and says so; --no-wait refuses it at once instead (exit code 1).\n";

}  // namespace

int SheetUsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "sheet", reason, kUsage);
}

namespace {

int UsageError(CommandIo& io, const std::string& reason) {
  return SheetUsageError(io, reason);
}

int Save(CDopegridDoc& doc, const std::string& path, CommandIo& io) {
  if (!doc.OnSaveDocument(path)) return 1;
  io.out << "wrote " << path << "\n";
  return 0;
}

void Show(const CDopegridDoc& doc, CommandIo& io) {
  const CSheetGrid& sheet = doc.sheet();
  io.out << "frame";
  for (int l = 0; l < sheet.levelCount; ++l) io.out << "\t" << sheet.LevelName(l);
  io.out << "\n";
  for (int f = 0; f < sheet.frameCount; ++f) {
    io.out << f + 1;
    for (int l = 0; l < sheet.levelCount; ++l) io.out << "\t" << doc.CellLabel(sheet.Cell(l, f));
    io.out << "\n";
  }
}

// The frames a transfer of `pictures` pictures on `spacing` from the current cell needs: every
// picture held for its frames and, in insert mode, every cell moved down kept.
int FramesTransferNeeds(const CDopegridDoc& doc, int pictures, int spacing) {
  const CSheetGrid& sheet = doc.sheet();
  int start = doc.currentFrame(), shift = pictures * spacing, needed = start + shift;
  if (doc.insertMode()) {
    for (int f = sheet.frameCount - 1; f >= start; --f) {
      if (sheet.Cell(doc.currentLevel(), f).kind == CellKind::Empty) continue;
      needed = std::max(needed, f + 1 + shift);
      break;
    }
  }
  return needed;
}

// The sheet's program cuts a transfer off at the sheet's end; headless, nothing is dropped
// unasked: the run is refused, or the sheet grows first.
bool MakeRoomForTransfer(CDopegridDoc& doc, int pictures, int spacing, bool extend,
                         const std::string& path, CommandIo& io) {
  const int frames = doc.sheet().frameCount;
  const int needed = FramesTransferNeeds(doc, pictures, spacing);
  if (needed <= frames) return true;
  if (!extend) {
    const int room = frames - doc.currentFrame();
    const int placed = std::min(pictures, (room + spacing - 1) / spacing);
    std::string reason;
    if (placed < pictures)
      reason = std::to_string(pictures - placed) + " of the " + std::to_string(pictures) +
               " pictures do not fit";
    else if (doc.currentFrame() + pictures * spacing > frames)
      reason = "the last picture is not held for its " + std::to_string(spacing) + " frames";
    else
      reason = "cells moved down would fall off the end";
    ReportFileError(io, "sheet", path,
                    reason + " on the sheet's " + std::to_string(frames) + " frames; it needs " +
                        std::to_string(needed) + " (--extend lengthens it)");
    return false;
  }
  while (doc.sheet().frameCount < needed) {
    const int before = doc.sheet().frameCount;
    doc.AddFrames(std::min(needed - before, kMaxFramesPerChange));
    if (doc.sheet().frameCount == before) return false;  // past the sheet's limit, said so
  }
  return true;
}

int Transfer(CDopegridDoc& doc, const Arguments& parsed, const std::string& path, CommandIo& io) {
  auto sequence = ParseInt(parsed.Value("--sequence").value_or(""), 1, doc.sequenceCount());
  if (!sequence) return UsageError(io, "--sequence must name a sequence of the sheet, from 1");
  int pictures = int(doc.sequences()[std::size_t(*sequence - 1)].frames.size());
  auto range = ParseRange(parsed.Value("--pictures").value_or(""), 1, std::max(pictures, 1));
  if (!range || pictures == 0)
    return UsageError(io, "--pictures must be A-B within the sequence's " +
                              std::to_string(pictures) + " pictures");
  auto level = ParseLevels(parsed.Value("--level").value_or(""), doc.sheet());
  if (!level || level->size() != 1) return UsageError(io, "--level must name one level");
  auto frame = ParseInt(parsed.Value("--frame").value_or(""), 1, doc.sheet().frameCount);
  if (!frame) return UsageError(io, "--frame must be a frame of the sheet, from 1");
  auto spacing = ParseInt(parsed.Value("--on").value_or(""), 1, kMaxTransferSpacing);
  if (!spacing) return UsageError(io, "--on must be a whole number from 1 to 1000");

  doc.SelectSequence(*sequence - 1);
  std::vector<int> chosen;
  for (int p = range->first; p <= range->second; ++p) chosen.push_back(p - 1);
  doc.SetSelectedPictures(std::move(chosen));
  doc.SetCurrentCell(level->front(), *frame - 1);
  if (parsed.Has("--overwrite")) doc.ToggleInsertMode();
  int count = range->second - range->first + 1;
  if (!MakeRoomForTransfer(doc, count, *spacing, parsed.Has("--extend"), path, io)) return 1;
  doc.Transfer(*spacing);
  return -1;
}

int RunSheet(std::span<const std::string> args, CommandIo& io) {
  if (!args.empty() && IsSheetExchangeVerb(args[0])) return RunSheetExchange(args, io);
  Arguments parsed(args,
                   {"--sequence", "--pictures", "--level", "--frame", "--on", "--add", "--delete",
                    "--to", "--from", "--levels", "--frames", "--pdf", "--pages"},
                   {"--overwrite", "--forget-missing", "--extend", "--crop", "--yes", "--no-wait"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  const std::vector<std::string>& words = parsed.positional();
  if (words.size() < 2) return UsageError(io, "give a verb and a sheet");
  const std::string& verb = words[0];
  const std::string& path = words[1];
  std::size_t wanted = SheetEditWords(verb);
  if (wanted == 0) wanted = verb == "add-sequence" || verb == "add-level" ? 3 : 2;
  if (words.size() != wanted) return UsageError(io, "wrong number of words for '" + verb + "'");

  bool known = verb == "new" || verb == "add-sequence" || verb == "add-level" ||
               verb == "transfer" || verb == "frames" || verb == "show" || verb == "print" ||
               SheetEditWords(verb) > 0;
  if (!known) return UsageError(io, "unknown verb '" + verb + "'");
  std::optional<DocumentLock> lock;
  if (verb != "show" && verb != "print" &&
      !(lock = LockDocumentForEdit(path, parsed.Has("--no-wait"), "sheet", io)))
    return 1;

  ConsolePrompt prompt(io, parsed.Has("--yes"), parsed.Has("--forget-missing"));
  prompt.Name("sheet", path);
  CDopegridDoc doc(prompt);
  if (verb == "new") {
    if (std::filesystem::exists(path))
      return ReportFileError(io, "sheet", path, "exists already; it is left as it is");
    doc.OnNewDocument();
    return Save(doc, path, io);
  }
  if (!doc.OnOpenDocument(path)) return 1;
  if (prompt.keptLostParts())
    return ReportFileError(
        io, "sheet", path,
        "the sheet is left as it was; --forget-missing forgets the missing sequences");

  if (verb == "show") {
    Show(doc, io);
    return 0;
  }
  if (verb == "print") return PrintSheetToPdf(doc, path, parsed, io);
  if (SheetEditWords(verb) > 0) {
    int code = RunSheetEdit(doc, words, parsed, prompt, io);
    if (code >= 0) return code;
  } else if (verb == "add-sequence") {
    if (!doc.CanAddSequence())
      return ReportFileError(
          io, "sheet", path,
          "The sheet holds " + std::to_string(kMaxSequences) + " sequences already");
    // The program's file dialog picks only existing drawings; an empty sequence would only
    // make every later run warn about it.
    if (!FrameExists(words[2]))
      return ReportFileError(io, "sheet", words[2],
                             "the drawing does not exist; the sheet is left as it is");
    // Stored absolute, so that a render from any working directory finds the drawings.
    if (!doc.AddSequenceFile(AbsolutePath(words[2]))) return 1;
    const DrawingSequence& added = doc.sequences().back();
    io.out << "sequence " << doc.sequenceCount() << ": " << added.name << ", "
           << added.frames.size() << " pictures\n";
  } else if (verb == "add-level") {
    if (words[2].size() > std::size_t(kLevelNameLimit))
      return UsageError(io, "a level name has at most 18 characters");
    int before = doc.sheet().levelCount;
    doc.AddLevel(words[2]);
    if (doc.sheet().levelCount == before) return 1;
  } else if (verb == "transfer") {
    int code = Transfer(doc, parsed, path, io);
    if (code >= 0) return code;
  } else {
    auto add = parsed.Value("--add"), cut = parsed.Value("--delete");
    if (add.has_value() == cut.has_value()) return UsageError(io, "give --add N or --delete N");
    auto count = ParseInt(add ? *add : *cut, 0, kMaxFramesPerChange);
    if (!count) return UsageError(io, "the frame count must be a whole number from 0 to 1000");
    int before = doc.sheet().frameCount;
    add ? doc.AddFrames(*count) : doc.DeleteFrames(*count);
    if (doc.sheet().frameCount == before && *count != 0) return 1;
  }
  return Save(doc, path, io);
}

}  // namespace

const Command& SheetCommand() {
  static const Command kCommand{"sheet", "make, change or show an exposure sheet", kUsage,
                                RunSheet};
  return kCommand;
}

}  // namespace quenda::cli

// `quenda sheet` editing verbs: cut, copy and paste through a clipboard file, condense, expand
// and reverse, and deleting, swapping and renaming levels and removing a sequence.

#include <map>

#include "cli/command_sheet_verbs.h"
#include "cli/sheet_command_support.h"
#include "dopegrid/core/sheet_clipboard.h"

namespace quenda::cli {
namespace {

const std::map<std::string_view, std::size_t, std::less<>> kEditWords{
    {"cut", 2},          {"copy", 2},           {"paste", 2},        {"condense", 2},
    {"expand", 2},       {"reverse", 2},        {"delete-level", 3}, {"swap-levels", 4},
    {"rename-level", 4}, {"remove-sequence", 3}};

// The tool's own refusal, or a reader's or the document's text, about the file it names.
int Refuse(CommandIo& io, const std::string& file, const std::string& reason) {
  return ReportFileError(io, "sheet", file, reason);
}

int UsageError(CommandIo& io, const std::string& reason) {
  return SheetUsageError(io, reason);
}

std::optional<int> OneLevel(const std::string& word, const CSheetGrid& sheet) {
  std::optional<std::vector<int>> levels = ParseLevels(word, sheet);
  if (!levels || levels->size() != 1) return std::nullopt;
  return levels->front();
}

// A question the program asks before it deletes: answered No, or by no one.
int NotConfirmed(const ConsolePrompt& prompt, const std::string& path, CommandIo& io) {
  if (!prompt.unanswered()) return Refuse(io, path, "the sheet is left as it is");
  Refuse(io, path,
         "the sheet is left as it is: the question has no one to answer it without a terminal; "
         "--yes answers Yes");
  return 2;
}

// Cut and copy take the block into a clipboard file; cut then saves the sheet.
int CutOrCopy(CDopegridDoc& doc, bool cut, const Arguments& parsed, CommandIo& io) {
  std::optional<std::string> to = parsed.Value("--to");
  if (!to) return UsageError(io, "give the clipboard file: --to FILE");
  Result<SheetSelection> block = ParseBlock(parsed, doc.sheet());
  if (!block) return UsageError(io, block.message());
  doc.SetSelection(*block);
  cut ? doc.Cut() : doc.Copy();
  if (Status saved = SaveClipboardFile(*to, ClipboardOf(doc)); !saved)
    return Refuse(io, *to, saved.message());
  io.out << "wrote " << *to << "\n";
  return cut ? -1 : 0;
}

// Cells the paste would put beyond the levels and frames in use, which the program drops.
int CellsOutside(const CSheetGrid& clip, const CSheetGrid& sheet, int level, int frame) {
  int outside = 0;
  for (int l = 0; l < clip.levelCount; ++l)
    for (int f = 0; f < clip.frameCount; ++f)
      if (clip.Cell(l, f).used() &&
          (level + l >= sheet.levelCount || frame + f >= sheet.frameCount))
        ++outside;
  return outside;
}

int Paste(CDopegridDoc& doc, const Arguments& parsed, const std::string& path, CommandIo& io) {
  std::optional<std::string> from = parsed.Value("--from");
  if (!from) return UsageError(io, "give the clipboard file: --from FILE");
  std::optional<int> level = OneLevel(parsed.Value("--level").value_or(""), doc.sheet());
  if (!level) return UsageError(io, "--level must name one level");
  auto frame = ParseInt(parsed.Value("--frame").value_or(""), 1, doc.sheet().frameCount);
  if (!frame) return UsageError(io, "--frame must be a frame of the sheet, from 1");

  Result<SheetClipboard> clipboard = LoadClipboardFile(*from);
  if (!clipboard) return Refuse(io, *from, clipboard.message());
  Result<CSheetGrid> cells = ClipboardCellsFor(*clipboard, doc.sequences());
  if (!cells) return Refuse(io, *from, cells.message());
  // The program drops what falls off the sheet; headless, nothing is dropped unasked.
  int outside = CellsOutside(*cells, doc.sheet(), *level, *frame - 1);
  if (outside > 0 && !parsed.Has("--crop"))
    return Refuse(io, path,
                  std::to_string(outside) + " cells of the clipboard fall outside the sheet's " +
                      std::to_string(doc.sheet().levelCount) + " levels and " +
                      std::to_string(doc.sheet().frameCount) + " frames (--crop pastes the rest)");
  doc.SetCurrentCell(*level, *frame - 1);
  doc.SetClipboard(*cells);
  doc.Paste();
  return -1;
}

// Expand drops the cells it pushes off the sheet only with a Yes; --extend first lengthens the
// sheet so that none is pushed off.
int Expand(CDopegridDoc& doc, const Arguments& parsed, const ConsolePrompt& prompt,
           const std::string& path, CommandIo& io) {
  if (parsed.Has("--extend")) {
    const int needed = doc.FramesExpandNeeds();
    while (doc.sheet().frameCount < needed) {
      const int before = doc.sheet().frameCount;
      doc.AddFrames(std::min(needed - before, kMaxFramesPerChange));
      if (doc.sheet().frameCount == before) return 1;  // past the sheet's limit, said so
    }
  }
  const int lost = doc.ExpandLostCells();
  const CSheetGrid before = doc.sheet();
  doc.Expand();
  if (lost == 0 || doc.sheet() != before) return -1;
  const std::string reason = "the sheet is left as it is: expanding pushes " +
                             std::to_string(lost) + " cells past its " +
                             std::to_string(doc.sheet().frameCount) + " frames; it needs " +
                             std::to_string(doc.FramesExpandNeeds()) + " (--extend lengthens it";
  if (!prompt.unanswered()) return Refuse(io, path, reason + ")");
  Refuse(io, path, reason + ", --yes drops them)");
  return 2;
}

int Retime(CDopegridDoc& doc, std::string_view verb, const Arguments& parsed,
           const ConsolePrompt& prompt, const std::string& path, CommandIo& io) {
  Result<SheetSelection> block = ParseBlock(parsed, doc.sheet());
  if (!block) return UsageError(io, block.message());
  doc.SetSelection(*block);
  if (verb == "condense") doc.Condense();
  if (verb == "expand") return Expand(doc, parsed, prompt, path, io);
  if (verb == "reverse") doc.Reverse();
  return -1;
}

int EditLevels(CDopegridDoc& doc, const std::vector<std::string>& words,
               const ConsolePrompt& prompt, CommandIo& io) {
  const std::string& verb = words[0];
  const CSheetGrid& sheet = doc.sheet();
  if (verb == "delete-level") {
    if (!doc.CanDeleteLevelOrSay()) return 1;
    std::optional<int> level = OneLevel(words[2], sheet);
    if (!level) return UsageError(io, "'" + words[2] + "' names no level of the sheet");
    int before = sheet.levelCount;
    doc.DeleteLevel(*level);
    return sheet.levelCount < before ? -1 : NotConfirmed(prompt, words[1], io);
  }
  if (verb == "swap-levels") {
    if (!doc.CanSwapLevelsOrSay()) return 1;
    std::optional<int> a = OneLevel(words[2], sheet), b = OneLevel(words[3], sheet);
    if (!a || !b) return UsageError(io, "give two levels of the sheet, by index or name");
    const int chosen[] = {*a, *b};
    return doc.SwapLevels(chosen) ? -1 : 1;
  }
  std::optional<int> level = OneLevel(words[2], sheet);
  if (!level) return UsageError(io, "'" + words[2] + "' names no level of the sheet");
  if (words[3].empty() || words[3].size() > std::size_t(kLevelNameLimit))
    return UsageError(io, "a level name has 1 to 18 characters");
  doc.RenameLevel(*level, words[3]);
  return -1;
}

}  // namespace

std::size_t SheetEditWords(std::string_view verb) {
  auto found = kEditWords.find(verb);
  return found == kEditWords.end() ? 0 : found->second;
}

int RunSheetEdit(CDopegridDoc& doc, const std::vector<std::string>& words, const Arguments& parsed,
                 const ConsolePrompt& prompt, CommandIo& io) {
  const std::string& verb = words[0];
  if (verb == "remove-sequence") {
    auto sequence = ParseInt(words[2], 1, doc.sequenceCount());
    if (!sequence) return UsageError(io, "give a sequence of the sheet, from 1");
    doc.SelectSequence(*sequence - 1);
    int before = doc.sequenceCount();
    doc.RemoveSequence();
    return doc.sequenceCount() < before ? -1 : NotConfirmed(prompt, words[1], io);
  }
  if (verb.ends_with("-level") || verb.ends_with("-levels"))
    return EditLevels(doc, words, prompt, io);
  // The program enables the clipboard and timing commands only once a sequence is there.
  if (!doc.HasSequences())
    return Refuse(io, words[1], "the sheet holds no sequence, so '" + verb + "' changes nothing");
  if (verb == "cut" || verb == "copy") return CutOrCopy(doc, verb == "cut", parsed, io);
  if (verb == "paste") return Paste(doc, parsed, words[1], io);
  return Retime(doc, verb, parsed, prompt, words[1], io);
}

}  // namespace quenda::cli

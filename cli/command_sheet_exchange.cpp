// `quenda sheet` verbs that exchange sheets with other programs: XDTS timesheets and CSV in and
// out. Imports name every text that finds no drawing and save nothing then, unless the user
// accepts the loss; a sheet already there is replaced only when asked.

#include <filesystem>
#include <map>
#include <set>

#include "cli/arguments.h"
#include "cli/command_sheet_verbs.h"
#include "cli/console_prompt.h"
#include "cli/edit_lock.h"
#include "common/path.h"
#include "dopegrid/core/sheet_csv.h"
#include "dopegrid/core/sheet_file.h"
#include "dopegrid/core/xdts_file.h"

namespace quenda::cli {
namespace {

const std::set<std::string> kValued = {"--out",   "--table", "--sequence", "--cut",
                                       "--scene", "--data",  "--level",    "--mouths",
                                       "--from",  "--until", "--rate"};
const std::set<std::string> kFlags = {"--forget-missing", "--crop", "--force", "--extend",
                                      "--no-wait"};
const std::vector<std::string> kOptions = {
    "--out",    "--table",  "--sequence", "--cut",  "--scene", "--data",           "--level",
    "--mouths", "--from",   "--until",    "--rate", "--crop",  "--forget-missing", "--force",
    "--extend", "--no-wait"};

void PrintNotes(CommandIo& io, const std::string& file, const std::vector<std::string>& notes) {
  for (const std::string& note : notes) io.err << FileMessage("sheet", file, note) << "\n";
}

// A file the run would write over: only with --force.
bool MayWrite(const std::string& path, const Arguments& parsed, CommandIo& io) {
  if (!std::filesystem::exists(path) || parsed.Has("--force")) return true;
  ReportFileError(io, "sheet", path, "exists already; it is left as it is (--force replaces it)");
  return false;
}

struct ImportedColumns {
  std::vector<ExchangeColumn> columns;
  int frameCount = 0;
  std::vector<std::string> notes;
};

int Import(const std::string& verb, const Arguments& parsed, CommandIo& io) {
  const std::string& file = parsed.positional()[1];
  std::optional<std::string> out = parsed.Value("--out");
  if (!out) return SheetUsageError(io, "give the sheet to write: --out SHEET.dgr");
  ExchangeImportOptions options;
  for (const std::string& text : parsed.Values("--sequence")) {
    std::optional<SequenceChoice> choice = ParseSequenceChoice(text);
    if (!choice)
      return SheetUsageError(io, "--sequence must be NAME=FIRST.qds, not '" + text + "'");
    options.choices.push_back(std::move(*choice));
  }
  // A sheet being replaced is edited: another run's edit of it finishes first.
  std::optional<DocumentLock> lock =
      LockDocumentForEdit(*out, parsed.Has("--no-wait"), "sheet", io);
  if (!lock) return 1;
  if (!MayWrite(*out, parsed, io)) return 1;

  ImportedColumns read;
  if (verb == "import-xdts") {
    Result<XdtsColumns> xdts =
        LoadXdtsFile(file, {parsed.Value("--table").value_or(""), parsed.Has("--crop")});
    if (!xdts) return ReportFileError(io, "sheet", "", xdts.message());
    read = {std::move(xdts->columns), xdts->frameCount, std::move(xdts->notes)};
  } else {
    Result<CsvColumns> csv = LoadSheetCsv(file);
    if (!csv) return ReportFileError(io, "sheet", "", csv.message());
    read = {std::move(csv->columns), csv->frameCount, std::move(csv->notes)};
  }
  PrintNotes(io, file, read.notes);

  options.folders = {DirectoryOf(AbsolutePath(file))};
  if (std::string beside = DirectoryOf(AbsolutePath(*out)); beside != options.folders.front())
    options.folders.push_back(beside);
  Result<ExchangeImport> sheet = BuildImportedSheet(read.columns, read.frameCount, options);
  if (!sheet) return ReportFileError(io, "sheet", file, sheet.message());
  for (const std::string& choice : sheet->choices) io.out << choice << "\n";
  PrintNotes(io, file, sheet->notes);
  for (const std::string& missing : sheet->missing)
    io.err << FileMessage("sheet", file, "missing: " + missing) << "\n";
  if (!sheet->missing.empty()) {
    if (!parsed.Has("--forget-missing"))
      return ReportFileError(io, "sheet", *out,
                             "nothing saved: " + std::to_string(sheet->missing.size()) +
                                 " texts name no drawing (--forget-missing leaves their cells "
                                 "empty)");
    io.err << FileMessage("sheet", *out, "the cells of the missing texts are left empty") << "\n";
  }
  if (Status saved = SaveSheetFile(*out, sheet->sheet, sheet->sequences); !saved)
    return ReportFileError(io, "sheet", "", saved.message());
  io.out << "wrote " << *out << " (" << sheet->sheet.levelCount << " levels, "
         << sheet->sheet.frameCount << " frames, " << sheet->sequences.size() << " sequences)\n";
  return 0;
}

int Export(const std::string& verb, const Arguments& parsed, CommandIo& io) {
  const std::string& path = parsed.positional()[1];
  std::optional<std::string> out = parsed.Value("--out");
  if (!out) return SheetUsageError(io, "give the file to write: --out FILE");
  XdtsWriteOptions xdts{parsed.Value("--cut").value_or("1"), parsed.Value("--scene").value_or("1"),
                        TitleOf(path)};
  if (!IsXdtsNumber(xdts.cut) || !IsXdtsNumber(xdts.scene))
    return SheetUsageError(io, "--cut and --scene are numbers of 1 to 4 digits");
  // A sheet being replaced is edited: another run's edit of it finishes first.
  std::optional<DocumentLock> lock =
      LockDocumentForEdit(*out, parsed.Has("--no-wait"), "sheet", io);
  if (!lock) return 1;
  if (!MayWrite(*out, parsed, io)) return 1;

  ConsolePrompt prompt(io, false, false);
  prompt.Name("sheet", path);
  CDopegridDoc doc(prompt);
  if (!doc.OnOpenDocument(path)) return 1;
  if (prompt.keptLostParts())
    return ReportFileError(io, "sheet", path,
                           "nothing written: the sheet names sequences whose drawings are all "
                           "gone (open it and find or forget them first)");
  std::vector<std::string> notes;
  Status saved = verb == "export-xdts"
                     ? SaveXdtsFile(*out, doc.sheet(), doc.sequences(), xdts, notes)
                     : SaveSheetCsv(*out, doc.sheet(), doc.sequences());
  if (!saved) return ReportFileError(io, "sheet", "", saved.message());
  PrintNotes(io, *out, notes);
  io.out << "wrote " << *out << "\n";
  std::string options = SequenceOptionsFor(SequenceChoicesFor(doc.sheet(), doc.sequences()));
  io.out << "import back with: quenda sheet "
         << (verb == "export-xdts" ? "import-xdts " : "import-csv ") << *out << " --out SHEET.dgr"
         << (options.empty() ? "" : " ") << options << "\n";
  return 0;
}

}  // namespace

bool IsSheetExchangeVerb(std::string_view verb) {
  return verb == "import-xdts" || verb == "export-xdts" || verb == "import-csv" ||
         verb == "export-csv" || verb == "lipsync";
}

int RunSheetExchange(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, kValued, kFlags);
  if (!parsed.error().empty()) return SheetUsageError(io, parsed.error());
  const std::vector<std::string>& words = parsed.positional();
  if (words.size() != 2) return SheetUsageError(io, "wrong number of words for '" + args[0] + "'");
  const std::string& verb = words[0];
  const std::map<std::string, std::set<std::string>> allowed = {
      {"import-xdts",
       {"--out", "--table", "--sequence", "--forget-missing", "--crop", "--force", "--no-wait"}},
      {"import-csv", {"--out", "--sequence", "--forget-missing", "--force", "--no-wait"}},
      {"export-xdts", {"--out", "--cut", "--scene", "--force"}},
      {"export-csv", {"--out", "--force"}},
      {"lipsync",
       {"--data", "--level", "--mouths", "--from", "--until", "--rate", "--sequence", "--extend",
        "--no-wait"}}};
  for (const std::string& option : kOptions)
    if (parsed.Has(option) && !allowed.at(verb).count(option))
      return SheetUsageError(io, option + " does not go with " + verb);
  if (verb == "lipsync") return ApplyLipSync(parsed, io);
  if (verb == "import-xdts" || verb == "import-csv") return Import(verb, parsed, io);
  return Export(verb, parsed, io);
}

}  // namespace quenda::cli

// `quenda import`: a numbered series of Targa or bitmap pictures into drawing scans of a new
// sequence, asking nothing.

#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/file_info.h"
#include "cli/interrupt_stop.h"
#include "common/drawing_scan.h"
#include "common/path.h"
#include "scanner/core/import_sequence.h"
#include "scanner/core/scan_area.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda import FIRST.bmp|FIRST.tga --out DIR --name NAME --dpi D --peg P\n"
    "Makes the series that starts at FIRST (frame0007.tga, frame0008.tga, .. while they exist;\n"
    "a name without digits is a single picture) into drawing scans DIR/NAME7.qds, NAME8.qds,\n"
    "..  (NAME1.qds for a single picture), in grey, not turned, one line per file written.\n"
    "Ctrl-C ends the run after the frames already written, which stay.\n\n"
    "  --out DIR      the folder of the new sequence (made when missing)\n"
    "  --name NAME    the sequence name, letters only\n"
    "  --dpi D        the resolution the pictures are taken to have, 10..1200\n"
    "  --peg P        the peg position they are taken to have: 0 left, 1 right, 2 bottom, 3 top\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "import", reason, kUsage);
}

int RunImport(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--out", "--name", "--dpi", "--peg"}, {});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one first picture");
  auto out = parsed.Value("--out");
  auto name = parsed.Value("--name");
  auto dpiText = parsed.Value("--dpi");
  auto pegText = parsed.Value("--peg");
  if (!out || !name || !dpiText || !pegText)
    return UsageError(io, "--out, --name, --dpi and --peg are required");
  auto dpi = ParseInt(*dpiText, 10, 1200);
  if (!dpi) return UsageError(io, "--dpi must be a whole number from 10 to 1200");
  auto peg = ParseInt(*pegText, kPegLeft, kPegTop);
  if (!peg) return UsageError(io, "--peg must be 0, 1, 2 or 3");

  std::string directory = *out;
  if (!directory.empty() && !IsPathSeparator(directory.back())) directory += '/';
  scanner::ImportForm form{*name, directory, PegButtonOfPosition(*peg), *dpi};
  const std::string& first = parsed.positional()[0];
  // The form's checks are of the options' values.
  if (Status checked = scanner::CheckImportForm(form); !checked)
    return UsageError(io, checked.message());
  auto source = scanner::FindImportSource(first);
  if (!source) return ReportFileError(io, "import", first, source.message());
  // A first picture that is not there leaves no new folder behind.
  if (std::error_code absent; !std::filesystem::exists(source->InputPath(source->start), absent))
    return ReportFileError(io, "import", first, "the picture does not exist");
  std::error_code ignored;  // a folder that cannot be made is reported by the first save
  std::filesystem::create_directories(directory, ignored);

  ConsolePrompt console(io, false);
  console.Name("import", first);
  InterruptStop stop(console);
  auto outcome =
      scanner::ImportSequence(*source, directory, *name, *peg, *dpi, stop.prompt(), stop,
                              [&](const std::string& path) { io.out << "wrote " << path << "\n"; });
  if (outcome.finished) return 0;
  // The picture that ended the run, when it was one the reader refused.
  const std::string failed = source->InputPath(source->start + outcome.written);
  if (!stop.Interrupted() && source->kind == scanner::ImportKind::Targa)
    if (std::string hint = CompressedTargaHint(failed); !hint.empty())
      ReportFileError(io, "import", failed, hint);
  return stop.ExitCode(1);
}

}  // namespace

const Command& ImportCommand() {
  static const Command kCommand{"import", "import numbered Targa or bitmap pictures as drawings",
                                kUsage, RunImport};
  return kCommand;
}

}  // namespace quenda::cli

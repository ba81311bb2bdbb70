// `quenda import`: a numbered series of pictures (Targa, bitmap, PNG, TIFF, JPEG, OpenEXR) into
// drawing scans of a new sequence, asking nothing: a sequence already there is replaced only
// with --force.

#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/file_info.h"
#include "cli/interrupt_stop.h"
#include "cli/replace_sequence.h"
#include "common/drawing_scan.h"
#include "common/path.h"
#include "common/sequence_files.h"
#include "common/studio_picture.h"
#include "scanner/core/import_sequence.h"
#include "scanner/core/scan_area.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda import FIRST --out DIR --name NAME --peg P [--dpi D] [--force]\n"
    "Makes the series that starts at FIRST (.tga, .bmp, .png, .tif, .tiff, .jpg, .jpeg, .exr,\n"
    ".dpx) into drawing scans DIR/NAME7.qds, NAME8.qds, .. in grey, not turned, one line per\n"
    "file written. The number is the last run of digits in the name (frame0007.tga,\n"
    "sc010_bg_0007.tif), counted up while the files exist; a name without digits is a single\n"
    "picture, NAME1.qds. Colour becomes the brightest of red, green and blue, alpha is laid\n"
    "over white, 16-bit and float values are rounded (OpenEXR from linear light).\n"
    "Ctrl-C ends the run after the frames already written, which stay.\n\n"
    "  --out DIR      the folder of the new sequence (made when missing)\n"
    "  --name NAME    the sequence name, letters only\n"
    "  --peg P        the peg position they are taken to have: 0 left, 1 right, 2 bottom, 3 top\n"
    "  --dpi D        the resolution, 10..1200: needed for files that hold none (Targa,\n"
    "                 bitmap), and it overrides the resolution a file holds\n"
    "  --force        replace a sequence NAME already in DIR: its drawings with their region\n"
    "                 and paint files are removed first, the colour set is kept (without it\n"
    "                 DIR is left as it is)\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "import", reason, kUsage);
}

int RunImport(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--out", "--name", "--dpi", "--peg"}, {"--force"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one first picture");
  auto out = parsed.Value("--out");
  auto name = parsed.Value("--name");
  auto dpiText = parsed.Value("--dpi");
  auto pegText = parsed.Value("--peg");
  if (!out || !name || !pegText) return UsageError(io, "--out, --name and --peg are required");
  std::optional<int> dpi = 0;
  if (dpiText) dpi = ParseInt(*dpiText, scanner::kImportMinDpi, scanner::kImportMaxDpi);
  if (!dpi) return UsageError(io, "--dpi must be a whole number from 10 to 1200");
  auto peg = ParseInt(*pegText, kPegLeft, kPegTop);
  if (!peg) return UsageError(io, "--peg must be 0, 1, 2 or 3");

  std::string directory = *out;
  if (!directory.empty() && !IsPathSeparator(directory.back())) directory += '/';
  scanner::ImportForm form{*name, directory, PegButtonOfPosition(*peg), *dpi > 0 ? *dpi : -1};
  const std::string& first = parsed.positional()[0];
  // The form's checks are of the options' values; whether a dpi is needed waits for the file.
  scanner::ImportSource anyResolution;
  anyResolution.fileDpi = scanner::kImportMaxDpi;
  if (Status checked = scanner::CheckImportForm(form, anyResolution); !checked)
    return UsageError(io, checked.message());
  auto source = scanner::FindImportSource(first);
  if (!source) return ReportFileError(io, "import", first, source.message());
  // A first picture that is not there leaves no new folder behind.
  if (std::error_code absent; !std::filesystem::exists(source->InputPath(source->start), absent))
    return ReportFileError(io, "import", first, "the picture does not exist");
  if (!scanner::CheckImportForm(form, *source)) {
    // A picture whose header cannot be read holds no resolution either; its damage is the
    // reason to give, not a missing --dpi.
    if (source->kind == scanner::ImportKind::Studio)
      if (Result<StudioPictureHeader> header = ReadStudioPictureHeader(first); !header)
        return ReportFileError(io, "import", first, header.message());
    return UsageError(io, "--dpi is needed: " + first + " holds no resolution of 10..1200 dpi");
  }
  // Drawings of another import under this name would be overwritten in part, and the rest,
  // with region and paint files describing other pictures, would join the new sequence.
  const std::vector<std::string> existing = scanner::ExistingImportTarget(directory, *name);
  if (auto code =
          MakeRoomForSequence(io, "import", directory, *name, existing, parsed.Has("--force")))
    return *code;
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
  static const Command kCommand{
      "import", "import numbered pictures (Targa, bitmap, PNG, TIFF, ...) as drawings", kUsage,
      RunImport};
  return kCommand;
}

}  // namespace quenda::cli

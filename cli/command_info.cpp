// `quenda info`: prints what a drawing scan, colour set or Targa picture holds.

#include <sstream>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/file_info.h"

namespace quenda::cli {
namespace {

std::string Usage() {
  std::string usage =
      "usage: quenda info FILE\n"
      "Prints what FILE holds, told by its extension (in any case):\n";
  for (const FileInfoPrinter& printer : FileInfoPrinters())
    usage += "  " + std::string(printer.extension) + "  " + std::string(printer.kind) + "\n";
  usage += "A file its reader refuses prints the reader's message; the exit code is then 1.\n";
  usage +=
      "A colour set is shown as the painter reads it, with a line when the exposure sheet\n"
      "refuses it.\n";
  return usage;
}

const std::string& UsageText() {
  static const std::string kUsage = Usage();
  return kUsage;
}

int RunInfo(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {}, {});
  std::string reason = parsed.error();
  if (reason.empty() && parsed.positional().size() != 1) reason = "give exactly one file";
  const FileInfoPrinter* printer =
      reason.empty() ? FileInfoPrinterFor(parsed.positional()[0]) : nullptr;
  if (reason.empty() && !printer)
    reason = "cannot tell what " + parsed.positional()[0] + " holds from its extension";
  if (!reason.empty()) {
    io.err << "quenda info: " << reason << "\n" << UsageText();
    return 2;
  }
  // The readers' messages stay as they are, after the command and the file they are about.
  const std::string& path = parsed.positional()[0];
  std::ostringstream told;
  CommandIo captured{io.out, told, io.in, io.interactive, io.progress};
  const int code = printer->print(path, captured);
  std::istringstream lines(told.str());
  for (std::string line; std::getline(lines, line);)
    io.err << FileMessage("info", path, line) << "\n";
  return code;
}

}  // namespace

const Command& InfoCommand() {
  static const Command kCommand{
      "info",
      "print what a drawing, region, paint, colour set, picture, sound, sheet or movie file holds",
      UsageText(), RunInfo};
  return kCommand;
}

}  // namespace quenda::cli

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "cli/commands.h"
#include "cli/file_info.h"

namespace quenda::cli {
namespace {

void PrintOverview(std::ostream& out) {
  out << "usage: quenda COMMAND [ARGS...]\n"
         "Headless work on Quenda drawing sequences, colour sets and pictures.\n\n"
         "Commands:\n";
  for (const Command& c : AllCommands()) {
    std::string name(c.name);
    name.resize(std::max<std::size_t>(name.size(), 12), ' ');
    out << "  " << name << c.summary << "\n";
  }
  out << "\n'quenda COMMAND --help' describes one command; 'quenda --version' prints the "
         "version.\n";
}

}  // namespace

int ReportUsageError(CommandIo& io, std::string_view command, std::string_view reason,
                     std::string_view usage) {
  io.err << "quenda " << command << ": " << reason << "\n" << usage;
  return 2;
}

std::string FileMessage(std::string_view command, std::string_view file, std::string_view message) {
  std::string line = "quenda " + std::string(command) + ": ";
  if (!file.empty()) line += std::string(file) + ": ";
  // A message box's lines become one line of the log.
  while (!message.empty() && message.back() == '\n') message.remove_suffix(1);
  const std::size_t start = line.size();
  line += message;
  std::replace(line.begin() + std::ptrdiff_t(start), line.end(), '\n', ' ');
  return line;
}

bool HasMovieExtension(std::string_view path) {
  if (path.size() < 4) return false;
  std::string end(path.substr(path.size() - 4));
  for (char& c : end) c = char(std::tolower(static_cast<unsigned char>(c)));
  return end == ".avi" || end == ".mp4" || end == ".mov";
}

int ReportFileError(CommandIo& io, std::string_view command, std::string_view file,
                    std::string_view message) {
  io.err << FileMessage(command, file, message) << "\n";
  return 1;
}

bool ReportMissingInputs(CommandIo& io, std::string_view command, std::string_view file,
                         const Status& check, bool allowMissing) {
  if (check) return true;
  io.err << check.message() << "\n";
  constexpr std::string_view kUnreadable = "unreadable: ";
  std::istringstream lines(check.message());
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(kUnreadable))
      if (std::string hint = CompressedTargaHint(line.substr(kUnreadable.size())); !hint.empty())
        io.err << FileMessage(command, line.substr(kUnreadable.size()), hint) << "\n";
  if (allowMissing) return true;
  io.err << FileMessage(command, file,
                        "nothing written, as files the frames need are missing or unreadable "
                        "(--allow-missing goes on without them)")
         << "\n";
  return false;
}

std::span<const Command> AllCommands() {
  static const std::vector<Command> kCommands{
      SampleCommand(),    InfoCommand(),    AnalyzeCommand(), PaintCommand(),    ColorsCommand(),
      AutopaintCommand(), SheetCommand(),   RenderCommand(),  FlipbookCommand(), ToneCommand(),
      CompCommand(),      ComposeCommand(), PreviewCommand(), MaskCommand(),     ScanCommand(),
      ExportCommand(),    ImportCommand(),  FarmCommand()};
  return kCommands;
}

int RunQuenda(std::span<const std::string> args, CommandIo& io) {
  if (args.empty()) {
    PrintOverview(io.err);
    return 2;
  }
  if (args[0] == "--version") {
    io.out << "quenda " << QUENDA_VERSION << "\n";
    return 0;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(io.out);
    return 0;
  }
  for (const Command& c : AllCommands()) {
    if (args[0] != c.name) continue;
    auto rest = args.subspan(1);
    for (const std::string& word : rest) {
      if (word == "--help" || word == "-h") {
        io.out << c.usage;
        return 0;
      }
    }
    return c.run(rest, io);
  }
  io.err << "quenda: unknown command '" << args[0] << "'\n";
  PrintOverview(io.err);
  return 2;
}

}  // namespace quenda::cli

#pragma once
// One subcommand of the quenda tool: its name, a line of help and the function that runs it.

#include <istream>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "common/result.h"

namespace quenda::cli {

// How long frame jobs show how far they are, on standard error.
enum class ProgressForm {
  None,   // nothing (the tool run inside another program or a test)
  Bar,    // a terminal: one line redrawn in place
  Lines,  // a log: one line per frame
};

struct CommandIo {
  std::ostream& out;
  std::ostream& err;
  // Standard input, and whether it is a terminal where the user can answer a question.
  std::istream* in = nullptr;
  bool interactive = false;
  ProgressForm progress = ProgressForm::None;
};

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for `quenda --help`
  std::string_view usage;    // the full text of `quenda NAME --help`
  int (*run)(std::span<const std::string> args, CommandIo& io);
};

// Prints "quenda NAME: REASON" and the command's usage to standard error; returns the usage
// error's exit code, 2.
int ReportUsageError(CommandIo& io, std::string_view command, std::string_view reason,
                     std::string_view usage);

// "quenda COMMAND: FILE: MESSAGE" ("quenda COMMAND: MESSAGE" without a file): how the tool
// names the run and the file a message is about. The message keeps its words; its line ends
// become spaces, so that every message is one line of a log.
std::string FileMessage(std::string_view command, std::string_view file, std::string_view message);
// Prints FileMessage(...) and a line end to standard error; returns 1, a file's exit code.
int ReportFileError(CommandIo& io, std::string_view command, std::string_view file,
                    std::string_view message);

// Flipbooks and previews are AVI, H.264 MP4 or ProRes 4444 MOV by the name's extension; any
// other ending would promise a kind the tool does not write.
bool HasMovieExtension(std::string_view path);  // ".avi", ".mp4" or ".mov" in any case
inline constexpr std::string_view kMovieNameError =
    "--out must be a file name ending in .avi, .mp4 (H.264) or .mov (ProRes 4444)";

// A render's input check: prints its lines (each a missing or unreadable file) to standard
// error, and unless `allowMissing` ends with "quenda COMMAND: FILE: nothing written" and the
// reason. True when the run may go on: nothing is missing, or the loss was accepted.
bool ReportMissingInputs(CommandIo& io, std::string_view command, std::string_view file,
                         const Status& check, bool allowMissing);

// Every subcommand, in the order `quenda --help` lists them.
std::span<const Command> AllCommands();

// Runs `quenda ARGS...` (without the program name); returns the exit code.
int RunQuenda(std::span<const std::string> args, CommandIo& io);

}  // namespace quenda::cli

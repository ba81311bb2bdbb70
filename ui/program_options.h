#pragma once
// The options every windowed program takes before it opens a window: --help and --version print
// and end the program, so they are never taken for a document's name.

#include <optional>
#include <string_view>

namespace quenda {

struct ProgramUsage {
  std::string_view program;    // "quenda-painter"
  std::string_view arguments;  // "[DRAWING.qds]"
  std::string_view purpose;    // one line on what the program does
};

// The exit status when argv holds --help, -h or --version (printed to standard output); nothing
// when the program should go on.
std::optional<int> HandleProgramOptions(int argc, char** argv, const ProgramUsage& usage);

}  // namespace quenda

#include "ui/program_options.h"

#include <cstdio>
#include <string>

#include "common/version.h"

namespace quenda {

std::optional<int> HandleProgramOptions(int argc, char** argv, const ProgramUsage& usage) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--") break;  // what follows is a file name, whatever it looks like
    if (word == "--version") {
      std::printf("%.*s %.*s\n", int(usage.program.size()), usage.program.data(),
                  int(QuendaVersion().size()), QuendaVersion().data());
      return 0;
    }
    if (word == "--help" || word == "-h") {
      const std::string text = "usage: " + std::string(usage.program) + " " +
                               std::string(usage.arguments) + "\n" + std::string(usage.purpose) +
                               "\n\n  --help     show this text\n  --version  show the version\n";
      std::fputs(text.c_str(), stdout);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace quenda

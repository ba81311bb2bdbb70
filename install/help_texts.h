#pragma once
// What `quenda --help` and every `quenda COMMAND --help` print, gathered by running the tool's
// own entry point, so the manual page and the completion script are made from the very texts a
// user sees in a terminal.

#include <string>
#include <vector>

namespace quenda::install {

struct CommandHelp {
  std::string name;
  std::string summary;  // its line in the overview
  std::string usage;    // the whole of `quenda NAME --help`
};

struct HelpTexts {
  std::string version;   // "quenda 0.1"
  std::string overview;  // `quenda --help`
  std::vector<CommandHelp> commands;
};

HelpTexts CollectHelpTexts();

}  // namespace quenda::install

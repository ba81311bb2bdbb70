#pragma once
// Bash completion for quenda, read from the help texts: the commands, each command's options,
// the verbs of those that have them ("quenda sheet new"), the words an option chooses from
// ("--size full|half|quarter") and the file types its usage names ("SHEET.dgr").

#include <string>
#include <vector>

#include "install/help_texts.h"

namespace quenda::install {

struct CommandWords {
  std::vector<std::string> verbs;    // "new", "add-level", ... of `quenda sheet VERB`
  std::vector<std::string> options;  // "--out", ..., in the order the usage shows them
  std::vector<std::string> valued;   // options followed by a value ("--out DIR")
  std::vector<std::pair<std::string, std::string>> choices;  // "--size", "full half quarter"
  std::vector<std::string> fileTypes;                        // "dgr", ...
};

CommandWords WordsOfUsage(const std::string& name, const std::string& usage);

std::string CompletionScript(const HelpTexts& texts);

}  // namespace quenda::install

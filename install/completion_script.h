#pragma once
// Bash completion for quenda, read from the help texts: the commands, each command's options,
// the verbs of those that have them ("quenda sheet new"), the words an option chooses from
// ("--size full|half|quarter") and the file types its usage names ("SHEET.dgr").

#include <string>

#include "install/help_texts.h"

namespace quenda::install {

std::string CompletionScript(const HelpTexts& texts);

}  // namespace quenda::install

#pragma once
// The quenda(1) manual page: the overview and every command's help, word for word, in roff.

#include <string>

#include "install/help_texts.h"

namespace quenda::install {

std::string ManualPage(const HelpTexts& texts);

}  // namespace quenda::install

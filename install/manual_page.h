#pragma once
// The quenda(1) manual page: the overview and every command's help, word for word, in roff.

#include <string>
#include <string_view>

#include "install/help_texts.h"

namespace quenda::install {

// Text as roff shows it unfilled: backslashes and hyphens escaped, and a line that would start
// with a control character ('.' or '\'') kept as text.
std::string RoffVerbatim(std::string_view text);

std::string ManualPage(const HelpTexts& texts);

}  // namespace quenda::install

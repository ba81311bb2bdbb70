#pragma once
// The suite's version, set once in the build (the project version) for every program and the
// command-line tool.

#include <string_view>

namespace quenda {

std::string_view QuendaVersion();

}  // namespace quenda

#pragma once
// `--close-gaps N`, the widest gap in the lines that analysis closes: read by `quenda analyze`
// and checked by `quenda farm analyze` before any task is submitted.

#include <optional>
#include <string>
#include <string_view>

#include "analyzer/core/gap_closing.h"
#include "cli/arguments.h"

namespace quenda::cli {

inline constexpr std::string_view kCloseGapsError = "--close-gaps must be a whole number 0..20";
static_assert(kMaxCloseGaps == 20, "the message names the range");

inline std::optional<int> ParseCloseGaps(const std::string& text) {
  return ParseInt(text, 0, kMaxCloseGaps);
}

}  // namespace quenda::cli

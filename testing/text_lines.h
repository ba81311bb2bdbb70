#pragma once
// Looking through what a command printed, line by line.

#include <string>
#include <vector>

namespace quenda::testing {

// Whether `line` is one whole line of `text`.
inline bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The lines of `text`, each ended by a newline; an unended last line is left out.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace quenda::testing

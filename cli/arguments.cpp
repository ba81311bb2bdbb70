#include "cli/arguments.h"

#include <charconv>

namespace quenda::cli {

Arguments::Arguments(std::span<const std::string> args, const std::set<std::string>& valued,
                     const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--help" || word == "-h") {
      help_ = true;
    } else if (word.starts_with("--") && valued.count(word)) {
      if (i + 1 >= args.size()) {
        error_ = word + " needs a value";
        return;
      }
      values_.emplace(word, args[++i]);
    } else if (word.starts_with("--") && flags.count(word)) {
      flags_.insert(word);
    } else if (word.starts_with("--")) {
      error_ = "unknown option " + word;
      return;
    } else {
      positional_.push_back(word);
    }
  }
}

bool Arguments::Has(const std::string& option) const {
  return flags_.count(option) || values_.count(option);
}

std::optional<std::string> Arguments::Value(const std::string& option) const {
  auto it = values_.find(option);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> Arguments::Values(const std::string& option) const {
  std::vector<std::string> all;
  auto [first, last] = values_.equal_range(option);
  for (auto it = first; it != last; ++it) all.push_back(it->second);
  return all;
}

std::optional<int> ParseInt(const std::string& text, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end || value < min || value > max)
    return std::nullopt;
  return value;
}

std::optional<std::pair<int, int>> ParseRange(const std::string& text, int min, int max) {
  auto dash = text.find('-', 1);
  if (dash == std::string::npos) {
    auto single = ParseInt(text, min, max);
    if (!single) return std::nullopt;
    return std::pair{*single, *single};
  }
  auto a = ParseInt(text.substr(0, dash), min, max);
  auto b = ParseInt(text.substr(dash + 1), min, max);
  if (!a || !b || *a > *b) return std::nullopt;
  return std::pair{*a, *b};
}

std::optional<std::pair<int, int>> ParseSize(const std::string& text, int min, int max) {
  auto x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  auto w = ParseInt(text.substr(0, x), min, max);
  auto h = ParseInt(text.substr(x + 1), min, max);
  if (!w || !h) return std::nullopt;
  return std::pair{*w, *h};
}

}  // namespace quenda::cli

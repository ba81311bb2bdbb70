#pragma once
// A small option parser for the subcommands: positional words, --flag and --option VALUE.

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace quenda::cli {

class Arguments {
 public:
  // `valued` names the options that take a value, `flags` those that do not (both with "--").
  Arguments(std::span<const std::string> args, const std::set<std::string>& valued,
            const std::set<std::string>& flags);

  // Empty when the words parsed; otherwise the reason, for the usage error.
  const std::string& error() const { return error_; }
  const std::vector<std::string>& positional() const { return positional_; }
  bool Has(const std::string& option) const;
  std::optional<std::string> Value(const std::string& option) const;
  // All values of an option given several times, in order.
  std::vector<std::string> Values(const std::string& option) const;
  bool WantsHelp() const { return help_; }

 private:
  std::vector<std::string> positional_;
  std::multimap<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::string error_;
  bool help_ = false;
};

// Whole decimal numbers only, within [min, max].
std::optional<int> ParseInt(const std::string& text, int min, int max);
// "A-B" or "A" as an inclusive range within [min, max].
std::optional<std::pair<int, int>> ParseRange(const std::string& text, int min, int max);
// "WxH".
std::optional<std::pair<int, int>> ParseSize(const std::string& text, int min, int max);

}  // namespace quenda::cli

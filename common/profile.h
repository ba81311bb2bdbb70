#pragma once
// A program's profile as the cores see it: text values under a section and a key. The programs
// back it with their INI file (ui/settings_profile.h); tests and headless runs with memory.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quenda {

class Profile {
 public:
  virtual ~Profile() = default;
  // Nothing when the key is missing.
  virtual std::optional<std::string> Get(std::string_view section, std::string_view key) = 0;
  // False when the value could not be stored.
  virtual bool Set(std::string_view section, std::string_view key, std::string_view value) = 0;
};

class MemoryProfile final : public Profile {
 public:
  std::optional<std::string> Get(std::string_view section, std::string_view key) override;
  bool Set(std::string_view section, std::string_view key, std::string_view value) override;

  std::map<std::string, std::string> values;  // "SECTION/key" -> text
  bool refuseWrites = false;
};

// Decimal text as the profile functions read it: leading digits, 0 when there are none;
// `fallback` when the key is missing.
int ProfileIntOr(Profile& profile, std::string_view section, std::string_view key, int fallback);

// The whole text must be a decimal number (a minus allowed); nothing for a missing key or any
// other text, so that a garbled value is not taken for 0.
std::optional<int> ProfileStrictInt(Profile& profile, std::string_view section,
                                    std::string_view key);

}  // namespace quenda

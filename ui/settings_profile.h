#pragma once
// A program's INI profile as the cores' Profile: every value written is saved at once, so a
// refusal is known where it happens.

#include "common/profile.h"

namespace quenda {

class Settings;

class SettingsProfile final : public Profile {
 public:
  explicit SettingsProfile(Settings& settings) : settings_(settings) {}
  std::optional<std::string> Get(std::string_view section, std::string_view key) override;
  bool Set(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  Settings& settings_;
};

}  // namespace quenda

#include "common/profile.h"

#include <charconv>
#include <cstdlib>

namespace quenda {
namespace {

std::string Key(std::string_view section, std::string_view key) {
  return std::string(section) + "/" + std::string(key);
}

}  // namespace

std::optional<std::string> MemoryProfile::Get(std::string_view section, std::string_view key) {
  auto found = values.find(Key(section, key));
  if (found == values.end()) return std::nullopt;
  return found->second;
}

bool MemoryProfile::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (refuseWrites) return false;
  values[Key(section, key)] = std::string(value);
  return true;
}

int ProfileIntOr(Profile& profile, std::string_view section, std::string_view key, int fallback) {
  auto text = profile.Get(section, key);
  if (!text) return fallback;
  return int(std::strtol(text->c_str(), nullptr, 10));
}

std::optional<int> ProfileStrictInt(Profile& profile, std::string_view section,
                                    std::string_view key) {
  auto text = profile.Get(section, key);
  if (!text || text->empty()) return std::nullopt;
  const char* begin = text->data();
  const char* end = begin + text->size();
  int value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace quenda

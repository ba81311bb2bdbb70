#include "analyzer/core/line_settings_file.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <optional>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {
namespace {

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void SkipBlanks(std::string_view text, std::size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
}

// One "%d" conversion: blanks, optional sign, at least one digit. Only the low 8 bits matter
// to the caller, so digits accumulate modulo 256 and any length is fine.
std::optional<uint8_t> ScanLowByte(std::string_view text, std::size_t& at) {
  SkipBlanks(text, at);
  std::size_t p = at;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !IsDigit(text[p])) return std::nullopt;
  unsigned low = 0;
  while (p < text.size() && IsDigit(text[p])) low = (low * 10 + unsigned(text[p++] - '0')) & 0xFF;
  at = p;
  return uint8_t(negative ? (256 - low) & 0xFF : low);
}

}  // namespace

std::string FormatRedlineSettings(const RedlineSettings& s) {
  char line[64];
  std::snprintf(line, sizeof line, "%d %d %d %d\n", s.linePickUp, s.lineGrowth, s.whiteClamp,
                s.blackClamp);
  return std::string(kRedlineSettingsHeader) + "\n" + line;
}

RedlineSettings ParseRedlineSettings(std::string_view text, const RedlineSettings& current) {
  RedlineSettings result = current;
  std::size_t at = 0;
  SkipBlanks(text, at);
  while (at < text.size() && !IsBlank(text[at])) ++at;  // the header word, not checked
  uint8_t* fields[] = {&result.linePickUp, &result.lineGrowth, &result.whiteClamp,
                       &result.blackClamp};
  for (uint8_t* field : fields) {
    std::optional<uint8_t> value = ScanLowByte(text, at);
    if (!value) break;
    *field = *value;
  }
  return result;
}

Status SaveRedlineSettings(const std::string& path, const RedlineSettings& settings) {
  return WriteFileAtomically(path, FormatRedlineSettings(settings),
                             WriteMessages(std::string(kSettingsWriteError)));
}

Status LoadRedlineSettings(const std::string& path, RedlineSettings& settings) {
  // A settings file is a few bytes; a huge file named .rls is not read whole.
  constexpr std::uint64_t kEnoughText = 64 * 1024;
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path, 0, kEnoughText);
  if (!bytes) return Error{std::string(kSettingsOpenError)};
  std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  settings = ParseRedlineSettings(text, settings);
  return Status::Ok();
}

int ParseDialogNumber(std::string_view text) {
  std::size_t at = 0;
  SkipBlanks(text, at);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    value = std::min<long long>(value * 10 + (text[at++] - '0'), (long long)INT_MAX + 1);
  }
  if (negative) value = -value;
  return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string CheckLineSettingsEntries(const LineSettingsEntries& e) {
  auto outside = [](int value, int max) { return value < 0 || value > max; };
  if (outside(e.linePickUp, kLineLevelMax)) return "Line Pick Up: out of Range!";
  if (outside(e.lineGrowth, kLineLevelMax)) return "Line Growth: out of Range!";
  if (e.lineGrowth < e.linePickUp) return "Line Growth must be greater than Line Pickup";
  if (e.whiteClamp < e.blackClamp) return "White Clamp value must be greater than Black Clamp's";
  if (outside(e.whiteClamp, kClampLevelMax)) return "White Clamp: out of Range!";
  if (outside(e.blackClamp, kClampLevelMax)) return "Black Clamp: out of Range!";
  return {};
}

RedlineSettings AcceptedLineSettings(const LineSettingsEntries& e) {
  return {uint8_t(e.linePickUp), uint8_t(e.lineGrowth), uint8_t(e.whiteClamp & 0xFF),
          uint8_t(e.blackClamp & 0xFF)};
}

}  // namespace quenda

#include "color_set.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {
namespace {

struct DefaultEntry {
  int index;
  ColorEntry entry;
};

const std::array<DefaultEntry, 4>& DefaultEntries() {
  static const std::array<DefaultEntry, 4> kDefaults = {{
      {kTransparentColor, {120, 120, 120, "TRANS"}},
      {kUnfilledColor, {0, 255, 102, "UNFIL"}},
      {kLineColor, {255, 0, 255, "LINE"}},
      {kAnimLineColor, {0, 0, 0, "ANIMLINE"}},
  }};
  return kDefaults;
}

const ColorEntry& AnimLineDefault() {
  return DefaultEntries()[3].entry;
}

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

uint8_t ClampComponent(long long value) {
  return uint8_t(std::clamp<long long>(value, 0, 255));
}

// Reads like formatted input: "%s" takes the next run of non-blanks, "%d" an optional sign and
// at least one digit, stopping at the first non-digit.
class TokenCursor {
 public:
  explicit TokenCursor(std::string_view text) : text_(text) {}

  std::optional<std::string_view> Word() {
    SkipBlanks();
    std::size_t start = pos_;
    while (pos_ < text_.size() && !IsBlank(text_[pos_])) ++pos_;
    if (pos_ == start) return std::nullopt;
    return text_.substr(start, pos_ - start);
  }

  // Values beyond the range of long long saturate; callers clamp further.
  std::optional<long long> Number() {
    SkipBlanks();
    std::size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
    std::size_t digitsStart = p;
    long long value = 0;
    while (p < text_.size() && std::isdigit(static_cast<unsigned char>(text_[p]))) {
      int digit = text_[p] - '0';
      value = value > (LLONG_MAX - digit) / 10 ? LLONG_MAX : value * 10 + digit;
      ++p;
    }
    if (p == digitsStart) return std::nullopt;
    pos_ = p;
    return negative ? -value : value;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

ColorSet::ColorSet() {
  ResetColorSet(*this);
}

void ResetColorSet(ColorSet& set) {
  set.count = kFirstUserColor;
  for (const DefaultEntry& d : DefaultEntries()) set.entries[std::size_t(d.index)] = d.entry;
  set.path = std::string(kDefaultColorSetPath);
}

std::string ColorNameForFile(std::string_view name) {
  if (name.empty()) return std::string(1, '_');
  std::string out(name.substr(0, std::size_t(kColorNameLimit)));
  for (char& c : out)
    if (IsBlank(c) || c == '\0') c = '_';
  return out;
}

ParsedColorSet ParseColorSet(std::string_view text) {
  ParsedColorSet parsed;
  TokenCursor cursor(text);
  if (auto word = cursor.Word()) parsed.headerWord = std::string(*word);
  auto count = cursor.Number();
  if (!count) return parsed;
  parsed.declaredCount = int(std::clamp<long long>(*count, INT_MIN, INT_MAX));
  long long toRead = std::min<long long>(*count, kPainterColorLimit);
  for (long long i = 0; i < toRead; ++i) {
    auto name = cursor.Word();
    if (!name) break;
    auto red = cursor.Number();
    if (!red) break;
    auto green = cursor.Number();
    if (!green) break;
    auto blue = cursor.Number();
    if (!blue) break;
    ColorEntry entry;
    entry.name = std::string(name->substr(0, std::size_t(kColorNameLimit)));
    entry.red = ClampComponent(*red);
    entry.green = ClampComponent(*green);
    entry.blue = ClampComponent(*blue);
    parsed.entries.push_back(std::move(entry));
  }
  return parsed;
}

std::optional<std::string> SheetColorSetRefusal(const ParsedColorSet& parsed) {
  if (parsed.headerWord == kColorSetHeader) return std::nullopt;
  if (parsed.headerWord.empty()) return "the file is empty";
  return "the first word is \"" + parsed.headerWord + "\", not \"" + std::string(kColorSetHeader) +
         "\"";
}

void ApplyColorSet(ColorSet& set, const ParsedColorSet& parsed) {
  std::size_t read = std::min(parsed.entries.size(), std::size_t(kPainterColorLimit));
  for (std::size_t i = 0; i < read; ++i) set.entries[i] = parsed.entries[i];
  // The fixed slots are always present; ones the file lacks take their defaults.
  for (const DefaultEntry& d : DefaultEntries())
    if (d.index < kFirstUserColor && std::size_t(d.index) >= read)
      set.entries[std::size_t(d.index)] = d.entry;
  set.count = std::max(int(read), kFirstUserColor);
}

std::string FormatColorSet(const ColorSet& set) {
  std::string text(kColorSetHeader);
  text += '\n';
  int count = std::clamp(set.count, 0, kPainterColorLimit);
  text += std::to_string(count) + '\n';
  for (int i = 0; i < count; ++i) {
    const ColorEntry& e = set.entries[std::size_t(i)];
    text += ColorNameForFile(e.name) + ' ' + std::to_string(e.red) + ' ' + std::to_string(e.green) +
            ' ' + std::to_string(e.blue) + '\n';
  }
  return text;
}

bool LoadColorSet(ColorSet& set, const std::string& path, Prompt& prompt) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) {
    prompt.Message(kColorSetNotFoundMessage, MessageIcon::Information);
    ResetColorSet(set);
    set.path = path;
    (void)SaveColorSet(set, prompt);  // the set in memory stays usable when this fails
    return true;
  }
  ApplyColorSet(set, ParseColorSet(*text));
  // However the file got there, the unpainted-line colour is black.
  set.entries[kAnimLineColor] = AnimLineDefault();
  set.path = path;
  return true;
}

bool SaveColorSet(const ColorSet& set, Prompt& prompt) {
  Status written = WriteFileAtomically(set.path, FormatColorSet(set),
                                       WriteMessages(std::string(kColorSetWriteErrorMessage)));
  if (!written) prompt.Message(written.message(), MessageIcon::Error);
  return written.ok();
}

bool AddColor(ColorSet& set, std::string_view name, int red, int green, int blue) {
  if (set.count < 0 || set.count >= kPainterColorLimit) return false;
  ColorEntry& entry = set.entries[std::size_t(set.count)];
  entry.name = ColorNameForFile(name);
  SetEntryColour(entry, red, green, blue);
  ++set.count;
  return true;
}

void SetEntryColour(ColorEntry& entry, int red, int green, int blue) {
  entry.red = ClampComponent(red);
  entry.green = ClampComponent(green);
  entry.blue = ClampComponent(blue);
}

}  // namespace quenda

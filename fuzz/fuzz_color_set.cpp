// Feeds arbitrary text to the colour set parser and checks that what it reads stays inside the
// slots and writes back into a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/color_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quenda::ParsedColorSet parsed = quenda::ParseColorSet(text);
  if (parsed.entries.size() > std::size_t(quenda::kPainterColorLimit)) __builtin_trap();
  quenda::ColorSet set;
  quenda::ApplyColorSet(set, parsed);
  if (set.count < quenda::kFirstUserColor || set.count > quenda::kPainterColorLimit)
    __builtin_trap();
  if (set.entries[quenda::kAnimLineColor].name != "ANIMLINE") __builtin_trap();
  for (const auto& entry : set.entries)
    if (entry.name.size() > std::size_t(quenda::kColorNameLimit)) __builtin_trap();

  quenda::ColorSet back;
  quenda::ApplyColorSet(back, quenda::ParseColorSet(quenda::FormatColorSet(set)));
  if (back.count != set.count) __builtin_trap();
  for (int i = 0; i < set.count; ++i) {
    const auto& a = set.entries[std::size_t(i)];
    const auto& b = back.entries[std::size_t(i)];
    if (a.red != b.red || a.green != b.green || a.blue != b.blue) __builtin_trap();
    if (b.name != quenda::ColorNameForFile(a.name)) __builtin_trap();
  }
  return 0;
}

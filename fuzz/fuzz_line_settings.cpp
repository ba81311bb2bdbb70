// Parses line settings text as a loaded file and as dialog fields. Formatting what was parsed
// and parsing it again gives the same settings; the ACCEPT check answers for any numbers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analyzer/core/line_settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quenda::RedlineSettings parsed = quenda::ParseRedlineSettings(text, {});
  std::string formatted = quenda::FormatRedlineSettings(parsed);
  if (!(quenda::ParseRedlineSettings(formatted, {1, 2, 3, 4}) == parsed)) __builtin_trap();

  quenda::LineSettingsEntries entries;
  int* fields[] = {&entries.linePickUp, &entries.lineGrowth, &entries.whiteClamp,
                   &entries.blackClamp};
  std::size_t part = size / 4;
  for (int k = 0; k < 4; ++k) *fields[k] = quenda::ParseDialogNumber(text.substr(k * part, part));
  if (quenda::CheckLineSettingsEntries(entries).empty()) {
    quenda::RedlineSettings stored = quenda::AcceptedLineSettings(entries);
    if (stored.lineGrowth < stored.linePickUp || stored.whiteClamp < stored.blackClamp)
      __builtin_trap();
  }
  return 0;
}

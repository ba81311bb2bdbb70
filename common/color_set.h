#pragma once
// The colour set of a drawing sequence: 250 named slots, written as a small text file beside
// the drawings. Paint and region files hold only indices into it.
//
// File layout, one item per line, "\n" line ends (reading accepts any whitespace, so "\r\n"
// files load too):
//   the header word "Quenda"
//   the entry count in decimal
//   one entry per line from index 0: "name red green blue"
//
// How damaged or unusual files are read (the readers of the painter and the analyzer do not
// check the header word; the exposure sheet checks it through ParsedColorSet::headerWord):
//   - A count above kPainterColorLimit reads only the first kPainterColorLimit entries, so slot
//     248 stays unused and slot 249 is never touched. The rest of the file is ignored.
//   - Entries are read while they parse. A file that ends early, or an entry with a missing or
//     non-numeric number, ends the reading; the entries read before it are kept and `count`
//     becomes their number. A count that is negative or not a number reads no entries.
//   - `count` never drops below 3: fixed slots 0..2 missing from the file get their defaults.
//   - A name longer than kColorNameLimit characters keeps its first kColorNameLimit.
//   - A number outside 0..255 is clamped into it (300 reads as 255, -4 as 0), the nearest
//     colour to what the file asks for.
// Writing: a name is written as at most kColorNameLimit characters with every blank turned into
// '_' and an empty name written as "_", so that what is written always reads back as one word
// and the entries after it keep their places.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompt.h"

namespace quenda {

inline constexpr int kColorSlots = 250;
inline constexpr int kTransparentColor = 0;
inline constexpr int kUnfilledColor = 1;
inline constexpr int kLineColor = 2;
inline constexpr int kFirstUserColor = 3;
inline constexpr int kAnimLineColor = 249;
inline constexpr int kPainterColorLimit = 248;
inline constexpr int kAnalyzerColorLimit = 40;
inline constexpr int kColorNameLimit = 8;
inline constexpr std::string_view kColorSetHeader = "Quenda";
inline constexpr std::string_view kDefaultColorSetPath = "Colorset.col";

inline constexpr std::string_view kColorSetNotFoundMessage =
    "ColorSet Not Found, Creating an new Color Set File for the sequence.";
inline constexpr std::string_view kColorSetWriteErrorMessage =
    "Error writing colors file: files may be read only!";

struct ColorEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  std::string name;

  bool operator==(const ColorEntry&) const = default;
};

struct ColorSet {
  std::array<ColorEntry, kColorSlots> entries;
  int count = 3;
  std::string path;

  ColorSet();  // runs ResetColorSet
};

// What a colour set file holds, before it is put into a set.
struct ParsedColorSet {
  std::string headerWord;            // empty when the file is empty
  std::optional<int> declaredCount;  // nothing when the count is missing or not a number
  std::vector<ColorEntry> entries;   // at most kPainterColorLimit, names already shortened
};

// count 3, the default entries 0, 1, 2 and 249, path "Colorset.col". Other slots keep theirs.
void ResetColorSet(ColorSet& set);

// Reads the file into the set and binds the set to `path`. A file that does not open shows the
// not-found message, resets the set, binds it and writes it (showing the write error as well if
// that fails). Always true.
bool LoadColorSet(ColorSet& set, const std::string& path, Prompt& prompt);

// Replaces the bound file with the whole set; on failure shows the write error and is false.
bool SaveColorSet(const ColorSet& set, Prompt& prompt);

// Stores the entry at index `count` when count < kPainterColorLimit. The name is stored as it
// would be written (see above). False when the set is full.
bool AddColor(ColorSet& set, std::string_view name, int red, int green, int blue);
// Gives the entry a colour, each component clamped into 0..255; the name stays.
void SetEntryColour(ColorEntry& entry, int red, int green, int blue);

// The pure halves of load and save.
ParsedColorSet ParseColorSet(std::string_view text);
// Puts parsed entries into slots 0.. and sets `count` (at least 3); leaves the path and slots
// at and above the new count alone.
void ApplyColorSet(ColorSet& set, const ParsedColorSet& parsed);
std::string FormatColorSet(const ColorSet& set);

// The exposure sheet takes only a set whose first word is the header word (the painter and the
// analyzer take any): why it refuses `parsed` ("the first word is \"Palette\", not
// \"Quenda\""), or nothing when it takes it.
std::optional<std::string> SheetColorSetRefusal(const ParsedColorSet& parsed);

// The name as the file stores it: at most kColorNameLimit characters, no blanks, not empty.
std::string ColorNameForFile(std::string_view name);

}  // namespace quenda

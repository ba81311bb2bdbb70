#pragma once
// Redline settings files (".rls") and the checks of the line settings dialog's ACCEPT button.
//
// The file is text: the header line "Quenda", then "linePickUp lineGrowth whiteClamp
// blackClamp" in decimal. Loading reads the first word without checking it, then up to four
// integers; each setting takes the low 8 bits of its integer, with no range or order check.
// Reading stops at the first missing or malformed number, and the settings after it keep their
// values.

#include <string>
#include <string_view>

#include "common/redline_settings.h"
#include "common/result.h"

namespace quenda {

inline constexpr std::string_view kRedlineSettingsHeader = "Quenda";
inline constexpr std::string_view kSettingsWriteError = "Error writing setting file";
inline constexpr std::string_view kSettingsOpenError = "Error openning setting file";

inline constexpr int kLineLevelMax = 254;   // pick-up and growth
inline constexpr int kClampLevelMax = 255;  // white and black clamp

std::string FormatRedlineSettings(const RedlineSettings& settings);
// Starts from `current`, so numbers missing from the text leave those settings as they were.
RedlineSettings ParseRedlineSettings(std::string_view text, const RedlineSettings& current);

// A file that cannot be written keeps its old contents.
Status SaveRedlineSettings(const std::string& path, const RedlineSettings& settings);
// On failure `settings` is left unchanged.
Status LoadRedlineSettings(const std::string& path, RedlineSettings& settings);

// The four edit boxes as the dialog reads them.
struct LineSettingsEntries {
  int linePickUp = 0;
  int lineGrowth = 0;
  int whiteClamp = 0;
  int blackClamp = 0;
};

// A dialog field as a decimal number: leading blanks, an optional sign and the digits that
// follow; text without a number reads as 0. Values beyond int saturate.
int ParseDialogNumber(std::string_view text);

// The message that keeps the dialog open, or empty when the entries are accepted. Checked in
// this order: pick-up range, growth range, growth not below pick-up, white not below black,
// then the clamps' range 0..255 (a clamp outside it would otherwise be stored as its low 8 bits
// and could turn the accepted white-over-black order around).
std::string CheckLineSettingsEntries(const LineSettingsEntries& entries);
// The settings stored on ACCEPT; only meaningful after the check passes.
RedlineSettings AcceptedLineSettings(const LineSettingsEntries& entries);

}  // namespace quenda

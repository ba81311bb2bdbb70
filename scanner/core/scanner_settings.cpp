#include "scanner/core/scanner_settings.h"

#include <cstdlib>

namespace quenda::scanner {
namespace {

std::string Key(std::string_view section, std::string_view key) {
  return std::string(section) + "/" + std::string(key);
}

// Decimal text as the profile functions read it: leading digits, 0 when there are none.
int IntOr(ScannerProfile& profile, std::string_view section, std::string_view key, int fallback) {
  auto text = profile.Get(section, key);
  if (!text) return fallback;
  return int(std::strtol(text->c_str(), nullptr, 10));
}

Status SaveInt(ScannerProfile& profile, std::string_view section, std::string_view key, int value,
               const char* message) {
  if (!profile.Set(section, key, std::to_string(value))) return Error{message};
  return Status::Ok();
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

ScannerSettings LoadScannerSettings(ScannerProfile& profile) {
  ScannerSettings settings;
  settings.brightness = IntOr(profile, "CALIBRATION", "Brightness", 0);
  settings.contrast = IntOr(profile, "CALIBRATION", "Contrast", 0);
  settings.previewDpi = IntOr(profile, "PREVIEW", "dpi", kDefaultPreviewDpi);
  settings.scanDpi = IntOr(profile, "SCAN_SETTINGS", "dpi", kNoChoice);
  settings.pegButton = IntOr(profile, "SCAN_SETTINGS", "Peg_Position", kNoChoice);
  settings.lastSequenceName = profile.Get("SCAN_SETTINGS", "Last_Seq_Name").value_or("");
  settings.lastDirectory = profile.Get("SCAN_SETTINGS", "Last_Directory").value_or("");
  return settings;
}

Status SaveCalibration(ScannerProfile& profile, int brightness, int contrast) {
  constexpr const char* kMessage = "Problem Saving brightness to ini file";
  if (Status saved = SaveInt(profile, "CALIBRATION", "Brightness", brightness, kMessage); !saved)
    return saved;
  return SaveInt(profile, "CALIBRATION", "Contrast", contrast, kMessage);
}

Status SavePreviewDpi(ScannerProfile& profile, int dpi) {
  return SaveInt(profile, "PREVIEW", "dpi", dpi, "Problem Saving preview dpi to ini file");
}

Status SaveScanDpi(ScannerProfile& profile, int dpi) {
  return SaveInt(profile, "SCAN_SETTINGS", "dpi", dpi, "Problem Saving scanning dpi to ini file");
}

Status SavePegButton(ScannerProfile& profile, int button) {
  return SaveInt(profile, "SCAN_SETTINGS", "Peg_Position", button,
                 "Problem Saving scanning Peg Position to ini file");
}

Status SaveLastSequenceName(ScannerProfile& profile, const std::string& name) {
  if (!profile.Set("SCAN_SETTINGS", "Last_Seq_Name", name))
    return Error{"Problem Saving last sequence name to ini file"};
  return Status::Ok();
}

Status SaveLastDirectory(ScannerProfile& profile, const std::string& directory) {
  if (!profile.Set("SCAN_SETTINGS", "Last_Directory", directory))
    return Error{"Problem Saving last sequence directory to ini file"};
  return Status::Ok();
}

}  // namespace quenda::scanner

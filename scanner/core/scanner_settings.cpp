#include "scanner/core/scanner_settings.h"

namespace quenda::scanner {
namespace {

Status SaveInt(ScannerProfile& profile, std::string_view section, std::string_view key, int value,
               const char* message) {
  if (!profile.Set(section, key, std::to_string(value))) return Error{message};
  return Status::Ok();
}

}  // namespace

ScannerSettings LoadScannerSettings(ScannerProfile& profile) {
  ScannerSettings settings;
  settings.brightness = ProfileIntOr(profile, "CALIBRATION", "Brightness", 0);
  settings.contrast = ProfileIntOr(profile, "CALIBRATION", "Contrast", 0);
  settings.previewDpi = ProfileIntOr(profile, "PREVIEW", "dpi", kDefaultPreviewDpi);
  settings.scanDpi = ProfileIntOr(profile, "SCAN_SETTINGS", "dpi", kNoChoice);
  settings.pegButton = ProfileIntOr(profile, "SCAN_SETTINGS", "Peg_Position", kNoChoice);
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

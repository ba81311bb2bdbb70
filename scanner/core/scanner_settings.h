#pragma once
// The scanner's settings: the calibration, the preview resolution and the last choices of the
// new-sequence dialog, kept in the program's profile. The resolution and the scan area are the
// suite's last scan settings (twain/scan_settings.h), which the other programs that scan start
// from.

#include <string>

#include "common/profile.h"
#include "common/result.h"
#include "twain/scan_settings.h"

namespace quenda::scanner {

// The profile the scanner's settings live in.
using ScannerProfile = Profile;

inline constexpr int kDefaultPreviewDpi = 45;
inline constexpr int kMinPreviewDpi = 15;
inline constexpr int kMaxPreviewDpi = 300;
inline constexpr int kNoChoice = -1;

struct ScannerSettings {
  int brightness = 0;
  int contrast = 0;
  int previewDpi = kDefaultPreviewDpi;
  int scanDpi = kNoChoice;    // last resolution chosen for a new sequence
  int pegButton = kNoChoice;  // index of the last peg button (button order, not stored value)
  std::string lastSequenceName;
  std::string lastDirectory;
};

// Every missing key gives its default.
ScannerSettings LoadScannerSettings(ScannerProfile& profile);

// Each save answers the program's own message when the profile refuses it.
Status SaveCalibration(ScannerProfile& profile, int brightness, int contrast);
Status SavePreviewDpi(ScannerProfile& profile, int dpi);
Status SavePegButton(ScannerProfile& profile, int button);
Status SaveLastSequenceName(ScannerProfile& profile, const std::string& name);
Status SaveLastDirectory(ScannerProfile& profile, const std::string& directory);

}  // namespace quenda::scanner

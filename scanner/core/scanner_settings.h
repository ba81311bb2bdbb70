#pragma once
// The scanner's settings: the calibration, the preview resolution and the last choices of the
// new-sequence dialog, kept in the program's profile. The core reads and writes them through
// ScannerProfile, which the program backs with its INI file and tests with memory.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace quenda::scanner {

class ScannerProfile {
 public:
  virtual ~ScannerProfile() = default;
  // Nothing when the key is missing.
  virtual std::optional<std::string> Get(std::string_view section, std::string_view key) = 0;
  // False when the value could not be stored.
  virtual bool Set(std::string_view section, std::string_view key, std::string_view value) = 0;
};

class MemoryProfile final : public ScannerProfile {
 public:
  std::optional<std::string> Get(std::string_view section, std::string_view key) override;
  bool Set(std::string_view section, std::string_view key, std::string_view value) override;

  std::map<std::string, std::string> values;  // "SECTION/key" -> text
  bool refuseWrites = false;
};

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
Status SaveScanDpi(ScannerProfile& profile, int dpi);
Status SavePegButton(ScannerProfile& profile, int button);
Status SaveLastSequenceName(ScannerProfile& profile, const std::string& name);
Status SaveLastDirectory(ScannerProfile& profile, const std::string& directory);

}  // namespace quenda::scanner

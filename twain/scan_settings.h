#pragma once
// The last scan settings: resolution, scan area and mode. They live in the scanner's profile
// (section "SCAN_SETTINGS"): the scanner keeps its resolution and scan area there as it scans,
// and the analyzer and the background maker start their scans from them and keep what they
// chose, so every program that scans offers what was used last.

#include <optional>

#include "common/profile.h"
#include "common/result.h"
#include "twain/scan_device.h"

namespace quenda::twain {

inline constexpr int kMinScanDpi = 10;
inline constexpr int kMaxScanDpi = 1200;
inline constexpr int kNoScanDpi = -1;
// No bed is larger; a remembered area reaching past it is a garbled one.
inline constexpr double kMaxBedInches = 100.0;

struct ScanSettings {
  int dpi = kNoScanDpi;
  std::optional<BedFrame> area;  // inches on the bed; nothing for the whole bed
  PixelType type = PixelType::Gray;
  bool operator==(const ScanSettings&) const = default;
};

// Each value missing from the profile, or not one a scan can use, is the fallback's.
ScanSettings LoadScanSettings(Profile& profile, const ScanSettings& fallback);

// Each save answers its own message when the profile refuses it; the whole-settings save
// stops at the first refusal.
Status SaveScanDpi(Profile& profile, int dpi);
Status SaveScanArea(Profile& profile, const std::optional<BedFrame>& area);
Status SavePixelType(Profile& profile, PixelType type);
Status SaveScanSettings(Profile& profile, const ScanSettings& settings);

// The settings dialog's checks, with their messages: a resolution chosen, an area not empty.
Status CheckScanSettings(const ScanSettings& settings);

// What Acquire takes: the area, or the whole bed as -1.0 for the far edges.
BedFrame FrameToScan(const ScanSettings& settings);

}  // namespace quenda::twain

#include "twain/scan_settings.h"

#include <cmath>
#include <string>

#include "twain/twain_session.h"

namespace quenda::twain {
namespace {

constexpr const char* kSection = "SCAN_SETTINGS";
// The area is kept in thousandths of an inch, as whole numbers like every value of the profile.
constexpr double kAreaUnit = 1000.0;
constexpr const char* kAreaKeys[4] = {"Area_Left", "Area_Top", "Area_Right", "Area_Bottom"};
// The whole bed is kept as the session names it: the far edges as -1.
constexpr int kFarEdge = -1;

bool Save(Profile& profile, const char* key, int value) {
  return profile.Set(kSection, key, std::to_string(value));
}

bool InBed(int low, int high) {
  return low >= 0 && high > low && high <= int(kMaxBedInches * kAreaUnit);
}

// Nothing when the four keys are not an area, nor the whole bed.
std::optional<std::optional<BedFrame>> LoadArea(Profile& profile) {
  int values[4] = {};
  for (int i = 0; i < 4; ++i) {
    auto value = ProfileStrictInt(profile, kSection, kAreaKeys[i]);
    if (!value) return std::nullopt;
    values[i] = *value;
  }
  const auto [left, top, right, bottom] = values;
  if (left == 0 && top == 0 && right == kFarEdge && bottom == kFarEdge)
    return std::optional<BedFrame>();
  if (!InBed(left, right) || !InBed(top, bottom)) return std::nullopt;
  return BedFrame{left / kAreaUnit, top / kAreaUnit, right / kAreaUnit, bottom / kAreaUnit};
}

}  // namespace

ScanSettings LoadScanSettings(Profile& profile, const ScanSettings& fallback) {
  ScanSettings settings = fallback;
  if (auto dpi = ProfileStrictInt(profile, kSection, "dpi");
      dpi && *dpi >= kMinScanDpi && *dpi <= kMaxScanDpi)
    settings.dpi = *dpi;
  if (auto area = LoadArea(profile)) settings.area = *area;
  if (auto type = ProfileStrictInt(profile, kSection, "Pixel_Type")) {
    if (*type == kPixelTypeGray) settings.type = PixelType::Gray;
    if (*type == kPixelTypeRgb) settings.type = PixelType::Color;
  }
  return settings;
}

Status SaveScanDpi(Profile& profile, int dpi) {
  if (!Save(profile, "dpi", dpi)) return Error{"Problem Saving scanning dpi to ini file"};
  return Status::Ok();
}

Status SaveScanArea(Profile& profile, const std::optional<BedFrame>& area) {
  const int values[4] = {
      area ? int(std::lround(area->left * kAreaUnit)) : 0,
      area ? int(std::lround(area->top * kAreaUnit)) : 0,
      area ? int(std::lround(area->right * kAreaUnit)) : kFarEdge,
      area ? int(std::lround(area->bottom * kAreaUnit)) : kFarEdge,
  };
  for (int i = 0; i < 4; ++i)
    if (!Save(profile, kAreaKeys[i], values[i]))
      return Error{"Problem Saving scan area to ini file"};
  return Status::Ok();
}

Status SavePixelType(Profile& profile, PixelType type) {
  if (!Save(profile, "Pixel_Type", type == PixelType::Color ? kPixelTypeRgb : kPixelTypeGray))
    return Error{"Problem Saving scan mode to ini file"};
  return Status::Ok();
}

Status SaveScanSettings(Profile& profile, const ScanSettings& settings) {
  if (Status saved = SaveScanDpi(profile, settings.dpi); !saved) return saved;
  if (Status saved = SaveScanArea(profile, settings.area); !saved) return saved;
  return SavePixelType(profile, settings.type);
}

Status CheckScanSettings(const ScanSettings& settings) {
  if (settings.dpi < kMinScanDpi || settings.dpi > kMaxScanDpi)
    return Error{"You must select a dpi."};
  if (const auto& area = settings.area;
      area && (area->right <= area->left || area->bottom <= area->top))
    return Error{
        "The scan area is empty: its right edge must lie right of its left edge, and its bottom "
        "below its top."};
  return Status::Ok();
}

BedFrame FrameToScan(const ScanSettings& settings) {
  return settings.area.value_or(BedFrame{0, 0, -1.0, -1.0});
}

}  // namespace quenda::twain

// The last scan settings through a profile: what is saved comes back, and whatever is missing,
// garbled or out of reach keeps the caller's fallback, value by value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "twain/scan_settings.h"

namespace quenda::twain {
namespace {

const ScanSettings kFallback{150, std::nullopt, PixelType::Color};

TEST(ScanSettings, RoundTripsThroughTheProfile) {
  const ScanSettings cases[] = {
      {72, std::nullopt, PixelType::Gray},
      {1200, BedFrame{0.25, 1.5, 8.125, 11.0}, PixelType::Color},
      {10, BedFrame{0, 0, 0.001, 100.0}, PixelType::Gray},
  };
  for (const ScanSettings& saved : cases) {
    MemoryProfile profile;
    ASSERT_TRUE(SaveScanSettings(profile, saved).ok());
    EXPECT_EQ(LoadScanSettings(profile, kFallback), saved) << saved.dpi;
  }
}

TEST(ScanSettings, AMissingProfileGivesTheFallback) {
  MemoryProfile empty;
  EXPECT_EQ(LoadScanSettings(empty, kFallback), kFallback);
}

TEST(ScanSettings, GarbledValuesKeepTheFallbackOneByOne) {
  struct Case {
    const char* key;
    const char* text;
  };
  // Each value garbled alone, over a profile that otherwise holds a whole set.
  const Case cases[] = {
      {"dpi", "abc"},
      {"dpi", "300dpi"},
      {"dpi", ""},
      {"dpi", "9"},
      {"dpi", "1201"},
      {"dpi", "99999999999"},
      {"Area_Left", "x"},
      {"Area_Right", "-1"},
      {"Area_Top", "3000"},
      {"Area_Bottom", "1000"},
      {"Area_Right", "100001"},
      {"Area_Left", "-5"},
      {"Pixel_Type", "7"},
      {"Pixel_Type", "Color"},
  };
  const ScanSettings whole{300, BedFrame{1.0, 1.0, 4.0, 3.0}, PixelType::Gray};
  for (const Case& c : cases) {
    MemoryProfile profile;
    ASSERT_TRUE(SaveScanSettings(profile, whole).ok());
    profile.values[std::string("SCAN_SETTINGS/") + c.key] = c.text;
    ScanSettings expected = whole;
    const std::string key = c.key;
    if (key == "dpi") expected.dpi = kFallback.dpi;
    if (key.starts_with("Area")) expected.area = kFallback.area;
    if (key == "Pixel_Type") expected.type = kFallback.type;
    EXPECT_EQ(LoadScanSettings(profile, kFallback), expected) << c.key << " = " << c.text;
  }
}

TEST(ScanSettings, OnlyTheScannersResolutionThereTakesTheRestFromTheFallback) {
  // What the scanner itself keeps before any other program scanned: its dpi.
  MemoryProfile profile;
  profile.values["SCAN_SETTINGS/dpi"] = "400";
  EXPECT_EQ(LoadScanSettings(profile, kFallback),
            (ScanSettings{400, std::nullopt, kFallback.type}));
}

TEST(ScanSettings, ARefusedWriteSaysWhatWasNotSaved) {
  MemoryProfile profile;
  profile.refuseWrites = true;
  EXPECT_EQ(SaveScanDpi(profile, 100).message(), "Problem Saving scanning dpi to ini file");
  EXPECT_EQ(SaveScanArea(profile, std::nullopt).message(), "Problem Saving scan area to ini file");
  EXPECT_EQ(SavePixelType(profile, PixelType::Gray).message(),
            "Problem Saving scan mode to ini file");
  EXPECT_EQ(SaveScanSettings(profile, kFallback).message(),
            "Problem Saving scanning dpi to ini file");
}

TEST(ScanSettings, TheDialogRefusesNoResolutionAndAnEmptyArea) {
  const std::string empty =
      "The scan area is empty: its right edge must lie right of its left edge, and its bottom "
      "below its top.";
  const struct {
    ScanSettings settings;
    std::string message;
  } cases[] = {
      {{kNoScanDpi, std::nullopt, PixelType::Gray}, "You must select a dpi."},
      {{100, BedFrame{2, 1, 2, 3}, PixelType::Gray}, empty},
      {{100, BedFrame{1, 3, 2, 2}, PixelType::Gray}, empty},
      {{100, BedFrame{1, 1, 2, 3}, PixelType::Gray}, ""},
      {{100, std::nullopt, PixelType::Color}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckScanSettings(c.settings).message(), c.message) << c.settings.dpi;
}

TEST(ScanSettings, TheWholeBedIsScannedToTheFarEdges) {
  EXPECT_EQ(FrameToScan(kFallback), (BedFrame{0, 0, -1.0, -1.0}));
  EXPECT_EQ(FrameToScan({100, BedFrame{1, 2, 3, 4}, PixelType::Gray}), (BedFrame{1, 2, 3, 4}));
}

}  // namespace
}  // namespace quenda::twain

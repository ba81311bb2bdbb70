#pragma once
// The painter's fixed window texts that the program's dialogs and panes show, kept beside the
// core so that every text lives in one place. Command messages live with their commands.

#include <string>
#include <string_view>

#include "painter/core/painting_tools.h"

namespace quenda {

inline constexpr std::string_view kAutoPaintFrameTitle = "AutoPaint Frame No?";
inline constexpr std::string_view kAutoPaintFramePrompt =
    "Auto paint current frame using which frame?";
inline constexpr std::string_view kAutoPaintRangeTitle = "Auto Paint Range";
inline constexpr std::string_view kAutoPaintProgressTitle = "AutoPaint Progress";
inline constexpr std::string_view kUpdatingIconsTitle = "Updating Frame Icons, Please Wait...   ";
inline constexpr std::string_view kColorInformationTitle = "Color Information";
inline constexpr std::string_view kNoReferencePicture = "No Reference Picture Loaded!";
inline constexpr std::string_view kLineAndUnfilledTitle = "Region Line and Unfilled Color";
inline constexpr std::string_view kStatusPaneWidestText = "##### regions not painted";
inline constexpr std::string_view kSpeckPaneWidestText = "##### of them specks";
inline constexpr std::string_view kAutoPaintByShapesText = "Auto Paint by Shapes";
inline constexpr std::string_view kPaintSpecksText = "Paint Specks";
inline constexpr std::string_view kSpeckSizeTitle = "Speck Size";
inline constexpr std::string_view kSpeckSizePrompt =
    "Regions with fewer pixels than this are specks:";

// The status pane's zoom text, "zoom: 200%".
inline std::string ZoomStatusText(int zoomPercent) {
  return "zoom: " + std::to_string(zoomPercent) + "%";
}

inline std::string_view ViewModeStatusText(ViewMode mode) {
  switch (mode) {
    case ViewMode::RegionLine:
      return "Show the region line";
    case ViewMode::RegionsPainted:
      return "Shows Region line and the painted regions";
    case ViewMode::Composited:
      return "Shows Composited with Animators Line";
    case ViewMode::XRay:
      return "Shows the region lines and the regions not yet painted with white";
  }
  return {};
}

}  // namespace quenda

#pragma once
// The background maker's own texts and limits.

#include <string_view>

namespace quenda {

inline constexpr std::string_view kPanoramaDocumentTemplate =
    "Quenda Background Maker\nNo background loaded\nbackground\n(24/32bit uncompressed) Targa "
    "Files (*.tga)\n.tga\nPanorama.Document\nPanorama Document";
inline constexpr std::string_view kOpenBackgroundTitle =
    "Select A 24 bit or 32 bit uncompressed Targa Background";
inline constexpr std::string_view kOpenBackgroundFilter =
    "Uncompressed Targa Images (*.tga);;PNG, TIFF, OpenEXR or JPEG Images (*.png *.tif *.tiff "
    "*.exr *.jpg *.jpeg);;All Supported Images (*.tga *.png *.tif *.tiff *.exr *.jpg *.jpeg)";
inline constexpr std::string_view kRevertQuestion =
    "Are you sure you want to revert to last saved?";
inline constexpr std::string_view kClearMaskQuestion =
    "Are you sure you want to clear the mask to transparent?";
inline constexpr std::string_view kFillMaskQuestion =
    "Are you sure you want to fill the mask to opaque?";
inline constexpr std::string_view kInvertingMask = "Inverting mask...";
inline constexpr std::string_view kDoneInvertMask = "Done Invert Mask.";
inline constexpr std::string_view kCannotLockBitmap = "Could Not Lock Bitmap Memory";
inline constexpr std::string_view kScanDepthRefused =
    "Only grayscale (8bit) and color (24bit) images are allowed for backgrounds.\nPlease do not "
    "scan black and white (1 bit) images for backgrounds.";
inline constexpr std::string_view kKeyerDialogTitle = "Color Keyer Settings";
inline constexpr std::string_view kViewSettingsTitle = "View Settings";

// The polygon being entered holds at most this many points.
inline constexpr int kPolygonCapacity = 500;
// A click closes the polygon when it lies less than this far from the first point.
inline constexpr double kPolygonCloseDistance = 3.5;
inline constexpr int kDefaultBrushSize = 4;
inline constexpr int kDefaultKeyerTolerance = 40;
// Zoom In stops once the scale reaches 11; Zoom Out at 1/20, where a large background is a
// few pixels.
inline constexpr int kZoomInBelowScale = 11;
inline constexpr int kSmallestScaleDivisor = 20;

}  // namespace quenda

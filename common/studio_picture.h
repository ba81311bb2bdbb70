#pragma once
// Studio pictures: PNG, TIFF, JPEG, OpenEXR and the other formats OpenImageIO reads, in and
// out. The library itself is loaded on first use (common/studio_picture_codec.h); the suite's
// own Targa and bitmap files keep their own readers and writers and messages.
//
// Reading hands back 8-bit pictures in the suite's form, bottom row first:
//   1 channel   a grey file without alpha, as it is
//   3 channels  B, G, R
//   4 channels  B, G, R, A with straight alpha (a grey file with alpha gives equal B, G, R)
// 16-bit samples are rounded to the nearest 8-bit value (v / 257); float samples are clamped to
// 0..1 and rounded. OpenEXR holds linear light, premultiplied: its colour is divided by alpha
// and goes through the sRGB transfer function before rounding. A TIFF with associated alpha is
// divided by alpha as well. Only the first picture of a file is read.
//
// Nothing is taken on the header's word: the size is checked against the limits below before
// a pixel is read, the library's own limit on decoded size is set, and the pixels are read in
// bands, never all at once as floats.

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/picture_format.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda {

inline constexpr int kStudioPictureMaxSide = 65535;
// Ten thousand pixels square, the largest scan the suite makes: a header claiming more is not
// taken on its word, as the picture is held whole once read.
inline constexpr long long kStudioPictureMaxPixels = 100000000;

struct StudioPicture {
  Raster pixels;
  double dpi = 0;          // the file's resolution in dots per inch; 0 when it holds none
  std::string formatName;  // the library's name for the file's format ("png", "tiff", ...)
};

// What a file's header says, without its pixels.
struct StudioPictureHeader {
  int width = 0;
  int height = 0;
  double dpi = 0;
};
Result<StudioPictureHeader> ReadStudioPictureHeader(const std::string& path);

// The extensions read here, lower case with their dot: .png .tif .tiff .jpg .jpeg .exr .dpx.
bool IsStudioPictureExtension(std::string_view extension);

// Every failure is "Cannot read picture " + path + ": " + the reason.
Result<StudioPicture> ReadStudioPicture(const std::string& path);
// The same on a file's bytes; `path` names the file in messages and its extension chooses the
// reader.
Result<StudioPicture> ParseStudioPicture(std::span<const uint8_t> bytes, const std::string& path);

struct StudioWriteOptions {
  PictureFormat format = PictureFormat::Png;  // Png, Tiff or Exr
  int depth = kFrameDepth8;                   // PNG and TIFF: 8 or 16
  FrameAlpha alpha = FrameAlpha::Coverage;    // OpenEXR: what a fourth channel means
  double dpi = 0;                             // written when above 0
};

// The file's bytes for a picture of 1 (grey), 3 (B, G, R) or 4 (B, G, R, A, straight) 8-bit
// channels, bottom row first. PNG and TIFF hold the values exactly (scaled by 257 at 16 bits),
// alpha straight; OpenEXR holds half floats in linear light, the colour premultiplied for
// FrameAlpha::Coverage and as it is, with the attribute "quenda:alpha" = "composer matte", for
// FrameAlpha::ComposerMatte. No time stamps or program names: the same picture gives the
// same bytes.
Result<std::vector<uint8_t>> EncodeStudioPicture(ConstRasterView picture,
                                                 const StudioWriteOptions& options);
// EncodeStudioPicture's bytes through AtomicFile with the caller's texts.
Status WriteStudioPicture(const std::string& path, ConstRasterView picture,
                          const StudioWriteOptions& options, WriteMessages messages);

// The sRGB transfer function and its inverse, on 0..1.
inline float SrgbFromLinear(float linear) {
  if (linear <= 0.0031308f) return 12.92f * linear;
  return 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}
inline float LinearFromSrgb(float encoded) {
  if (encoded <= 0.04045f) return encoded / 12.92f;
  return std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

}  // namespace quenda

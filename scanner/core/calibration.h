#pragma once
// Brightness and contrast, as every scan and the calibration dialog's picture apply them.

#include <array>
#include <cstdint>

#include "common/raster.h"

namespace quenda::scanner {

inline constexpr int kCalibrationLimit = 255;  // both run from -255 to 255

struct Calibration {
  int brightness = 0;
  int contrast = 0;
};

// The grey each grey becomes: gain g = 255 / (255 - c) for c > 0, else (c + 255) / 255;
// offset o = b + trunc(255 - 255 g); trunc(p * trunc(10000 g) / 10000) + o, clamped to 0..255.
// A contrast of 255 (infinite gain) is taken at its limit: a hard threshold that leaves only
// white (255 + brightness) and sends every other grey to 0.
std::array<uint8_t, 256> CalibrationTable(const Calibration& calibration);

// Applies the table to every byte of a grey picture in place.
void ApplyCalibration(RasterView grey, const Calibration& calibration);

}  // namespace quenda::scanner

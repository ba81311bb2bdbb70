#include "scanner/core/calibration.h"

#include <algorithm>
#include <cmath>

namespace quenda::scanner {

std::array<uint8_t, 256> CalibrationTable(const Calibration& calibration) {
  const double b = calibration.brightness;
  const double c = calibration.contrast;
  std::array<uint8_t, 256> table{};
  for (int p = 0; p < 256; ++p) {
    double value = 0;
    if (c >= kCalibrationLimit) {
      value = p == 255 ? 255 + b : 0;
    } else {
      const double g = c > 0 ? 255.0 / (255.0 - c) : (c + 255.0) / 255.0;
      const double o = b + std::trunc(255.0 - 255.0 * g);
      const double ig = std::trunc(10000.0 * g);
      value = std::trunc(p * ig / 10000.0) + o;
    }
    table[p] = uint8_t(std::clamp(value, 0.0, 255.0));
  }
  return table;
}

void ApplyCalibration(RasterView grey, const Calibration& calibration) {
  const std::array<uint8_t, 256> table = CalibrationTable(calibration);
  for (int y = 0; y < grey.height; ++y) {
    uint8_t* row = grey.Row(y);
    for (int x = 0; x < grey.width * grey.channels; ++x) row[x] = table[row[x]];
  }
}

}  // namespace quenda::scanner

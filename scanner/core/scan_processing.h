#pragma once
// A scanned bitmap made into a drawing: checked, turned by the peg position and calibrated.

#include "common/drawing_scan.h"
#include "common/result.h"
#include "scanner/core/calibration.h"
#include "twain/device_bitmap.h"

namespace quenda::scanner {

// The 8-bit bitmap at bed position (x, y) in pixels at `dpi`, as a drawing scan. The checks of
// size, position, resolution and peg position come in that order, each with its message.
Result<DrawingScan> ProcessBitmap(const twain::DeviceBitmap& bitmap, int x, int y, int dpi,
                                  int pegPosition, const Calibration& calibration);

}  // namespace quenda::scanner

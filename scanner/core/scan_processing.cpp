#include "scanner/core/scan_processing.h"

#include "common/peg_turn.h"

namespace quenda::scanner {
namespace {

constexpr int kMaxSide = 10000;
constexpr int kMaxPosition = 10000;
constexpr int kMaxDpi = 1200;

}  // namespace

Result<DrawingScan> ProcessBitmap(const twain::DeviceBitmap& bitmap, int x, int y, int dpi,
                                  int pegPosition, const Calibration& calibration) {
  if (bitmap.width < 1 || bitmap.width > kMaxSide)
    return Error{"Internal error in scan: invalid x-size (0-10000)"};
  if (bitmap.height < 1 || bitmap.height > kMaxSide)
    return Error{"Internal error in scan: invalid y-size (0-10000)"};
  if (x < 0 || x > kMaxPosition) return Error{"Internal error in scan: invalid x-pos (0-10000)"};
  if (y < 0 || y > kMaxPosition) return Error{"Internal error in scan: invalid y-pos (0-10000)"};
  if (dpi < 1 || dpi > kMaxDpi) return Error{"Internal error in scan: invalid dpi (1-1200)"};
  if (pegPosition < kPegLeft || pegPosition > kPegTop)
    return Error{"Internal error in scan: invalid pegpos (0-3)"};
  // Drawings are grey: a colour bitmap here means the scanner ignored the grey setting.
  if (bitmap.bitsPerPixel != 8 ||
      bitmap.bits.size() < std::size_t(bitmap.RowBytes()) * std::size_t(bitmap.height))
    return Error{"Problem retrieving scanned image"};

  DrawingScan scan;
  scan.dpi = dpi;
  scan.pegPosition = pegPosition;
  scan.xPosition = x;
  scan.yPosition = y;
  scan.picture = TurnForPeg(bitmap.TopDownView(), pegPosition);
  ApplyCalibration(scan.picture.view(), calibration);
  return scan;
}

}  // namespace quenda::scanner

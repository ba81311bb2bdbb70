#include "common/recovered_paint.h"

#include "common/paint_file.h"

namespace quenda {

Result<RecoveredPaint> DecodeRecoveredPaint(std::span<const uint8_t> paint,
                                            std::span<const uint8_t> region, int width, int height,
                                            RegionReader reader, int regionCountNow,
                                            int colorCount) {
  RecoveredPaint recovered;
  if (!region.empty()) {
    Result<RegionData> decoded = DecodeRegionFile(region, width, height, reader);
    if (!decoded) return Error{decoded.message(), decoded.status().kind()};
    recovered.regions = std::move(*decoded);
  }
  const int regionCount = recovered.regions ? recovered.regions->regionCount : regionCountNow;
  PaintFile decoded = DecodePaintFile(paint, regionCount, colorCount);
  // The decoder pads or cuts a paint of another length; only one that encodes back to the
  // same bytes was made for these regions.
  recovered.fits =
      EncodePaintFile(decoded.regionColor) == std::vector<uint8_t>(paint.begin(), paint.end());
  recovered.regionColor = std::move(decoded.regionColor);
  return recovered;
}

}  // namespace quenda

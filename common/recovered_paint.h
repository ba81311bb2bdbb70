#pragma once
// A recovery copy of a frame's unsaved paint (and regions, when they were analyzed again
// before the crash) decoded for the drawing as it is now.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/region_data.h"
#include "common/region_file.h"
#include "common/result.h"

namespace quenda {

struct RecoveredPaint {
  std::optional<RegionData> regions;  // the regions kept with the paint, if any
  std::vector<int32_t> regionColor;
  // False when the paint was made for another region count than the regions it goes with
  // (the drawing was analyzed again since): it would colour other regions.
  bool fits = true;
};

// `region` empty: the paint goes with the drawing's regions as they are now, `regionCountNow`
// of them. Fails with the region reader's message when the kept regions do not read.
Result<RecoveredPaint> DecodeRecoveredPaint(std::span<const uint8_t> paint,
                                            std::span<const uint8_t> region, int width, int height,
                                            RegionReader reader, int regionCountNow,
                                            int colorCount);

}  // namespace quenda

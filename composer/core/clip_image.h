#pragma once
// One picture of an image clip as the engine samples it: pixels as stored, bottom row first,
// 3 channels (B, G, R) or 4 (B, G, R, A), rows packed.

#include <string>

#include "common/raster.h"
#include "common/result.h"

namespace quenda {

using ClipImage = Raster;

inline bool HasAlpha(const ClipImage& image) {
  return image.channels() == 4;
}

// How a clip frame failed: a missing file belongs on the status bar, the rest in a message box.
enum class ClipImageFailure { None, Missing, Unreadable };

// Reads one clip frame with the clip-frame messages ("Clip member: %s does not exist", ...),
// telling in `failure` (when given) how it failed.
Result<ClipImage> ReadClipImage(const std::string& path, ClipImageFailure* failure = nullptr);

}  // namespace quenda

#pragma once
// One picture of an image clip as the engine samples it: pixels as stored, bottom row first,
// 3 bytes (B, G, R) or 4 (B, G, R, A) each.

#include <cstdint>
#include <string>
#include <vector>

#include "common/result.h"

namespace quenda {

struct ClipImage {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<uint8_t> pixels;

  int bytesPerPixel() const { return hasAlpha ? 4 : 3; }
  const uint8_t* At(int x, int y) const {
    return pixels.data() +
           (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(bytesPerPixel());
  }
};

// How a clip frame failed: a missing file belongs on the status bar, the rest in a message box.
enum class ClipImageFailure { None, Missing, Unreadable };

struct ClipImageResult {
  ClipImage image;
  ClipImageFailure failure = ClipImageFailure::None;
  std::string message;
};

// Reads one clip frame with the clip-frame messages ("Clip member: %s does not exist", ...).
ClipImageResult ReadClipImage(const std::string& path);

}  // namespace quenda

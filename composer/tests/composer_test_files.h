#pragma once
// Clip pictures for composer tests: Targa files with a known pattern, single or in sequences,
// the same pattern in memory, and frame buffers to draw on.

#include <cstdint>
#include <string>
#include <vector>

#include "composer/core/draw_clip.h"

namespace quenda::testing {

// A Targa file of depth 24 or 32 whose pixel (x, y) is PatternPixel(x, y, seed).
void WriteClipImage(const std::string& path, int width, int height, int depth, int seed = 0);
// B, G, R, A of the pattern; alpha varies (0, partial and 255 all occur) for 32-bit use.
std::vector<uint8_t> PatternPixel(int x, int y, int seed);
// The pattern as a picture of 4 channels (`alpha`) or 3.
ClipImage Pattern(int width, int height, bool alpha, int seed);
// A frame buffer of one grey; with a matte of `matte` unless that is negative.
FrameBuffer Filled(int width, int height, uint8_t value, int matte = -1);
// name + the number padded to `digits` + ".tga" for every number first..last.
void WriteClipSequence(const std::string& directory, const std::string& name, int digits, int first,
                       int last, int width = 8, int height = 6);

}  // namespace quenda::testing

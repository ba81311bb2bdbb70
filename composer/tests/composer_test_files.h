#pragma once
// Clip pictures for composer tests: Targa files with a known pattern, single or in sequences.

#include <cstdint>
#include <string>
#include <vector>

namespace quenda::testing {

// A Targa file of depth 24 or 32 whose pixel (x, y) is PatternPixel(x, y, seed).
void WriteClipImage(const std::string& path, int width, int height, int depth, int seed = 0);
// B, G, R, A of the pattern; alpha varies (0, partial and 255 all occur) for 32-bit use.
std::vector<uint8_t> PatternPixel(int x, int y, int seed);
// name + the number padded to `digits` + ".tga" for every number first..last.
void WriteClipSequence(const std::string& directory, const std::string& name, int digits, int first,
                       int last, int width = 8, int height = 6);

}  // namespace quenda::testing

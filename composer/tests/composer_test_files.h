#pragma once
// Clip pictures for composer tests: Targa files with a known pattern, single or in sequences,
// the same pattern in memory, frame buffers to draw on, clip records naming such files, and a
// fresh document.

#include <cstdint>
#include <string>
#include <vector>

#include "composer/core/composer_doc.h"
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
// The image clip of directory + name + first..last (numbers of `digits` digits).
ClipRecord SequenceClip(const std::string& directory, const std::string& name, int digits,
                        int first, int last);
// The image clip of the single picture directory + name + ".tga", placed at (x, y).
ClipRecord StillClip(const std::string& directory, const std::string& name, double x, double y);
// A composition of that size and length, nothing else set.
Composition MovieOf(int width, int height, int frames);
// Skips the two New commands of a program start, then takes a movie of that size and length.
void StartNewMovie(CComposerDoc& doc, int width, int height, int frames,
                   uint32_t backgroundColor = 0);

}  // namespace quenda::testing

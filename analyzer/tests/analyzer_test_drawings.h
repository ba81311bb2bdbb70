#pragma once
// Generated drawings for the analyzer's tests: pencil-like strokes, filled blobs, noise, lines
// with light gaps, in any size, deterministic from a seed.

#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/core/analyzer_doc.h"
#include "analyzer/core/working_image.h"

namespace quenda::testing {

enum class DrawingKind { Strokes, Blobs, Noise, GappedOutlines, Mixed };

std::string KindName(DrawingKind kind);

// width * height grey values, bottom row first: paper near white with strokes whose darkness
// spans the default pick-up and growth thresholds.
std::vector<uint8_t> RandomDrawing(int width, int height, DrawingKind kind, uint32_t seed);

// A flag map whose bit 0 is set with the given probability (percent), for labelling tests
// that need line maps no line generation would make.
std::vector<uint8_t> RandomLineMap(int width, int height, int percent, uint32_t seed);

// Whether the 5 x 5 square around (x, y), which must lie 2 pixels inside the picture, is white
// paper without flags, all of one region: where filtering keeps a region's colour.
bool InsidePaper(const WorkingImage& image, int x, int y);

// Every pixel of what the document's window shows (3 channels, the drawing's size; empty when
// nothing shows).
Raster ShownPicture(const CAnalyzerDoc& doc);

}  // namespace quenda::testing

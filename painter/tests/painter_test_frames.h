#pragma once
// Frames for the painter's tests: line pictures drawn as text and turned into regions by the
// analyzer core, in memory or written out as a sequence on disk.

#include <string>
#include <vector>

#include "common/drawing_scan.h"
#include "common/region_data.h"
#include "painter/core/painter_frame.h"

namespace quenda::testing {

// Rows of text, top row first: '#' is a region line pixel, '*' an animator-line pixel that is
// no region line, anything else paper. Regions come from the analyzer's extraction.
RegionData RegionsFromPicture(const std::vector<std::string>& rows);
// A loaded frame (white paper scan, default paints) over those regions.
PainterFrame FrameFromPicture(const std::vector<std::string>& rows);
PainterFrame FrameFromRegions(RegionData region);

// A frame file set: the drawing scan (white paper, 100 dpi, peg bottom) and the region file.
void WriteFrameFiles(const std::string& directory, const std::string& name,
                     const std::string& frameText, const RegionData& region);

// name1 .. nameN: sample pencil drawings of `width` x `height` analyzed by the analyzer core,
// with the sample colour set. Returns the path of the first drawing.
std::string WriteAnalyzedSequence(const std::string& directory, const std::string& name, int frames,
                                  int width, int height);

// The region index of a pixel given in picture text coordinates (column, row from the top).
int RegionAtText(const RegionData& region, int column, int rowFromTop);

}  // namespace quenda::testing

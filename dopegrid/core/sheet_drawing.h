#pragma once
// The drawings of a sheet as the compositor reads them: the header facts that place a drawing
// in the common frame, its grey pixels, and for painted frames its colours, regions and paints.
// Each reader words its failures as the exposure sheet does and shows them through the prompt.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/frame_sequence.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/region_data.h"

namespace quenda {

// The compositor's header test, common's with ScanReader::Sheet: 18 bytes, colour-map type not
// 1, image type 3, depth 8, a size from 1 to the drawing scans' limit, so no picture is made of
// nothing or of a header's word alone. The sheet words its failures itself, so none is kept.
std::optional<DrawingScanHeader> ParseSheetDrawingHeader(std::span<const uint8_t> bytes);
std::optional<DrawingScanHeader> ReadSheetDrawingHeader(const std::string& path);

// Left and top of a drawing in the common peg-aligned coordinates. Drawings are not turned;
// only their corner moves with the peg position.
struct DrawingCorner {
  int left = 0;
  int top = 0;
  bool operator==(const DrawingCorner&) const = default;
};
DrawingCorner CornerOf(const DrawingScanHeader& header);
DrawingCorner CornerOf(const DrawingScan& drawing);
// "Left", "Right", "Bottom", "Top", or "Invalid!".
std::string_view PegName(int pegPosition);

// For scanned frames: "Error finding drawing file %s" or "Error Reading drawing %s:
// Incomplete image file" on failure.
std::optional<DrawingScan> LoadScannedDrawing(const std::string& path, Prompt& prompt);

// Everything a painted drawing needs, grey values already normalised by the region file's
// white and black levels.
struct PaintedDrawing {
  DrawingScan drawing;
  RegionData regions;
  std::vector<int32_t> regionColor;  // regionCount + 2 entries; entry 0 is unpainted
  ColorSet colors;
};

// The colour set must open and start with the word "Quenda"; otherwise "Could not find
// ColorSet file : %s" (when it does not open) and then "Could not read color set file!".
std::optional<ColorSet> CheckSheetColorSet(const DrawingSequence& sequence, Prompt& prompt);
// Drawing scan, region file and paint file of one frame, with their messages.
std::optional<PaintedDrawing> LoadPaintedDrawing(const DrawingSequence& sequence, int frameIndex,
                                                 const ColorSet& colors, Prompt& prompt,
                                                 Progress& progress);

// The compositor's normalisation of a grey value by the levels of a region file.
uint8_t NormaliseGrey(uint8_t grey, uint8_t white, uint8_t black);

}  // namespace quenda

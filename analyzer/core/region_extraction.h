#pragma once
// Region extraction: every 4-connected area of non-line pixels becomes a numbered region, each
// line pixel joins a region next to it, and the region data (numbers, boxes, line colours) is
// rebuilt for the whole drawing. Region 1 is the area of the bottom-left pixel.

#include <cstdint>
#include <string>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/working_image.h"
#include "common/progress.h"
#include "common/redline_settings.h"
#include "common/result.h"

namespace quenda {

inline constexpr char kNoPictureToMark[] = "Can not mark regions without a picture";

// A region file holds 16-bit region numbers, so a drawing with more regions is refused rather
// than numbered with wrapped values.
std::string TooManyRegionsMessage(uint32_t regions);

// Whether extraction makes the map of line colours. A run that only writes region files keeps
// none: every pixel has the unpainted line colour (RegionData::uniformAnimColor), and a map of
// that one value would be two bytes a pixel.
enum class LineColours { Map, OneForAll };

// Needs the flag map of GenerateLines over the whole drawing. Replaces the region data (numbers
// 1..N in order of first appearance, boxes, line colours 249, regionCount N - 1, the settings),
// sizes the region colours for N + 1 entries with filledCount 0, and leaves the grey image
// contrast-stretched with `settings` (an image whose grey was dropped once its lines were found
// stays without). Fails with kNoPictureToMark on an empty image, and with
// TooManyRegionsMessage when N exceeds kMaxRegions; the image then has no regions (the grey
// image is stretched all the same).
Status ExtractRegions(WorkingImage& image, const RedlineSettings& settings, Progress& progress,
                      LineColours colours = LineColours::Map);

// Drops the region data and colours; flags, grey and display stay.
void ClearRegions(WorkingImage& image);

// Region 1 transparent (0), every other region unfilled (1). Redrawing is the caller's.
void ResetRegionColours(WorkingImage& image);

// The Mark regions command: lines over the whole drawing, their gaps of up to `closeGaps` pixels
// closed (the joins made go to `joins` when given), regions, fresh colours.
Status MarkRegions(WorkingImage& image, const RedlineSettings& settings, Progress& progress,
                   Bgr lineColour = kDefaultLineColour, int closeGaps = 0,
                   GapJoins* joins = nullptr);

}  // namespace quenda

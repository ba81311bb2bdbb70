#pragma once
// Gap closing: where a pencil stroke stops a few pixels short of another line, the found lines
// leave a gap through which two areas run into one region. Closing joins each stroke end to the
// line it stops short of by a straight run of line pixels. The joins are region lines only:
// they separate regions as line pixels do, but there is no pencil under them, so every picture
// drawn from the scan shows paper (the region's colour) there.
//
// The rule, on the line map of a rectangle (line pixels are flag bit 0; pixels outside the
// rectangle count as no line):
// - A stroke end is a line pixel with exactly one line pixel among its eight neighbours.
// - A stroke may also end round a pinhole: grain inside a doubled or pressed stroke leaves a
//   few pixels of paper ringed by line, and there no pixel has one line neighbour. A pinhole is
//   a 4-connected group of at most kPinholeSize pixels that are no line, none on the
//   rectangle's edge, whose four neighbours outside the group are all line pixels: a region of
//   its own, however small. Its ring is the line pixels among its pixels' eight neighbours; the
//   line pixels next to the ring (8-neighbours of a ring pixel, not in the ring) are its exits.
//   Where the exits make one 8-connected group, the stroke ends there, and its end is the ring
//   pixel farthest from the exits (the greatest squared distance to the nearest exit; on equal
//   distance the lower pixel index). A pinhole in the middle of a stroke has exits on two sides,
//   and is no end.
// - Its own stroke near it is every line pixel reached from it in at most 2 N steps from line
//   pixel to 8-neighbouring line pixel.
// - Its target is the line pixel nearest to it (Euclidean distance at most N; on equal distance
//   the lower pixel index, y * width + x) that is not on its own stroke near it and whose
//   segment from the end crosses no line pixel. The segment of (x0, y0) to (x1, y1) visits, for
//   k = 0 .. s with s = max(|x1 - x0|, |y1 - y0|), the pixel (x0 + k (x1 - x0) / s,
//   y0 + k (y1 - y0) / s), each quotient rounded to the nearest integer with halves away from
//   zero; it crosses a line pixel when one of the pixels between its two ends is one.
// - Targets and crossings are judged on the lines as found, before any join. The ends are then
//   taken shortest join first (on equal length the lower end index): an end already joined,
//   as the end of an earlier join or its target, is skipped; otherwise its segment becomes line
//   pixels. So two ends facing each other across a gap make one join, and two lines that never
//   end (the sides of a thin region) are never joined however close they run.
// - That is one round. Rounds follow on the lines with the joins made so far, until a round
//   makes no join. A pencil's tapering end breaks up in the grain, so the nearest line to a
//   stroke end is often a speck or a short piece of the same taper: the first round joins the
//   end to it, and the piece's far end (a speck reached by a join now has one line neighbour)
//   only becomes a stroke end, with the stroke behind it as its own, once that join is drawn.
// N = 0 joins nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analyzer/core/working_image.h"
#include "common/progress.h"
#include "common/raster.h"

namespace quenda {

// The widest gap the setting may close; beyond it joins would cut regions more than close
// them.
inline constexpr int kMaxCloseGaps = 20;
// The largest pinhole a stroke may end round (see the rule above).
inline constexpr int kPinholeSize = 4;
// The recommended setting, for drawings at 300 dpi and at 150 dpi alike, chosen on the
// scan-like pencil figures of bench_gap_closing at the standard line pick-up and growth. The
// gap a tapering stroke leaves in the found lines is the bare paper and, at both of its ends,
// the pale tip, whose two-pixel-wide run thinning eats back to where the line is one pixel
// wide; that loss is counted in pixels, not in millimetres, so the gap is about as many
// pixels at 150 dpi as at 300. 20 closes more of those than 16 (300 dpi: 98.7 % of the true
// areas keep a region of their own against 97.0 %; 150 dpi: 98.3 % against 97.6 %) with no
// more paper joined to the figure (0.08 % at both) and about one more join a drawing.
inline constexpr int kRecommendedCloseGaps = 20;

// How joins show in the analyzer's pictures, apart from the found lines (cyan).
inline constexpr Bgr kJoinColour{255, 255, 0};

// The joins made: the pixels that became line pixels, in the order they were set, and how many
// joins there are.
struct GapJoins {
  std::vector<std::ptrdiff_t> pixels;
  int count = 0;
  bool empty() const { return pixels.empty(); }
};

// Joins the stroke ends of `rect` (cut to the picture) in `flags` (width * height, row-major)
// by the rule above, for gaps of at most `maxGap` pixels (0 or less: nothing).
GapJoins CloseGaps(std::vector<uint8_t>& flags, int width, int height, PixelRect rect, int maxGap);

// After GenerateLines on `rect`: closes its gaps in the image's flag map, keeps the joins'
// pixels in `joinPixels` and shows them in the display image. Reports "Closing Gaps..." when
// there is anything to close.
GapJoins CloseGapsIn(WorkingImage& image, PixelRect rect, int maxGap, Progress& progress);
inline GapJoins CloseGapsOfDrawing(WorkingImage& image, int maxGap, Progress& progress) {
  return CloseGapsIn(image, WholePicture(image), maxGap, progress);
}

// The image's join pixels inside `rect` that are still region lines (the region pen may have
// rubbed some out) in `colour`, in `display`, a 3-channel picture of the drawing's size.
void ShowJoinPixels(const WorkingImage& image, PixelRect rect, Raster& display,
                    Bgr colour = kJoinColour);

}  // namespace quenda

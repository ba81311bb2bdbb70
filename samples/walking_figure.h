#pragma once
// The character of the sample drawings: a small person walking to the right, drawn in pencil
// as an animator would: closed outlines for head, body, limbs, hands and shoes, with an eye, an
// ear, a mouth and a hair line inside the head, and faint construction lines under it all.

#include <cstdint>
#include <vector>

#include "samples/figure_parts.h"
#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"
#include "samples/scan_pencil.h"

namespace quenda::samples {

// Where and when the figure is drawn.
struct FigurePlacement {
  double hipX = 0;     // pixels
  double groundY = 0;  // pixels, the line the planted foot stands on
  double unit = 1;     // pixels per figure unit; the figure is about 100 units tall
  double phase = 0;    // radians of the walk cycle
  uint64_t seed = 0;   // the hand's wobble
};

// How a gap is left: bare paper, or pencil too light to be taken as line (see kFaintInk)
// that line growth bridges.
enum class GapKind { Bare, Faint };

// A gap deliberately left in a closed outline: a box `size` pixels across, with the line
// running in at one side and out at the other. `alongX` says the line runs left to right
// through it (the gap is columns x0..x1); otherwise it runs up and down (rows y0..y1). The
// line's centre passes through (lineX, lineY), the pixel just before the gap. A bare gap holds
// no graphite at all; in a faint one the line goes on at kFaintInk or lighter.
struct LineGap {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int size = 0;
  bool alongX = false;
  bool faint = false;
  int lineX = 0, lineY = 0;
};

// Cuts a gap of `size` pixels into the line through `at` (drawn with radius `lineRadius`):
// columns when the line runs left to right there, rows when it runs up and down. Whatever
// else lies in the box is cut too.
LineGap CutGap(PencilCanvas& canvas, const StrokePoint& at, int size, bool alongX,
               double lineRadius, GapKind kind);

// Line widths for a figure unit of `unit` pixels: never thinner than a scanner keeps.
struct LineWeights {
  PencilStyle thin, normal, thick, faint;
};
LineWeights LineWeightsFor(double unit);

// What is known of a drawn figure: its gaps, and two points, in pixels, well clear of every
// line: one in the face and one in the back of the body behind the arms, so that tests can
// ask which regions hold them.
// `parts` are its closed shapes in drawing order, for the ground truth.
struct DrawnFigure {
  std::vector<LineGap> gaps;
  std::vector<PencilGap> pencilGaps;  // left between strokes by a scan-like pencil
  Point face;
  Point back;
  std::vector<PartShape> parts;
};

// Draws the figure and cuts its two faint gaps, which growth closes again: one pixel across
// the top of the head and two pixels in the back of the body. With `pencil` on, its strokes are
// drawn the scanned way (the same shapes, the same truth).
DrawnFigure DrawWalkingFigure(PencilCanvas& canvas, const FigurePlacement& placement,
                              const ScanPencil& pencil = {});

}  // namespace quenda::samples

#pragma once
// The character of the sample drawings: a small person walking to the right, drawn in pencil
// as an animator would: closed outlines for head, body, limbs, hands and shoes, with an eye, an
// ear, a mouth and a hair line inside the head, and faint construction lines under it all.

#include <cstdint>
#include <vector>

#include "samples/pencil_canvas.h"

namespace quenda::samples {

// Where and when the figure is drawn.
struct FigurePlacement {
  double hipX = 0;     // pixels
  double groundY = 0;  // pixels, the line the planted foot stands on
  double unit = 1;     // pixels per figure unit; the figure is about 100 units tall
  double phase = 0;    // radians of the walk cycle
  uint64_t seed = 0;   // the hand's wobble
};

// A gap deliberately left in a closed outline: a box of bare paper `size` pixels across,
// with the line running in at one side and out at the other. `alongX` says the line runs left
// to right through it (the gap is columns x0..x1); otherwise it runs up and down (rows y0..y1).
// The line's centre passes through (lineX, lineY), the pixel just before the gap.
struct LineGap {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int size = 0;
  bool alongX = false;
  int lineX = 0, lineY = 0;
};

// Line widths for a figure unit of `unit` pixels: never thinner than a scanner keeps.
struct LineWeights {
  PencilStyle thin, normal, thick, faint;
};
LineWeights LineWeightsFor(double unit);

// Draws the figure and cuts its two gaps: one pixel across the top of the head and two pixels
// in the back of the body. Returns the gaps.
std::vector<LineGap> DrawWalkingFigure(PencilCanvas& canvas, const FigurePlacement& placement);

}  // namespace quenda::samples

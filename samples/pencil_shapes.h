#pragma once
// The shapes a hand draws with a pencil, as point lists for PencilCanvas::DrawStroke: closed
// loops (ellipses, rounded boxes, the outline of a limb) and open tapered curves. Each carries
// a slight, smooth wobble and a varying pressure, so no two are quite alike.

#include <functional>
#include <vector>

#include "samples/pencil_canvas.h"

namespace quenda::samples {

struct Point {
  double x = 0;
  double y = 0;
};

// A smooth sideways drift of the hand along a stroke, periodic over a loop.
struct Wobble {
  double amplitude = 0;  // pixels
  double phase[4] = {0, 0, 0, 0};
};
Wobble MakeWobble(SampleRandom& random, double amplitude);

// Points along a closed outline, the first repeated at the end. `spacing` is the wanted
// distance in pixels between points. Pressure rises and falls twice around the loop but never
// drops low enough to break the line.
std::vector<StrokePoint> ClosedStroke(const std::vector<Point>& outline, double spacing,
                                      const Wobble& wobble);
// Points along an open path, pressure tapering in at the start and out at the end.
std::vector<StrokePoint> OpenStroke(const std::vector<Point>& path, double spacing,
                                    const Wobble& wobble);

// Outlines, each a dense list of points without the closing repeat.
std::vector<Point> EllipseOutline(Point centre, double rx, double ry, double rotation);
// A box with round corners (a superellipse), turned by `rotation` radians about `pivot`.
std::vector<Point> RoundedBoxOutline(Point centre, double halfWidth, double halfHeight,
                                     double rotation, Point pivot);
// The outline of a limb: a band around the path from `start` to the joint `bend` and on to
// `end` (straight runs, the joint rounded), `startHalfWidth` wide at the start narrowing to
// `endHalfWidth`, with round ends.
std::vector<Point> LimbOutline(Point start, Point bend, Point end, double startHalfWidth,
                               double endHalfWidth);
// The smooth curve from `start` through `through` (reached half way) to `end`.
std::vector<Point> CurveThrough(Point start, Point through, Point end);

// Index of the outline point that maximises `score`.
std::size_t ExtremePoint(const std::vector<StrokePoint>& points,
                         const std::function<double(const StrokePoint&)>& score);

}  // namespace quenda::samples

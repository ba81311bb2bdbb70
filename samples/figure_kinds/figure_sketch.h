#pragma once
// A figure as an animator draws it: closed shapes laid down from the back to the front, and
// open lines (a crease, a stripe's edge), with the hidden lines left out: whatever part of a
// line a later shape covers is not drawn, so a limb in front hides the outline behind it and
// every area seen is closed by the lines that bound it on the sheet.

#include <cstdint>
#include <vector>

#include "samples/figure_parts.h"
#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"
#include "samples/scan_pencil.h"
#include "samples/walking_figure.h"

namespace quenda::samples {

class FigureSketch {
 public:
  // `unit` is the figure's unit in pixels (line widths and the hand's wobble follow it).
  FigureSketch(uint64_t seed, double unit);

  const LineWeights& weights() const { return weights_; }

  // A closed shape of `part` with this outline in pixels (no closing repeat). It hides what
  // was drawn before it and takes its pixels in the ground truth.
  void Shape(FigurePart part, const std::vector<Point>& outline, const PencilStyle& style);
  // An open line in pixels, drawn over what is before it; later shapes hide it as well.
  void Line(const std::vector<Point>& path, const PencilStyle& style);
  // A part of the ground truth bounded by lines drawn otherwise (an edge of an earlier shape
  // and open lines across it), as a polygon in pixels. It hides nothing.
  void Area(FigurePart part, const std::vector<Point>& outline);

  // Draws what is seen and returns the shapes of the ground truth in drawing order. With
  // `pencil` on, the strokes are drawn the scanned way: a shape seen whole as a broken outline,
  // every line seen in part as tapering strokes that stop short of the outline in front of it,
  // the gaps left going to `gaps` when given. Off, the plain strokes.
  std::vector<PartShape> Draw(PencilCanvas& canvas, const ScanPencil& pencil = {},
                              std::vector<PencilGap>* gaps = nullptr) const;

 private:
  struct Item {
    std::vector<StrokePoint> points;  // empty for an area
    PencilStyle style;
    bool hides = false;
    PartShape truth;  // part Paper for an open line
  };

  uint64_t seed_;
  SampleRandom random_;
  double unit_;
  LineWeights weights_;
  std::vector<Item> items_;
};

// Helpers to place a figure drawn in figure units (y up) on the sheet.
struct FigureFrame {
  Point origin;     // pixels of the figure's (0, 0)
  double unit = 1;  // pixels per figure unit
  Point operator()(Point p) const { return {origin.x + unit * p.x, origin.y + unit * p.y}; }
  std::vector<Point> operator()(std::vector<Point> points) const {
    for (Point& p : points) p = (*this)(p);
    return points;
  }
};

// `p` turned by `angle` radians about `pivot`.
Point TurnAbout(Point p, Point pivot, double angle);
// From `from`, `length` along the direction `angle` radians from straight down (counter-
// clockwise), as a limb hangs and swings.
Point AlongFromDown(Point from, double length, double angle);

}  // namespace quenda::samples

// A jelly on the ground that squashes and stretches by up to 30 % (keeping its area) and bends
// from side to side, everything on it bending with it: belly, eyes and a mouth that opens.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/figure_kinds/figure_sketch.h"

namespace quenda::samples {

namespace {

constexpr double kSquash = 0.3, kSquashPace = 2 * std::numbers::pi / 12;
constexpr double kBend = 0.35, kBendPace = 0.4;
constexpr double kHeight = 58;  // figure units, unsquashed

// The jelly's shape at a moment: stretched upwards by `stretch` and narrowed to keep its area,
// its top pushed sideways by `bend` of its height, the more the higher.
struct Jelly {
  double stretch = 1, bend = 0;
  Point operator()(Point p) const {
    const double y = p.y * stretch;
    const double height = kHeight * stretch;
    return {p.x / stretch + bend * height * (y / height) * (y / height), y};
  }
  std::vector<Point> operator()(std::vector<Point> points) const {
    for (Point& p : points) p = (*this)(p);
    return points;
  }
};

}  // namespace

DrawnFigure DrawSoftKind(PencilCanvas& canvas, const FigureStage& stage) {
  FigureSketch sketch(stage.seed, stage.unit);
  const FigureFrame at{{stage.centreX, stage.groundY}, stage.unit};
  const LineWeights& w = sketch.weights();
  const double t = stage.time;
  const Jelly jelly{1 + kSquash * std::sin(kSquashPace * t), kBend * std::sin(kBendPace * t + 1)};
  auto shape = [&](std::vector<Point> units) { return at(jelly(std::move(units))); };

  std::vector<Point> outline = EllipseOutline({0, kHeight / 2}, 30, kHeight / 2, 0);
  for (Point& p : outline) p.y = std::max(p.y, 1.0);  // sitting flat on the ground
  sketch.Shape(FigurePart::Jelly, shape(outline), w.thick);
  sketch.Shape(FigurePart::Belly, shape(EllipseOutline({0, 13}, 16, 9, 0)), w.normal);
  const double gaze = 1.6 * std::sin(0.45 * t);
  for (const double side : {-1.0, 1.0}) {
    sketch.Shape(FigurePart::Eye, shape(EllipseOutline({side * 9, 41}, 5.5, 7, 0)), w.normal);
    sketch.Shape(FigurePart::Pupil, shape(EllipseOutline({side * 9 + gaze, 40}, 2.4, 3.2, 0)),
                 w.normal);
  }
  const double open = 1.4 + 3.2 * (0.5 + 0.5 * std::sin(0.7 * t));
  sketch.Shape(FigurePart::Mouth, shape(EllipseOutline({0, 29}, 7, open, 0)), w.normal);
  if (open > 3)
    sketch.Shape(FigurePart::Tongue,
                 shape(EllipseOutline({0, 29 - 0.5 * open}, 3.6, 0.35 * open, 0)), w.normal);

  DrawnFigure drawn;
  drawn.parts = sketch.Draw(canvas, stage.pencil, &drawn.pencilGaps);
  drawn.face = at(jelly({-18, 30}));
  drawn.back = at(jelly({0, 52}));
  return drawn;
}

}  // namespace quenda::samples

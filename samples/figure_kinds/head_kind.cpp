// A head and shoulders, large on the sheet, turning from one side to the other: eyes, brows,
// nose and mouth slide across the face and narrow towards its edge, the far ear goes behind the
// head, the eyes look about and narrow, the brows rise and the mouth opens on its teeth and
// tongue and closes again.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/figure_kinds/figure_sketch.h"

namespace quenda::samples {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kTurn = 35 * kDegree, kTurnPace = 0.26;  // radians of the turn's phase a drawing
constexpr double kRx = 24, kRy = 29;                      // the head, figure units
constexpr double kOnFace = 0.92;    // features lie a little inside the outline
constexpr double kOpenMouth = 2.2;  // units: teeth and tongue show from this opening

// A band along the curve from `a` through `b` to `c`, `half` wide, round at both ends.
std::vector<Point> Band(Point a, Point b, Point c, double half) {
  return LimbOutline(a, b, c, half, 0.8 * half);
}

}  // namespace

DrawnFigure DrawHeadKind(PencilCanvas& canvas, const FigureStage& stage) {
  FigureSketch sketch(stage.seed, stage.unit);
  const FigureFrame at{{stage.centreX, stage.groundY}, stage.unit};
  const LineWeights& w = sketch.weights();
  const double t = stage.time;
  const double turn = kTurn * std::sin(kTurnPace * t);
  const Point head{0, 62};
  // Where a feature at `longitude` (0 the middle of the face) and height `y` over the head's
  // centre lies on the turned head, and how much it is foreshortened there.
  auto across = [&](double longitude) { return kRx * kOnFace * std::sin(longitude + turn); };
  auto facing = [&](double longitude) { return std::max(0.2, std::cos(longitude + turn)); };

  sketch.Shape(FigurePart::Shirt, at(RoundedBoxOutline({0, 21}, 26, 12, 0, {0, 21})), w.thick);
  sketch.Shape(FigurePart::Skin, at(RoundedBoxOutline({0.4 * across(0), 33}, 7, 7, 0, {0, 33})),
               w.normal);
  for (const double side : {-1.0, 1.0}) {  // the head hides the inner half, and a far ear whole
    const double longitude = side * 90 * kDegree;
    const double depth = std::cos(longitude + turn);  // below 0 behind the head
    const double x = kRx * std::sin(longitude + turn) * (depth < 0 ? 0.85 : 1.0);
    sketch.Shape(FigurePart::Skin, at(EllipseOutline({x, head.y - 2}, 4.5, 7, 0)), w.normal);
  }
  sketch.Shape(FigurePart::Skin, at(EllipseOutline(head, kRx, kRy, 0)), w.thick);

  // The hair: a cap over the crown, its fringe following the turn.
  std::vector<Point> hair;
  for (int d = 24; d <= 156; d += 4) {
    const double a = d * kDegree;
    hair.push_back({head.x + (kRx + 0.6) * std::cos(a), head.y + (kRy + 0.6) * std::sin(a)});
  }
  for (const Point& p : CurveThrough({head.x - kRx * 0.91, head.y + 12},
                                     {head.x + across(-15 * kDegree), head.y + 20},
                                     {head.x + kRx * 0.91, head.y + 12}))
    hair.push_back(p);
  sketch.Shape(FigurePart::Hair, at(hair), w.normal);
  // A parting in the hair, on the crown where it never reaches the outline.
  const double parting = -6 * std::sin(turn + 20 * kDegree);
  sketch.Line(
      at(CurveThrough({head.x + parting, head.y + kRy - 3}, {head.x + parting + 1, head.y + 25},
                      {head.x + parting + 3, head.y + 22})),
      w.thin);

  const double eyeOpen = 0.7 + 0.3 * std::cos(0.5 * t);
  const double gaze = 0.5 * std::sin(0.45 * t);
  const double browRise = 1.5 * std::sin(0.4 * t + 1);
  for (const double side : {-1.0, 1.0}) {
    const double longitude = side * 25 * kDegree;
    const double x = head.x + across(longitude), narrow = facing(longitude);
    const double eyeRx = 4.5 * narrow, eyeRy = 5 * eyeOpen;
    sketch.Shape(FigurePart::Eye, at(EllipseOutline({x, head.y + 2}, eyeRx, eyeRy, 0)), w.normal);
    sketch.Shape(FigurePart::Pupil,
                 at(EllipseOutline({x + gaze * eyeRx, head.y + 1.5}, 0.45 * eyeRx,
                                   std::min(2.4, 0.55 * eyeRy), 0)),
                 w.normal);
    const double browY = head.y + 10 + browRise;
    sketch.Shape(FigurePart::Brow,
                 at(Band({x - 4.5 * narrow, browY - side * 0.6}, {x, browY + 1.2},
                         {x + 4.5 * narrow, browY + side * 0.6}, 0.9)),
                 w.normal);
  }
  const double noseX = head.x + across(0);
  sketch.Line(at(CurveThrough({noseX, head.y - 1}, {noseX + 3 * std::sin(turn) + 1, head.y - 6},
                              {noseX - 1.5, head.y - 7.5})),
              w.normal);

  const double mouthOpen = 0.7 + 3.8 * (0.5 + 0.5 * std::sin(0.6 * t));
  const double mouthRx = 7 * facing(0) + 1.5;
  const Point mouth{noseX, head.y - 15};
  sketch.Shape(FigurePart::Mouth, at(EllipseOutline(mouth, mouthRx, mouthOpen, 0)), w.normal);
  if (mouthOpen >= kOpenMouth) {
    sketch.Shape(FigurePart::Teeth,
                 at(RoundedBoxOutline({mouth.x, mouth.y + 0.5 * mouthOpen}, 0.6 * mouthRx,
                                      0.22 * mouthOpen, 0, mouth)),
                 w.normal);
    sketch.Shape(FigurePart::Tongue,
                 at(EllipseOutline({mouth.x, mouth.y - 0.5 * mouthOpen}, 0.45 * mouthRx,
                                   0.28 * mouthOpen, 0)),
                 w.normal);
  }

  DrawnFigure drawn;
  drawn.parts = sketch.Draw(canvas, stage.pencil, &drawn.pencilGaps);
  drawn.face = at({noseX - 8, head.y - 8});
  drawn.back = at({-18, 21});
  return drawn;
}

}  // namespace quenda::samples

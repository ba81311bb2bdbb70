// A figure standing on one leg, waving one arm high about its shoulder (up to 20 degrees a
// drawing at the natural pace, 60 at three times) and kicking with the other leg, the knee
// folding as the leg swings back. The near arm crosses the body and the head.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/figure_kinds/figure_sketch.h"

namespace quenda::samples {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kThigh = 23, kShin = 22, kUpperArm = 14, kForearm = 13, kSole = 3;
constexpr double kArmMiddle = 80 * kDegree, kArmSwing = 70 * kDegree;
constexpr double kArmPace = 20 * kDegree / kArmSwing;  // radians of the swing's phase a drawing
constexpr double kKickMiddle = 35 * kDegree, kKickSwing = 40 * kDegree, kKickPace = 0.3;

// A limb from `start`, turned `angle` from straight down and bent by `bend` at its joint, and
// what it ends in: a shoe along the foot, or a round hand of radius `endSize`.
void Limb(FigureSketch& sketch, const FigureFrame& at, Point start, double upper, double lower,
          double angle, double bend, double startWidth, double endWidth, FigurePart part,
          FigurePart end, double endSize) {
  const Point joint = AlongFromDown(start, upper, angle);
  const Point tip = AlongFromDown(joint, lower, angle + bend);
  sketch.Shape(part, at(LimbOutline(start, joint, tip, startWidth, endWidth)),
               sketch.weights().normal);
  if (end == FigurePart::Shoes) {
    const double tilt = 0.5 * (angle + bend);
    const Point toe = TurnAbout({tip.x + 3.5, tip.y - 1.2}, tip, tilt);
    sketch.Shape(end, at(EllipseOutline(toe, 5.5, 2.3, tilt)), sketch.weights().normal);
  } else {
    sketch.Shape(end,
                 at(EllipseOutline(AlongFromDown(tip, 1.5, angle + bend), endSize, endSize, 0)),
                 sketch.weights().normal);
  }
}

}  // namespace

DrawnFigure DrawLimbsKind(PencilCanvas& canvas, const FigureStage& stage) {
  FigureSketch sketch(stage.seed, stage.unit);
  const FigureFrame at{{stage.centreX, stage.groundY}, stage.unit};
  const LineWeights& w = sketch.weights();
  const double t = stage.time;
  const double hipHeight = kThigh + kShin + kSole;
  const Point hip{0, hipHeight};
  const Point shoulder{1.0, hipHeight + 26};

  const double arm = kArmMiddle + kArmSwing * std::sin(kArmPace * t);
  const double elbow = (15 + 30 * (0.5 + 0.5 * std::sin(kArmPace * t + 1.0))) * kDegree;
  const double farArm = (-10 + 18 * std::sin(kArmPace * t + 2.5)) * kDegree;
  const double kick = kKickMiddle + kKickSwing * std::sin(kKickPace * t + 0.5);
  const double knee = -(5 + 50 * (0.5 - 0.5 * std::sin(kKickPace * t + 0.5))) * kDegree;

  Limb(sketch, at, shoulder, kUpperArm, kForearm, farArm, 20 * kDegree, 2.8, 2.1, FigurePart::Shirt,
       FigurePart::Skin, 2.6);
  Limb(sketch, at, hip, kThigh, kShin, -4 * kDegree, 2 * kDegree, 4.2, 2.6, FigurePart::Pants,
       FigurePart::Shoes, 0);
  Limb(sketch, at, hip, kThigh, kShin, kick, knee, 4.2, 2.6, FigurePart::Pants, FigurePart::Shoes,
       0);
  sketch.Shape(FigurePart::Shirt, at(RoundedBoxOutline({0, hipHeight + 14}, 7.5, 15.5, 0, hip)),
               w.thick);

  const Point head{1.5, hipHeight + 39};
  const double rx = 8.5, ry = 10;
  sketch.Shape(FigurePart::Skin, at(EllipseOutline(head, rx, ry, 0)), w.thick);
  // The hair: a cap over the crown, a little beyond the head's outline so that it hides it.
  std::vector<Point> hair;
  for (int d = 15; d <= 170; d += 5) {
    const double a = d * kDegree;
    hair.push_back({head.x + (rx + 0.5) * std::cos(a), head.y + (ry + 0.5) * std::sin(a)});
  }
  for (const Point& p : CurveThrough({head.x - rx * 0.97, head.y + 1.5}, {head.x + 0.5, head.y + 3},
                                     {head.x + rx * 0.95, head.y + 3.5}))
    hair.push_back(p);
  sketch.Shape(FigurePart::Hair, at(hair), w.normal);
  const double look = 0.6 * std::sin(kArmPace * t);  // the eye follows the hand
  sketch.Shape(FigurePart::Eye, at(EllipseOutline({head.x + 4.2, head.y - 0.8}, 1.7, 2.2, 0)),
               w.normal);
  sketch.Shape(FigurePart::Pupil,
               at(EllipseOutline({head.x + 4.5, head.y - 1.0 + look}, 0.8, 1.0, 0)), w.normal);
  sketch.Line(at(CurveThrough({head.x + 3.8, head.y - 5.2}, {head.x + 5.4, head.y - 6.2},
                              {head.x + 7.0, head.y - 4.8})),
              w.thin);

  Limb(sketch, at, shoulder, kUpperArm, kForearm, arm, elbow, 2.8, 2.1, FigurePart::Shirt,
       FigurePart::Skin, 2.6);

  DrawnFigure drawn;
  drawn.parts = sketch.Draw(canvas, stage.pencil, &drawn.pencilGaps);
  drawn.face = at({head.x + 1, head.y - 3.5});
  drawn.back = at({-4.5, hipHeight + 20});
  return drawn;
}

}  // namespace quenda::samples

// A cartoon dog seen from the side, trotting on the spot: spotted back, a striped tail that
// wags, a flap of an ear, and a jaw that opens on a row of teeth and a tongue and shuts again.
// Its spots, stripes and teeth are many small areas close in size and shape.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/figure_kinds/figure_sketch.h"

namespace quenda::samples {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kLimbCap = 23;    // LimbOutline's points round each end
constexpr double kHead = 1.35;  // the head's features are laid out in units of this size

struct Spot {
  Point centre;
  double rx, ry, tilt;
};
constexpr Spot kSpots[] = {{{-17, 3}, 4.5, 3.2, 0.2},  {{-7, 6}, 4.2, 3.0, -0.1},
                           {{4, 4}, 4.6, 3.1, 0.3},    {{14, 2}, 4.3, 3.3, -0.2},
                           {{-12, -5}, 4.4, 3.0, 0.1}, {{7, -6}, 4.1, 3.2, -0.3}};

Point Lerp(Point a, Point b, double t) {
  return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}
Point Plus(Point a, Point b) {
  return {a.x + b.x, a.y + b.y};
}

// The tail: a band, and across it lines that make every other piece towards the tip a stripe.
void Tail(FigureSketch& sketch, const FigureFrame& at, Point root, double wag) {
  const Point bend = TurnAbout({root.x - 12, root.y + 14}, root, 0.5 * wag);
  const Point tip = TurnAbout({root.x - 9, root.y + 28}, root, wag);
  const std::vector<Point> band = at(LimbOutline(root, bend, tip, 4.2, 3.0));
  sketch.Shape(FigurePart::Fur, band, sketch.weights().normal);
  // LimbOutline gives one side from root to tip, the round tip, the other side back.
  const std::size_t n = (band.size() - 2 * kLimbCap) / 2;
  auto left = [&](std::size_t i) { return band[i]; };
  auto right = [&](std::size_t i) { return band[n + kLimbCap + (n - 1 - i)]; };
  constexpr int kCuts = 7;
  std::vector<std::size_t> cut;
  for (int k = 0; k < kCuts; ++k) cut.push_back(std::size_t((0.38 + 0.085 * k) * double(n - 1)));
  for (int k = 0; k < kCuts; ++k) {
    const Point a = left(cut[k]), b = right(cut[k]);
    const double reach = 0.6 * at.unit / std::hypot(b.x - a.x, b.y - a.y);
    sketch.Line({Lerp(a, b, -reach), Lerp(a, b, 0.5), Lerp(a, b, 1 + reach)},
                sketch.weights().thin);
  }
  for (int k = 0; k + 1 < kCuts; k += 2) {
    std::vector<Point> stripe;
    for (std::size_t i = cut[k]; i <= cut[k + 1]; ++i) stripe.push_back(left(i));
    for (std::size_t i = cut[k + 1] + 1; i-- > cut[k];) stripe.push_back(right(i));
    sketch.Area(FigurePart::Stripe, stripe);
  }
}

void Leg(FigureSketch& sketch, const FigureFrame& at, Point top, double swing) {
  const Point knee = AlongFromDown(top, 14.5, swing);
  const Point ankle = AlongFromDown(knee, 14.5, 0.4 * swing);
  sketch.Shape(FigurePart::Fur, at(LimbOutline(top, knee, ankle, 4.2, 3.0)),
               sketch.weights().normal);
  sketch.Shape(FigurePart::Fur, at(EllipseOutline({ankle.x + 2, ankle.y - 0.6}, 4.2, 2.3, 0)),
               sketch.weights().normal);
}

}  // namespace

DrawnFigure DrawAnimalKind(PencilCanvas& canvas, const FigureStage& stage) {
  FigureSketch sketch(stage.seed, stage.unit);
  // The dog reaches further forward (its head) than back (its tail).
  const FigureFrame at{{stage.centreX - 10 * stage.unit, stage.groundY}, stage.unit};
  const LineWeights& w = sketch.weights();
  const double t = stage.time;
  const double trot = std::sin(0.5 * t), bob = 1.2 * std::sin(t);
  const Point body{0, 35 + bob};

  // Far legs, then the tail, then near legs: the body hides all their tops.
  Leg(sketch, at, {21, 32 + bob}, -18 * kDegree * trot);
  Leg(sketch, at, {-17, 32 + bob}, 18 * kDegree * trot);
  Tail(sketch, at, {-25, 39 + bob}, 25 * kDegree * std::sin(0.5 * t + 0.8));
  Leg(sketch, at, {17, 31 + bob}, 18 * kDegree * trot);
  Leg(sketch, at, {-21, 31 + bob}, -18 * kDegree * trot);
  sketch.Shape(FigurePart::Fur, at(EllipseOutline(body, 28, 13, 0)), w.thick);
  for (const Spot& s : kSpots)
    sketch.Shape(FigurePart::Spot, at(EllipseOutline(Plus(body, s.centre), s.rx, s.ry, s.tilt)),
                 w.normal);

  // The head tilts about the neck; everything on it turns with it.
  const Point neck{24, 44 + bob};
  const double tilt = 6 * kDegree * std::sin(0.35 * t);
  const Point head = Plus(neck, {8 * kHead, 9 * kHead});
  auto onHead = [&](std::vector<Point> points) {
    for (Point& p : points) p = TurnAbout(p, neck, tilt);
    return at(points);
  };
  auto on = [&](Point offset) { return Plus(head, {kHead * offset.x, kHead * offset.y}); };
  sketch.Shape(FigurePart::Fur, onHead(RoundedBoxOutline(Plus(neck, {0, 1}), 6.5, 8, 0.5, neck)),
               w.normal);
  sketch.Shape(FigurePart::Fur, onHead(EllipseOutline(head, 11 * kHead, 10 * kHead, 0)), w.thick);
  sketch.Shape(FigurePart::Fur, onHead(EllipseOutline(on({9, -3}), 7.5 * kHead, 4.5 * kHead, 0)),
               w.normal);

  // The jaw: a mouth opening from its corner under the muzzle, the chin below it.
  const double open = (17 + 13 * std::sin(0.55 * t)) * kDegree;
  const Point corner = on({5, -6.5}), upperFront = on({16, -5.8});
  const Point lowerFront = TurnAbout(on({15.5, -6.6}), corner, -open);
  const Point jawMiddle = Lerp(corner, lowerFront, 0.5);
  const Point down{std::sin(open) * -1.6 * kHead, -std::cos(open) * 1.6 * kHead};
  sketch.Shape(FigurePart::Fur,
               onHead(LimbOutline(Plus(corner, down), Plus(jawMiddle, down), Plus(lowerFront, down),
                                  2.2 * kHead, 1.8 * kHead)),
               w.normal);
  std::vector<Point> mouth;
  for (int i = 0; i < 24; ++i) mouth.push_back(Lerp(corner, upperFront, i / 24.0));
  for (int i = 0; i < 8; ++i) mouth.push_back(Lerp(upperFront, lowerFront, i / 8.0));
  for (int i = 0; i < 24; ++i) mouth.push_back(Lerp(lowerFront, corner, i / 24.0));
  sketch.Shape(FigurePart::Mouth, onHead(mouth), w.normal);

  // How wide the mouth stands open at a part of its length from the corner.
  auto gape = [&](double along) { return along * 10.5 * kHead * std::sin(open); };
  if (open > 22 * kDegree) {
    const Point middle = Lerp(corner, lowerFront, 0.62);
    sketch.Shape(
        FigurePart::Tongue,
        onHead(EllipseOutline({middle.x, middle.y + 0.9 * kHead}, 2.6 * kHead, 0.8 * kHead, -open)),
        w.normal);
  }
  for (const double along : {0.42, 0.56, 0.7, 0.84}) {  // upper teeth, hanging from the lip
    const Point base = Lerp(corner, upperFront, along);
    if (gape(along) < 2.1 * kHead) continue;
    const double k = kHead;
    sketch.Shape(FigurePart::Teeth,
                 onHead({{base.x - 0.6 * k, base.y + 0.4 * k},
                         {base.x, base.y - 1.5 * k},
                         {base.x + 0.6 * k, base.y + 0.4 * k}}),
                 w.normal);
  }
  for (const double along : {0.66, 0.86}) {  // lower teeth, standing on the jaw
    const Point base = Lerp(corner, lowerFront, along);
    if (gape(along) < 2.1 * kHead) continue;
    const Point up{-kHead * std::sin(open), kHead * std::cos(open)};
    sketch.Shape(FigurePart::Teeth,
                 onHead({Plus(base, {-0.7 * up.y - 0.4 * up.x, 0.7 * up.x - 0.4 * up.y}),
                         Plus(base, {1.3 * up.x, 1.3 * up.y}),
                         Plus(base, {0.7 * up.y - 0.4 * up.x, -0.7 * up.x - 0.4 * up.y})}),
                 w.normal);
  }

  sketch.Shape(FigurePart::Nose,
               onHead(EllipseOutline(on({16, -1.8}), 2.1 * kHead, 1.6 * kHead, 0)), w.normal);
  const double gaze = 0.6 * std::sin(0.4 * t);
  sketch.Shape(FigurePart::Eye, onHead(EllipseOutline(on({3.5, 3}), 2.6 * kHead, 3.1 * kHead, 0)),
               w.normal);
  sketch.Shape(FigurePart::Pupil,
               onHead(EllipseOutline(on({4.3 + gaze, 2.6}), 1.2 * kHead, 1.6 * kHead, 0)),
               w.normal);
  sketch.Shape(FigurePart::Spot,
               onHead(EllipseOutline(on({-4.5, 1}), 3.6 * kHead, 7.5 * kHead, -0.35 + 0.15 * trot)),
               w.normal);

  DrawnFigure drawn;
  drawn.parts = sketch.Draw(canvas, stage.pencil, &drawn.pencilGaps);
  drawn.face = at(TurnAbout(on({-1, -4}), neck, tilt));
  drawn.back = at(Plus(body, {-2, -1}));
  return drawn;
}

}  // namespace quenda::samples

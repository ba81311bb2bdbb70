#include "samples/walking_figure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "samples/pencil_shapes.h"

namespace quenda::samples {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180;

// Figure units: hip to knee, knee to ankle, shoulder to elbow, elbow to wrist, sole thickness.
constexpr double kThigh = 23, kShin = 22, kUpperArm = 14, kForearm = 13, kSole = 3;
constexpr double kLean = 4 * kDegree;  // the body leans into the walk

struct Stroke {
  std::vector<StrokePoint> points;
  PencilStyle style;
  bool closed = false;
};

// The scan-like pencil's own random source, so that the figure's wobbles stay what they are.
constexpr uint64_t kPencilSeed = 0x3C6EF372FE94F82BULL;

Point Along(Point from, double length, double angleFromDown) {
  return {from.x + length * std::sin(angleFromDown), from.y - length * std::cos(angleFromDown)};
}

Point Turn(Point p, Point pivot, double angle) {
  double c = std::cos(angle), s = std::sin(angle);
  double x = p.x - pivot.x, y = p.y - pivot.y;
  return {pivot.x + c * x - s * y, pivot.y + s * x + c * y};
}

struct LegPose {
  Point knee, ankle;
  double shinAngle;
};

LegPose PoseLeg(Point hip, double phase) {
  double thigh = 28 * kDegree * std::sin(phase);
  double knee = (5 + 40 * std::max(0.0, std::cos(phase))) * kDegree;  // folds on the swing
  LegPose leg;
  leg.knee = Along(hip, kThigh, thigh);
  leg.shinAngle = thigh - knee;
  leg.ankle = Along(leg.knee, kShin, leg.shinAngle);
  return leg;
}

}  // namespace

LineGap CutGap(PencilCanvas& canvas, const StrokePoint& at, int size, bool alongX,
               double lineRadius, GapKind kind) {
  const int reach = int(std::ceil(lineRadius)) + 2;
  LineGap gap;
  gap.size = size;
  gap.alongX = alongX;
  gap.faint = kind == GapKind::Faint;
  if (alongX) {
    gap.x0 = int(std::lround(at.x - (size - 1) / 2.0));
    gap.x1 = gap.x0 + size - 1;
    gap.lineY = int(std::lround(at.y));
    gap.y0 = gap.lineY - reach;
    gap.y1 = gap.lineY + reach;
    gap.lineX = gap.x0 - 1;
  } else {
    gap.y0 = int(std::lround(at.y - (size - 1) / 2.0));
    gap.y1 = gap.y0 + size - 1;
    gap.lineX = int(std::lround(at.x));
    gap.x0 = gap.lineX - reach;
    gap.x1 = gap.lineX + reach;
    gap.lineY = gap.y0 - 1;
  }
  canvas.FadeBox(gap.x0, gap.y0, gap.x1, gap.y1, gap.faint ? kFaintInk : 0);
  return gap;
}

LineWeights LineWeightsFor(double unit) {
  LineWeights w;
  w.thick = {std::max(1.0, 0.14 * unit), 1.0};
  w.normal = {std::max(0.9, 0.10 * unit), 0.95};
  w.thin = {std::max(0.75, 0.065 * unit), 0.9};
  w.faint = {std::max(0.75, 0.08 * unit), 0.3};
  return w;
}

DrawnFigure DrawWalkingFigure(PencilCanvas& canvas, const FigurePlacement& placement,
                              const ScanPencil& pencil) {
  const double u = placement.unit;
  auto P = [&](Point p) { return Point{placement.hipX + p.x * u, placement.groundY + p.y * u}; };
  const LineWeights weights = LineWeightsFor(u);
  SampleRandom random(placement.seed);
  std::vector<Stroke> strokes;
  auto add = [&](const std::vector<Point>& outline, const PencilStyle& style, bool closed) {
    double spacing = std::max(0.75, 0.7 * style.radius);
    Wobble wobble = MakeWobble(random, 0.12 * u);
    strokes.push_back(
        {closed ? ClosedStroke(outline, spacing, wobble) : OpenStroke(outline, spacing, wobble),
         style, closed});
  };
  auto inPixels = [&](std::vector<Point> units) {
    for (Point& p : units) p = P(p);
    return units;
  };
  // The last stroke, as drawn, is a shape of `part`.
  std::vector<PartShape> parts;
  auto shapeOf = [&](FigurePart part) {
    PartShape shape{part, {}};
    for (const StrokePoint& q : strokes.back().points) shape.outline.push_back({q.x, q.y});
    parts.push_back(std::move(shape));
  };

  // Legs first: the hip rides as high as the planted leg reaches.
  const double phase = placement.phase;
  LegPose front = PoseLeg({0, 0}, phase), back = PoseLeg({0, 0}, phase + kPi);
  const double hipHeight = kSole - std::min(front.ankle.y, back.ankle.y);
  const Point hip{0, hipHeight};
  const LegPose& planted = front.ankle.y < back.ankle.y ? front : back;
  for (const double legPhase : {phase + kPi, phase}) {
    LegPose leg = PoseLeg(hip, legPhase);
    add(inPixels(LimbOutline(hip, leg.knee, leg.ankle, 4.2, 2.6)), weights.normal, true);
    shapeOf(FigurePart::Pants);
    double footTilt = 0.5 * leg.shinAngle;
    Point toe = Turn({leg.ankle.x + 3.5, leg.ankle.y - 1.2}, leg.ankle, footTilt);
    add(inPixels(EllipseOutline(toe, 5.5, 2.3, footTilt)), weights.normal, true);
    shapeOf(FigurePart::Shoes);
  }

  // Body: a rounded box leaning forward about the hip.
  const Point bodyCentre{0, hipHeight + 14};
  add(inPixels(RoundedBoxOutline(bodyCentre, 7.5, 15.5, -kLean, hip)), weights.thick, true);
  shapeOf(FigurePart::Shirt);
  const std::size_t bodyStroke = strokes.size() - 1;

  // Arms swing against the legs; the far arm first, then the near one.
  const Point shoulder = Turn({1.0, hipHeight + 26}, hip, -kLean);
  for (const double armPhase : {phase, phase + kPi}) {
    double swing = 24 * kDegree * std::sin(armPhase);
    double elbowBend = (15 + 20 * std::max(0.0, std::sin(armPhase))) * kDegree;
    Point elbow = Along(shoulder, kUpperArm, swing);
    Point wrist = Along(elbow, kForearm, swing + elbowBend);
    add(inPixels(LimbOutline(shoulder, elbow, wrist, 2.8, 2.1)), weights.normal, true);
    shapeOf(FigurePart::Shirt);
    add(inPixels(EllipseOutline(Along(wrist, 1.5, swing + elbowBend), 2.6, 2.6, 0)), weights.normal,
        true);
    shapeOf(FigurePart::Skin);
  }

  // Head, sitting on the body, with its details.
  const Point head = Turn({1.5, hipHeight + 39}, hip, -kLean);
  const double headRx = 8.5, headRy = 10;
  add(inPixels(EllipseOutline(head, headRx, headRy, 0)), weights.thick, true);
  const std::size_t headStroke = strokes.size() - 1;
  shapeOf(FigurePart::Skin);
  add(inPixels(EllipseOutline({head.x + 4.3, head.y - 0.5}, 1.3, 1.3, 0)), weights.thin, true);
  const Point pupil = P({head.x + 4.7, head.y - 0.5});  // a pressed dot
  strokes.push_back({{{pupil.x, pupil.y, 1}}, {std::max(0.9, 0.55 * u), 1.0}});
  add(inPixels(EllipseOutline({head.x - 1.5, head.y - 0.5}, 1.4, 2.0, 0)), weights.thin, true);
  add(inPixels(CurveThrough({head.x + 4.2, head.y - 4.6}, {head.x + 5.6, head.y - 5.4},
                            {head.x + 7.0, head.y - 4.3})),
      weights.thin, false);
  // The hair line runs from one side of the head to the other, a little past the outline so
  // that the hair is a closed shape even where the hand wavers.
  auto onHead = [&](double degrees, double beyond) {
    double a = degrees * kDegree;
    return Point{head.x + (headRx + beyond) * std::cos(a),
                 head.y + (headRy + beyond) * std::sin(a)};
  };
  add(inPixels(CurveThrough(onHead(165, 0.6), {head.x + 0.5, head.y + 2.5}, onHead(20, 0.6))),
      weights.thin, false);
  // The hair: above the hair line, closed over the crown along the head's outline.
  shapeOf(FigurePart::Hair);
  for (int degrees = 20; degrees <= 165; degrees += 5)
    parts.back().outline.push_back(P(onHead(degrees, 0)));

  // Construction lines, lightly sketched before the drawing and never rubbed out.
  add(inPixels(EllipseOutline({head.x + 0.8, head.y - 1.2}, 9.2, 9.6, 0.2)), weights.faint, true);
  const Point plantedAnkle{hip.x + planted.ankle.x, hip.y + planted.ankle.y};
  add(inPixels(CurveThrough({head.x, head.y + 6}, {hip.x + 1.5, hip.y + 10}, plantedAnkle)),
      weights.faint, false);

  DrawnFigure drawn;
  SampleRandom pencilRandom(placement.seed ^ kPencilSeed);
  for (const Stroke& s : strokes)
    DrawScanStroke(canvas, s.points, s.closed, s.style, pencil, pencilRandom, &drawn.pencilGaps);

  // Gaps where the hand eased off: one pixel across the crown, two in the middle of the back.
  std::vector<LineGap>& gaps = drawn.gaps;
  const auto& headPoints = strokes[headStroke].points;
  gaps.push_back(
      CutGap(canvas, headPoints[ExtremePoint(headPoints, [](const StrokePoint& p) { return p.y; })],
             1, true, weights.thick.radius, GapKind::Faint));
  const auto& bodyPoints = strokes[bodyStroke].points;
  const double middle = P(Turn(bodyCentre, hip, -kLean)).y, band = 4 * u;
  gaps.push_back(CutGap(canvas,
                        bodyPoints[ExtremePoint(bodyPoints,
                                                [&](const StrokePoint& p) {
                                                  return std::abs(p.y - middle) < band ? -p.x
                                                                                       : -1e18;
                                                })],
                        2, false, weights.thick.radius, GapKind::Faint));

  // Below the eye and in front of the ear; high in the back, where no arm swings.
  drawn.face = P({head.x + 1.5, head.y - 3});
  drawn.back = P(Turn({-5.5, hipHeight + 22}, hip, -kLean));
  drawn.parts = std::move(parts);
  return drawn;
}

}  // namespace quenda::samples

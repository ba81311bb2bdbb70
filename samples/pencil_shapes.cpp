#include "samples/pencil_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quenda::samples {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kOutlinePoints = 256;  // outlines are resampled by length afterwards
constexpr std::size_t kMaxStrokePoints = 40000;

Point Lerp(Point a, Point b, double t) {
  return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}
double Distance(Point a, Point b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

// Resamples a polyline at even steps of about `spacing` pixels; keeps the end points.
std::vector<Point> Resample(const std::vector<Point>& path, double spacing) {
  double length = 0;
  for (std::size_t i = 1; i < path.size(); ++i) length += Distance(path[i - 1], path[i]);
  std::size_t steps =
      std::clamp<std::size_t>(std::size_t(std::ceil(length / spacing)), 8, kMaxStrokePoints);
  std::vector<Point> out;
  out.reserve(steps + 1);
  double step = length / double(steps), travelled = 0, wanted = 0;
  std::size_t segment = 1;
  for (std::size_t k = 0; k <= steps; ++k, wanted += step) {
    while (segment + 1 < path.size() &&
           travelled + Distance(path[segment - 1], path[segment]) < wanted) {
      travelled += Distance(path[segment - 1], path[segment]);
      ++segment;
    }
    if (path.size() < 2) {
      out.push_back(path.empty() ? Point{} : path[0]);
      continue;
    }
    double piece = Distance(path[segment - 1], path[segment]);
    double t = piece > 0 ? std::clamp((wanted - travelled) / piece, 0.0, 1.0) : 0.0;
    out.push_back(Lerp(path[segment - 1], path[segment], t));
  }
  return out;
}

double Drift(const Wobble& w, double angle, int harmonicA, int harmonicB) {
  return w.amplitude * (0.6 * std::sin(harmonicA * angle + w.phase[0]) +
                        0.4 * std::sin(harmonicB * angle + w.phase[1]));
}

// Straight from `start` towards `joint`, round the joint on a curve that takes the last and
// first third of the two runs (wide enough that a limb's inner edge never folds over), then
// straight on to `end`.
std::vector<Point> JointPath(Point start, Point joint, Point end) {
  constexpr double kRounding = 0.35;
  constexpr int kRun = 32, kCorner = 64;
  Point in = Lerp(joint, start, kRounding), out = Lerp(joint, end, kRounding);
  std::vector<Point> path;
  for (int i = 0; i < kRun; ++i) path.push_back(Lerp(start, in, double(i) / kRun));
  for (int i = 0; i < kCorner; ++i) {
    double t = double(i) / kCorner;
    path.push_back(Lerp(Lerp(in, joint, t), Lerp(joint, out, t), t));
  }
  for (int i = 0; i <= kRun; ++i) path.push_back(Lerp(out, end, double(i) / kRun));
  return path;
}

}  // namespace

Wobble MakeWobble(SampleRandom& random, double amplitude) {
  Wobble w;
  w.amplitude = amplitude;
  for (double& p : w.phase) p = random.Between(0, 2 * kPi);
  return w;
}

std::vector<StrokePoint> ClosedStroke(const std::vector<Point>& outline, double spacing,
                                      const Wobble& wobble) {
  std::vector<Point> ring = outline;
  if (!ring.empty()) ring.push_back(ring.front());
  std::vector<Point> even = Resample(ring, spacing);
  even.pop_back();  // the closing point is added back below, identical to the first
  std::vector<StrokePoint> points;
  points.reserve(even.size() + 1);
  for (std::size_t i = 0; i < even.size(); ++i) {
    double angle = 2 * kPi * double(i) / double(even.size());
    points.push_back({even[i].x + Drift(wobble, angle, 2, 3),
                      even[i].y + Drift(wobble, angle + 1.3, 3, 5),
                      0.9 + 0.1 * std::sin(2 * angle + wobble.phase[2])});
  }
  if (!points.empty()) points.push_back(points.front());
  return points;
}

std::vector<StrokePoint> OpenStroke(const std::vector<Point>& path, double spacing,
                                    const Wobble& wobble) {
  std::vector<Point> even = Resample(path, spacing);
  std::vector<StrokePoint> points;
  points.reserve(even.size());
  for (std::size_t i = 0; i < even.size(); ++i) {
    double t = even.size() > 1 ? double(i) / double(even.size() - 1) : 0.0;
    double taper = std::pow(std::sin(kPi * t), 0.6);
    points.push_back(
        {even[i].x + Drift(wobble, kPi * t, 1, 3), even[i].y + Drift(wobble, kPi * t + 0.7, 2, 3),
         (0.2 + 0.8 * taper) * (0.85 + 0.15 * std::sin(3 * kPi * t + wobble.phase[3]))});
  }
  return points;
}

std::vector<Point> EllipseOutline(Point centre, double rx, double ry, double rotation) {
  std::vector<Point> out;
  const double c = std::cos(rotation), s = std::sin(rotation);
  for (int i = 0; i < kOutlinePoints; ++i) {
    double a = 2 * kPi * i / kOutlinePoints;
    double x = rx * std::cos(a), y = ry * std::sin(a);
    out.push_back({centre.x + c * x - s * y, centre.y + s * x + c * y});
  }
  return out;
}

std::vector<Point> RoundedBoxOutline(Point centre, double halfWidth, double halfHeight,
                                     double rotation, Point pivot) {
  std::vector<Point> out;
  const double c = std::cos(rotation), s = std::sin(rotation);
  for (int i = 0; i < kOutlinePoints; ++i) {
    double a = 2 * kPi * i / kOutlinePoints;
    double ca = std::cos(a), sa = std::sin(a);
    double x = centre.x + halfWidth * std::copysign(std::sqrt(std::abs(ca)), ca) - pivot.x;
    double y = centre.y + halfHeight * std::copysign(std::sqrt(std::abs(sa)), sa) - pivot.y;
    out.push_back({pivot.x + c * x - s * y, pivot.y + s * x + c * y});
  }
  return out;
}

std::vector<Point> CurveThrough(Point start, Point through, Point end) {
  // A quadratic curve whose control point puts `through` at its middle.
  Point control{2 * through.x - (start.x + end.x) / 2, 2 * through.y - (start.y + end.y) / 2};
  std::vector<Point> out;
  for (int i = 0; i <= kOutlinePoints; ++i) {
    double t = double(i) / kOutlinePoints;
    out.push_back(Lerp(Lerp(start, control, t), Lerp(control, end, t), t));
  }
  return out;
}

std::vector<Point> LimbOutline(Point start, Point bend, Point end, double startHalfWidth,
                               double endHalfWidth) {
  std::vector<Point> spine = JointPath(start, bend, end);
  const std::size_t n = spine.size();
  std::vector<Point> left, right;
  std::vector<double> normalAngle(n);
  for (std::size_t i = 0; i < n; ++i) {
    Point a = spine[i == 0 ? 0 : i - 1], b = spine[i + 1 < n ? i + 1 : n - 1];
    normalAngle[i] = std::atan2(b.x - a.x, -(b.y - a.y));  // left of the direction
    double w = startHalfWidth + (endHalfWidth - startHalfWidth) * double(i) / double(n - 1);
    left.push_back(
        {spine[i].x + w * std::cos(normalAngle[i]), spine[i].y + w * std::sin(normalAngle[i])});
    right.push_back(
        {spine[i].x - w * std::cos(normalAngle[i]), spine[i].y - w * std::sin(normalAngle[i])});
  }
  std::vector<Point> out = left;
  constexpr int kCap = 24;
  for (int j = 1; j < kCap; ++j) {  // round the far end, from left to right through the tip
    double a = normalAngle[n - 1] - kPi * j / kCap;
    out.push_back(
        {spine[n - 1].x + endHalfWidth * std::cos(a), spine[n - 1].y + endHalfWidth * std::sin(a)});
  }
  out.insert(out.end(), right.rbegin(), right.rend());
  for (int j = 1; j < kCap; ++j) {  // and the near end, from right back to left
    double a = normalAngle[0] + kPi - kPi * j / kCap;
    out.push_back(
        {spine[0].x + startHalfWidth * std::cos(a), spine[0].y + startHalfWidth * std::sin(a)});
  }
  return out;
}

std::size_t ExtremePoint(const std::vector<StrokePoint>& points,
                         const std::function<double(const StrokePoint&)>& score) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (score(points[i]) > score(points[best])) best = i;
  return best;
}

}  // namespace quenda::samples

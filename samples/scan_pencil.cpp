#include "samples/scan_pencil.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quenda::samples {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kShortOutline = 80;  // at 300 dpi: an outline this short is one stroke
constexpr double kDoubledPressure = 0.85;
// An open line's points ramp their pressure up from a fifth over much of its length, which on
// a scan would leave a pale run far longer than a stroke's taper; drawn the scanned way, an
// open line is pressed at least this firmly and its ends taper as every stroke's do.
constexpr double kOpenLinePressure = 0.8;
constexpr double kShortestDash = 3;  // pixels of ink a line between two others keeps if it can

double Scaled(const ScanPencil& pencil, double length) {
  return length * double(pencil.dpi) / 300.0;
}

std::vector<double> ArcLengths(std::span<const StrokePoint> points) {
  std::vector<double> s(points.size(), 0.0);
  for (std::size_t i = 1; i < points.size(); ++i)
    s[i] = s[i - 1] + std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
  return s;
}

// The point at arc length t (within 0 .. the length), its place and pressure interpolated.
StrokePoint PointAt(std::span<const StrokePoint> points, const std::vector<double>& s, double t) {
  const auto it = std::upper_bound(s.begin(), s.end(), t);
  if (it == s.begin()) return points.front();
  if (it == s.end()) return points.back();
  const std::size_t i = std::size_t(it - s.begin());
  const double piece = s[i] - s[i - 1];
  const double f = piece > 0 ? (t - s[i - 1]) / piece : 0.0;
  const StrokePoint& a = points[i - 1];
  const StrokePoint& b = points[i];
  return {a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), a.pressure + f * (b.pressure - a.pressure),
          1};
}

// The run of the polyline from arc length a to b (0 <= a < b <= the length).
void AppendRun(std::span<const StrokePoint> points, const std::vector<double>& s, double a,
               double b, std::vector<StrokePoint>& out) {
  out.push_back(PointAt(points, s, a));
  for (std::size_t i = 0; i < points.size(); ++i)
    if (s[i] > a && s[i] < b) out.push_back(points[i]);
  out.push_back(PointAt(points, s, b));
}

// Tapers both ends of a stroke and lets its pressure wander along it.
void Shade(std::vector<StrokePoint>& stroke, const ScanPencil& pencil, SampleRandom& random) {
  const std::vector<double> s = ArcLengths(stroke);
  const double length = s.empty() ? 0.0 : s.back();
  const double taper = std::min(Scaled(pencil, pencil.taperLength), length / 3);
  const double wave = Scaled(pencil, random.Between(60, 160));
  const double phase = random.Between(0, 2 * kPi);
  for (std::size_t i = 0; i < stroke.size(); ++i) {
    const double fromEnd = std::min(s[i], length - s[i]);
    const double f = taper > 0 ? std::clamp(fromEnd / taper, 0.0, 1.0) : 1.0;
    const double ease = f * f * (3 - 2 * f);
    stroke[i].width = pencil.taperWidth + (1 - pencil.taperWidth) * ease;
    const double wander = 0.5 + 0.5 * std::sin(2 * kPi * s[i] / wave + phase);
    stroke[i].pressure *= (1 - pencil.pressureSwing * wander) * (0.55 + 0.45 * ease);
  }
}

// Goes over the middle of a stroke again, a little to one side.
void DrawDoubled(PencilCanvas& canvas, const std::vector<StrokePoint>& stroke,
                 const PencilStyle& style, const ScanPencil& pencil, SampleRandom& random) {
  if (stroke.size() < 4) return;
  const std::vector<double> s = ArcLengths(stroke);
  const double length = s.back();
  const double from = random.Between(0.1, 0.35) * length, to = random.Between(0.65, 0.9) * length;
  const double side = (random.Unit() < 0.5 ? -1 : 1) * random.Between(0.8, 1.6) * style.radius;
  std::vector<StrokePoint> again;
  AppendRun(stroke, s, from, to, again);
  std::vector<StrokePoint> moved = again;
  for (std::size_t i = 0; i < again.size(); ++i) {
    const StrokePoint& a = again[i == 0 ? 0 : i - 1];
    const StrokePoint& b = again[i + 1 < again.size() ? i + 1 : i];
    const double dx = b.x - a.x, dy = b.y - a.y, d = std::hypot(dx, dy);
    if (d > 0) moved[i].x += side * -dy / d, moved[i].y += side * dx / d;
    moved[i].pressure = again[i].pressure * kDoubledPressure;
    moved[i].width = 1;
  }
  Shade(moved, pencil, random);
  canvas.DrawStroke(moved, style);
}

void PressFirmly(std::vector<StrokePoint>& stroke) {
  for (StrokePoint& p : stroke) p.pressure = std::max(p.pressure, kOpenLinePressure);
}

void DrawShaded(PencilCanvas& canvas, std::vector<StrokePoint> stroke, const PencilStyle& style,
                const ScanPencil& pencil, SampleRandom& random) {
  Shade(stroke, pencil, random);
  canvas.DrawStroke(stroke, style);
  if (random.Unit() < pencil.doubledShare) DrawDoubled(canvas, stroke, style, pencil, random);
}

// Pixels of bare paper for one gap, scaled to the drawing.
double BareGap(const ScanPencil& pencil, SampleRandom& random) {
  const int pixels = pencil.minGap + int(random.Unit() * (pencil.maxGap - pencil.minGap + 1));
  return std::max(1.0, Scaled(pencil, std::min(pixels, pencil.maxGap)));
}

}  // namespace

ScanPencil ScanPencilAt(int dpi) {
  ScanPencil pencil;
  pencil.enabled = true;
  pencil.dpi = std::max(dpi, 1);
  return pencil;
}

void DrawScanStroke(PencilCanvas& canvas, std::span<const StrokePoint> points, bool closed,
                    const PencilStyle& style, const ScanPencil& pencil, SampleRandom& random,
                    std::vector<PencilGap>* gaps) {
  if (!pencil.enabled || points.size() < 3) {
    canvas.DrawStroke(points, style);
    return;
  }
  if (!closed) {
    std::vector<StrokePoint> line(points.begin(), points.end());
    PressFirmly(line);
    DrawShaded(canvas, std::move(line), style, pencil, random);
    return;
  }
  const std::vector<double> s = ArcLengths(points);
  const double length = s.back();
  const int most = std::max(pencil.maxStrokesPerOutline, 1);
  const int strokes =
      length < Scaled(pencil, kShortOutline) ? 1 : std::min(most, 1 + int(random.Unit() * most));
  // Where the strokes break, along the loop from a random start, and how far apart their ends
  // stop: the bare paper plus the inked reach of each tapered end.
  const double start = random.Unit() * length;
  std::vector<double> breaks, halfGaps, bare;
  for (int j = 0; j < strokes; ++j) {
    const double jitter = strokes > 1 ? random.Between(-0.15, 0.15) : 0.0;
    breaks.push_back(start + (j + jitter) * length / strokes);
    bare.push_back(BareGap(pencil, random));
    const double endRadius = style.radius * pencil.taperWidth;
    halfGaps.push_back(bare.back() / 2 + endRadius + 0.5);
  }
  auto wrapped = [&](double t) { return std::fmod(std::fmod(t, length) + length, length); };
  for (int j = 0; j < strokes; ++j) {
    const int next = (j + 1) % strokes;
    const double from = breaks[std::size_t(j)] + halfGaps[std::size_t(j)];
    const double to =
        breaks[std::size_t(next)] + (next == 0 ? length : 0.0) - halfGaps[std::size_t(next)];
    if (to - from < 2) continue;
    std::vector<StrokePoint> run;
    const double a = wrapped(from), b = a + (to - from);
    if (b <= length) {
      AppendRun(points, s, a, b, run);
    } else {
      AppendRun(points, s, a, length, run);
      AppendRun(points, s, 0, b - length, run);
    }
    if (gaps) {
      const StrokePoint end = PointAt(points, s, wrapped(to));
      const StrokePoint after =
          PointAt(points, s, wrapped(breaks[std::size_t(next)] + halfGaps[std::size_t(next)]));
      gaps->push_back({{end.x, end.y}, {after.x, after.y}, bare[std::size_t(next)]});
    }
    DrawShaded(canvas, std::move(run), style, pencil, random);
  }
}

void DrawScanLine(PencilCanvas& canvas, std::span<const StrokePoint> points, double meetsStart,
                  double meetsEnd, const PencilStyle& style, const ScanPencil& pencil,
                  SampleRandom& random, std::vector<PencilGap>* gaps) {
  if (!pencil.enabled || points.size() < 3) {
    canvas.DrawStroke(points, style);
    return;
  }
  const std::vector<double> s = ArcLengths(points);
  const double length = s.back();
  const double endRadius = style.radius * pencil.taperWidth;
  // How far back from the end point the inked end stops, and the bare paper that leaves.
  auto shortBy = [&](double meets, double& bare) {
    if (meets <= 0) return 0.0;
    bare = BareGap(pencil, random);
    return meets + bare + endRadius + 0.5;
  };
  double bareStart = 0, bareEnd = 0;
  double from = shortBy(meetsStart, bareStart);
  double to = length - shortBy(meetsEnd, bareEnd);
  // A short run between two lines in front of it (a jaw line between teeth) is no flick that
  // tapers out: the hand puts down a short dash there. Its bare gaps shrink, to a pixel at the
  // least, before the dash would vanish and leave the lines' whole space open.
  if (to - from < kShortestDash && meetsStart > 0 && meetsEnd > 0) {
    const double least = std::max(1.0, Scaled(pencil, pencil.minGap));
    const double spare = bareStart + bareEnd - 2 * least;
    const double shrink = std::min(spare, kShortestDash - (to - from));
    if (spare > 0 && shrink > 0) {
      const double f = shrink / spare;
      from -= f * (bareStart - least), bareStart -= f * (bareStart - least);
      to += f * (bareEnd - least), bareEnd -= f * (bareEnd - least);
    }
  }
  if (to - from < 2) return;
  std::vector<StrokePoint> run;
  AppendRun(points, s, from, to, run);
  if (gaps) {
    const StrokePoint& first = points.front();
    const StrokePoint& last = points.back();
    if (meetsStart > 0)
      gaps->push_back({{run.front().x, run.front().y}, {first.x, first.y}, bareStart});
    if (meetsEnd > 0) gaps->push_back({{run.back().x, run.back().y}, {last.x, last.y}, bareEnd});
  }
  PressFirmly(run);
  DrawShaded(canvas, std::move(run), style, pencil, random);
}

}  // namespace quenda::samples

#include "samples/pencil_canvas.h"

#include <algorithm>
#include <cmath>

namespace quenda::samples {
namespace {

constexpr double kPaperMean = 242.5;  // paper lies in 235..250
constexpr double kPaperBlotch = 4.0;  // slow variation of the sheet
constexpr double kPaperGrain = 3.5;   // pixel-to-pixel tooth
constexpr double kGraphite = 30.0;    // grey of graphite pressed fully into the paper
constexpr double kToothBite = 0.3;    // how much the tooth breaks up a line (evenly)
// With the grain at pale ink: the bite is this times how far the ink falls short of full, so
// a firm core keeps nearly all its graphite and a faint edge or taper loses up to half.
constexpr double kPaleInkBite = 0.6;

uint32_t Mix(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  h ^= h >> 16;
  return h;
}

}  // namespace

uint64_t SampleRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double PixelNoise(int x, int y, uint32_t seed) {
  uint32_t h = Mix(uint32_t(x) * 0x9E3779B1U ^ Mix(uint32_t(y) * 0x85EBCA77U ^ seed));
  return double(h >> 8) * (1.0 / 16777216.0);
}

PencilCanvas::PencilCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      ink_(std::size_t(width_) * std::size_t(height_), 0) {}

void PencilCanvas::DrawStroke(std::span<const StrokePoint> points, const PencilStyle& style) {
  if (points.size() == 1) DrawSegment(points[0], points[0], style);
  for (std::size_t i = 1; i < points.size(); ++i) DrawSegment(points[i - 1], points[i], style);
}

// A capsule whose radius and darkness run linearly from a to b. Coverage is the part of a
// one-pixel box inside the capsule, approximated by distance, which anti-aliases the edges.
// Ink keeps the darkest of overlapping strokes, so joints and crossings do not pile up.
void PencilCanvas::DrawSegment(const StrokePoint& a, const StrokePoint& b,
                               const PencilStyle& style) {
  auto radiusAt = [&](double p) { return style.radius * (0.7 + 0.3 * std::clamp(p, 0.0, 1.0)); };
  auto darkAt = [&](double p) { return style.darkness * (0.55 + 0.45 * std::clamp(p, 0.0, 1.0)); };
  const double ra = radiusAt(a.pressure) * a.width, rb = radiusAt(b.pressure) * b.width;
  const double da = darkAt(a.pressure), db = darkAt(b.pressure);
  const double reach = std::max(ra, rb) + 1.0;
  const int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - reach)));
  const int x1 = std::min(width_ - 1, int(std::ceil(std::max(a.x, b.x) + reach)));
  const int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - reach)));
  const int y1 = std::min(height_ - 1, int(std::ceil(std::max(a.y, b.y) + reach)));
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double lengthSquared = dx * dx + dy * dy;
  for (int y = y0; y <= y1; ++y) {
    uint8_t* row = ink_.data() + std::size_t(y) * width_;
    for (int x = x0; x <= x1; ++x) {
      double px = x - a.x, py = y - a.y;
      double t = lengthSquared > 0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0) : 0;
      double ex = px - t * dx, ey = py - t * dy;
      double distance = std::sqrt(ex * ex + ey * ey);
      double coverage = std::clamp(ra + t * (rb - ra) + 0.5 - distance, 0.0, 1.0);
      if (coverage <= 0) continue;
      auto ink = uint8_t(std::lround(255.0 * coverage * (da + t * (db - da))));
      row[x] = std::max(row[x], ink);
    }
  }
}

void PencilCanvas::FadeBox(int x0, int y0, int x1, int y1, uint8_t maxInk) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_ - 1);
  y1 = std::min(y1, height_ - 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      uint8_t& ink = ink_[std::size_t(y) * width_ + x];
      ink = std::min(ink, maxInk);
    }
}

std::vector<uint8_t> PencilCanvas::Compose(uint32_t paperSeed, ToothGrain grain) const {
  std::vector<uint8_t> grey(ink_.size());
  if (grey.empty()) return grey;
  // Blotches: value noise on a coarse grid, interpolated along each row.
  const int cell = std::max(16, std::min(width_, height_) / 10);
  const int gridW = width_ / cell + 2, gridH = height_ / cell + 2;
  std::vector<double> grid(std::size_t(gridW) * gridH);
  SampleRandom random(paperSeed * 0x2545F4914F6CDD1DULL + 1);
  for (double& v : grid) v = random.Between(-1.0, 1.0);
  const uint32_t grainSeed = Mix(paperSeed ^ 0xA5A5A5A5U);
  for (int y = 0; y < height_; ++y) {
    const int gy = y / cell;
    const double fy = double(y % cell) / cell;
    const double* g0 = grid.data() + std::size_t(gy) * gridW;
    const double* g1 = g0 + gridW;
    const uint8_t* inkRow = ink_.data() + std::size_t(y) * width_;
    uint8_t* out = grey.data() + std::size_t(y) * width_;
    for (int x = 0; x < width_; ++x) {
      const int gx = x / cell;
      const double fx = double(x % cell) / cell;
      double top = g1[gx] + fx * (g1[gx + 1] - g1[gx]);
      double bottom = g0[gx] + fx * (g0[gx + 1] - g0[gx]);
      double blotch = bottom + fy * (top - bottom);
      double tooth = PixelNoise(x, y, grainSeed);
      double paper = kPaperMean + kPaperBlotch * blotch + kPaperGrain * (2 * tooth - 1);
      paper = std::clamp(paper, 235.0, 250.0);
      double ink = inkRow[x] / 255.0;
      if (grain == ToothGrain::Even)
        ink *= 1.0 - kToothBite + kToothBite * tooth;
      else
        ink *= 1.0 - kPaleInkBite * (1.0 - ink) * (1.0 - tooth);
      out[x] = uint8_t(std::lround(paper - ink * (paper - kGraphite)));
    }
  }
  return grey;
}

}  // namespace quenda::samples

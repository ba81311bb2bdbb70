#include "samples/figure_kinds/figure_sketch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenda::samples {
namespace {

constexpr int kUncovered = -1;
// The scan-like pencil's own random source, so that the figure's wobbles stay what they are.
constexpr uint64_t kPencilSeed = 0x9E3779B97F4A7C15ULL;

// For every pixel, the index of the last hiding item whose outline holds its centre.
std::vector<int> CoverMap(const std::vector<PartShape>& outlines, const std::vector<int>& index,
                          int width, int height) {
  std::vector<int> cover(std::size_t(width) * std::size_t(height), kUncovered);
  for (std::size_t s = 0; s < outlines.size(); ++s) {
    ForEachOutlineSpan(outlines[s].outline, width, height, [&](int y, int x0, int x1) {
      int* row = cover.data() + std::size_t(y) * std::size_t(width);
      std::fill(row + x0, row + x1 + 1, index[s]);
    });
  }
  return cover;
}

}  // namespace

Point TurnAbout(Point p, Point pivot, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double x = p.x - pivot.x, y = p.y - pivot.y;
  return {pivot.x + c * x - s * y, pivot.y + s * x + c * y};
}

Point AlongFromDown(Point from, double length, double angle) {
  return {from.x + length * std::sin(angle), from.y - length * std::cos(angle)};
}

FigureSketch::FigureSketch(uint64_t seed, double unit)
    : seed_(seed), random_(seed), unit_(unit), weights_(LineWeightsFor(unit)) {}

void FigureSketch::Shape(FigurePart part, const std::vector<Point>& outline,
                         const PencilStyle& style) {
  const Wobble wobble = MakeWobble(random_, 0.12 * unit_);
  Item item;
  item.points = ClosedStroke(outline, std::max(0.75, 0.7 * style.radius), wobble);
  item.style = style;
  item.hides = true;
  item.truth.part = part;
  for (const StrokePoint& q : item.points) item.truth.outline.push_back({q.x, q.y});
  items_.push_back(std::move(item));
}

void FigureSketch::Line(const std::vector<Point>& path, const PencilStyle& style) {
  const Wobble wobble = MakeWobble(random_, 0.08 * unit_);
  Item item;
  item.points = OpenStroke(path, std::max(0.75, 0.7 * style.radius), wobble);
  item.style = style;
  items_.push_back(std::move(item));
}

void FigureSketch::Area(FigurePart part, const std::vector<Point>& outline) {
  Item item;
  item.truth = {part, outline};
  items_.push_back(std::move(item));
}

std::vector<PartShape> FigureSketch::Draw(PencilCanvas& canvas, const ScanPencil& pencil,
                                          std::vector<PencilGap>* gaps) const {
  const int width = canvas.width(), height = canvas.height();
  std::vector<PartShape> hiding;
  std::vector<int> hidingIndex;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].hides) hiding.push_back(items_[i].truth), hidingIndex.push_back(int(i));
  const std::vector<int> cover = CoverMap(hiding, hidingIndex, width, height);
  // The item in front of `p` that hides it from `item`, or kUncovered.
  auto hider = [&](const StrokePoint& p, int item) {
    const auto x = int(std::lround(p.x)), y = int(std::lround(p.y));
    if (x < 0 || y < 0 || x >= width || y >= height) return kUncovered;
    const int front = cover[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    return front > item ? front : kUncovered;
  };
  auto hidden = [&](const StrokePoint& p, int item) { return hider(p, item) != kUncovered; };

  SampleRandom pencilRandom(seed_ ^ kPencilSeed);
  std::vector<StrokePoint> loop, piece;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    std::span<const StrokePoint> points = item.points;
    if (pencil.enabled && !points.empty()) {
      const auto first = std::find_if(points.begin(), points.end(),
                                      [&](const StrokePoint& p) { return hidden(p, int(i)); });
      if (first == points.end()) {
        DrawScanStroke(canvas, points, item.hides, item.style, pencil, pencilRandom, gaps);
        continue;
      }
      // A loop seen in part starts where it is hidden, so that no seen run wraps round its
      // start and every run's ends are where it goes behind the shape in front.
      if (item.hides && points.size() > 1) {
        loop.assign(first, points.end() - 1);
        loop.insert(loop.end(), points.begin(), first + 1);
        points = loop;
      }
    }
    // Half the width of the outline in front of a run's end, where it goes behind one.
    auto meets = [&](std::size_t k) {
      const int front = hider(points[k], int(i));
      return front == kUncovered ? 0.0 : items_[std::size_t(front)].style.radius;
    };
    auto draw = [&](std::size_t from, std::size_t to) {
      if (!pencil.enabled) {
        canvas.DrawStroke(piece, item.style);
        return;
      }
      DrawScanLine(canvas, piece, meets(from), meets(to), item.style, pencil, pencilRandom, gaps);
    };
    // Runs of seen points, each reaching one point into what hides it at either end, so that
    // the line meets the outline in front of it instead of stopping short.
    piece.clear();
    std::size_t start = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
      if (!hidden(points[k], int(i))) {
        if (piece.empty()) {
          start = k;
          if (k > 0) piece.push_back(points[k - 1]), start = k - 1;
        }
        piece.push_back(points[k]);
        continue;
      }
      if (!piece.empty()) {
        piece.push_back(points[k]);
        draw(start, k);
        piece.clear();
      }
    }
    if (!piece.empty()) draw(start, points.size() - 1);
  }

  std::vector<PartShape> truth;
  for (const Item& item : items_)
    if (item.truth.part != FigurePart::Paper) truth.push_back(item.truth);
  return truth;
}

}  // namespace quenda::samples

#include "autopaint/pair_costs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "autopaint/assignment.h"

namespace quenda {
namespace {

constexpr double kPositionWeight = 1.0;
constexpr double kAreaWeight = 1.5;
constexpr double kShapeWeight = 0.75;
constexpr double kNeighbourWeight = 1.0;
// Pairs further apart than this (in position cost) or differing more in area are no candidates.
constexpr double kMaxPosition = 4.0;
constexpr double kMaxAreaRatio = 4.0;
// Regions alike within these ratios of area and of each axis of spread look alike.
constexpr double kLookAlikeArea = 1.2, kLookAlikeAxis = 1.15;
// Pairs differing more in area than this are no guide to a motion.
constexpr double kMotionAreaRatio = 1.5;

// The part of r's border whose regions are matched to regions that are not s's neighbours.
double NeighbourDisagreement(const ShapeTables& tables, int r, int s,
                             const std::vector<int>& match) {
  double agree = 0, total = 0;
  for (const auto& [n, border] : tables.tBorders.Neighbours(r)) {
    const int m = match[std::size_t(n)];
    if (m == 0) continue;
    total += double(border);
    if (m == s || AreNeighbours(tables.sBorders, s, m)) agree += double(border);
  }
  return total > 0 ? 1 - agree / total : 0.5;
}

}  // namespace

ShapeTables::ShapeTables(const MatchTarget& target, const RegionMapView& source, PegOffset shift)
    : t(target.Shapes()),
      s(MeasureRegionShapes(source)),
      tBorders(target.Borders()),
      sBorders(source) {
  for (RegionShape& shape : s) shape.cx += shift.x, shape.cy += shift.y;
  scale = 0.02 * std::sqrt(double(target.View().width) * double(target.View().height));
}

bool AreNeighbours(const RegionBorders& borders, int a, int b) {
  const auto& list = borders.Neighbours(a);
  auto it = std::lower_bound(list.begin(), list.end(), std::pair<int, int64_t>{b, 0},
                             [](const auto& l, const auto& r) { return l.first < r.first; });
  return it != list.end() && it->first == b;
}

double PairCost(const ShapeTables& tables, int r, int s, Vec motion,
                const std::vector<int>* match) {
  const RegionShape& a = tables.t[std::size_t(r)];
  const RegionShape& b = tables.s[std::size_t(s)];
  const double ratio = double(a.area) / double(b.area);
  if (ratio > kMaxAreaRatio || ratio * kMaxAreaRatio < 1) return kNoPair;
  const double dx = a.cx + motion.x - b.cx, dy = a.cy + motion.y - b.cy;
  const double reach =
      tables.scale + 0.25 * (std::sqrt(double(a.area)) + std::sqrt(double(b.area)));
  const double position = std::sqrt(dx * dx + dy * dy) / reach;
  if (position > kMaxPosition) return kNoPair;
  const double shape = std::abs(std::log((a.MajorAxis() + 1) / (b.MajorAxis() + 1))) +
                       std::abs(std::log((a.MinorAxis() + 1) / (b.MinorAxis() + 1)));
  double cost =
      kPositionWeight * position + kAreaWeight * std::abs(std::log(ratio)) + kShapeWeight * shape;
  if (match) cost += kNeighbourWeight * NeighbourDisagreement(tables, r, s, *match);
  return cost;
}

bool LookAlike(const ShapeTables& tables, int r, int s) {
  const RegionShape& a = tables.t[std::size_t(r)];
  const RegionShape& b = tables.s[std::size_t(s)];
  auto near = [](double x, double y, double limit) { return x < y * limit && y < x * limit; };
  return near(double(a.area), double(b.area), kLookAlikeArea) &&
         near(a.MajorAxis() + 1, b.MajorAxis() + 1, kLookAlikeAxis) &&
         near(a.MinorAxis() + 1, b.MinorAxis() + 1, kLookAlikeAxis);
}

bool AlikeInArea(const ShapeTables& tables, int r, int s) {
  const double ratio =
      double(tables.t[std::size_t(r)].area) / double(tables.s[std::size_t(s)].area);
  return ratio < kMotionAreaRatio && ratio * kMotionAreaRatio > 1;
}

std::vector<char> PairedWithLookAlikes(const ShapeTables& tables, const std::vector<int>& match) {
  std::vector<char> whole(tables.s.size(), 0);
  for (std::size_t r = 2; r < match.size() && r < tables.t.size(); ++r)
    if (const int s = match[r];
        s > 1 && std::size_t(s) < whole.size() && LookAlike(tables, int(r), s))
      whole[std::size_t(s)] = 1;
  return whole;
}

}  // namespace quenda

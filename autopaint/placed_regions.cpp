#include "autopaint/placed_regions.h"

#include <algorithm>

#include "common/color_set.h"

namespace quenda {
namespace {

// What a pair costs more whose source region a placed region does not lie on at all; one that
// lies wholly on it, or holds it wholly, costs nothing more. On bench_autopaint, 3 and 6 paint
// no better than 1.5, and at twice the pace a little worse.
constexpr double kAwayCost = 1.5;
// A region is placed where its figure's motion lays at least this share of its outline on the
// source's lines: less, and it turned away from its figure (an arm swinging) or was hidden.
// 0.5 paints the crossing figures a little better, but the sample walk worse.
constexpr double kPlacedLanding = 0.6;

}  // namespace

PlacedRegions::PlacedRegions(const ShapeTables& tables, const std::vector<int32_t>* sourceColors)
    : tables_(tables), sourceColors_(sourceColors), placed_(tables.t.size()) {}

void PlacedRegions::PlaceAt(RegionOverlap& at, int r, int x, int y, const LineDistance& lines,
                            int tolerance, int reach) {
  if (at.Rim(r).empty()) return;
  const FittedLanding fitted = at.LandFitted(r, x, y, &lines, tolerance, reach, true);
  if (fitted.landed >= kPlacedLanding)
    placed_[std::size_t(r)] = {at.LastCounts(), at.PixelCount(r)};
}

double PlacedRegions::Cost(int r, int s) const {
  const Placement& p = placed_[std::size_t(r)];
  if (p.total <= 0) return 0;
  const auto at = std::lower_bound(p.over.begin(), p.over.end(), std::pair<int, int64_t>{s, 0});
  const int64_t onIt = at != p.over.end() && at->first == s ? at->second : 0;
  const double held = double(std::min<int64_t>(p.total, tables_.s[std::size_t(s)].area));
  double cover = held > 0 ? double(onIt) / held : 0;
  if (sourceColors_ && std::size_t(s) < sourceColors_->size() &&
      (*sourceColors_)[std::size_t(s)] != kUnfilledColor) {
    const int32_t colour = (*sourceColors_)[std::size_t(s)];
    int64_t onColour = 0;
    for (const auto& [q, count] : p.over)
      if (std::size_t(q) < sourceColors_->size() && (*sourceColors_)[std::size_t(q)] == colour)
        onColour += count;
    cover = std::max(cover, double(onColour) / double(p.total));
  }
  return kAwayCost * (1 - std::min(cover, 1.0));
}

}  // namespace quenda

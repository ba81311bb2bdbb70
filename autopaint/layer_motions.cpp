#include "autopaint/layer_motions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

#include "autopaint/line_motion.h"
#include "autopaint/outline_fit.h"
#include "common/region_data.h"
#include "common/stripes.h"

namespace quenda {
namespace {

// At most this many motions: a figure in front, one behind, and one limb of either.
constexpr int kMaxLayers = 3;
// A further motion is searched only where the lines left over are at least this share of the
// target's: fewer are a hand or a foot, which its region's own match follows.
constexpr double kLeftOverShare = 0.15;
// And taken only where it lays at least this share of the lines left over on the source's
// lines, and lies this many tolerances from every motion before it.
constexpr double kExplainedShare = 0.3;
constexpr int kApartTolerances = 3;
// An outline takes a later motion only where that lands better by this share of it, and lands
// at least this share: a limb that turned lands on no motion's lines, and takes the first.
constexpr double kBetterLanding = 0.1;
constexpr double kLayerLanding = 0.5;

double Landed(const std::vector<std::pair<int, int>>& outline, Vec m,
              const LineDistance& sourceLines, PegOffset shift, int tolerance) {
  return OutlineLanded(outline, sourceLines, int(std::lround(m.x)) - shift.x,
                       int(std::lround(m.y)) - shift.y, tolerance);
}

}  // namespace

std::vector<Vec> EstimateLayerMotions(const RegionMapView& target, const RegionMapView& source,
                                      PegOffset shift, const LineDistance& sourceLines,
                                      int tolerance, Vec first) {
  std::vector<Vec> motions{first};
  if (!target.flags || !source.flags) return motions;
  const std::size_t width = std::size_t(target.width);
  const std::size_t size = width * std::size_t(target.height);
  // Each pass goes over the picture in bands of rows on the inner threads, every band counting
  // for itself; the counts are whole numbers, so their sum is the same however they were cut.
  const Stripes bands(0, target.height, InnerThreads());
  auto sum = [&](const std::function<int64_t(int y0, int y1)>& count) {
    std::vector<int64_t> counts(std::size_t(bands.count()), 0);
    bands.Run([&](int k, int y0, int y1) { counts[std::size_t(k)] = count(y0, y1); });
    int64_t total = 0;
    for (int64_t c : counts) total += c;
    return total;
  };
  // Every byte is copied by its band, so none is filled first.
  const std::unique_ptr<uint8_t[]> left = std::make_unique_for_overwrite<uint8_t[]>(size);
  const int64_t lines = sum([&](int y0, int y1) {
    const std::size_t from = std::size_t(y0) * width, to = std::size_t(y1) * width;
    std::copy(target.flags + from, target.flags + to, left.get() + from);
    int64_t found = 0;
    for (std::size_t i = from; i < to; ++i) found += (left[i] & kFlagRegionLine) != 0;
    return found;
  });
  const int near = 3 * tolerance;
  while (int(motions.size()) < kMaxLayers && lines > 0) {
    // The lines the motions so far lay on the source's lines are explained.
    const Vec m = motions.back();
    const int mx = int(std::lround(m.x)) - shift.x, my = int(std::lround(m.y)) - shift.y;
    const int64_t remaining = sum([&](int y0, int y1) {
      int64_t unexplained = 0;
      for (int y = y0; y < y1; ++y) {
        uint8_t* row = &left[std::size_t(y) * width];
        for (int x = 0; x < target.width; ++x) {
          if (!(row[x] & kFlagRegionLine)) continue;
          if (sourceLines.At(x + mx, y + my) <= near)
            row[x] = uint8_t(row[x] & ~kFlagRegionLine);
          else
            ++unexplained;
        }
      }
      return unexplained;
    });
    if (double(remaining) < kLeftOverShare * double(lines)) break;
    const RegionMapView rest{target.map, target.width, target.height, target.regionCount,
                             left.get()};
    const LineMotion found = EstimateLineMotion(rest, source, shift);
    const Vec next{double(found.x), double(found.y)};
    bool apart = true;
    for (const Vec& before : motions)
      apart = apart && std::hypot(next.x - before.x, next.y - before.y) >
                           double(kApartTolerances * tolerance);
    if (!apart) break;
    // How much of what is left lands on the source's lines there.
    const int nx = found.x - shift.x, ny = found.y - shift.y;
    const int64_t explained = sum([&](int y0, int y1) {
      int64_t landed = 0;
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = &left[std::size_t(y) * width];
        for (int x = 0; x < target.width; ++x)
          landed += (row[x] & kFlagRegionLine) && sourceLines.At(x + nx, y + ny) <= near;
      }
      return landed;
    });
    if (double(explained) < kExplainedShare * double(remaining)) break;
    motions.push_back(next);
  }
  return motions;
}

Vec LayerOf(const std::vector<std::pair<int, int>>& outline, const std::vector<Vec>& motions,
            const LineDistance& sourceLines, PegOffset shift, int tolerance) {
  Vec best = motions.front();
  if (outline.empty() || motions.size() < 2) return best;
  double bestLanded = Landed(outline, best, sourceLines, shift, tolerance);
  for (std::size_t k = 1; k < motions.size(); ++k) {
    const double landed = Landed(outline, motions[k], sourceLines, shift, tolerance);
    if (landed > bestLanded + kBetterLanding && landed >= kLayerLanding)
      best = motions[k], bestLanded = landed;
  }
  return best;
}

}  // namespace quenda

#include "autopaint/region_overlap.h"

#include <algorithm>

#include "autopaint/outline_fit.h"
#include "common/color_set.h"
#include "common/region_data.h"

namespace quenda {

RegionOverlap::RegionOverlap(RegionPixels& pixels, const RegionMapView& source,
                             std::size_t sourceRegions, const std::vector<int32_t>* sourceColors)
    : pixels_(pixels), source_(source), sourceColors_(sourceColors), voteOf_(sourceRegions, 0) {}

RegionOverlap::RegionOverlap(const RegionOverlap& other)
    : pixels_(other.pixels_),
      source_(other.source_),
      sourceColors_(other.sourceColors_),
      voteOf_(other.voteOf_.size(), 0) {}

void RegionOverlap::ClearVotes() {
  for (int s : touched_) voteOf_[std::size_t(s)] = 0;
  touched_.clear();
}

Landing RegionOverlap::Land(int r, int mx, int my, bool offPaper) {
  const RegionPixels::Of& pixels = pixels_.Pixels(r);
  const int sw = source_.width, sh = source_.height;
  Landing landing;
  landing.total = pixels.count;
  ClearVotes();
  for (const RegionPixels::Run& run : pixels.runs) {
    const int sy = run.y + my;
    if (sy < 0 || sy >= sh) continue;
    const int from = std::max(run.x0 + mx, 0), to = std::min(run.x1 + mx, sw - 1);
    const std::size_t row = std::size_t(sy) * std::size_t(sw);
    for (int sx = from; sx <= to; ++sx) {
      const std::size_t j = row + std::size_t(sx);
      if (source_.flags && (source_.flags[j] & kFlagRegionLine)) continue;
      const int s = source_.map[j];
      if (std::size_t(s) >= voteOf_.size()) continue;  // beyond the region table: damaged
      if (voteOf_[std::size_t(s)]++ == 0) touched_.push_back(s);
    }
  }
  landing.outlineTotal = int64_t(pixels.outline.size());
  if (source_.flags)
    for (const auto& [x, y] : pixels.outline)
      if (NearLine(source_, x + mx, y + my)) ++landing.outlineOnLine;
  if (offPaper) voteOf_[kBackgroundRegion] = 0;
  if (sourceColors_) {
    std::tie(landing.region, landing.count) = ByColour();
    return landing;
  }
  for (int s : touched_) {
    const int64_t count = voteOf_[std::size_t(s)];
    if (count > landing.count || (count == landing.count && s < landing.region))
      landing.region = s, landing.count = count;
  }
  return landing;
}

std::pair<double, int> RegionOverlap::InPiece(int r, const PaintedPieces& pieces, int p) {
  const PaintedPiece& piece = pieces.Pieces()[std::size_t(p)];
  const RegionPixels::Of& pixels = pixels_.Pixels(r);
  ClearVotes();
  int64_t inside = 0;
  for (const RegionPixels::Run& run : pixels.runs) {
    const int sy = run.y + piece.dy;
    if (sy < 0 || sy >= source_.height) continue;
    const int from = std::max(run.x0 + piece.dx, 0);
    const int to = std::min(run.x1 + piece.dx, source_.width - 1);
    for (int sx = from; sx <= to; ++sx) {
      const int s = source_.map[std::size_t(sy) * std::size_t(source_.width) + std::size_t(sx)];
      if (pieces.PieceOf(s) != p) continue;
      ++inside;
      if (voteOf_[std::size_t(s)]++ == 0) touched_.push_back(s);
    }
  }
  if (inside == 0) return {0, 0};
  const int most = *std::max_element(touched_.begin(), touched_.end(), [&](int x, int y) {
    return voteOf_[std::size_t(x)] < voteOf_[std::size_t(y)];
  });
  return {double(inside) / double(pixels.count), most};
}

std::pair<int, double> RegionOverlap::ByPiece(int r, const RegionShape& shape,
                                              const PaintedPieces& pieces, double inside,
                                              double growth) {
  const int64_t count = PixelCount(r);
  if (count == 0) return {0, 0};
  int best = 0;
  double bestShare = 0;
  for (std::size_t p = 0; p < pieces.Pieces().size(); ++p) {
    const PaintedPiece& piece = pieces.Pieces()[p];
    if (!piece.Found() || double(count) > growth * double(piece.area) ||
        shape.maxX + piece.dx < piece.minX || shape.minX + piece.dx > piece.maxX ||
        shape.maxY + piece.dy < piece.minY || shape.minY + piece.dy > piece.maxY)
      continue;
    const auto [share, most] = InPiece(r, pieces, int(p));
    if (share < inside || share <= bestShare) continue;
    bestShare = share;
    best = most;
  }
  return {best, bestShare};
}

// With the source's colours known, regions of one colour vote together (a limb over the body
// splits the body's region but not its colour); the source region returned is the one of the
// winning colour under most of the region. Unfilled regions vote for nothing.
std::pair<int, int64_t> RegionOverlap::ByColour() {
  colourVotes_.clear();
  for (int s : touched_) {
    const int64_t count = voteOf_[std::size_t(s)];
    const int32_t colour = ColourOf(s);
    if (colour != kUnfilledColor) colourVotes_[colour] += count;
  }
  int32_t bestColour = kUnfilledColor;
  int64_t bestCount = 0;
  for (const auto& [colour, count] : colourVotes_)
    if (count > bestCount || (count == bestCount && colour < bestColour))
      bestColour = colour, bestCount = count;
  int best = 0;
  int64_t most = 0;
  for (int s : touched_) {
    const int64_t count = voteOf_[std::size_t(s)];
    if (ColourOf(s) == bestColour && (count > most || (count == most && s < best)))
      best = s, most = count;
  }
  return {best, bestCount};
}

FittedLanding RegionOverlap::LandFitted(int r, int x, int y, const LineDistance* lines,
                                        int tolerance, int reach, bool offPaper) {
  const OutlineFit fit =
      lines ? FitOutline(Rim(r), *lines, x, y, reach, tolerance) : OutlineFit{x, y, 1};
  const Landing under = Land(r, fit.x, fit.y, offPaper);
  return {under.region, under.Share(), lines && !Rim(r).empty() ? fit.landed : 1};
}

std::vector<std::pair<int, int64_t>> RegionOverlap::LastCounts() const {
  std::vector<std::pair<int, int64_t>> counts;
  for (int s : touched_)
    if (const int64_t count = voteOf_[std::size_t(s)]; count > 0) counts.push_back({s, count});
  std::sort(counts.begin(), counts.end());
  return counts;
}

int32_t RegionOverlap::ColourOf(int s) const {
  return std::size_t(s) < sourceColors_->size() ? (*sourceColors_)[std::size_t(s)] : kUnfilledColor;
}

}  // namespace quenda

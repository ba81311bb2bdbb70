#include "common/shape_match.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "common/color_set.h"
#include "common/line_motion.h"
#include "common/painted_pieces.h"
#include "common/region_data.h"
#include "common/region_shapes.h"

namespace quenda {
namespace {

// Costs of a pair, each near 1 where the pair stops looking alike.
constexpr double kPositionWeight = 1.0;
constexpr double kAreaWeight = 1.5;
constexpr double kShapeWeight = 0.75;
constexpr double kNeighbourWeight = 1.0;
// What leaving a region unmatched costs: a pair dearer than this is no match.
constexpr double kLeaveCost = 4.0;
constexpr double kNoPair = 1e9;
// Pairs further apart than this (in position cost) or differing more in area are no candidates.
constexpr double kMaxPosition = 4.0;
constexpr double kMaxAreaRatio = 4.0;
// Rounds of assignment, each with the motion and neighbours of the round before.
constexpr int kRounds = 3;
// The assignment takes at most this many of the largest regions; the rest go by overlap.
constexpr std::size_t kMaxAssigned = 120;
// An unmatched region follows its neighbourhood's motion and takes the source region covering
// at least this share of it there.
constexpr double kOverlapShare = 0.5;
// Regions larger than this part of the picture are scenery, not figure, for motion estimates.
constexpr double kSceneryShare = 0.05;
// What ByOverlap says of a region lying on the paper round the drawing.
constexpr int kOnPaper = -1;
// A region the whole figure's motion lays on the paper round the drawing for this share of it
// has no counterpart.
constexpr double kPaperShare = 0.97;
// Regions alike within these ratios of area and of each axis of spread look alike.
constexpr double kLookAlikeArea = 1.2, kLookAlikeAxis = 1.15;
// Pairs differing more in area than this are no guide to a motion.
constexpr double kMotionAreaRatio = 1.5;
// A neighbour's motion stands for a region only where it lays at least this share of the
// region's outline on the source's lines: a foot's motion says little of where the other foot
// went, unless the lines show it.
constexpr double kBorrowedAgreement = 0.5;
// Regions smaller than this part of the picture keep the colour of their pair in the
// assignment where what lies under them says another: a piece of a hand lies inside the body
// under the body's motion, but the assignment, which weighs shape and neighbours, knows it.
constexpr double kPieceShare = 0.001;
// Motions whose outline agreement differs by less than this are told apart by their overlap.
constexpr double kAgreementTie = 0.05;
// A region lying inside a found painted piece for this share of it takes the piece's colour,
// unless it is larger than the piece by more than this factor.
constexpr double kInsidePiece = 0.8;
constexpr double kPieceGrowth = 1.2;

struct Vec {
  double x = 0, y = 0;
};

// Minimum-cost assignment of every row to a distinct column (rows <= columns), by shortest
// augmenting paths with potentials. `cost` is rows x columns, row major.
std::vector<int> Assign(const std::vector<double>& cost, int rows, int cols) {
  std::vector<double> u(std::size_t(rows) + 1, 0), v(std::size_t(cols) + 1, 0);
  std::vector<int> owner(std::size_t(cols) + 1, 0), way(std::size_t(cols) + 1, 0);
  std::vector<double> least(std::size_t(cols) + 1);
  std::vector<char> used(std::size_t(cols) + 1);
  for (int i = 1; i <= rows; ++i) {
    owner[0] = i;
    int j0 = 0;
    std::fill(least.begin(), least.end(), 4 * kNoPair);
    std::fill(used.begin(), used.end(), 0);
    do {
      used[std::size_t(j0)] = 1;
      const int i0 = owner[std::size_t(j0)];
      double delta = 8 * kNoPair;
      int j1 = 0;
      const double* row = &cost[std::size_t(i0 - 1) * std::size_t(cols)];
      for (int j = 1; j <= cols; ++j) {
        if (used[std::size_t(j)]) continue;
        const double reduced = row[j - 1] - u[std::size_t(i0)] - v[std::size_t(j)];
        if (reduced < least[std::size_t(j)]) {
          least[std::size_t(j)] = reduced;
          way[std::size_t(j)] = j0;
        }
        if (least[std::size_t(j)] < delta) {
          delta = least[std::size_t(j)];
          j1 = j;
        }
      }
      for (int j = 0; j <= cols; ++j) {
        if (used[std::size_t(j)]) {
          u[std::size_t(owner[std::size_t(j)])] += delta;
          v[std::size_t(j)] -= delta;
        } else {
          least[std::size_t(j)] -= delta;
        }
      }
      j0 = j1;
    } while (owner[std::size_t(j0)] != 0);
    do {
      const int j1 = way[std::size_t(j0)];
      owner[std::size_t(j0)] = owner[std::size_t(j1)];
      j0 = j1;
    } while (j0 != 0);
  }
  std::vector<int> columnOf(std::size_t(rows), -1);
  for (int j = 1; j <= cols; ++j)
    if (owner[std::size_t(j)] != 0) columnOf[std::size_t(owner[std::size_t(j)] - 1)] = j - 1;
  return columnOf;
}

bool AreNeighbours(const RegionBorders& borders, int a, int b) {
  const auto& list = borders.Neighbours(a);
  auto it = std::lower_bound(list.begin(), list.end(), std::pair<int, int64_t>{b, 0},
                             [](const auto& l, const auto& r) { return l.first < r.first; });
  return it != list.end() && it->first == b;
}

class Matcher {
 public:
  Matcher(const RegionMapView& target, const RegionMapView& source, PegOffset shift, int speckSize,
          const std::vector<int32_t>* sourceColors)
      : target_(target),
        source_(source),
        sourceColors_(sourceColors),
        shift_(shift),
        speckSize_(std::max(speckSize, 1)),
        t_(MeasureRegionShapes(target)),
        s_(MeasureRegionShapes(source)),
        tBorders_(target),
        sBorders_(source),
        match_(t_.size(), 0),
        motion_(t_.size()),
        pixels_(t_.size()),
        voteOf_(s_.size(), 0) {
    for (RegionShape& s : s_) s.cx += shift.x, s.cy += shift.y;
    scale_ = 0.02 * std::sqrt(double(target.width) * double(target.height));
    scenery_ = kSceneryShare * double(target.width) * double(target.height);
    piece_ = kPieceShare * double(target.width) * double(target.height);
  }

  std::vector<int> Run() {
    if (t_.size() > 1 && s_.size() > 1) match_[kBackgroundRegion] = kBackgroundRegion;
    for (int r = 2; r < int(t_.size()); ++r)
      if (t_[std::size_t(r)].area >= speckSize_) rows_.push_back(r);
    std::stable_sort(rows_.begin(), rows_.end(), [&](int a, int b) {
      return t_[std::size_t(a)].area > t_[std::size_t(b)].area;
    });
    std::vector<int> rest;
    if (rows_.size() > kMaxAssigned) {
      rest.assign(rows_.begin() + std::ptrdiff_t(kMaxAssigned), rows_.end());
      rows_.resize(kMaxAssigned);
    }
    for (int s = 2; s < int(s_.size()); ++s)
      if (s_[std::size_t(s)].area >= speckSize_) cols_.push_back(s);

    const Vec global = GlobalMotion();
    std::fill(motion_.begin(), motion_.end(), global);
    for (int round = 0; round < kRounds && !rows_.empty(); ++round) {
      AssignRound(round > 0);
      EstimateMotion(global);
    }
    // Settled by what lies under each region where the motions near it take it; a pair of the
    // assignment stands where none of them is confident. A region that lands on the paper round
    // the drawing is new, or its counterpart's outline opened onto the paper: only a close
    // look-alike (the other leg, the other hand) may then give it a colour.
    std::vector<int> settled(match_.size(), 0);
    std::vector<char> onPaper(match_.size(), 0);
    for (int r : rows_) {
      const int overlap = ByOverlap(r, global);
      const int own = match_[std::size_t(r)];
      onPaper[std::size_t(r)] = overlap == kOnPaper;
      if (overlap > 0 && !KeepsItsPair(r, own, overlap))
        settled[std::size_t(r)] = overlap;
      else if (own != 0 && (overlap != kOnPaper || LookAlike(r, own)))
        settled[std::size_t(r)] = own;
    }
    for (int r : rest) settled[std::size_t(r)] = std::max(ByOverlap(r, global), 0);
    // A region inside a small painted piece that followed its own outline takes its colour.
    if (sourceColors_ && source_.flags) {
      pieces_.emplace(target_, source_, *sourceColors_, s_, sBorders_,
                      int(std::lround(global.x)) - shift_.x, int(std::lround(global.y)) - shift_.y);
      for (const auto* list : {&rows_, &rest})
        for (int r : *list)
          if (const int s = ByPiece(r); s != 0) settled[std::size_t(r)] = s;
    }
    for (int r : rows_)
      settled[std::size_t(r)] = SettleLeftOver(r, settled[std::size_t(r)], onPaper[std::size_t(r)]);
    for (int r : rows_) match_[std::size_t(r)] = settled[std::size_t(r)];
    for (int r : rest) match_[std::size_t(r)] = settled[std::size_t(r)];
    return match_;
  }

 private:
  // How far the figure moved as a whole: where the two drawings' lines lie over each other
  // best (no motion but the pegs' where the views carry no line flags).
  Vec GlobalMotion() const {
    const LineMotion lines = EstimateLineMotion(target_, source_, shift_);
    return {double(lines.x), double(lines.y)};
  }

  double PairCost(int r, int s, bool withNeighbours) const {
    const RegionShape& a = t_[std::size_t(r)];
    const RegionShape& b = s_[std::size_t(s)];
    const double ratio = double(a.area) / double(b.area);
    if (ratio > kMaxAreaRatio || ratio * kMaxAreaRatio < 1) return kNoPair;
    const Vec m = motion_[std::size_t(r)];
    const double dx = a.cx + m.x - b.cx, dy = a.cy + m.y - b.cy;
    const double reach = scale_ + 0.25 * (std::sqrt(double(a.area)) + std::sqrt(double(b.area)));
    const double position = std::sqrt(dx * dx + dy * dy) / reach;
    if (position > kMaxPosition) return kNoPair;
    const double shape = std::abs(std::log((a.MajorAxis() + 1) / (b.MajorAxis() + 1))) +
                         std::abs(std::log((a.MinorAxis() + 1) / (b.MinorAxis() + 1)));
    double cost =
        kPositionWeight * position + kAreaWeight * std::abs(std::log(ratio)) + kShapeWeight * shape;
    if (withNeighbours) cost += kNeighbourWeight * NeighbourDisagreement(r, s);
    return cost;
  }

  // The part of r's border whose regions are matched to regions that are not s's neighbours.
  double NeighbourDisagreement(int r, int s) const {
    double agree = 0, total = 0;
    for (const auto& [n, border] : tBorders_.Neighbours(r)) {
      const int m = match_[std::size_t(n)];
      if (m == 0) continue;
      total += double(border);
      if (m == s || AreNeighbours(sBorders_, s, m)) agree += double(border);
    }
    return total > 0 ? 1 - agree / total : 0.5;
  }

  void AssignRound(bool withNeighbours) {
    const int rows = int(rows_.size()), sources = int(cols_.size());
    const int cols = sources + rows;
    std::vector<double> cost(std::size_t(rows) * std::size_t(cols), kNoPair);
    for (int i = 0; i < rows; ++i) {
      double* row = &cost[std::size_t(i) * std::size_t(cols)];
      for (int j = 0; j < sources; ++j)
        row[j] = PairCost(rows_[std::size_t(i)], cols_[std::size_t(j)], withNeighbours);
      row[sources + i] = kLeaveCost;
    }
    const std::vector<int> column = Assign(cost, rows, cols);
    for (int i = 0; i < rows; ++i) {
      const int j = column[std::size_t(i)];
      const bool paired = j >= 0 && j < sources &&
                          cost[std::size_t(i) * std::size_t(cols) + std::size_t(j)] < kLeaveCost;
      match_[std::size_t(rows_[std::size_t(i)])] = paired ? cols_[std::size_t(j)] : 0;
    }
  }

  // Each region's motion: its own, if matched, blended with its matched neighbours', weighted
  // by the border they share; the whole figure's where neither is known.
  void EstimateMotion(Vec global) {
    std::vector<Vec> own(t_.size());
    std::vector<char> known(t_.size(), 0);
    for (int r : rows_) {
      const int s = match_[std::size_t(r)];
      if (s == 0) continue;
      own[std::size_t(r)] = {s_[std::size_t(s)].cx - t_[std::size_t(r)].cx,
                             s_[std::size_t(s)].cy - t_[std::size_t(r)].cy};
      known[std::size_t(r)] = 1;
    }
    for (int r : rows_) {
      double x = 0, y = 0, w = 0;
      for (const auto& [n, border] : tBorders_.Neighbours(r)) {
        if (!known[std::size_t(n)] || double(t_[std::size_t(n)].area) > scenery_) continue;
        x += own[std::size_t(n)].x * double(border), y += own[std::size_t(n)].y * double(border);
        w += double(border);
      }
      Vec m = w > 0 ? Vec{x / w, y / w} : global;
      if (known[std::size_t(r)])
        m = {(2 * own[std::size_t(r)].x + m.x) / 3, (2 * own[std::size_t(r)].y + m.y) / 3};
      motion_[std::size_t(r)] = m;
    }
  }

  // The source region that covers most of r when r follows one of the motions near it: its own
  // pair's, when the two look alike and that pair's motion lays it on a source region; else the
  // best of its pair's, its neighbourhood's and the whole figure's, but for the paper round the
  // drawing. kOnPaper when the whole figure's motion lays it on that paper almost entirely (it
  // is new, or its counterpart's outline opened onto the paper); 0 when nothing covers enough
  // of it.
  int ByOverlap(int r, Vec global) {
    auto pairMotion = [&](int t, int s) {
      return Vec{s_[std::size_t(s)].cx - t_[std::size_t(t)].cx,
                 s_[std::size_t(s)].cy - t_[std::size_t(t)].cy};
    };
    std::vector<Vec> motions;
    if (const int own = match_[std::size_t(r)]; own != 0 && AlikeInArea(r, own)) {
      if (LookAlike(r, own)) {
        const auto [s, share] = ShareUnder(r, pairMotion(r, own), false);
        if (share >= kOverlapShare && s > kBackgroundRegion) return s;
      }
      motions.push_back(pairMotion(r, own));
    }
    if (const auto [s, share] = ShareUnder(r, global, false);
        s == kBackgroundRegion && share >= kPaperShare)
      return kOnPaper;
    motions.push_back(motion_[std::size_t(r)]);
    motions.push_back(global);
    const std::size_t borrowed = motions.size();
    for (const auto& [n, border] : tBorders_.Neighbours(r)) {
      const int s = match_[std::size_t(n)];
      if (s == 0 || n == kBackgroundRegion || double(t_[std::size_t(n)].area) > scenery_ ||
          !AlikeInArea(n, s))
        continue;
      motions.push_back(pairMotion(n, s));
    }
    // Of the motions that lay r mostly on one source region, the one that lays its outline best
    // on the source's lines: a hand passing over the body overlaps the body as well as it
    // overlaps the hand, but only the hand's lines lie where its own do.
    int best = 0;
    double bestShare = 0, bestAgreement = -1;
    for (std::size_t k = 0; k < motions.size(); ++k) {
      const auto [s, share] = ShareUnder(r, motions[k], true);
      const double agreement =
          outlineTotal_ > 0 ? double(outlineOnLine_) / double(outlineTotal_) : 0;
      const bool outlined = outlineTotal_ > 0 && source_.flags;  // else the lines say nothing
      if (share < kOverlapShare || (k >= borrowed && outlined && agreement < kBorrowedAgreement))
        continue;
      if (agreement > bestAgreement + kAgreementTie ||
          (agreement > bestAgreement - kAgreementTie && share > bestShare))
        best = s, bestShare = share, bestAgreement = agreement;
    }
    return best < int(s_.size()) ? best : 0;
  }

  // The source region under most of r moved by `m` (but for the paper round the drawing, if
  // `offPaper`), and the share of r it covers.
  std::pair<int, double> ShareUnder(int r, Vec m, bool offPaper) {
    int64_t total = 0;
    const auto [s, count] = Overlap(r, m, total, offPaper);
    return {s, total > 0 ? double(count) / double(total) : 0};
  }

  // What a region left without a colour (`now` 0, or a source region whose colour is not known
  // yet) may still take: a source region it would share with another, by pair cost; where it
  // lay on a source region of unknown colour or on the paper, only a close look-alike. One on
  // the paper that the assignment left out takes the colour that all its plausible pairs of
  // alike area carry: they went to regions its counterpart split or merged into.
  int SettleLeftOver(int r, int now, bool onPaper) const {
    const bool unknown = now != 0 && sourceColors_ && ColourOf(now) == kUnfilledColor;
    if (now != 0 && !unknown) return now;
    const bool oneColourRule = sourceColors_ && onPaper && match_[std::size_t(r)] == 0;
    double least = kLeaveCost, leastOfColour = kLeaveCost;
    int settled = now, ofColour = 0;
    bool oneColour = true;
    for (int s : cols_) {
      if (sourceColors_ && ColourOf(s) == kUnfilledColor) continue;
      const double cost = PairCost(r, s, true);
      if (cost >= kLeaveCost) continue;
      if ((onPaper || unknown) && !LookAlike(r, s)) {
        if (!oneColourRule || !AlikeInArea(r, s)) continue;
        oneColour = oneColour && (ofColour == 0 || ColourOf(s) == ColourOf(ofColour));
        if (cost < leastOfColour) leastOfColour = cost, ofColour = s;
      } else if (cost < least) {
        least = cost, settled = s;
      }
    }
    return settled == now && ofColour != 0 && oneColour ? ofColour : settled;
  }

  // The source region under most of r inside the found piece that holds most of r, when that
  // piece holds nearly all of it; else 0.
  int ByPiece(int r) {
    const RegionShape& a = t_[std::size_t(r)];
    const PixelsOf& pixels = Pixels(r);
    if (pixels.count == 0) return 0;
    int best = 0;
    double bestShare = 0;
    const auto& pieces = pieces_->Pieces();
    for (std::size_t p = 0; p < pieces.size(); ++p) {
      const PaintedPiece& piece = pieces[p];
      if (!piece.Found() || double(pixels.count) > kPieceGrowth * double(piece.area) ||
          a.maxX + piece.dx < piece.minX || a.minX + piece.dx > piece.maxX ||
          a.maxY + piece.dy < piece.minY || a.minY + piece.dy > piece.maxY)
        continue;
      for (int s : touched_) voteOf_[std::size_t(s)] = 0;
      touched_.clear();
      int64_t inside = 0;
      for (const PixelRun& run : pixels.runs) {
        const int sy = run.y + piece.dy;
        if (sy < 0 || sy >= source_.height) continue;
        const int from = std::max(run.x0 + piece.dx, 0);
        const int to = std::min(run.x1 + piece.dx, source_.width - 1);
        for (int sx = from; sx <= to; ++sx) {
          const int s = source_.map[std::size_t(sy) * std::size_t(source_.width) + std::size_t(sx)];
          if (pieces_->PieceOf(s) != int(p)) continue;
          ++inside;
          if (voteOf_[std::size_t(s)]++ == 0) touched_.push_back(s);
        }
      }
      const double share = double(inside) / double(pixels.count);
      if (share < kInsidePiece || share <= bestShare) continue;
      bestShare = share;
      best = *std::max_element(touched_.begin(), touched_.end(), [&](int x, int y) {
        return voteOf_[std::size_t(x)] < voteOf_[std::size_t(y)];
      });
    }
    return best;
  }

  // A small region whose pair in the assignment has a known colour other than the one under it.
  bool KeepsItsPair(int r, int own, int overlap) const {
    return own > 0 && sourceColors_ && double(t_[std::size_t(r)].area) < piece_ &&
           ColourOf(own) != kUnfilledColor && ColourOf(own) != ColourOf(overlap);
  }

  // Near enough the same region: area and both axes of spread alike.
  bool LookAlike(int r, int s) const {
    const RegionShape& a = t_[std::size_t(r)];
    const RegionShape& b = s_[std::size_t(s)];
    auto near = [](double x, double y, double limit) { return x < y * limit && y < x * limit; };
    return near(double(a.area), double(b.area), kLookAlikeArea) &&
           near(a.MajorAxis() + 1, b.MajorAxis() + 1, kLookAlikeAxis) &&
           near(a.MinorAxis() + 1, b.MinorAxis() + 1, kLookAlikeAxis);
  }

  // A pair's centres tell a motion only when neither is a piece of the other.
  bool AlikeInArea(int r, int s) const {
    const double ratio = double(t_[std::size_t(r)].area) / double(s_[std::size_t(s)].area);
    return ratio < kMotionAreaRatio && ratio * kMotionAreaRatio > 1;
  }

  // The source region covering most of r's pixels moved by `m`, and how many it covers. Counts
  // too how many of r's pixels beside a line land on or beside a source line.
  std::pair<int, int64_t> Overlap(int r, Vec m, int64_t& total, bool offPaper) {
    const int mx = int(std::lround(m.x)) - shift_.x, my = int(std::lround(m.y)) - shift_.y;
    const PixelsOf& pixels = Pixels(r);
    const int sw = source_.width, sh = source_.height;
    total = pixels.count;
    for (int s : touched_) voteOf_[std::size_t(s)] = 0;
    touched_.clear();
    for (const PixelRun& run : pixels.runs) {
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
    outlineTotal_ = int64_t(pixels.outline.size()), outlineOnLine_ = 0;
    if (source_.flags)
      for (const auto& [x, y] : pixels.outline)
        if (NearLine(source_, x + mx, y + my)) ++outlineOnLine_;
    if (offPaper) voteOf_[kBackgroundRegion] = 0;
    if (sourceColors_) return ByColour();
    int best = 0;
    int64_t bestCount = 0;
    for (int s : touched_) {
      const int64_t count = voteOf_[std::size_t(s)];
      if (count > bestCount || (count == bestCount && s < best)) best = s, bestCount = count;
    }
    return {best, bestCount};
  }

  // Region r's pixels off the lines, as runs along rows, and those of them beside a line;
  // gathered once, when first asked for.
  struct PixelRun {
    int y, x0, x1;
  };
  struct PixelsOf {
    bool gathered = false;
    int64_t count = 0;
    std::vector<PixelRun> runs;
    std::vector<std::pair<int, int>> outline;
  };
  const PixelsOf& Pixels(int r) {
    PixelsOf& p = pixels_[std::size_t(r)];
    if (p.gathered) return p;
    p.gathered = true;
    const RegionShape& a = t_[std::size_t(r)];
    const int w = target_.width, h = target_.height;
    const uint8_t* flags = target_.flags;
    for (int y = a.minY; y <= a.maxY; ++y) {
      const std::size_t row = std::size_t(y) * std::size_t(w);
      for (int x = a.minX; x <= a.maxX; ++x) {
        const std::size_t i = row + std::size_t(x);
        if (target_.map[i] != r || (flags && (flags[i] & kFlagRegionLine))) continue;
        ++p.count;
        if (p.runs.empty() || p.runs.back().y != y || p.runs.back().x1 != x - 1)
          p.runs.push_back({y, x, x});
        else
          p.runs.back().x1 = x;
        if (flags && OnOutline(i, x, y, w, h)) p.outline.push_back({x, y});
      }
    }
    return p;
  }

  // A pixel of a region beside one of the target's line pixels (4-connected).
  bool OnOutline(std::size_t i, int x, int y, int w, int h) const {
    const uint8_t* f = target_.flags;
    const std::size_t row = std::size_t(w);
    return (x > 0 && (f[i - 1] & kFlagRegionLine)) || (x + 1 < w && (f[i + 1] & kFlagRegionLine)) ||
           (y > 0 && (f[i - row] & kFlagRegionLine)) ||
           (y + 1 < h && (f[i + row] & kFlagRegionLine));
  }

  // With the source's colours known, regions of one colour vote together (a limb over the body
  // splits the body's region but not its colour); the source region returned is the one of the
  // winning colour under most of the region. Unfilled regions vote for nothing.
  std::pair<int, int64_t> ByColour() {
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

  int32_t ColourOf(int s) const {
    return std::size_t(s) < sourceColors_->size() ? (*sourceColors_)[std::size_t(s)]
                                                  : kUnfilledColor;
  }

  const RegionMapView& target_;
  const RegionMapView& source_;
  const std::vector<int32_t>* sourceColors_;
  PegOffset shift_;
  int speckSize_;
  std::vector<RegionShape> t_, s_;
  RegionBorders tBorders_, sBorders_;
  std::vector<int> match_;
  std::vector<Vec> motion_;
  std::vector<int> rows_, cols_;
  double scale_ = 1, scenery_ = 1, piece_ = 0;
  std::vector<PixelsOf> pixels_;  // per target region
  std::vector<int64_t> voteOf_;   // per source region, of the last Overlap
  std::vector<int> touched_;      // the source regions voted for by the last Overlap
  int64_t outlineTotal_ = 0, outlineOnLine_ = 0;  // of the last Overlap
  std::unordered_map<int32_t, int64_t> colourVotes_;
  std::optional<PaintedPieces> pieces_;
};

}  // namespace

std::vector<int> MatchRegionShapes(const RegionMapView& target, const RegionMapView& source,
                                   PegOffset shift, int speckSize,
                                   const std::vector<int32_t>* sourceColors) {
  if (!target.map || !source.map || target.width <= 0 || target.height <= 0)
    return std::vector<int>(std::size_t(std::max(target.regionCount, 0)) + 2, 0);
  return Matcher(target, source, shift, speckSize, sourceColors).Run();
}

}  // namespace quenda

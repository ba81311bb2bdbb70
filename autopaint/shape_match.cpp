#include "autopaint/shape_match.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "autopaint/assignment.h"
#include "autopaint/layer_motions.h"
#include "autopaint/line_motion.h"
#include "autopaint/match_confidence.h"
#include "autopaint/outline_fit.h"
#include "autopaint/painted_pieces.h"
#include "autopaint/pair_costs.h"
#include "autopaint/placed_regions.h"
#include "autopaint/region_overlap.h"
#include "common/color_set.h"
#include "common/region_data.h"
#include "common/thread_pool.h"

namespace quenda {
namespace {

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
// A region the whole figure's motion lays on the paper round the drawing this much is new.
constexpr double kPaperShare = 0.97;
// One that nothing covers, lying there for this share of it, lost its counterpart to the paper:
// its outline opened, though lines inside it (a face's eyes) keep the share below kPaperShare.
// Less, and holes of the paper between crossing figures would count too.
constexpr double kOpenedShare = 0.75;
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
// How far (in outline tolerances) an outline may slide from a motion to meet the source's lines.
constexpr int kFitReach = 4;

class Matcher {
 public:
  Matcher(MatchTarget& target, const RegionMapView& source, PegOffset shift, int speckSize,
          const std::vector<int32_t>* sourceColors, int confidence)
      : target_(target.View()),
        source_(source),
        sourceColors_(sourceColors),
        shift_(shift),
        speckSize_(std::max(speckSize, 1)),
        threshold_(confidence),
        leaveCost_(LeaveCostAt(confidence)),
        tolerance_(OutlineTolerance(target_.width, target_.height)),
        lines_(source),
        tables_(target, source, shift),
        overlap_(target.Pixels(), source, tables_.s.size(), sourceColors),
        match_(tables_.t.size(), 0),
        motion_(tables_.t.size()),
        pairCost_(tables_.t.size(), kNoPair),
        sure_(tables_.t.size(), 0) {
    scenery_ = kSceneryShare * double(target_.width) * double(target_.height);
    piece_ = kPieceShare * double(target_.width) * double(target_.height);
  }

  ShapeMatch Run() {
    const auto& t = tables_.t;
    if (t.size() > 1 && tables_.s.size() > 1) {
      match_[kBackgroundRegion] = kBackgroundRegion;
      sure_[kBackgroundRegion] = kMaxConfidence;
    }
    for (int r = 2; r < int(t.size()); ++r)
      if (t[std::size_t(r)].area >= speckSize_) rows_.push_back(r);
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](int a, int b) { return t[std::size_t(a)].area > t[std::size_t(b)].area; });
    std::vector<int> rest;
    if (rows_.size() > kMaxAssigned) {
      rest.assign(rows_.begin() + std::ptrdiff_t(kMaxAssigned), rows_.end());
      rows_.resize(kMaxAssigned);
    }
    for (int s = 2; s < int(tables_.s.size()); ++s)
      if (tables_.s[std::size_t(s)].area >= speckSize_) cols_.push_back(s);
    // Every region's pixels at once, so that the regions can then be settled on several threads.
    std::vector<int> measured = rows_;
    measured.insert(measured.end(), rest.begin(), rest.end());
    overlap_.Gather(measured);

    // How far the figure moved as a whole: where the two drawings' lines lie over each other
    // best (no motion but the pegs' where the views carry no line flags).
    const LineMotion lines = EstimateLineMotion(target_, source_, shift_);
    const Vec global{double(lines.x), double(lines.y)};
    PlaceByFigures(global);
    motion_ = layer_;
    for (int round = 0; round < kRounds && !rows_.empty(); ++round) {
      AssignRound(round > 0);
      EstimateMotion();
    }
    // Settled by what lies under each region where the motions near it take it; a pair of the
    // assignment stands where none of them is confident. A region that lands on the paper round
    // the drawing is new, or its counterpart's outline opened onto the paper: only a close
    // look-alike (the other leg, the other hand) may then give it a colour.
    std::vector<int> settled(match_.size(), 0);
    std::vector<char> onPaper(match_.size(), 0);
    EachRegion(rows_, [&](int r, RegionOverlap& at) {
      const Under under = ByOverlap(at, r, global, kFitReach * tolerance_);
      const int overlap = under.region, own = match_[std::size_t(r)];
      onPaper[std::size_t(r)] =
          overlap == kOnPaper || (overlap == 0 && OnPaper(at, r, global, kOpenedShare));
      if (overlap > 0 && !KeepsItsPair(r, own, overlap)) {
        settled[std::size_t(r)] = overlap;
        // Where the assignment chose the same, what it weighed counts too.
        const bool same =
            overlap == own || (own > 0 && sourceColors_ && ColourOf(own) == ColourOf(overlap));
        const double paired = same ? ConfidenceOfCost(pairCost_[std::size_t(r)]) : 0;
        sure_[std::size_t(r)] = std::max(ConfidenceOfLanding(under.share, under.landed), paired);
      } else if (own != 0 && (overlap != kOnPaper || LookAlike(tables_, r, own))) {
        settled[std::size_t(r)] = own;
        sure_[std::size_t(r)] = ConfidenceOfCost(pairCost_[std::size_t(r)]);
      }
    });
    // The many small regions beyond the assignment are only measured where the motions near
    // them lay them, not fitted: there are too many, and their outlines say little.
    EachRegion(rest, [&](int r, RegionOverlap& at) {
      const Under under = ByOverlap(at, r, global, 0);
      settled[std::size_t(r)] = std::max(under.region, 0);
      sure_[std::size_t(r)] = under.region > 0 ? ConfidenceOfLanding(under.share, under.landed) : 0;
    });
    // A region inside a small painted piece that followed its own outline takes its colour.
    if (sourceColors_ && source_.flags) {
      pieces_.emplace(target_, source_, *sourceColors_, tables_.s, tables_.sBorders,
                      int(std::lround(global.x)) - shift_.x, int(std::lround(global.y)) - shift_.y);
      EachRegion(measured, [&](int r, RegionOverlap& at) {
        if (const auto [s, share] =
                at.ByPiece(r, t[std::size_t(r)], *pieces_, kInsidePiece, kPieceGrowth);
            s != 0)
          settled[std::size_t(r)] = s, sure_[std::size_t(r)] = ConfidenceOfShare(share);
      });
    }
    const std::vector<char> whole = PairedWithLookAlikes(tables_, match_);
    EachRegion(rows_, [&](int r, RegionOverlap&) {
      settled[std::size_t(r)] =
          SettleLeftOver(r, settled[std::size_t(r)], onPaper[std::size_t(r)], whole);
    });
    // Unsure stays unfilled.
    ShapeMatch result{std::vector<int>(match_.size(), 0), std::vector<int>(match_.size(), 0)};
    result.source[kBackgroundRegion] = match_[kBackgroundRegion];
    result.confidence[kBackgroundRegion] = int(sure_[kBackgroundRegion]);
    for (const auto* list : {&rows_, &rest})
      for (int r : *list) {
        const std::size_t i = std::size_t(r);
        if (settled[i] == 0 || sure_[i] < threshold_) continue;
        result.source[i] = settled[i];
        result.confidence[i] = int(sure_[i]);
      }
    return result;
  }

 private:
  // visit(r, counter) for every region r of `regions` (none twice), on the inner threads: each
  // visit writes only what belongs to r, and counts with its thread's own counter.
  template <class Visit>
  void EachRegion(const std::vector<int>& regions, const Visit& visit) {
    const int count = int(regions.size()), shares = std::min(count, 4 * InnerThreads());
    ParallelFor(shares, [&](int share) {
      RegionOverlap at(overlap_);
      for (int k = share; k < count; k += shares) visit(regions[std::size_t(k)], at);
    });
  }

  // Each region's figure's motion, and where it lies in the source if that lays it on the lines.
  void PlaceByFigures(Vec global) {
    layer_.assign(tables_.t.size(), global);
    placed_.emplace(tables_, sourceColors_);
    if (!source_.flags) return;
    const auto layers = EstimateLayerMotions(target_, source_, shift_, lines_, tolerance_, global);
    EachRegion(rows_, [&](int r, RegionOverlap& at) {
      const Vec m = layer_[std::size_t(r)] = LayerOf(at.Rim(r), layers, lines_, shift_, tolerance_);
      placed_->PlaceAt(at, r, int(std::lround(m.x)) - shift_.x, int(std::lround(m.y)) - shift_.y,
                       lines_, tolerance_, kFitReach * tolerance_);
    });
  }

  double Cost(int r, int s, bool withNeighbours) const {
    const double cost =
        PairCost(tables_, r, s, motion_[std::size_t(r)], withNeighbours ? &match_ : nullptr);
    return cost < kNoPair ? cost + placed_->Cost(r, s) : cost;
  }

  void AssignRound(bool withNeighbours) {
    const int rows = int(rows_.size()), sources = int(cols_.size());
    const int cols = sources + rows;
    std::vector<double> cost(std::size_t(rows) * std::size_t(cols), kNoPair);
    ParallelFor(rows, [&](int i) {
      double* row = &cost[std::size_t(i) * std::size_t(cols)];
      for (int j = 0; j < sources; ++j)
        row[j] = Cost(rows_[std::size_t(i)], cols_[std::size_t(j)], withNeighbours);
      row[sources + i] = leaveCost_;
    });
    const std::vector<int> column = Assign(cost, rows, cols);
    for (int i = 0; i < rows; ++i) {
      const int j = column[std::size_t(i)];
      const double paid = j >= 0 && j < sources
                              ? cost[std::size_t(i) * std::size_t(cols) + std::size_t(j)]
                              : kNoPair;
      const bool paired = paid < leaveCost_;
      match_[std::size_t(rows_[std::size_t(i)])] = paired ? cols_[std::size_t(j)] : 0;
      pairCost_[std::size_t(rows_[std::size_t(i)])] = paired ? paid : kNoPair;
    }
  }

  // Each region's motion: its own, if matched, blended with its matched neighbours', weighted
  // by the border they share; its figure's where neither is known.
  void EstimateMotion() {
    const auto& t = tables_.t;
    std::vector<Vec> own(t.size());
    std::vector<char> known(t.size(), 0);
    for (int r : rows_) {
      const int s = match_[std::size_t(r)];
      if (s == 0) continue;
      own[std::size_t(r)] = PairMotion(r, s);
      known[std::size_t(r)] = 1;
    }
    for (int r : rows_) {
      double x = 0, y = 0, w = 0;
      for (const auto& [n, border] : tables_.tBorders.Neighbours(r)) {
        if (!known[std::size_t(n)] || double(t[std::size_t(n)].area) > scenery_) continue;
        x += own[std::size_t(n)].x * double(border), y += own[std::size_t(n)].y * double(border);
        w += double(border);
      }
      Vec m = w > 0 ? Vec{x / w, y / w} : layer_[std::size_t(r)];
      if (known[std::size_t(r)])
        m = {(2 * own[std::size_t(r)].x + m.x) / 3, (2 * own[std::size_t(r)].y + m.y) / 3};
      motion_[std::size_t(r)] = m;
    }
  }

  Vec PairMotion(int r, int s) const {
    const RegionShape &a = tables_.t[std::size_t(r)], &b = tables_.s[std::size_t(s)];
    return {b.cx - a.cx, b.cy - a.cy};
  }

  // What lies under r moved by `m` (source pixels placed by the peg shift).
  Landing LandAt(RegionOverlap& at, int r, Vec m, bool offPaper) {
    return at.Land(r, int(std::lround(m.x)) - shift_.x, int(std::lround(m.y)) - shift_.y, offPaper);
  }

  // The whole figure's motion lays r on the paper round the drawing for at least `share` of it.
  bool OnPaper(RegionOverlap& at, int r, Vec global, double share) {
    const Landing under = LandAt(at, r, global, false);
    return under.region == kBackgroundRegion && under.Share() >= share;
  }

  // Where r lands under motion `m` once its outline has been fitted to the source's lines near
  // it: r's own motion, which a part turning away from its neighbours needs.
  using Under = FittedLanding;
  Under Fitted(RegionOverlap& at, int r, Vec m, bool offPaper, int reach) {
    return at.LandFitted(r, int(std::lround(m.x)) - shift_.x, int(std::lround(m.y)) - shift_.y,
                         source_.flags ? &lines_ : nullptr, tolerance_, reach, offPaper);
  }

  // The source region that covers most of r when r follows one of the motions near it, each
  // fitted to the source's lines: its own pair's, when the two look alike and that pair's
  // motion lays it on a source region; else the best of its pair's, its neighbourhood's and the
  // whole figure's, but for the paper round the drawing. kOnPaper when the whole figure's
  // motion lays it on that paper almost entirely (it is new, or its counterpart's outline
  // opened onto the paper); 0 when nothing covers enough of it. With the share of r the region
  // covers and the share of r's outline landing on the source's lines.
  Under ByOverlap(RegionOverlap& at, int r, Vec global, int reach) {
    std::vector<Vec> motions;
    if (const int own = match_[std::size_t(r)]; own != 0 && AlikeInArea(tables_, r, own)) {
      if (LookAlike(tables_, r, own)) {
        const Under under = Fitted(at, r, PairMotion(r, own), false, reach);
        if (under.share >= kOverlapShare && under.region > kBackgroundRegion) return under;
      }
      motions.push_back(PairMotion(r, own));
    }
    if (OnPaper(at, r, global, kPaperShare)) return {kOnPaper, 0, 0};
    motions.push_back(motion_[std::size_t(r)]);
    motions.push_back(global);
    const std::size_t borrowed = motions.size();
    for (const auto& [n, border] : tables_.tBorders.Neighbours(r)) {
      const int s = match_[std::size_t(n)];
      if (s == 0 || n == kBackgroundRegion || double(tables_.t[std::size_t(n)].area) > scenery_ ||
          !AlikeInArea(tables_, n, s))
        continue;
      motions.push_back(PairMotion(n, s));
    }
    // Of the motions that lay r mostly on one source region, the one that lays its outline best
    // on the source's lines: a hand passing over the body overlaps the body as well as it
    // overlaps the hand, but only the hand's lines lie where its own do.
    Under best;
    double bestAgreement = -1;
    for (std::size_t k = 0; k < motions.size(); ++k) {
      const Under under = Fitted(at, r, motions[k], true, reach);
      if (under.share < kOverlapShare || (k >= borrowed && under.landed < kBorrowedAgreement))
        continue;
      if (under.landed > bestAgreement + kAgreementTie ||
          (under.landed > bestAgreement - kAgreementTie && under.share > best.share))
        best = under, bestAgreement = under.landed;
    }
    return best.region < int(tables_.s.size()) ? best : Under{};
  }

  // What a region left without a colour (`now` 0, or a source region whose colour is not known
  // yet) may still take: a source region it would share with another, by pair cost; where it
  // lay on a source region of unknown colour or on the paper, only a close look-alike. One on
  // the paper that the assignment left out takes the colour that all its plausible pairs of
  // alike area carry: they went to regions its counterpart split or merged into, so none that
  // the assignment paired with a look-alike (`whole`): a face whose outline opened onto the
  // paper must not take the colour of the hair above it.
  int SettleLeftOver(int r, int now, bool onPaper, const std::vector<char>& whole) {
    const bool unknown = now != 0 && sourceColors_ && ColourOf(now) == kUnfilledColor;
    if (now != 0 && !unknown) return now;
    const bool oneColourRule = sourceColors_ && onPaper && match_[std::size_t(r)] == 0;
    double least = leaveCost_, leastOfColour = leaveCost_;
    int settled = now, ofColour = 0;
    bool oneColour = true;
    for (int s : cols_) {
      if (sourceColors_ && ColourOf(s) == kUnfilledColor) continue;
      const double cost = Cost(r, s, true);
      if (cost >= leaveCost_) continue;
      if ((onPaper || unknown) && !LookAlike(tables_, r, s)) {
        if (!oneColourRule || !AlikeInArea(tables_, r, s) || whole[std::size_t(s)]) continue;
        oneColour = oneColour && (ofColour == 0 || ColourOf(s) == ColourOf(ofColour));
        if (cost < leastOfColour) leastOfColour = cost, ofColour = s;
      } else if (cost < least) {
        least = cost, settled = s;
      }
    }
    const bool byColour = settled == now && ofColour != 0 && oneColour;
    if (byColour || settled != now)
      sure_[std::size_t(r)] = ConfidenceOfCost(byColour ? leastOfColour : least);
    return byColour ? ofColour : settled;
  }

  // A small region whose pair in the assignment has a known colour other than the one under it.
  bool KeepsItsPair(int r, int own, int overlap) const {
    return own > 0 && sourceColors_ && double(tables_.t[std::size_t(r)].area) < piece_ &&
           ColourOf(own) != kUnfilledColor && ColourOf(own) != ColourOf(overlap);
  }

  int32_t ColourOf(int s) const { return overlap_.ColourOf(s); }

  RegionMapView target_;
  const RegionMapView& source_;
  const std::vector<int32_t>* sourceColors_;
  PegOffset shift_;
  int speckSize_;
  double threshold_;    // the confidence below which a region stays unfilled
  double leaveCost_;    // a pair dearer than this is less sure than asked
  int tolerance_;       // how near a source line an outline lands (autopaint/outline_fit.h)
  LineDistance lines_;  // the source's
  ShapeTables tables_;
  RegionOverlap overlap_;
  std::vector<int> match_;
  std::vector<Vec> motion_;
  std::vector<Vec> layer_;        // the motion of each region's figure (autopaint/layer_motions.h)
  std::vector<double> pairCost_;  // of each region's pair in the last assignment
  std::vector<double> sure_;      // the confidence of what each region settled on
  std::vector<int> rows_, cols_;
  double scenery_ = 1, piece_ = 0;
  std::optional<PaintedPieces> pieces_;
  std::optional<PlacedRegions> placed_;
};

}  // namespace

ShapeMatch MatchRegionShapes(MatchTarget& target, const RegionMapView& source, PegOffset shift,
                             int speckSize, const std::vector<int32_t>* sourceColors,
                             int confidence) {
  if (!target.Usable() || !source.map) {
    const std::size_t count = std::size_t(std::max(target.View().regionCount, 0)) + 2;
    return {std::vector<int>(count, 0), std::vector<int>(count, 0)};
  }
  return Matcher(target, source, shift, speckSize, sourceColors, confidence).Run();
}

ShapeMatch MatchRegionShapes(const RegionMapView& target, const RegionMapView& source,
                             PegOffset shift, int speckSize,
                             const std::vector<int32_t>* sourceColors, int confidence) {
  MatchTarget measured(target);
  return MatchRegionShapes(measured, source, shift, speckSize, sourceColors, confidence);
}

}  // namespace quenda

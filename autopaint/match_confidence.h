#pragma once
// How sure a match of auto paint by shapes is, from 0 to 100, and the threshold below which a
// region stays unfilled: an unfilled region shows in the status pane and in the view, while a
// wrong colour must be found by eye.

namespace quenda {

// Matches below this confidence leave their region unfilled, unless the user says otherwise.
// Chosen on bench_autopaint --sweep over every figure and pace (150 dpi): 70 would cut the
// chain's wrong paint from 5.0 to 3.7 % at the same right share, but it leaves unfilled many
// true matches of the sample walk, whose costs lie between 2.4 and 4.0 (its drawings fall from
// over 98 to 85 % right), with this cost scale or with 13.3; 40 paints more wrong in both ways.
inline constexpr int kDefaultConfidence = 50;
inline constexpr int kMaxConfidence = 100;

// A pair of the assignment that costs this much is no match at all. A scale of 13.3 at
// confidence 70 (the same limit on cost as 8.0 at 50, stricter on what lies under a region)
// painted less right and more wrong on the in-betweens (88.1 / 1.8 % against 89.8 / 1.3 % on
// the crossing figures and limbs), so the scale stays.
inline constexpr double kNoConfidenceCost = 8.0;

// The confidence of a pair of the given cost (see autopaint/pair_costs.h): 100 for a pair alike
// in every way, falling evenly to 0 at kNoConfidenceCost.
double ConfidenceOfCost(double cost);

// What leaving a region unmatched costs in the assignment at `confidence`: any pair dearer
// than this is less sure than asked.
double LeaveCostAt(int confidence);

// The confidence of a region taken by what lies under it when it follows a motion: the share
// of it lying on the one source region (or colour).
double ConfidenceOfShare(double share);

// The same, weighed by the share of the region's outline that lands on the source's lines
// there: a region squashed, or new where the source has none like it (one a crossing limb hid),
// lies inside a source region but its outline lands beside that region's lines.
double ConfidenceOfLanding(double share, double landed);

// How sure a colour is that a match of confidence `match` took from a region whose own colour
// was `held` sure: a chain of drawings is no surer than its weakest step.
int ChainedConfidence(int match, int held);

}  // namespace quenda

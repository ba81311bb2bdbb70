#pragma once
// The motions of the figures of a drawing that move apart: two walkers, one overtaking the
// other, move by different amounts, and the motion that lays most of the lines on each other
// (autopaint/line_motion.h) is only the one whose lines are longer. The lines it leaves without
// a counterpart are searched again for the next motion, and each region takes the motion that
// lays its own outline best on the source's lines.

#include <utility>
#include <vector>

#include "autopaint/line_distance.h"
#include "autopaint/pair_costs.h"
#include "common/region_vote.h"

namespace quenda {

// The drawing's motions, the one of most of its lines first (`first`, found already); a further
// one only where the lines that `first` leaves more than `tolerance` pixels from the source's
// lines (`sourceLines`) make a good part of all the target's and lie on lines under a motion
// clearly apart from the ones before. Motions are as EstimateLineMotion gives them.
std::vector<Vec> EstimateLayerMotions(const RegionMapView& target, const RegionMapView& source,
                                      PegOffset shift, const LineDistance& sourceLines,
                                      int tolerance, Vec first);

// Of `motions`, the one that lays `outline` (target pixels) best on the source's lines, the
// earlier ones winning ties and near ties, and the first where no later one lays a good part of
// it there; the first for an empty outline.
Vec LayerOf(const std::vector<std::pair<int, int>>& outline, const std::vector<Vec>& motions,
            const LineDistance& sourceLines, PegOffset shift, int tolerance);

}  // namespace quenda

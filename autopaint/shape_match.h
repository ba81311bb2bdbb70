#pragma once
// Auto paint by shapes: target regions matched to source regions by what survives motion
// between two drawings, rather than by overlap alone. After the peg alignment, every region
// is compared by position (after the motion of its neighbourhood), area, shape and
// neighbours, and one assignment over all regions chooses the pairs. Every match carries a
// confidence (autopaint/match_confidence.h); a region matched less surely than asked is left
// out, so the user sees it unfilled rather than painted wrongly.

#include <cstdint>
#include <vector>

#include "autopaint/match_confidence.h"
#include "autopaint/match_target.h"
#include "common/region_vote.h"

namespace quenda {

// Regions with fewer pixels off their lines than this are specks by default.
inline constexpr int kDefaultSpeckSize = 10;

// For every target region 0 .. regionCount + 1, the source region whose colour it takes, or 0
// where none matches with at least `confidence`, and how sure each match is. Specks (fewer than
// `speckSize` pixels off the lines) are not matched and get 0. Target region 1, the paper round the
// drawing, takes source region 1. With `sourceColors` (one per source region, 1 for unfilled), a
// region settles on the source colour under most of it rather than the source region, and unfilled
// source regions count for nothing.
struct ShapeMatch {
  std::vector<int> source;
  std::vector<int> confidence;  // 0 .. 100 per target region, 0 where none matches
};
ShapeMatch MatchRegionShapes(const RegionMapView& target, const RegionMapView& source,
                             PegOffset shift, int speckSize = kDefaultSpeckSize,
                             const std::vector<int32_t>* sourceColors = nullptr,
                             int confidence = kDefaultConfidence);
// The same for a target measured once, to be matched against several sources.
ShapeMatch MatchRegionShapes(MatchTarget& target, const RegionMapView& source, PegOffset shift,
                             int speckSize = kDefaultSpeckSize,
                             const std::vector<int32_t>* sourceColors = nullptr,
                             int confidence = kDefaultConfidence);

}  // namespace quenda

#include "painter/core/auto_paint.h"

#include "common/color_set.h"
#include "common/region_vote.h"

namespace quenda {

PegOffset AlignmentShift(const PainterFrame& target, const PainterFrame& source) {
  return PegAlignmentShift(target.peg,
                           {target.width, target.height, target.originX, target.originY},
                           {source.width, source.height, source.originX, source.originY});
}

std::vector<int> VoteRegions(const PainterFrame& target, const PainterFrame& source) {
  const RegionMapView t{target.region.regionMap.data(), target.width, target.height,
                        target.region.regionCount};
  const RegionMapView s{source.region.regionMap.data(), source.width, source.height,
                        source.region.regionCount};
  return VoteRegionMaps(t, s, AlignmentShift(target, source));
}

void AutoPaintFrom(PainterFrame& target, const PainterFrame& source) {
  if (target.empty() || source.empty()) return;
  const std::vector<int> winner = VoteRegions(target, source);
  TakeUndoCopy(target, kUndoRegionColors);
  for (std::size_t r = 1; r < winner.size() && r < target.regionColor.size(); ++r) {
    const std::size_t t = std::size_t(winner[r]);
    target.regionColor[r] =
        t < source.regionColor.size() ? source.regionColor[t] : kTransparentColor;
  }
  target.paintChanged = true;
}

}  // namespace quenda

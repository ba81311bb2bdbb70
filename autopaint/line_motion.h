#pragma once
// How a drawing moved as a whole against the one before it: the translation under which the
// two drawings' lines lie over each other best. The figure's body and head carry most of the
// line, so this is their motion; limbs that swing further are left to each region's own match.

#include "common/region_vote.h"

namespace quenda {

struct LineMotion {
  int x = 0;
  int y = 0;
};

// The motion d under which target pixel p lies on source pixel p + d (source pixels placed on
// the target by `shift`), searched within a quarter of the smaller side; lines are the pixels
// flagged as region lines in each view. (0, 0) when either view has no lines or flags.
LineMotion EstimateLineMotion(const RegionMapView& target, const RegionMapView& source,
                              PegOffset shift);

}  // namespace quenda

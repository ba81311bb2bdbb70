#pragma once
// A target drawing's own measures for matching by shapes, taken once: a drawing matched against
// the one before it and then against those further back is measured for all of them at once.

#include <vector>

#include "autopaint/region_pixels.h"
#include "autopaint/region_shapes.h"
#include "common/region_vote.h"

namespace quenda {

class MatchTarget {
 public:
  // The view's map and flags must outlive this. A view without a map or pixels is measured as
  // having no regions.
  explicit MatchTarget(const RegionMapView& view);
  MatchTarget(const MatchTarget&) = delete;
  MatchTarget& operator=(const MatchTarget&) = delete;

  const RegionMapView& View() const { return view_; }
  bool Usable() const { return view_.map && view_.width > 0 && view_.height > 0; }
  const std::vector<RegionShape>& Shapes() const { return shapes_; }
  const RegionBorders& Borders() const { return borders_; }
  RegionPixels& Pixels() { return pixels_; }

 private:
  RegionMapView view_;
  std::vector<RegionShape> shapes_;
  RegionBorders borders_;
  RegionPixels pixels_;
};

}  // namespace quenda

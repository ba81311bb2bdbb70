#pragma once
// How far every pixel of a drawing lies from its nearest line pixel: the distance field that
// says how well an outline moved onto the drawing lands on its lines, and which way to move it
// to land better (chamfer matching).

#include <cstdint>
#include <memory>

#include "common/region_vote.h"

namespace quenda {

// Distances are in thirds of a pixel, by the 3-4 chamfer (3 a step along a row or column, 4 a
// diagonal step), and cut off here (85 pixels): further than that is simply far.
inline constexpr int kFarFromLine = 255;

class LineDistance {
 public:
  // The distance from every pixel of `view` to the nearest pixel flagged as a region line; all
  // far when the view has no flags or no lines. Bands of rows go to the inner threads; the
  // field is the same with any number.
  explicit LineDistance(const RegionMapView& view);

  // Far beyond the picture.
  int At(int x, int y) const {
    if (x < x0_ || y < y0_ || x >= x1_ || y >= y1_) return kFarFromLine;
    return distance_[std::size_t(y - y0_) * std::size_t(x1_ - x0_) + std::size_t(x - x0_)];
  }

 private:
  // The field is kept only over the lines' box grown by the cut-off; all else is far.
  int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
  std::unique_ptr<uint8_t[]> distance_;
};

}  // namespace quenda

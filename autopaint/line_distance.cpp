#include "autopaint/line_distance.h"

#include <algorithm>

#include "common/region_data.h"

namespace quenda {
namespace {

inline uint8_t Plus(uint8_t d, int step) {
  return uint8_t(std::min(int(d) + step, kFarFromLine));
}

}  // namespace

LineDistance::LineDistance(const RegionMapView& view) {
  if (!view.flags || view.width <= 0 || view.height <= 0) return;
  const int w = view.width, h = view.height;
  int minX = w, minY = h, maxX = -1, maxY = -1;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = view.flags + std::size_t(y) * std::size_t(w);
    for (int x = 0; x < w; ++x) {
      if (x + 8 <= w && !HasLineAmongEight(row + x)) {
        x += 7;  // most of a drawing is off the lines
        continue;
      }
      if (row[x] & kFlagRegionLine)
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = y;
    }
  }
  if (maxX < 0) return;
  const int reach = kFarFromLine / 3 + 1;
  x0_ = std::max(minX - reach, 0), y0_ = std::max(minY - reach, 0);
  x1_ = std::min(maxX + reach + 1, w), y1_ = std::min(maxY + reach + 1, h);
  const int bw = x1_ - x0_, bh = y1_ - y0_;
  distance_.assign(std::size_t(bw) * std::size_t(bh), uint8_t(kFarFromLine));
  for (int y = 0; y < bh; ++y) {
    const uint8_t* flags = view.flags + std::size_t(y + y0_) * std::size_t(w) + std::size_t(x0_);
    uint8_t* row = &distance_[std::size_t(y) * std::size_t(bw)];
    for (int x = 0; x < bw; ++x)
      if (flags[x] & kFlagRegionLine) row[x] = 0;
  }
  // Two passes, down and back up, each taking the least of the neighbours already passed.
  for (int y = 0; y < bh; ++y) {
    uint8_t* row = &distance_[std::size_t(y) * std::size_t(bw)];
    const uint8_t* above = y > 0 ? row - bw : nullptr;
    for (int x = 0; x < bw; ++x) {
      uint8_t d = row[x];
      if (x > 0) d = std::min(d, Plus(row[x - 1], 3));
      if (above) {
        d = std::min(d, Plus(above[x], 3));
        if (x > 0) d = std::min(d, Plus(above[x - 1], 4));
        if (x + 1 < bw) d = std::min(d, Plus(above[x + 1], 4));
      }
      row[x] = d;
    }
  }
  for (int y = bh - 1; y >= 0; --y) {
    uint8_t* row = &distance_[std::size_t(y) * std::size_t(bw)];
    const uint8_t* below = y + 1 < bh ? row + bw : nullptr;
    for (int x = bw - 1; x >= 0; --x) {
      uint8_t d = row[x];
      if (x + 1 < bw) d = std::min(d, Plus(row[x + 1], 3));
      if (below) {
        d = std::min(d, Plus(below[x], 3));
        if (x + 1 < bw) d = std::min(d, Plus(below[x + 1], 4));
        if (x > 0) d = std::min(d, Plus(below[x - 1], 4));
      }
      row[x] = d;
    }
  }
}

}  // namespace quenda

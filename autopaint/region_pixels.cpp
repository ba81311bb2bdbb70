#include "autopaint/region_pixels.h"

#include "common/region_data.h"
#include "common/thread_pool.h"

namespace quenda {

RegionPixels::RegionPixels(const RegionMapView& view, const std::vector<RegionShape>& shapes)
    : view_(view), shapes_(shapes), pixels_(shapes.size()) {}

const RegionPixels::Of& RegionPixels::Pixels(int r) {
  Of& p = pixels_[std::size_t(r)];
  if (p.gathered) return p;
  p.gathered = true;
  const RegionShape& a = shapes_[std::size_t(r)];
  const int w = view_.width;
  const uint8_t* flags = view_.flags;
  for (int y = a.minY; y <= a.maxY; ++y) {
    const std::size_t row = std::size_t(y) * std::size_t(w);
    for (int x = a.minX; x <= a.maxX; ++x) {
      const std::size_t i = row + std::size_t(x);
      if (view_.map[i] != r || (flags && (flags[i] & kFlagRegionLine))) continue;
      ++p.count;
      if (p.runs.empty() || p.runs.back().y != y || p.runs.back().x1 != x - 1)
        p.runs.push_back({y, x, x});
      else
        p.runs.back().x1 = x;
      if (flags && OnOutline(i, x, y)) {
        p.outline.push_back({x, y});
        AddRim(p, i, x, y);
      }
    }
  }
  return p;
}

void RegionPixels::Gather(const std::vector<int>& regions) {
  ParallelFor(int(regions.size()), [&](int k) { Pixels(regions[std::size_t(k)]); });
}

bool RegionPixels::OnOutline(std::size_t i, int x, int y) const {
  const uint8_t* f = view_.flags;
  const int w = view_.width, h = view_.height;
  const std::size_t row = std::size_t(w);
  return (x > 0 && (f[i - 1] & kFlagRegionLine)) || (x + 1 < w && (f[i + 1] & kFlagRegionLine)) ||
         (y > 0 && (f[i - row] & kFlagRegionLine)) || (y + 1 < h && (f[i + row] & kFlagRegionLine));
}

void RegionPixels::AddRim(Of& p, std::size_t i, int x, int y) const {
  const uint8_t* f = view_.flags;
  const int w = view_.width, h = view_.height;
  const std::size_t row = std::size_t(w);
  if (x > 0 && (f[i - 1] & kFlagRegionLine)) p.rim.push_back({x - 1, y});
  if (x + 1 < w && (f[i + 1] & kFlagRegionLine)) p.rim.push_back({x + 1, y});
  if (y > 0 && (f[i - row] & kFlagRegionLine)) p.rim.push_back({x, y - 1});
  if (y + 1 < h && (f[i + row] & kFlagRegionLine)) p.rim.push_back({x, y + 1});
}

}  // namespace quenda

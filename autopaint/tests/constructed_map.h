#pragma once
// Region maps made for the matcher's tests: a sheet of paper (region 1) on which every pixel
// lies in the region a function gives, and every pixel beside a different region (but for the
// paper's) is a line pixel, as region extraction leaves them.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/region_data.h"
#include "common/region_vote.h"

namespace quenda::testing {

struct ConstructedMap {
  int width = 0, height = 0, regionCount = 0;
  std::vector<uint16_t> map;
  std::vector<uint8_t> flags;

  RegionMapView View() const { return {map.data(), width, height, regionCount, flags.data()}; }
};

template <class RegionAt>
ConstructedMap MakeMap(int width, int height, RegionAt regionAt) {
  ConstructedMap m;
  m.width = width, m.height = height;
  m.map.resize(std::size_t(width) * std::size_t(height));
  m.flags.assign(m.map.size(), 0);
  int top = 1;
  auto at = [&](int x, int y) -> uint16_t& {
    return m.map[std::size_t(y) * std::size_t(width) + std::size_t(x)];
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int region = regionAt(x, y);
      top = std::max(top, region);
      at(x, y) = uint16_t(region);
    }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint16_t here = at(x, y);
      const bool edge =
          (x + 1 < width && at(x + 1, y) != here) || (y + 1 < height && at(x, y + 1) != here);
      if (edge && here != 1)
        m.flags[std::size_t(y) * std::size_t(width) + std::size_t(x)] = kFlagRegionLine;
    }
  m.regionCount = top - 1;
  return m;
}

// Inside a bar of `width` from (x0, y0) along `degrees` for `length`.
inline bool InBar(double x, double y, double x0, double y0, double degrees, double length,
                  double width) {
  const double a = degrees * 3.14159265358979 / 180, dx = x - x0, dy = y - y0;
  const double along = dx * std::cos(a) + dy * std::sin(a);
  const double across = -dx * std::sin(a) + dy * std::cos(a);
  return along >= 0 && along <= length && std::abs(across) <= width / 2;
}

}  // namespace quenda::testing

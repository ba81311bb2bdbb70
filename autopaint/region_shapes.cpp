#include "autopaint/region_shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/region_data.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {
namespace {

bool IsLine(const RegionMapView& view, std::size_t i) {
  return view.flags && (view.flags[i] & kFlagRegionLine);
}

// Where the run of `region` off the lines from `x` on in the row starting at `row` ends: eight
// pixels at a time while all eight are of it (most runs are long: the paper, a body).
int RunEnd(const RegionMapView& view, std::size_t row, int x, uint16_t region) {
  const uint16_t* map = view.map + row;
  const uint8_t* flags = view.flags ? view.flags + row : nullptr;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(short(region));
  while (x + 8 <= view.width) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(map + x));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(eight, wanted)) != 0xFFFF ||
        (flags && HasLineAmongEight(flags + x)))
      break;
    x += 8;
  }
#endif
  while (x < view.width && map[x] == region && !(flags && (flags[x] & kFlagRegionLine))) ++x;
  return x;
}

uint64_t PairKey(int a, int b) {
  if (a > b) std::swap(a, b);
  return (uint64_t(uint32_t(a)) << 32) | uint32_t(b);
}

}  // namespace

double RegionShape::MajorAxis() const {
  const double mean = 0.5 * (sxx + syy);
  const double spread = std::sqrt(0.25 * (sxx - syy) * (sxx - syy) + sxy * sxy);
  return std::sqrt(std::max(0.0, mean + spread));
}

double RegionShape::MinorAxis() const {
  const double mean = 0.5 * (sxx + syy);
  const double spread = std::sqrt(0.25 * (sxx - syy) * (sxx - syy) + sxy * sxy);
  return std::sqrt(std::max(0.0, mean - spread));
}

std::vector<RegionShape> MeasureRegionShapes(const RegionMapView& view) {
  const std::size_t total = std::size_t(std::max(view.regionCount, 0)) + 2;
  std::vector<RegionShape> shapes(total);
  for (RegionShape& s : shapes) s = {0, 0, 0, 0, 0, 0, view.width, view.height, -1, -1};
  // Sums about a fixed point per region (its first pixel) keep the moments exact enough on
  // large pictures.
  struct Sums {
    double x = 0, y = 0, xx = 0, yy = 0, xy = 0, ox = 0, oy = 0;
  };
  std::vector<Sums> sums(total);
  // Runs of one region off the lines, added up in closed form.
  for (int y = 0; y < view.height; ++y) {
    const std::size_t row = std::size_t(y) * std::size_t(view.width);
    int x = 0;
    while (x < view.width) {
      const std::size_t r = view.map[row + std::size_t(x)];
      if (r >= total || IsLine(view, row + std::size_t(x))) {
        ++x;
        continue;
      }
      const int end = RunEnd(view, row, x + 1, uint16_t(r));
      RegionShape& s = shapes[r];
      Sums& m = sums[r];
      if (s.area == 0) m.ox = x, m.oy = y;
      const double n = end - x, a = x - m.ox, b = end - 1 - m.ox, dy = y - m.oy;
      const double sumX = n * (a + b) / 2;
      const double sumXX = (b * (b + 1) * (2 * b + 1) - (a - 1) * a * (2 * a - 1)) / 6;
      s.area += end - x;
      m.x += sumX, m.y += n * dy, m.xx += sumXX, m.yy += n * dy * dy, m.xy += sumX * dy;
      s.minX = std::min(s.minX, x), s.maxX = std::max(s.maxX, end - 1);
      s.minY = std::min(s.minY, y), s.maxY = std::max(s.maxY, y);
      x = end;
    }
  }
  for (std::size_t r = 0; r < total; ++r) {
    RegionShape& s = shapes[r];
    if (s.area == 0) continue;
    const Sums& m = sums[r];
    const double n = double(s.area), mx = m.x / n, my = m.y / n;
    s.cx = m.ox + mx, s.cy = m.oy + my;
    s.sxx = m.xx / n - mx * mx, s.syy = m.yy / n - my * my, s.sxy = m.xy / n - mx * my;
  }
  return shapes;
}

RegionBorders::RegionBorders(const RegionMapView& view) {
  const int total = std::max(view.regionCount, 0) + 2;
  neighbours_.resize(std::size_t(total));
  std::unordered_map<uint64_t, int64_t> shared;
  // Neighbouring pixels mostly share their pairs, so counts gather in a small direct-mapped
  // table first and reach the map only when their slot is wanted by another pair.
  constexpr std::size_t kSlots = 256;
  std::array<std::pair<uint64_t, int64_t>, kSlots> pending{};
  auto countPair = [&](uint64_t key) {
    auto& slot = pending[(key ^ (key >> 29)) % kSlots];
    if (slot.first != key) {
      if (slot.second > 0) shared[slot.first] += slot.second;
      slot = {key, 0};
    }
    ++slot.second;
  };
  const int w = view.width, h = view.height;
  auto regionAt = [&](int x, int y) -> int {
    const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
    if (IsLine(view, i) || view.map[i] >= total) return 0;
    return view.map[i];
  };
  int seen[25];
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      // Most of an analyzed drawing is off the lines: pass eight such pixels at a time.
      if (view.flags && x + 8 <= w && !HasLineAmongEight(view.flags + i)) {
        x += 7;
        continue;
      }
      if (!IsLine(view, i)) {
        // Line pixels separate the regions of an analyzed drawing; without them, touching
        // pixels do.
        if (view.flags) continue;
        const int here = regionAt(x, y);
        if (here == 0) continue;
        if (x + 1 < w) {
          const int right = regionAt(x + 1, y);
          if (right != 0 && right != here) countPair(PairKey(here, right));
        }
        if (y + 1 < h) {
          const int up = regionAt(x, y + 1);
          if (up != 0 && up != here) countPair(PairKey(here, up));
        }
        continue;
      }
      // A line pixel: the regions around it, looking further where the line is thick.
      int count = 0;
      for (int reach = 1; reach <= 2 && count < 2; ++reach) {
        count = 0;
        for (int dy = -reach; dy <= reach; ++dy)
          for (int dx = -reach; dx <= reach; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            const int r = regionAt(nx, ny);
            if (r != 0 && std::find(seen, seen + count, r) == seen + count) seen[count++] = r;
          }
      }
      for (int a = 0; a < count; ++a)
        for (int b = a + 1; b < count; ++b) countPair(PairKey(seen[a], seen[b]));
    }
  }
  for (const auto& [key, border] : pending)
    if (border > 0) shared[key] += border;
  for (const auto& [key, border] : shared) {
    const int a = int(key >> 32), b = int(key & 0xFFFFFFFFu);
    neighbours_[std::size_t(a)].push_back({b, border});
    neighbours_[std::size_t(b)].push_back({a, border});
  }
  for (auto& list : neighbours_) std::sort(list.begin(), list.end());
}

const std::vector<std::pair<int, int64_t>>& RegionBorders::Neighbours(int region) const {
  static const std::vector<std::pair<int, int64_t>> kNone;
  if (region < 0 || std::size_t(region) >= neighbours_.size()) return kNone;
  return neighbours_[std::size_t(region)];
}

}  // namespace quenda

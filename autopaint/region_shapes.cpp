#include "autopaint/region_shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/region_data.h"
#include "common/stripes.h"
#include "common/thread_pool.h"

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
  // Sums about the picture's corner, in whole numbers: a band of rows adds up its own, and the
  // bands' sums add up to the same whatever the bands. They are moved to a fixed point per
  // region (its first pixel) before they become moments, which keeps them exact enough on large
  // pictures.
  struct Sums {
    int64_t x = 0, y = 0, xx = 0, yy = 0, xy = 0;
    int ox = 0, oy = 0;  // the region's first pixel in the band
  };
  struct Band {
    std::vector<RegionShape> shapes;
    std::vector<Sums> sums;
  };
  const Stripes bands(0, view.height, InnerThreads(), 1);
  std::vector<Band> measured(std::size_t(bands.count()));
  // Runs of one region off the lines, added up in closed form.
  bands.Run([&](int k, int first, int last) {
    Band& band = measured[std::size_t(k)];
    band.shapes.assign(total, {0, 0, 0, 0, 0, 0, view.width, view.height, -1, -1});
    band.sums.assign(total, {});
    for (int y = first; y < last; ++y) {
      const std::size_t row = std::size_t(y) * std::size_t(view.width);
      int x = 0;
      while (x < view.width) {
        const std::size_t r = view.map[row + std::size_t(x)];
        if (r >= total || IsLine(view, row + std::size_t(x))) {
          ++x;
          continue;
        }
        const int end = RunEnd(view, row, x + 1, uint16_t(r));
        RegionShape& s = band.shapes[r];
        Sums& m = band.sums[r];
        if (s.area == 0) m.ox = x, m.oy = y;
        const int64_t n = end - x, a = x, b = end - 1;
        const int64_t sumX = n * (a + b) / 2;
        const int64_t sumXX = (b * (b + 1) * (2 * b + 1) - (a - 1) * a * (2 * a - 1)) / 6;
        s.area += n;
        m.x += sumX, m.y += n * y, m.xx += sumXX, m.yy += n * y * y, m.xy += sumX * y;
        s.minX = std::min(s.minX, x), s.maxX = std::max(s.maxX, end - 1);
        s.minY = std::min(s.minY, y), s.maxY = std::max(s.maxY, y);
        x = end;
      }
    }
  });
  std::vector<RegionShape> shapes(total);
  for (RegionShape& s : shapes) s = {0, 0, 0, 0, 0, 0, view.width, view.height, -1, -1};
  std::vector<Sums> sums(total);
  for (const Band& band : measured)
    for (std::size_t r = 0; r < total; ++r) {
      const RegionShape& part = band.shapes[r];
      if (part.area == 0) continue;
      RegionShape& s = shapes[r];
      Sums& m = sums[r];
      const Sums& p = band.sums[r];
      if (s.area == 0) m.ox = p.ox, m.oy = p.oy;  // the first band holding it has its first pixel
      s.area += part.area;
      m.x += p.x, m.y += p.y, m.xx += p.xx, m.yy += p.yy, m.xy += p.xy;
      s.minX = std::min(s.minX, part.minX), s.maxX = std::max(s.maxX, part.maxX);
      s.minY = std::min(s.minY, part.minY), s.maxY = std::max(s.maxY, part.maxY);
    }
  for (std::size_t r = 0; r < total; ++r) {
    RegionShape& s = shapes[r];
    if (s.area == 0) continue;
    const Sums& m = sums[r];
    const int64_t count = s.area, ox = m.ox, oy = m.oy;
    // The sums about the first pixel, still whole.
    const int64_t x = m.x - count * ox, y = m.y - count * oy;
    const int64_t xx = m.xx - 2 * ox * m.x + count * ox * ox;
    const int64_t yy = m.yy - 2 * oy * m.y + count * oy * oy;
    const int64_t xy = m.xy - oy * m.x - ox * m.y + count * ox * oy;
    const double n = double(count), mx = double(x) / n, my = double(y) / n;
    s.cx = double(ox) + mx, s.cy = double(oy) + my;
    s.sxx = double(xx) / n - mx * mx, s.syy = double(yy) / n - my * my;
    s.sxy = double(xy) / n - mx * my;
  }
  return shapes;
}

namespace {

// The border counts of the pairs of regions about the line pixels of rows [first, last).
std::vector<std::pair<uint64_t, int64_t>> CountBorders(const RegionMapView& view, int total,
                                                       int first, int last) {
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
  for (int y = first; y < last; ++y) {
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
  return {shared.begin(), shared.end()};
}

}  // namespace

RegionBorders::RegionBorders(const RegionMapView& view) {
  const int total = std::max(view.regionCount, 0) + 2;
  neighbours_.resize(std::size_t(total));
  // Each band of rows counts its own pairs; the counts are whole, so their sum is the same
  // whatever the bands.
  const Stripes bands(0, view.map ? view.height : 0, InnerThreads(), 1);
  std::vector<std::vector<std::pair<uint64_t, int64_t>>> counted(std::size_t(bands.count()));
  bands.Run([&](int k, int first, int last) {
    counted[std::size_t(k)] = CountBorders(view, total, first, last);
  });
  std::vector<std::pair<uint64_t, int64_t>> all;
  for (const auto& band : counted) all.insert(all.end(), band.begin(), band.end());
  std::sort(all.begin(), all.end());
  for (std::size_t i = 0; i < all.size();) {
    const uint64_t key = all[i].first;
    int64_t border = 0;
    for (; i < all.size() && all[i].first == key; ++i) border += all[i].second;
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

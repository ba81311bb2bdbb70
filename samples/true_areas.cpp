#include "samples/true_areas.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace quenda::samples {

std::vector<uint16_t> RenderShapeMap(const std::vector<PartShape>& shapes, int width, int height) {
  width = std::max(width, 0), height = std::max(height, 0);
  std::vector<uint16_t> map(std::size_t(width) * std::size_t(height), 0);
  for (std::size_t index = 0; index < shapes.size(); ++index) {
    ForEachOutlineSpan(shapes[index].outline, width, height, [&](int y, int x0, int x1) {
      uint16_t* row = map.data() + std::size_t(y) * std::size_t(width);
      std::fill(row + x0, row + x1 + 1, uint16_t(index + 1));
    });
  }
  return map;
}

TrueAreas FindTrueAreas(const std::vector<uint16_t>& shapeMap, int width, int height) {
  TrueAreas truth;
  truth.area.assign(shapeMap.size(), -1);
  std::vector<std::size_t> work;
  for (std::size_t seed = 0; seed < shapeMap.size(); ++seed) {
    if (truth.area[seed] >= 0) continue;
    const int32_t index = int32_t(truth.shape.size());
    const uint16_t shape = shapeMap[seed];
    truth.shape.push_back(shape);
    truth.pixels.push_back(0);
    truth.area[seed] = index;
    work.assign(1, seed);
    while (!work.empty()) {
      const std::size_t i = work.back();
      work.pop_back();
      ++truth.pixels.back();
      const int x = int(i % std::size_t(width)), y = int(i / std::size_t(width));
      auto visit = [&](int nx, int ny) {
        if (nx < 0 || ny < 0 || nx >= width || ny >= height) return;
        const std::size_t j = std::size_t(ny) * std::size_t(width) + std::size_t(nx);
        if (truth.area[j] >= 0 || shapeMap[j] != shape) return;
        truth.area[j] = index;
        work.push_back(j);
      };
      visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
    }
  }
  return truth;
}

AreaScore& AreaScore::operator+=(const AreaScore& o) {
  areas += o.areas, ownRegion += o.ownRegion;
  paperPixels += o.paperPixels, paperJoined += o.paperJoined;
  return *this;
}

AreaScore ScoreAreas(const TrueAreas& truth, const RegionData& regions, int width, int height,
                     int64_t leastPixels) {
  const std::size_t regionTotal = std::size_t(std::max(regions.regionCount, 0)) + 2;
  const std::size_t areaTotal = truth.shape.size();
  std::unordered_map<uint64_t, int64_t> together;  // (region, area) -> core pixels
  std::vector<int64_t> inRegion(regionTotal, 0), inArea(areaTotal, 0);
  std::vector<int64_t> regionPaper(regionTotal, 0);
  // The core of an area: its pixels whose 5 x 5 block is all of it, so that where the drawn
  // line runs a pixel off the shape's outline nothing counts, nor do slivers 4 pixels thin.
  const int r = kCoreReach;
  for (int y = r; y < height - r; ++y)
    for (int x = r; x < width - r; ++x) {
      const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
      if (regions.flags[i] & kFlagRegionLine) continue;
      const int32_t area = truth.area[i];
      bool core = true;
      for (int dy = -r; dy <= r && core; ++dy) {
        const int32_t* row = truth.area.data() + std::size_t(y + dy) * std::size_t(width);
        for (int dx = -r; dx <= r; ++dx)
          if (row[x + dx] != area) {
            core = false;
            break;
          }
      }
      if (!core) continue;
      const std::size_t region = std::min<std::size_t>(regions.regionMap[i], regionTotal - 1);
      const std::size_t a = std::size_t(area);
      ++together[uint64_t(region) << 32 | a];
      ++inRegion[region], ++inArea[a];
      if (truth.shape[a] == 0) ++regionPaper[region];
    }
  // Per area, the region holding most of it.
  std::vector<int64_t> best(areaTotal, 0);
  std::vector<std::size_t> bestRegion(areaTotal, 0);
  for (const auto& [key, count] : together) {
    const std::size_t a = std::size_t(key & 0xFFFFFFFFu);
    if (count > best[a]) best[a] = count, bestRegion[a] = std::size_t(key >> 32);
  }
  AreaScore score;
  for (std::size_t a = 0; a < areaTotal; ++a) {
    if (inArea[a] < leastPixels) continue;
    ++score.areas;
    if (10 * best[a] >= 9 * inRegion[bestRegion[a]]) ++score.ownRegion;
  }
  for (const auto& [key, count] : together) {
    const std::size_t region = std::size_t(key >> 32), a = std::size_t(key & 0xFFFFFFFFu);
    const bool mostlyPaper = 2 * regionPaper[region] >= inRegion[region];
    const bool paper = truth.shape[a] == 0;
    if (paper) score.paperPixels += count;
    if (paper != mostlyPaper) score.paperJoined += count;
  }
  return score;
}

}  // namespace quenda::samples

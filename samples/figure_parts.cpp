#include "samples/figure_parts.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quenda::samples {

void ForEachOutlineSpan(const std::vector<Point>& outline, int width, int height,
                        const std::function<void(int y, int x0, int x1)>& span) {
  const std::vector<Point>& p = outline;
  if (p.size() < 3) return;
  double low = p[0].y, high = p[0].y;
  for (const Point& q : p) low = std::min(low, q.y), high = std::max(high, q.y);
  const int y0 = std::max(0, int(std::ceil(low))), y1 = std::min(height - 1, int(high));
  std::vector<double> crossings;
  for (int y = y0; y <= y1; ++y) {
    crossings.clear();
    for (std::size_t k = 0; k < p.size(); ++k) {
      const Point& a = p[k];
      const Point& b = p[(k + 1) % p.size()];
      if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y))
        crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const int x0 = std::max(0, int(std::ceil(crossings[k])));
      const int x1 = std::min(width - 1, int(std::ceil(crossings[k + 1])) - 1);
      if (x0 <= x1) span(y, x0, x1);
    }
  }
}

std::vector<FigurePart> RenderPartMap(const std::vector<PartShape>& shapes, int width, int height) {
  width = std::max(width, 0), height = std::max(height, 0);
  std::vector<FigurePart> parts(std::size_t(width) * std::size_t(height), FigurePart::Paper);
  for (const PartShape& shape : shapes) {
    ForEachOutlineSpan(shape.outline, width, height, [&](int y, int x0, int x1) {
      FigurePart* row = parts.data() + std::size_t(y) * std::size_t(width);
      std::fill(row + x0, row + x1 + 1, shape.part);
    });
  }
  return parts;
}

RegionTruth TrueRegionParts(const std::vector<FigurePart>& partMap, const RegionData& regions) {
  const std::size_t total = std::size_t(std::max(regions.regionCount, 0)) + 2;
  std::vector<std::array<int64_t, kFigurePartCount>> tally(total);
  RegionTruth truth{std::vector<FigurePart>(total, FigurePart::Paper),
                    std::vector<int64_t>(total, 0)};
  const std::size_t pixels =
      std::min({partMap.size(), regions.regionMap.size(), regions.flags.size()});
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::size_t r = regions.regionMap[i];
    if (r >= total || (regions.flags[i] & kFlagRegionLine)) continue;
    ++tally[r][std::size_t(partMap[i])];
    ++truth.area[r];
  }
  for (std::size_t r = 1; r < total; ++r)
    truth.part[r] =
        FigurePart(std::max_element(tally[r].begin(), tally[r].end()) - tally[r].begin());
  return truth;
}

std::vector<PartFill> PartFills(const std::vector<FigurePart>& partMap, const RegionData& regions,
                                int width) {
  const RegionTruth truth = TrueRegionParts(partMap, regions);
  std::vector<PartFill> fills(truth.part.size());
  const std::size_t pixels = std::min(regions.regionMap.size(), regions.flags.size());
  for (std::size_t i = pixels; i-- > 0;) {  // the last one kept is the first pixel
    const std::size_t r = regions.regionMap[i];
    if (r >= fills.size() || (regions.flags[i] & kFlagRegionLine) || width <= 0) continue;
    fills[r].x = int(i % std::size_t(width)), fills[r].y = int(i / std::size_t(width));
  }
  std::vector<PartFill> made;
  for (std::size_t r = 1; r < fills.size(); ++r) {
    if (truth.area[r] == 0) continue;
    const std::string_view name = PartColorName(truth.part[r]);
    made.push_back({int(r), fills[r].x, fills[r].y, name.empty() ? kPaperColorName : name});
  }
  return made;
}

std::string_view PartColorName(FigurePart part) {
  static constexpr std::string_view kNames[kFigurePartCount] = {
      "",      "SKIN",   "SHIRT", "PANTS", "HAIR", "SHOES",  "EYE",  "PUPIL", "BROW",  "MOUTH",
      "TEETH", "TONGUE", "NOSE",  "FUR",   "SPOT", "STRIPE", "COAT", "JEANS", "JELLY", "BELLY",
  };
  const auto index = std::size_t(part);
  return index < std::size(kNames) ? kNames[index] : std::string_view{};
}

}  // namespace quenda::samples

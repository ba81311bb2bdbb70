// Region shapes, measured by runs along rows, against a literal sum over every pixel, on maps of
// random blocks with random lines, with numbers beyond the table among them.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "autopaint/region_shapes.h"
#include "common/region_data.h"

namespace quenda {
namespace {

TEST(RegionShapes, MatchALiteralSumOverEveryPixel) {
  std::mt19937 random(5);
  struct Case {
    int w, h, regions, runLength;
    double lineShare;
    bool flags;
  } cases[] = {{97, 53, 6, 30, 0.02, true},
               {8, 40, 3, 9, 0.1, true},
               {300, 20, 12, 70, 0, true},
               {45, 45, 4, 12, 0.05, false},
               {1, 17, 2, 3, 0.2, true}};
  for (const Case& c : cases) {
    std::vector<uint16_t> map(std::size_t(c.w) * std::size_t(c.h));
    std::vector<uint8_t> flags(map.size(), 0);
    std::uniform_int_distribution<int> region(1, c.regions + 2);  // + 2: beyond the table
    std::uniform_int_distribution<int> run(1, c.runLength);
    std::bernoulli_distribution line(c.lineShare);
    for (std::size_t i = 0; i < map.size();) {
      const int r = region(random);
      for (int n = run(random); n > 0 && i < map.size(); --n, ++i) {
        map[i] = uint16_t(r);
        flags[i] = line(random) ? kFlagRegionLine : kFlagAnimatorLine;
      }
    }
    const RegionMapView view{map.data(), c.w, c.h, c.regions, c.flags ? flags.data() : nullptr};
    const std::vector<RegionShape> shapes = MeasureRegionShapes(view);
    ASSERT_EQ(shapes.size(), std::size_t(c.regions) + 2);
    for (int r = 0; r < int(shapes.size()); ++r) {
      int64_t area = 0;
      double x = 0, y = 0, xx = 0, yy = 0, xy = 0;
      int minX = c.w, minY = c.h, maxX = -1, maxY = -1;
      for (int py = 0; py < c.h; ++py)
        for (int px = 0; px < c.w; ++px) {
          const std::size_t i = std::size_t(py) * std::size_t(c.w) + std::size_t(px);
          if (map[i] != r || (c.flags && (flags[i] & kFlagRegionLine))) continue;
          ++area, x += px, y += py, xx += px * px, yy += py * py, xy += px * py;
          minX = std::min(minX, px), maxX = std::max(maxX, px);
          minY = std::min(minY, py), maxY = std::max(maxY, py);
        }
      const RegionShape& s = shapes[std::size_t(r)];
      SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " region " << r);
      EXPECT_EQ(s.area, area);
      EXPECT_EQ(std::tuple(s.minX, s.minY, s.maxX, s.maxY), std::tuple(minX, minY, maxX, maxY));
      if (area == 0) continue;
      const double n = double(area), cx = x / n, cy = y / n;
      EXPECT_NEAR(s.cx, cx, 1e-9);
      EXPECT_NEAR(s.cy, cy, 1e-9);
      EXPECT_NEAR(s.sxx, xx / n - cx * cx, 1e-6);
      EXPECT_NEAR(s.syy, yy / n - cy * cy, 1e-6);
      EXPECT_NEAR(s.sxy, xy / n - cx * cy, 1e-6);
    }
  }
}

}  // namespace
}  // namespace quenda

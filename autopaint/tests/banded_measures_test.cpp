// The measures auto paint takes in bands of rows on the inner threads are those of one thread,
// bit for bit: region shapes (moments included), borders and the line distance field, on
// pictures taller and shorter than the number of threads.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "autopaint/line_distance.h"
#include "autopaint/region_shapes.h"
#include "autopaint/tests/constructed_map.h"
#include "common/thread_pool.h"

namespace quenda {
namespace {

using testing::ConstructedMap;
using testing::InBar;
using testing::MakeMap;

// Bars and boxes crossing one another, so that regions span several bands.
ConstructedMap Picture(int w, int h) {
  return MakeMap(w, h, [&](int x, int y) {
    if (InBar(x, y, w * 0.1, h * 0.2, 50, w * 0.9, 5)) return 2;
    if (InBar(x, y, w * 0.8, h * 0.1, 120, h * 0.9, 7)) return 3;
    if (x > w / 3 && x < w / 2 && y > h / 4 && y < h / 2) return 4 + (x + y) % 3 / 2;
    if ((x / 9 + y / 7) % 5 == 0) return 6 + (x / 9) % 4;
    return 1;
  });
}

struct Measures {
  std::vector<RegionShape> shapes;
  std::vector<std::vector<std::pair<int, int64_t>>> borders;
  std::vector<int> distance;
};

Measures MeasureOn(const ConstructedMap& m, int threads) {
  const int before = InnerThreads();
  SetInnerThreads(threads);
  Measures out;
  out.shapes = MeasureRegionShapes(m.View());
  const RegionBorders borders(m.View());
  for (int r = 0; r < m.regionCount + 2; ++r) out.borders.push_back(borders.Neighbours(r));
  const LineDistance field(m.View());
  for (int y = -1; y <= m.height; ++y)
    for (int x = -1; x <= m.width; ++x) out.distance.push_back(field.At(x, y));
  SetInnerThreads(before);
  return out;
}

void ExpectSameShapes(const std::vector<RegionShape>& a, const std::vector<RegionShape>& b,
                      const char* what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t r = 0; r < a.size(); ++r) {
    const RegionShape &x = a[r], &y = b[r];
    EXPECT_EQ(x.area, y.area) << what << " region " << r;
    // Bit for bit: the moments are the same numbers, not merely near.
    for (const auto& [p, q] :
         {std::pair{x.cx, y.cx}, {x.cy, y.cy}, {x.sxx, y.sxx}, {x.syy, y.syy}, {x.sxy, y.sxy}})
      EXPECT_EQ(std::bit_cast<uint64_t>(p), std::bit_cast<uint64_t>(q)) << what << " region " << r;
    EXPECT_EQ(std::vector<int>({x.minX, x.minY, x.maxX, x.maxY}),
              std::vector<int>({y.minX, y.minY, y.maxX, y.maxY}))
        << what << " region " << r;
  }
}

TEST(BandedMeasures, AreThoseOfOneThreadWithTwoAndSevenThreads) {
  struct Case {
    const char* name;
    int w, h;
  } cases[] = {{"tall", 120, 400},
               {"wide", 500, 60},
               {"fewer rows than threads", 90, 4},
               {"one row", 70, 1}};
  for (const Case& c : cases) {
    const ConstructedMap m = Picture(c.w, c.h);
    const Measures one = MeasureOn(m, 1);
    // The case is worth running only with more than the paper and lines in it.
    EXPECT_GT(m.regionCount, 2) << c.name;
    for (int threads : {2, 7}) {
      const Measures many = MeasureOn(m, threads);
      ExpectSameShapes(many.shapes, one.shapes, c.name);
      EXPECT_EQ(many.borders, one.borders) << c.name << ", " << threads << " threads";
      EXPECT_EQ(many.distance, one.distance) << c.name << ", " << threads << " threads";
    }
  }
}

// The moments are summed in whole numbers: a region far from the corner of a large picture
// keeps its spread exactly (a 3 x 2 box: variance 2/3 across, 1/4 up).
TEST(BandedMeasures, KeepTheSpreadOfASmallRegionFarFromTheCorner) {
  const ConstructedMap m = MakeMap(
      3000, 40, [](int x, int y) { return x >= 2990 && x < 2993 && y >= 30 && y < 32 ? 2 : 1; });
  for (int threads : {1, 2, 7}) {
    SetInnerThreads(threads);
    const std::vector<RegionShape> shapes =
        MeasureRegionShapes({m.map.data(), m.width, m.height, m.regionCount, nullptr});
    EXPECT_EQ(shapes[2].area, 6) << threads;
    EXPECT_DOUBLE_EQ(shapes[2].cx, 2991) << threads;
    EXPECT_DOUBLE_EQ(shapes[2].cy, 30.5) << threads;
    EXPECT_NEAR(shapes[2].sxx, 2.0 / 3, 1e-12) << threads;
    EXPECT_NEAR(shapes[2].syy, 0.25, 1e-12) << threads;
    EXPECT_NEAR(shapes[2].sxy, 0, 1e-12) << threads;
  }
  ClearInnerThreads();
}

}  // namespace
}  // namespace quenda

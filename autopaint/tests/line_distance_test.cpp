// The distance field of a drawing's lines against a literal oracle (the least chamfer distance
// to every line pixel, one by one), and the outline fit that slides an outline onto lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "autopaint/line_distance.h"
#include "autopaint/outline_fit.h"
#include "common/region_data.h"

namespace quenda {
namespace {

// The 3-4 chamfer distance from (x, y) to the nearest of the line pixels, cut off as the field
// is.
int OracleDistance(const std::vector<std::pair<int, int>>& lines, int x, int y) {
  int best = kFarFromLine;
  for (const auto& [qx, qy] : lines) {
    const int a = std::max(std::abs(qx - x), std::abs(qy - y));
    const int b = std::min(std::abs(qx - x), std::abs(qy - y));
    best = std::min(best, 4 * b + 3 * (a - b));
  }
  return best;
}

TEST(LineDistance, EqualsTheLeastChamferDistanceToEveryLinePixel) {
  std::mt19937 random(7);
  struct Case {
    int w, h;
    double lineShare;
  } cases[] = {{61, 47, 0.02}, {200, 9, 0.001}, {300, 260, 0.0001}, {33, 33, 0.3}, {40, 30, 0},
               {16, 16, 0.03}, {17, 40, 0.02},  {1, 30, 0.1},       {50, 1, 0.1}};
  for (const Case& c : cases) {
    std::vector<uint8_t> flags(std::size_t(c.w) * std::size_t(c.h), 0);
    std::bernoulli_distribution line(c.lineShare);
    std::vector<std::pair<int, int>> lines;
    for (std::size_t i = 0; i < flags.size(); ++i) {
      const bool on = line(random);
      flags[i] = on ? kFlagRegionLine : kFlagAnimatorLine;  // ink alone is no region line
      if (on) lines.push_back({int(i % std::size_t(c.w)), int(i / std::size_t(c.w))});
    }
    const std::vector<uint16_t> map(flags.size(), 1);
    const LineDistance field({map.data(), c.w, c.h, 0, flags.data()});
    for (int y = -2; y < c.h + 2; ++y)
      for (int x = -2; x < c.w + 2; ++x) {
        const bool inside = x >= 0 && y >= 0 && x < c.w && y < c.h;
        const int expected = inside ? OracleDistance(lines, x, y) : kFarFromLine;
        ASSERT_EQ(field.At(x, y), expected) << c.w << "x" << c.h << " at " << x << "," << y;
      }
  }
  const std::vector<uint16_t> map(100, 1);
  EXPECT_EQ(LineDistance({map.data(), 10, 10, 0, nullptr}).At(5, 5), kFarFromLine);
}

// A box outline, and the same box's rim moved away: the fit finds it again within its reach.
TEST(OutlineFit, SlidesAnOutlineOntoTheLinesItMatches) {
  constexpr int kW = 200, kH = 160;
  std::vector<uint8_t> flags(std::size_t(kW) * kH, 0);
  std::vector<std::pair<int, int>> rim;
  for (int x = 50; x <= 90; ++x) rim.push_back({x, 40}), rim.push_back({x, 100});
  for (int y = 41; y < 100; ++y) rim.push_back({50, y}), rim.push_back({90, y});
  for (const auto& [x, y] : rim) flags[std::size_t(y) * kW + std::size_t(x)] = kFlagRegionLine;
  const std::vector<uint16_t> map(flags.size(), 1);
  const LineDistance field({map.data(), kW, kH, 0, flags.data()});
  std::vector<std::pair<int, int>> moved;
  for (const auto& [x, y] : rim) moved.push_back({x - 7, y + 5});  // lands at (+7, -5)
  const OutlineFit near = FitOutline(moved, field, 0, 0, 8, 1);
  EXPECT_EQ(std::tuple(near.x, near.y, near.landed), std::tuple(7, -5, 1.0));
  EXPECT_LT(OutlineLanded(moved, field, 0, 0, 1), 0.05);  // where the two boxes cross
  EXPECT_EQ(FitOutline({}, field, 3, 4, 8, 1).landed, 0.0);
}

}  // namespace
}  // namespace quenda

// The block counts of a painted piece's coarse search against the literal search they replace:
// every motion tried in turn, every point looked up in its block.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "autopaint/block_hits.h"

namespace quenda {
namespace {

std::vector<uint16_t> Oracle(const std::vector<std::pair<int, int>>& points, const BlockGrid& g,
                             int gx, int gy, int steps) {
  std::vector<uint16_t> hits;
  for (int j = -steps; j <= steps; ++j)
    for (int i = -steps; i <= steps; ++i) {
      const int dx = gx + i * g.block, dy = gy + j * g.block;
      uint16_t on = 0;
      for (const auto& [px, py] : points) {
        const int x = px - dx, y = py - dy;
        if (x < 0 || y < 0 || x >= g.width || y >= g.height) continue;
        on +=
            g.marked[std::size_t(y / g.block) * std::size_t(g.columns) + std::size_t(x / g.block)];
      }
      hits.push_back(on);
    }
  return hits;
}

TEST(BlockHits, CountEveryMotionAsTheLiteralSearchDoes) {
  std::mt19937 random(11);
  struct Case {
    int width, height, block, steps, points;
    double marked;
  } cases[] = {{120, 90, 4, 12, 64, 0.3},  {37, 61, 4, 20, 40, 0.5}, {200, 40, 3, 30, 100, 0.1},
               {16, 16, 4, 2, 5, 1.0},     {50, 50, 4, 9, 1, 0.5},   {80, 80, 5, 0, 30, 0.5},
               {90, 70, 4, 25, 300, 0.05}, {64, 64, 4, 6, 0, 0.5}};
  for (const Case& c : cases) {
    const int columns = (c.width + c.block - 1) / c.block,
              rows = (c.height + c.block - 1) / c.block;
    std::vector<uint8_t> marked(std::size_t(columns) * std::size_t(rows));
    std::bernoulli_distribution mark(c.marked);
    for (uint8_t& m : marked) m = mark(random);
    // Points within the picture and beyond it, so that motions carry some of them off.
    std::uniform_int_distribution<int> x(-20, c.width + 20), y(-20, c.height + 20);
    std::vector<std::pair<int, int>> points;
    for (int k = 0; k < c.points; ++k) points.push_back({x(random), y(random)});
    const BlockGrid grid{marked.data(), columns, rows, c.block, c.width, c.height};
    for (const auto& [gx, gy] : {std::pair{0, 0}, {7, -5}, {-13, 22}, {c.width, 0}}) {
      SCOPED_TRACE(testing::Message()
                   << c.width << "x" << c.height << " around " << gx << "," << gy);
      EXPECT_EQ(CountBlockHits(points, grid, gx, gy, c.steps),
                Oracle(points, grid, gx, gy, c.steps));
    }
  }
}

}  // namespace
}  // namespace quenda

// The samples a view keeps: after any move to another grid and any refresh they are exactly
// the picture sampled afresh on the kept grid, and only the samples not kept before (or inside
// the refreshed box) are composed.
#include "common/kept_samples.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quenda {
namespace {

// Every pixel its own colour, so a mix-up of rows or columns shows.
Raster MakePicture(int width, int height, int seed = 0) {
  Raster picture(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = picture.At(x, y);
      pixel[0] = uint8_t(x * 5 + y + seed);
      pixel[1] = uint8_t(y * 7 + seed * 3);
      pixel[2] = uint8_t(x + y * 3);
    }
  return picture;
}

struct Fixture {
  Raster picture = MakePicture(47, 33);
  long composed = 0;
  KeptSamples kept;
  SampleSource source = [this](const SampleGrid& grid, RasterView out) {
    EXPECT_TRUE(grid.Inside(picture.width(), picture.height()));
    composed += long(grid.columns) * grid.rows;
    SamplePicture(picture, grid, out);
  };

  Raster Fresh(const SampleGrid& grid) const {
    Raster out(grid.columns, grid.rows, 3);
    SamplePicture(picture, grid, out.view());
    return out;
  }
  // The kept colours; every fourth byte must be opaque.
  Raster Kept() const {
    const ConstRasterView rows = kept.samples();
    EXPECT_EQ(rows.channels, 4);
    Raster out(rows.width, rows.height, 3);
    for (int j = 0; j < rows.height; ++j)
      for (int i = 0; i < rows.width; ++i) {
        std::memcpy(out.At(i, j), rows.At(i, j), 3);
        EXPECT_EQ(rows.At(i, j)[3], 255) << i << "," << j;
      }
    return out;
  }
};

// Samples of `next` that also lie on `kept` when both have one step: those a move keeps.
long Shared(const SampleGrid& kept, const SampleGrid& next) {
  if (kept.IsEmpty() || kept.step != next.step) return 0;
  long shared = 0;
  for (int j = 0; j < next.rows; ++j)
    for (int i = 0; i < next.columns; ++i) {
      const int dx = next.X(i) - kept.x0, dy = next.Y(j) - kept.y0;
      if (dx >= 0 && dy >= 0 && dx % kept.step == 0 && dy % kept.step == 0 &&
          dx / kept.step < kept.columns && dy / kept.step < kept.rows)
        ++shared;
    }
  return shared;
}

TEST(KeptSamples, EveryMoveKeepsWhatBothGridsShowAndComposesOnlyTheRest) {
  // One walk through moves of every kind, each from the grid before it.
  const SampleGrid walk[] = {
      {3, 4, 20, 10, 1},    // from nothing
      {3, 4, 20, 10, 1},    // the same grid: nothing composed
      {8, 6, 20, 10, 1},    // right and up
      {1, 1, 20, 10, 1},    // left and down
      {1, 1, 46, 32, 1},    // grown around the last
      {10, 8, 5, 4, 1},     // shrunk inside
      {30, 20, 17, 13, 1},  // beside it, sharing nothing
      {13, 0, 17, 13, 1},   // as large, sharing nothing
      {5, 3, 17, 13, 1},    // as large, left and up
      {9, 3, 17, 13, 1},    // as large, right only
      {9, 1, 17, 13, 1},    // as large, down only
      {0, 2, 23, 16, 2},    // another step
      {4, 0, 21, 16, 2},    // the same step and phase, moved
      {0, 2, 21, 16, 2},    // as large, two steps left and one up
      {5, 0, 21, 16, 2},    // the same step, another phase: nothing shared
      {2, 1, 15, 11, 3},   {5, 7, 14, 9, 3}, {0, 0, 1, 1, 1}, {46, 32, 1, 1, 1},
  };
  Fixture f;
  SampleGrid before;
  for (const SampleGrid& grid : walk) {
    f.composed = 0;
    f.kept.Cover(grid, f.source);
    ASSERT_EQ(f.kept.grid(), grid);
    EXPECT_EQ(f.Kept(), f.Fresh(grid)) << grid.x0 << "," << grid.y0 << " step " << grid.step;
    EXPECT_EQ(f.composed, long(grid.columns) * grid.rows - Shared(before, grid))
        << grid.x0 << "," << grid.y0 << " step " << grid.step;
    before = grid;
  }
}

TEST(KeptSamples, ARefreshComposesTheSamplesInItsBoxOnly) {
  struct Case {
    SampleGrid grid;
    ImageRect box;
  };
  const Case cases[] = {
      {{3, 4, 20, 10, 1}, {5, 9, 6, 8}},      // inside
      {{3, 4, 20, 10, 1}, {0, 5, 0, 47}},     // over the left edge and past the top
      {{3, 4, 20, 10, 1}, {22, 40, 13, 14}},  // the last column and row only
      {{3, 4, 20, 10, 1}, {23, 40, 0, 33}},   // beside the grid
      {{2, 1, 15, 11, 3}, {3, 5, 0, 33}},     // between two sampled columns
      {{2, 1, 15, 11, 3}, {4, 12, 3, 9}},     // columns 5, 8, 11 and rows 4, 7
      {{0, 2, 23, 16, 2}, {0, 47, 0, 33}},    // the whole picture
      {{3, 4, 20, 10, 1}, {10, 10, 5, 9}},    // empty
  };
  for (const Case& c : cases) {
    Fixture f;
    f.kept.Cover(c.grid, f.source);
    f.picture = MakePicture(47, 33, 91);
    f.composed = 0;
    f.kept.Refresh(c.box, f.source);
    // Inside the box every sample is the new picture's, outside it the old one's.
    const Raster fresh = f.Fresh(c.grid), kept = f.Kept();
    const Raster old = Fixture().Fresh(c.grid);
    long inside = 0;
    for (int j = 0; j < c.grid.rows; ++j)
      for (int i = 0; i < c.grid.columns; ++i) {
        const int x = c.grid.X(i), y = c.grid.Y(j);
        const bool in = x >= c.box.x0 && x < c.box.x1 && y >= c.box.y0 && y < c.box.y1;
        inside += in;
        ASSERT_EQ(std::memcmp(kept.At(i, j), (in ? fresh : old).At(i, j), 3), 0)
            << "sample " << i << "," << j << " box " << c.box.x0 << ".." << c.box.x1;
      }
    EXPECT_EQ(f.composed, inside) << c.box.x0 << ".." << c.box.x1;
  }
}

TEST(KeptSamples, TopDownRowsAreTheSamplesFromTheTop) {
  Fixture f;
  for (const SampleGrid& grid : {SampleGrid{3, 4, 21, 10, 1}, SampleGrid{1, 1, 7, 5, 2}}) {
    f.kept.Cover(grid, f.source);
    const ConstRasterView rows = f.kept.samples();
    EXPECT_GE(f.kept.topDownStride(), grid.columns * 4);
    for (int r = 0; r < grid.rows; ++r)
      EXPECT_EQ(std::memcmp(f.kept.topDown() + r * f.kept.topDownStride(),
                            rows.Row(grid.rows - 1 - r), std::size_t(grid.columns) * 4),
                0)
          << r;
  }
  // Cleared, the next cover composes its whole grid again.
  f.kept.Clear();
  EXPECT_TRUE(f.kept.empty());
  f.composed = 0;
  f.kept.Cover({1, 1, 7, 5, 2}, f.source);
  EXPECT_EQ(f.composed, 35);
  f.kept.Cover({}, f.source);
  EXPECT_TRUE(f.kept.empty());
}

}  // namespace
}  // namespace quenda

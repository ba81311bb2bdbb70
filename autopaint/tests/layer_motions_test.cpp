// Figures that move apart: the motions of a drawing's figures found from its lines, and a piece
// of one figure that looks like a piece of the other, paired by where its figure's motion lays it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "autopaint/layer_motions.h"
#include "autopaint/line_motion.h"
#include "autopaint/outline_fit.h"
#include "autopaint/shape_match.h"
#include "autopaint/tests/constructed_map.h"
#include "common/thread_pool.h"

namespace quenda {
namespace {

using testing::ConstructedMap;
using testing::MakeMap;

constexpr int kW = 320, kH = 200;

// Two figures, each a head over a body. The near one (head 2, body pieces 3 and 4 parted at
// `fold` by a fold of the shirt) stands at `nearX` in front of the far one, which stays at
// x = 146, taller (head 7, a long coat 6 with a pocket 5 on it).
ConstructedMap Walkers(int nearX, int fold) {
  return MakeMap(kW, kH, [&](int x, int y) {
    if (x >= nearX && x <= nearX + 40) {
      if (y >= 60 && y <= 140) return y <= fold ? 3 : 4;
      if (y >= 20 && y <= 50 && x >= nearX + 8 && x <= nearX + 32) return 2;
    }
    if (x >= 146 && x <= 196) {
      if (y >= 40 && y <= 176) return x >= 150 && x <= 190 && y >= 91 && y <= 130 ? 5 : 6;
      if (y >= 6 && y <= 32 && x >= 164 && x <= 178) return 7;
    }
    return 1;
  });
}

// The near figure moves 34 pixels towards the far one, which stays: the near figure's lines
// are found to move by (-34, 0) from the target onto the source, the far one's by none. The
// lines are gone over in bands of rows, and any number of threads finds the same motions.
TEST(LayerMotions, TwoFiguresMovingApartGiveTwoMotionsOnAnyNumberOfThreads) {
  const ConstructedMap source = Walkers(96, 120), target = Walkers(130, 100);
  const LineDistance lines(source.View());
  const int tolerance = OutlineTolerance(kW, kH);
  for (int threads : {1, 2, 7}) {
    SetInnerThreads(threads);
    const std::vector<Vec> still =
        EstimateLayerMotions(source.View(), source.View(), {0, 0}, lines, tolerance, {0, 0});
    ASSERT_EQ(still.size(), 1u) << "a drawing laid on itself moves one way; " << threads;
    const LineMotion most = EstimateLineMotion(target.View(), source.View(), {0, 0});
    const std::vector<Vec> apart = EstimateLayerMotions(
        target.View(), source.View(), {0, 0}, lines, tolerance, {double(most.x), double(most.y)});
    ASSERT_GE(apart.size(), 2u) << threads;
    for (const Vec& figure : {Vec{-34, 0}, Vec{0, 0}})
      EXPECT_EQ(std::count_if(apart.begin(), apart.begin() + 2,
                              [&](Vec m) { return m.x == figure.x && m.y == figure.y; }),
                1)
          << "the first two motions hold (" << figure.x << ", " << figure.y << "); " << threads;
  }
  ClearInnerThreads();
}

// In front of the far figure, the near one's piece below the fold (4) is a block of the far
// one's pocket's size and shape, half over the pocket and nearer it than the near figure's own
// piece there, which the fold cut shorter in the drawing before. Its figure's motion lays it on
// that piece: it is paired with it, not with the pocket, whose motion would vouch for itself.
TEST(LayerMotions, APieceOfTheNearFigureIsNotPairedWithALookAlikeOfTheFarOne) {
  const ConstructedMap source = Walkers(96, 120), target = Walkers(130, 100);
  const std::vector<int32_t> colours{0, 0, 9, 5, 5, 7, 6, 9};
  for (const std::vector<int32_t>* byColour :
       {static_cast<const std::vector<int32_t>*>(nullptr), &colours}) {
    const ShapeMatch m = MatchRegionShapes(target.View(), source.View(), {0, 0}, 10, byColour);
    const char* how = byColour ? "by colour" : "by region";
    ASSERT_EQ(m.source.size(), 8u) << how;
    EXPECT_EQ(m.source[4], 4) << how;
    EXPECT_EQ(m.source[2], 2) << how;
    EXPECT_EQ(m.source[3], 3) << how;
  }
}

}  // namespace
}  // namespace quenda

// Matching by shapes on constructed region maps: a figure whose arm turns about its shoulder,
// that squashes and moves, and a pocket a crossing arm hides; how sure each match is, and what
// stays unfilled when it is not sure enough.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "autopaint/shape_match.h"
#include "autopaint/tests/constructed_map.h"

namespace quenda {
namespace {

using testing::ConstructedMap;
using testing::InBar;
using testing::MakeMap;

constexpr int kW = 240, kH = 200;

// A body (2) with an arm (3) turned `armDegrees` about its shoulder, a head (4) above it and a
// pocket (5) on the body, squashed upright by `squash` about the feet. A crossing arm (6), from
// the body's other side, lies over the pocket when `crossing`.
struct Figure {
  double armDegrees = 0, squash = 1;
  int dx = 0;
  bool pocket = true, crossing = false;
};

ConstructedMap Draw(const Figure& f) {
  return MakeMap(kW, kH, [&](int px, int py) {
    const double x = px - f.dx, y = 180 - (180 - py) / f.squash;
    if (f.crossing && InBar(x, y, 60, 70, 10, 70, 9)) return 6;
    if (InBar(x, y, 102, 70, f.armDegrees, 60, 10)) return 3;
    if (x >= 60 && x <= 100 && y >= 60 && y <= 180) {
      if (f.pocket && x >= 70 && x <= 85 && y >= 75 && y <= 88) return 5;
      return 2;
    }
    if (x >= 66 && x <= 94 && y >= 25 && y <= 57) return 4;
    return 1;
  });
}

std::vector<int> Match(const ConstructedMap& target, const ConstructedMap& source,
                       int confidence = kDefaultConfidence,
                       const std::vector<int32_t>* colours = nullptr) {
  return MatchRegionShapes(target.View(), source.View(), {0, 0}, 10, colours, confidence).source;
}

TEST(ShapeMatchFollows, ThePartsOfAFigureThatMovesTurnsAndSquashes) {
  struct Case {
    const char* name;
    Figure source, target;
    std::vector<int> expected;  // per target region 0 .. 5
  };
  const Case cases[] = {
      {"arm turning 60 degrees about its shoulder", {-30}, {30}, {0, 1, 2, 3, 4, 5}},
      {"arm turning back 60 degrees", {40}, {-20}, {0, 1, 2, 3, 4, 5}},
      {"squashed by 30 %", {0}, {0, 0.7}, {0, 1, 2, 3, 4, 5}},
      {"stretched back from a squash", {0, 0.7}, {0}, {0, 1, 2, 3, 4, 5}},
      {"moved across further than the arm is wide", {0}, {0, 1, 24}, {0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Match(Draw(c.target), Draw(c.source)), c.expected) << c.name;
}

TEST(ShapeMatchConfidence, AMatchLessSureThanAskedLeavesItsRegionUnfilled) {
  const ConstructedMap still = Draw({0}), squashed = Draw({0, 0.7});
  // An unchanged figure is sure at the most, the paper too.
  const ShapeMatch same = MatchRegionShapes(still.View(), still.View(), {0, 0});
  EXPECT_EQ(same.confidence, (std::vector<int>{0, 100, 100, 100, 100, 100}));
  // A squash is less sure; at every threshold, what is matched is matched at least that surely,
  // and what is left out was matched less surely (or not at all) at no threshold.
  const ShapeMatch all = MatchRegionShapes(squashed.View(), still.View(), {0, 0}, 10, nullptr, 0);
  EXPECT_EQ(all.source, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  int leftAtMost = 0;
  for (int threshold : {0, 25, kDefaultConfidence, 75, 90, kMaxConfidence}) {
    const ShapeMatch m =
        MatchRegionShapes(squashed.View(), still.View(), {0, 0}, 10, nullptr, threshold);
    for (std::size_t r = 2; r < m.source.size(); ++r) {
      if (m.source[r] != 0) {
        EXPECT_GE(m.confidence[r], threshold) << "region " << r << " at " << threshold;
      } else {
        EXPECT_EQ(m.confidence[r], 0) << "region " << r << " at " << threshold;
      }
      if (threshold == kDefaultConfidence) {
        EXPECT_EQ(m.source[r], int(r));
      }
      if (threshold == kMaxConfidence) leftAtMost += m.source[r] == 0;
    }
  }
  EXPECT_GE(leftAtMost, 1);
}

// The pocket (colour 7) is hidden under the crossing arm (colour 8) in the drawing before, and
// shows again: it stays unfilled rather than take the body's colour or the arm's, and the
// drawing before that gives it back.
TEST(ShapeMatchHidden, ARegionHiddenByACrossingLimbStaysUnfilledAndReturnsFromAnEarlierOne) {
  const ConstructedMap shown = Draw({0}), hidden = Draw({0, 1, 0, false, true}), again = Draw({0});
  const std::vector<int32_t> shownColours{0, 0, 5, 6, 4, 7}, hiddenColours{0, 0, 5, 6, 4, 0, 8};
  const std::vector<int> fromHidden = Match(again, hidden, kDefaultConfidence, &hiddenColours);
  EXPECT_EQ(fromHidden, (std::vector<int>{0, 1, 2, 3, 4, 0}));
  EXPECT_EQ(Match(again, shown, kDefaultConfidence, &shownColours)[5], 5);
}

// A squash keeps every part inside its counterpart, but the outlines no longer land on the
// lines: sure enough to paint, never wholly sure. The pocket is the part with lines all round
// it (these maps draw none towards the paper), the body the one the squash shortens most.
TEST(ShapeMatchConfidence, ASquashedRegionIsMatchedButNotWhollySure) {
  const ShapeMatch m = MatchRegionShapes(Draw({0, 0.7}).View(), Draw({0}).View(), {0, 0});
  ASSERT_EQ(m.source, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  for (std::size_t r : {2, 5}) {
    EXPECT_LT(m.confidence[r], kMaxConfidence) << "region " << r;
    EXPECT_GE(m.confidence[r], kDefaultConfidence) << "region " << r;
  }
}

// Two spots alike in size and shape, one on a tall bar and one on a wide box; the bar moves
// right and the box left, so that each spot ends nearer where the other was. Their neighbours,
// the bar and the box, tell them apart.
ConstructedMap TwoSpots(int barX, int boxX) {
  return MakeMap(kW, kH, [&](int x, int y) {
    if (x >= barX && x <= barX + 20 && y >= 20 && y <= 100)
      return x >= barX + 6 && x <= barX + 14 && y >= 88 && y <= 96 ? 3 : 2;
    if (x >= boxX && x <= boxX + 60 && y >= 106 && y <= 145)
      return x >= boxX + 5 && x <= boxX + 13 && y >= 109 && y <= 117 ? 5 : 4;
    return 1;
  });
}

TEST(ShapeMatchFollows, TwoLookAlikeSpotsThatSwapPlacesByTheirNeighbours) {
  const std::vector<int32_t> colours{0, 0, 5, 6, 7, 8};
  for (const std::vector<int32_t>* byColour :
       {static_cast<const std::vector<int32_t>*>(nullptr), &colours})
    EXPECT_EQ(Match(TwoSpots(110, 70), TwoSpots(40, 140), kDefaultConfidence, byColour),
              (std::vector<int>{0, 1, 2, 3, 4, 5}))
        << (byColour ? "by colour" : "by region");
}

// A cap of hair (2) two thirds the size of the face (3) under it, with an eye (4). In the
// drawing before (numbered anew), the face's outline opened onto the paper, which took it in,
// all of it or all but a chin its own lines kept apart. The face lies on that paper: it stays
// unfilled, for the drawings further back to give, rather than take the hair's colour, the
// nearest thing in size left.
ConstructedMap Face(bool opened, bool chin) {
  return MakeMap(kW, kH, [&](int x, int y) {
    if (x >= 60 && x <= 140 && y >= 4 && y <= 56) return 2;
    if (x >= 60 && x <= 140 && y >= 60 && y <= 140) {
      if (x >= 80 && x <= 95 && y >= 80 && y <= 92) return opened ? 3 : 4;
      if (!opened) return 3;
      return chin && y >= 124 ? 4 : 1;
    }
    return 1;
  });
}

TEST(ShapeMatchHidden, ARegionWhoseOutlineOpenedOntoThePaperStaysUnfilled) {
  const std::vector<int32_t> colours{0, 0, 5, 6, 7};
  for (const bool chin : {false, true})
    for (const std::vector<int32_t>* byColour :
         {static_cast<const std::vector<int32_t>*>(nullptr), &colours})
      EXPECT_EQ(Match(Face(false, false), Face(true, chin), kDefaultConfidence, byColour)[3], 0)
          << (chin ? "chin kept" : "all opened") << (byColour ? ", by colour" : ", by region");
}

}  // namespace
}  // namespace quenda

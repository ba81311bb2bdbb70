// Gap closing: the rule on drawn line maps (ends joined across a gap, to an end or to the middle
// of a stroke, from a stroke's end round a pinhole; lines that never end, pinholes inside a
// stroke, strokes that turn back on themselves and gaps wider than the setting left alone), and
// the fast closing against the literal one on generated drawings.
// The pipeline from a pencil drawing to regions and paint is in gap_closing_pipeline_test.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_gap_closing.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/tests/analyzer_test_drawings.h"

namespace quenda {
namespace {

// A line map drawn as text, top row first: '#' a line pixel, anything else none.
struct LineMapText {
  int width = 0, height = 0;
  std::vector<uint8_t> flags;
};

LineMapText MapOf(const std::vector<std::string>& rows) {
  LineMapText map;
  map.height = int(rows.size());
  map.width = int(rows.front().size());
  map.flags.assign(std::size_t(map.width) * map.height, 0);
  for (int r = 0; r < map.height; ++r)
    for (int x = 0; x < map.width; ++x)
      if (rows[std::size_t(r)][std::size_t(x)] == '#')
        map.flags[std::size_t(map.height - 1 - r) * map.width + x] = 1;
  return map;
}

// The pixels that became line pixels, as (x, y) with y upwards.
std::vector<std::pair<int, int>> Joined(const GapJoins& joins, int width) {
  std::vector<std::pair<int, int>> xy;
  for (std::ptrdiff_t p : joins.pixels) xy.emplace_back(int(p % width), int(p / width));
  std::sort(xy.begin(), xy.end());
  return xy;
}

// Where a case's map is too small for the recommended setting (every end there would reach
// the far side of the map), this one.
constexpr int kSmallMapGap = 5;

struct RuleCase {
  const char* name;
  std::vector<std::string> rows;
  int maxGap;
  int joins;
  std::vector<std::pair<int, int>> pixels;  // sorted
};

TEST(GapClosing, TheRuleOnDrawnLines) {
  const RuleCase cases[] = {
      {"two ends across 3 pixels",
       {
           ".........................",
           "..#########...#########..",
           ".........................",
       },
       kRecommendedCloseGaps,
       1,
       {{11, 1}, {12, 1}, {13, 1}}},
      {"an end 3 pixels from the middle of a stroke",
       {
           "...............#.",
           "...............#.",
           "...............#.",
           "...............#.",
           "...............#.",
           "..##########...#.",
           "...............#.",
           "...............#.",
           "...............#.",
           "...............#.",
           "...............#.",
       },
       kSmallMapGap,
       1,
       {{12, 5}, {13, 5}, {14, 5}}},
      {"the end of a slanting stroke",
       {
           "..........#....",
           "..........#....",
           "..........#....",
           "..........#....",
           "..........#....",
           ".......#..#....",
           "......#...#....",
           ".....#....#....",
           "....#.....#....",
           "..........#....",
           "..........#....",
           "..........#....",
           "..........#....",
           "..........#....",
           "..........#....",
       },
       kSmallMapGap,
       1,
       {{8, 9}, {9, 9}}},
      {"the two sides of a region 3 pixels wide",
       {
           "..............................",
           "..###########################.",
           "..#.........................#.",
           "..#.........................#.",
           "..#.........................#.",
           "..###########################.",
           "..............................",
       },
       kRecommendedCloseGaps,
       0,
       {}},
      {"a gap wider than the setting",
       {
           "...................",
           "..######....######.",
           "...................",
       },
       3,
       0,
       {}},
      {"the same gap at its width",
       {
           "...................",
           "..######....######.",
           "...................",
       },
       5,
       1,
       {{8, 1}, {9, 1}, {10, 1}, {11, 1}}},
      {"a stroke turning back on itself",
       {
           "............",
           "..####......",
           ".....#......",
           ".....#......",
           "..####......",
           "............",
       },
       kSmallMapGap,
       0,
       {}},
      {"a lone dot is no end but can be joined to",
       {
           "..........",
           "..####..#.",
           "..........",
       },
       kSmallMapGap,
       1,
       {{6, 1}, {7, 1}}},
      {"a speck of grain between an end and the stroke it stops short of",
       {
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "..####.#...#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
           "...........#..",
       },
       kSmallMapGap,
       2,
       {{6, 6}, {8, 6}, {9, 6}, {10, 6}}},
      {"a stroke that ends round a pinhole, from the ring's far side",
       {
           "................#..",
           "................#..",
           "................#..",
           "................#..",
           "..........###...#..",
           "..#########.#...#..",
           "..........###...#..",
           "................#..",
           "................#..",
           "................#..",
           "................#..",
       },
       kSmallMapGap,
       1,
       {{13, 4}, {14, 4}, {15, 4}}},
      {"a pinhole closed by its four neighbours alone",
       {
           "................#..",
           "................#..",
           "................#..",
           "................#..",
           "...........#....#..",
           "..#########.#...#..",
           "...........#....#..",
           "................#..",
           "................#..",
           "................#..",
           "................#..",
       },
       kSmallMapGap,
       1,
       {{13, 5}, {14, 5}, {15, 5}}},
      {"a pinhole in the middle of a stroke is no end",
       {
           ".........................",
           "...........###...........",
           "..##########.##########..",
           "...........###...........",
           ".........................",
           ".........................",
           "............#............",
           ".........................",
       },
       kSmallMapGap,
       0,
       {}},
      {"nothing closes at 0",
       {
           ".........................",
           "..#########...#########..",
           ".........................",
       },
       0,
       0,
       {}},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    LineMapText map = MapOf(c.rows);
    const std::vector<uint8_t> before = map.flags;
    std::vector<uint8_t> literal = map.flags;
    GapJoins joins =
        CloseGaps(map.flags, map.width, map.height, {0, map.width, 0, map.height}, c.maxGap);
    EXPECT_EQ(joins.count, c.joins);
    EXPECT_EQ(Joined(joins, map.width), c.pixels);
    for (std::size_t i = 0; i < before.size(); ++i)
      EXPECT_EQ(map.flags[i], before[i] | (std::find(joins.pixels.begin(), joins.pixels.end(),
                                                     std::ptrdiff_t(i)) != joins.pixels.end()));
    GapJoins oracle =
        CloseGapsLiteral(literal, map.width, map.height, {0, map.width, 0, map.height}, c.maxGap);
    EXPECT_EQ(oracle.count, joins.count);
    EXPECT_EQ(oracle.pixels, joins.pixels);
  }
}

TEST(GapClosing, EndsFacingEachOtherMakeOneJoinAndTheShortestGoesFirst) {
  // The vertical stroke's top end (12, 4) and the right stroke's end (14, 4) face each other
  // across 1 pixel: one join, not two. The left stroke's end, 3 pixels from (12, 4), comes
  // later (longer) and joins it all the same: only an end's own join is made once.
  LineMapText map = MapOf({
      "....................",
      "....................",
      "..#######...#.######",
      "............#.......",
      "............#.......",
      "............#.......",
      "............#.......",
  });
  GapJoins joins = CloseGaps(map.flags, map.width, map.height, {0, 20, 0, 7}, 4);
  EXPECT_EQ(joins.count, 2);
  EXPECT_EQ(joins.pixels.front(), 4 * 20 + 13);  // the shorter join first
  EXPECT_EQ(Joined(joins, map.width),
            (std::vector<std::pair<int, int>>{{9, 4}, {10, 4}, {11, 4}, {13, 4}}));
}

TEST(GapClosing, OnlyTheRectangleIsLookedAt) {
  LineMapText map = MapOf({
      ".........................",
      "..#########...#########..",
      ".........................",
  });
  // The right stroke lies outside: the left one's end has nothing to join.
  GapJoins joins = CloseGaps(map.flags, map.width, map.height, {0, 13, 0, 3}, 5);
  EXPECT_EQ(joins.count, 0);
  // A rectangle past the picture is cut to it.
  joins = CloseGaps(map.flags, map.width, map.height, {-4, 90, -2, 9}, 5);
  EXPECT_EQ(joins.count, 1);
}

// The fast closing against the literal one, on lines found in generated drawings, whole and
// in rectangles, at several settings.
TEST(GapClosing, MatchesTheLiteralRuleOnGeneratedDrawings) {
  using testing::DrawingKind;
  const DrawingKind kinds[] = {DrawingKind::Strokes, DrawingKind::Blobs, DrawingKind::Noise,
                               DrawingKind::GappedOutlines, DrawingKind::Mixed};
  int totalJoins = 0;
  for (DrawingKind kind : kinds)
    for (uint32_t seed : {1u, 2u, 3u})
      for (int maxGap : {1, 2, 3, 5, 8}) {
        SCOPED_TRACE(testing::KindName(kind) + " seed " + std::to_string(seed) + " gap " +
                     std::to_string(maxGap));
        const int w = 120, h = 90;
        WorkingImage image = MakeWorkingImage(w, h, testing::RandomDrawing(w, h, kind, seed));
        NullProgress progress;
        GenerateLines(image, {}, 0, w, 0, h, progress);
        for (PixelRect r : {PixelRect{0, w, 0, h}, PixelRect{17, 93, 5, 71}}) {
          std::vector<uint8_t> fast = image.regions.flags, literal = image.regions.flags;
          GapJoins a = CloseGaps(fast, w, h, r, maxGap);
          GapJoins b = CloseGapsLiteral(literal, w, h, r, maxGap);
          EXPECT_EQ(a.count, b.count);
          EXPECT_EQ(a.pixels, b.pixels);
          EXPECT_EQ(fast, literal);
          totalJoins += a.count;
        }
      }
  EXPECT_GT(totalJoins, 100);  // the drawings do have gaps to close
}

}  // namespace
}  // namespace quenda

// Gap closing: the rule on drawn line maps (ends joined across a gap, to an end or to the middle
// of a stroke; lines that never end, strokes that turn back on themselves and gaps wider than
// the setting left alone), the fast closing against the literal one on generated drawings, and
// the pipeline from a pencil drawing to regions and to the painted picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/paint_composite.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_gap_closing.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/oracle/literal_regions.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/color_set.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"

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

// A pencil ellipse with a gap of 3 pixels cut into it, on paper.
struct GappedRing {
  std::vector<uint8_t> grey;
  int width = 160, height = 120;
  int gapX = 0, gapY = 0;  // a pixel in the middle of the gap
};

GappedRing MakeGappedRing() {
  using namespace samples;
  GappedRing ring;
  PencilCanvas canvas(ring.width, ring.height);
  SampleRandom random(7);
  const auto outline = EllipseOutline({80, 60}, 50, 35, 0.2);
  canvas.DrawStroke(ClosedStroke(outline, 1.5, MakeWobble(random, 0.5)), {1.4, 0.95});
  // Cut across the line at the top of the ellipse.
  ring.gapX = 80;
  ring.gapY = 60 + 35 + 8;
  for (int y = 60; y < ring.height; ++y)
    if (canvas.InkAt(80, y) > 0) ring.gapY = std::min(ring.gapY, y);
  canvas.EraseBox(79, ring.gapY - 4, 81, ring.gapY + 6);
  ring.grey = canvas.Compose(11);
  return ring;
}

// Regions of at least 50 pixels off the lines: the areas, without the specks a thick stroke
// leaves inside itself.
int AreaCount(const WorkingImage& image) {
  std::vector<int> pixels(std::size_t(image.regions.regionCount) + 2, 0);
  for (std::size_t i = 0; i < image.regions.flags.size(); ++i)
    if (!(image.regions.flags[i] & kFlagRegionLine)) ++pixels[image.regions.regionMap[i]];
  return int(std::count_if(pixels.begin(), pixels.end(), [](int n) { return n >= 50; }));
}

TEST(GapClosing, AGappedOutlineGetsItsInsideBack) {
  const GappedRing ring = MakeGappedRing();
  NullProgress progress;
  WorkingImage open = MakeWorkingImage(ring.width, ring.height, ring.grey);
  ASSERT_TRUE(MarkRegions(open, {}, progress));
  EXPECT_EQ(AreaCount(open), 1) << "the gap lets the inside run into the paper";

  WorkingImage closed = MakeWorkingImage(ring.width, ring.height, ring.grey);
  GapJoins joins;
  ASSERT_TRUE(MarkRegions(closed, {}, progress, kDefaultLineColour, kRecommendedCloseGaps, &joins));
  EXPECT_EQ(AreaCount(closed), 2);
  ASSERT_FALSE(joins.empty());
  // One join crosses the gap (others may cross specks inside the thick pencil line).
  EXPECT_TRUE(std::any_of(joins.pixels.begin(), joins.pixels.end(), [&](std::ptrdiff_t p) {
    const int x = int(p % ring.width), y = int(p / ring.width);
    return x == ring.gapX && y >= ring.gapY - 1 && y <= ring.gapY + 4;
  }));
  // The joins show in their own colour; the found lines keep the line colour.
  for (std::ptrdiff_t p : joins.pixels) {
    const uint8_t* d = closed.display.At(int(p % ring.width), int(p / ring.width));
    EXPECT_EQ((Bgr{d[0], d[1], d[2]}), kJoinColour);
  }
  const uint8_t* inside = closed.display.At(80, 60);
  EXPECT_EQ((Bgr{inside[0], inside[1], inside[2]}), (Bgr{255, 255, 255}));
}

TEST(GapClosing, OffIsTodaysAnalysisByteForByte) {
  const GappedRing ring = MakeGappedRing();
  NullProgress progress;
  WorkingImage fast = MakeWorkingImage(ring.width, ring.height, ring.grey);
  GapJoins joins;
  ASSERT_TRUE(MarkRegions(fast, {}, progress, kDefaultLineColour, 0, &joins));
  EXPECT_TRUE(joins.empty());
  // Today's analysis is the literal one.
  WorkingImage literal = MakeWorkingImage(ring.width, ring.height, ring.grey);
  GenerateLinesLiteral(literal, {}, 0, ring.width, 0, ring.height, progress);
  ASSERT_TRUE(ExtractRegionsLiteral(literal, {}, progress));
  EXPECT_EQ(fast.regions.flags, literal.regions.flags);
  EXPECT_EQ(fast.regions.regionMap, literal.regions.regionMap);
  EXPECT_TRUE(fast.display == literal.display);
  const std::string dir = ::testing::TempDir();
  ASSERT_TRUE(WriteRegionFile(dir + "gap_off_fast.rgn", fast.regions, RegionWriter::Analyzer));
  ASSERT_TRUE(
      WriteRegionFile(dir + "gap_off_literal.rgn", literal.regions, RegionWriter::Analyzer));
  auto bytes = [](const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<uint8_t> b;
    for (int c; f && (c = std::fgetc(f)) != EOF;) b.push_back(uint8_t(c));
    if (f) std::fclose(f);
    return b;
  };
  EXPECT_EQ(bytes(dir + "gap_off_fast.rgn"), bytes(dir + "gap_off_literal.rgn"));
  EXPECT_FALSE(bytes(dir + "gap_off_fast.rgn").empty());
}

// Joins are no pencil: painted, their pixels show a neighbouring region's colour, where the
// found lines of the same drawing show the line's ink.
TEST(GapClosing, APaintedDrawingShowsNoStrokeOnItsJoins) {
  const GappedRing ring = MakeGappedRing();
  NullProgress progress;
  WorkingImage image = MakeWorkingImage(ring.width, ring.height, ring.grey);
  GapJoins joins;
  ASSERT_TRUE(MarkRegions(image, {}, progress, kDefaultLineColour, kRecommendedCloseGaps, &joins));
  ASSERT_EQ(AreaCount(image), 2);
  ColorSet colors;
  ASSERT_TRUE(AddColor(colors, "PAPER", 200, 230, 250));
  ASSERT_TRUE(AddColor(colors, "INSIDE", 250, 120, 40));
  // The paper one colour, every other region (the inside and any speck) another.
  for (std::size_t r = 1; r < image.regionColor.size(); ++r) image.regionColor[r] = r == 1 ? 3 : 4;
  const Raster layer = ComposePaintedLayer(image, colors);
  auto isFill = [&](const uint8_t* p) {
    for (int c : {3, 4})
      if (p[0] == colors.entries[c].blue && p[1] == colors.entries[c].green &&
          p[2] == colors.entries[c].red && p[3] == 255)
        return true;
    return false;
  };
  // On paper a join shows the fill; on the pencil (joins across specks inside a thick line)
  // the pencil shows as it would anyway.
  int onPaper = 0;
  for (std::ptrdiff_t p : joins.pixels) {
    if (image.grey[std::size_t(p)] != 255) continue;
    ++onPaper;
    SCOPED_TRACE(std::to_string(p % ring.width) + ", " + std::to_string(p / ring.width));
    EXPECT_TRUE(isFill(layer.At(int(p % ring.width), int(p / ring.width))));
  }
  EXPECT_GE(onPaper, 3);
  // The pencil itself still shows as ink beside the gap.
  int inked = 0;
  for (std::size_t i = 0; i < image.regions.flags.size(); ++i)
    if ((image.regions.flags[i] & kFlagRegionLine) &&
        !isFill(layer.At(int(i % ring.width), int(i / ring.width))))
      ++inked;
  EXPECT_GT(inked, 100);
}

}  // namespace
}  // namespace quenda

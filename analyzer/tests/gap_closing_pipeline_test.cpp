// Gap closing through the pipeline: a pencil drawing with a gapped outline to regions, today's
// analysis kept byte for byte when it is off, and a painted drawing without strokes on its joins.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/paint_composite.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/oracle/literal_regions.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/color_set.h"
#include "common/region_file.h"
#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"

namespace quenda {
namespace {

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

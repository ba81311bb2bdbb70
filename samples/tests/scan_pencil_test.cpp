// The scan-like pencil: off, it draws exactly the plain strokes (so the sample walk keeps its
// bytes); on, outlines break into tapered strokes with bare gaps of 1 to 4 pixels at 300 dpi,
// scaled with the resolution. And the true areas that measure an analysis against the shapes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "samples/sample_drawing.h"
#include "samples/scan_pencil.h"
#include "samples/true_areas.h"

namespace quenda::samples {
namespace {

std::vector<StrokePoint> Ring(double radius) {
  SampleRandom random(3);
  return ClosedStroke(EllipseOutline({150, 150}, radius, 0.8 * radius, 0.3), 1.5,
                      MakeWobble(random, 0.6));
}

std::vector<uint8_t> Ink(const PencilCanvas& canvas) {
  std::vector<uint8_t> ink;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) ink.push_back(canvas.InkAt(x, y));
  return ink;
}

TEST(ScanPencil, OffDrawsThePlainStrokeAndLeavesTheWalksBytes) {
  const PencilStyle style{2.2, 0.95};
  for (bool closed : {true, false}) {
    std::vector<StrokePoint> points = Ring(100);
    if (!closed) points.resize(points.size() / 2);
    PencilCanvas plain(300, 300), off(300, 300);
    plain.DrawStroke(points, style);
    ScanPencil pencil;  // off, whatever else it says
    pencil.maxGap = 9, pencil.doubledShare = 1;
    SampleRandom random(1);
    std::vector<PencilGap> gaps;
    DrawScanStroke(off, points, closed, style, pencil, random, &gaps);
    EXPECT_EQ(Ink(off), Ink(plain));
    EXPECT_TRUE(gaps.empty());
  }
  SampleOptions options{.width = 200, .height = 150};
  SampleOptions offButSet = options;
  offButSet.pencil.maxGap = 2, offButSet.pencil.taperLength = 1;
  EXPECT_EQ(MakeSampleDrawing(options, 2, 5).picture.bytes(),
            MakeSampleDrawing(offButSet, 2, 5).picture.bytes());
}

TEST(ScanPencil, OutlinesBreakIntoTaperedStrokesWithBareGaps) {
  const PencilStyle style{2.2, 0.95};
  for (int dpi : {300, 150}) {
    SCOPED_TRACE(dpi);
    int seen = 0;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
      PencilCanvas canvas(300, 300);
      SampleRandom random(seed);
      std::vector<PencilGap> gaps;
      DrawScanStroke(canvas, Ring(100), true, style, ScanPencilAt(dpi), random, &gaps);
      ASSERT_GE(gaps.size(), 1u);
      ASSERT_LE(gaps.size(), 3u);
      for (const PencilGap& gap : gaps) {
        ++seen;
        EXPECT_GE(gap.bare, 1.0);
        EXPECT_LE(gap.bare, 4.0 * dpi / 300);
        // Bare paper lies between the two ends: some pixel on the way holds no graphite.
        bool bare = false;
        for (double t = 0; t <= 1; t += 0.02) {
          const int x = int(std::lround(gap.end.x + t * (gap.start.x - gap.end.x)));
          const int y = int(std::lround(gap.end.y + t * (gap.start.y - gap.end.y)));
          bare |= canvas.InkAt(x, y) == 0;
        }
        EXPECT_TRUE(bare) << gap.end.x << "," << gap.end.y;
        // The ends are lighter than the stroke's middle, which is graphite pressed fully.
        const int ex = int(std::lround(gap.end.x)), ey = int(std::lround(gap.end.y));
        EXPECT_LT(canvas.InkAt(ex, ey), 230);
      }
    }
    EXPECT_GT(seen, 12);
  }
  // The same random source gives the same strokes.
  PencilCanvas a(300, 300), b(300, 300);
  SampleRandom ra(5), rb(5);
  DrawScanStroke(a, Ring(100), true, style, ScanPencilAt(300), ra);
  DrawScanStroke(b, Ring(100), true, style, ScanPencilAt(300), rb);
  EXPECT_EQ(Ink(a), Ink(b));
}

// Every figure kind takes the scan-like pencil: the same shapes (so the same truth), other
// pixels, and gaps of 1 to 4 pixels at 300 dpi with bare paper in them, where outlines break
// and where a line stops short of the outline in front of it.
TEST(ScanPencil, EveryKindKeepsItsShapesAndGetsItsGaps) {
  for (FigureKind kind : kFigureKinds) {
    SCOPED_TRACE(std::string(FigureKindName(kind)));
    SampleOptions plain{.width = 600, .height = 800, .dpi = 300, .figure = kind};
    SampleOptions pencil = plain;
    pencil.pencil = ScanPencilAt(300);
    const SampleDrawing a = RenderSampleDrawing(plain, 1, 4), b = RenderSampleDrawing(pencil, 1, 4);
    ASSERT_EQ(a.parts.size(), b.parts.size());
    for (std::size_t k = 0; k < a.parts.size(); ++k) {
      EXPECT_EQ(a.parts[k].part, b.parts[k].part);
      EXPECT_EQ(a.parts[k].outline.size(), b.parts[k].outline.size());
    }
    EXPECT_TRUE(a.pencilGaps.empty());
    if (kind == FigureKind::Walk) {
      EXPECT_GE(b.pencilGaps.size(), b.parts.size());  // every outline has at least one
    }
    ASSERT_GE(b.pencilGaps.size(), 5u);
    for (const PencilGap& gap : b.pencilGaps) {
      EXPECT_GE(gap.bare, 1.0);
      EXPECT_LE(gap.bare, 4.0);
    }
    EXPECT_NE(a.scan.picture.bytes(), b.scan.picture.bytes());
    // Made again, the same bytes.
    EXPECT_EQ(RenderSampleDrawing(pencil, 1, 4).scan.picture.bytes(), b.scan.picture.bytes());
  }
}

// A line seen in part, on the scan-like pencil, stops short of the outline in front of it by
// bare paper; the free end of a line only tapers.
TEST(ScanPencil, ALineStopsShortOfTheLineItMeets) {
  const PencilStyle style{2.0, 0.95};
  std::vector<StrokePoint> line;
  for (int x = 20; x <= 200; x += 2) line.push_back({double(x), 100, 1, 1});
  std::vector<StrokePoint> across;  // the line it meets, 3 pixels in half width
  for (int y = 40; y <= 160; y += 2) across.push_back({200, double(y), 1, 1});
  for (uint64_t seed = 1; seed <= 8; ++seed) {
    PencilCanvas canvas(240, 200);
    canvas.DrawStroke(across, {3.0, 1.0});
    SampleRandom random(seed);
    std::vector<PencilGap> gaps;
    DrawScanLine(canvas, line, 0, 3.0, style, ScanPencilAt(300), random, &gaps);
    ASSERT_EQ(gaps.size(), 1u);
    const PencilGap& gap = gaps.front();
    EXPECT_EQ(std::pair(gap.start.x, gap.start.y), std::pair(200.0, 100.0));
    EXPECT_GE(gap.bare, 1.0);
    EXPECT_LE(gap.bare, 4.0);
    // Bare paper between the inked end and the line it meets.
    bool bare = false;
    for (int x = int(gap.end.x); x <= 200; ++x) bare |= canvas.InkAt(x, 100) == 0;
    EXPECT_TRUE(bare) << "seed " << seed;
    EXPECT_GT(canvas.InkAt(100, 100), 0);
    EXPECT_GT(canvas.InkAt(21, 100), 0) << "the free end reaches its point";
  }
  // Off, the plain stroke.
  PencilCanvas plain(240, 200), off(240, 200);
  plain.DrawStroke(line, style);
  SampleRandom random(1);
  DrawScanLine(off, line, 2.0, 3.0, style, ScanPencil{}, random);
  EXPECT_EQ(Ink(off), Ink(plain));
}

// A line seen only in the narrow space between two lines in front of it (a jaw line between
// two teeth) keeps a short dash there, still a pixel or more short of each.
TEST(ScanPencil, AShortRunBetweenTwoLinesKeepsADash) {
  const PencilStyle style{1.4, 0.9};
  std::vector<StrokePoint> run;
  for (double x = 100; x <= 112.01; x += 0.5) run.push_back({x, 50, 1, 1});
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    PencilCanvas canvas(200, 100);
    for (double x : {100.0, 112.0}) canvas.DrawStroke({{{x, 30, 1, 1}, {x, 70, 1, 1}}}, {2.0, 1});
    SampleRandom random(seed);
    std::vector<PencilGap> gaps;
    DrawScanLine(canvas, run, 2.0, 2.0, style, ScanPencilAt(300), random, &gaps);
    EXPECT_GT(canvas.InkAt(106, 50), 0);
    ASSERT_EQ(gaps.size(), 2u);
    for (const PencilGap& gap : gaps) EXPECT_GE(gap.bare, 1.0);
    bool bareLeft = false, bareRight = false;
    for (int x = 101; x < 106; ++x) bareLeft |= canvas.InkAt(x, 50) == 0;
    for (int x = 107; x < 112; ++x) bareRight |= canvas.InkAt(x, 50) == 0;
    EXPECT_TRUE(bareLeft);
    EXPECT_TRUE(bareRight);
  }
}

// An open line's points ramp their pressure up from a fifth at its ends (OpenStroke); drawn the
// scanned way it is pressed firmly beyond its tapers, so no long pale run is left where it
// should meet another line, and its free ends still taper.
TEST(ScanPencil, AnOpenLineIsFirmBeyondItsTapers) {
  const PencilStyle style{1.4, 0.9};
  SampleRandom wobbles(5);
  const std::vector<StrokePoint> line =
      OpenStroke({{20, 50}, {140, 50}, {260, 50}}, 1.0, MakeWobble(wobbles, 0));
  for (bool meets : {false, true}) {
    SCOPED_TRACE(meets);
    PencilCanvas canvas(280, 100);
    SampleRandom random(2);
    ScanPencil pencil = ScanPencilAt(300);
    pencil.doubledShare = 0;
    DrawScanLine(canvas, line, meets ? 2.0 : 0, meets ? 2.0 : 0, style, pencil, random);
    int first = 280, last = -1;
    for (int x = 0; x < 280; ++x)
      if (canvas.InkAt(x, 50) > 0) first = std::min(first, x), last = std::max(last, x);
    ASSERT_LT(first, last);
    const int taper = int(pencil.taperLength) + 1;
    int firmest = 0;
    for (int x = first + taper; x <= last - taper; ++x) {
      EXPECT_GE(canvas.InkAt(x, 50), 180) << x;
      firmest = std::max<int>(firmest, canvas.InkAt(x, 50));
    }
    EXPECT_LT(canvas.InkAt(first, 50), firmest);
    EXPECT_LT(canvas.InkAt(last, 50), firmest);
  }
}

// Regions made by hand over a map of two 12 x 12 squares on paper.
struct AreaCase {
  int width = 80, height = 60;
  std::vector<uint16_t> shapes;
  RegionData regions;
  AreaCase() : shapes(std::size_t(width) * height, 0), regions(MakeBlankRegionData(80, 60)) {
    for (int y = 4; y < 16; ++y)
      for (int x = 4; x < 16; ++x) shapes[std::size_t(y) * width + x] = 1;
    for (int y = 4; y < 16; ++y)
      for (int x = 22; x < 34; ++x) shapes[std::size_t(y) * width + x] = 2;
  }
  // Region n for every pixel of shape `shape` inside columns x0..x1.
  void Number(int shape, int x0, int x1, uint16_t n) {
    for (std::size_t i = 0; i < shapes.size(); ++i)
      if (shapes[i] == shape && int(i % width) >= x0 && int(i % width) <= x1)
        regions.regionMap[i] = n;
    regions.regionCount = std::max<int>(regions.regionCount, n - 1);
  }
};

// On a scan of real pencil the firm middle of a line is dark and whole; the grain shows where
// the graphite is thin. Evenly grained (the plain samples) the same middle breaks up.
TEST(ScanPencil, FirmGraphiteFillsTheToothAndTheGrainShowsAtPaleInk) {
  PencilCanvas canvas(220, 60);
  const std::vector<StrokePoint> firm{{10, 15, 1, 1}, {210, 15, 1, 1}};
  const std::vector<StrokePoint> pale{{10, 45, 1, 1}, {210, 45, 1, 1}};
  canvas.DrawStroke(firm, {2.2, 0.95});
  canvas.DrawStroke(pale, {2.2, 0.3});
  // The spread of grey along a row of the stroke's middle, and its lightest value.
  struct Row {
    int spread, lightest;
  };
  auto middle = [&](const std::vector<uint8_t>& grey, int y) {
    int low = 255, high = 0;
    for (int x = 20; x < 200; ++x) {
      const int g = grey[std::size_t(y) * 220 + std::size_t(x)];
      low = std::min(low, g), high = std::max(high, g);
    }
    return Row{high - low, high};
  };
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    const std::vector<uint8_t> scanned = canvas.Compose(seed, ToothGrain::AtPaleInk);
    const std::vector<uint8_t> even = canvas.Compose(seed, ToothGrain::Even);
    const Row firmScanned = middle(scanned, 15), paleScanned = middle(scanned, 45);
    const Row firmEven = middle(even, 15);
    EXPECT_LT(firmScanned.lightest, 100);  // whole at the standard line pick-up
    EXPECT_LE(firmScanned.spread, 12);
    EXPECT_GE(paleScanned.spread, 2 * firmScanned.spread);
    EXPECT_GE(firmEven.spread, 3 * firmScanned.spread);
    EXPECT_EQ(even, canvas.Compose(seed));  // evenly is what the plain samples get
  }
}

TEST(TrueAreas, AnAreaKeepsItsRegionUnlessAGapLetsItRunIntoAnother) {
  {
    AreaCase c;
    const TrueAreas truth = FindTrueAreas(c.shapes, c.width, c.height);
    ASSERT_EQ(truth.shape.size(), 3u);  // the paper and the two squares
    EXPECT_EQ(truth.pixels[1], 144);
    c.Number(1, 0, 79, 2);
    c.Number(2, 0, 79, 3);
    const AreaScore score = ScoreAreas(truth, c.regions, c.width, c.height, 10);
    EXPECT_EQ(score.areas, 3);
    EXPECT_EQ(score.ownRegion, 3);
    EXPECT_EQ(score.paperJoined, 0);
    EXPECT_GT(score.paperPixels, 0);
  }
  {
    // A line of a covered shape divides the first square: still no other area in its regions.
    AreaCase c;
    const TrueAreas truth = FindTrueAreas(c.shapes, c.width, c.height);
    c.Number(1, 0, 9, 2);
    c.Number(1, 10, 79, 3);
    c.Number(2, 0, 79, 4);
    EXPECT_EQ(ScoreAreas(truth, c.regions, c.width, c.height, 10).ownRegion, 3);
  }
  {
    // The second square runs into the paper: it has no region of its own, and its core counts
    // as figure joined to the paper.
    AreaCase c;
    const TrueAreas truth = FindTrueAreas(c.shapes, c.width, c.height);
    c.Number(1, 0, 79, 2);
    const AreaScore score = ScoreAreas(truth, c.regions, c.width, c.height, 10);
    EXPECT_EQ(score.ownRegion, 2);
    EXPECT_EQ(score.paperJoined, 8 * 8);  // the core of a 12 x 12 square
  }
}

}  // namespace
}  // namespace quenda::samples

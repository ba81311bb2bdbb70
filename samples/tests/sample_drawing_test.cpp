#include "samples/sample_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "common/atomic_file.h"
#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "common/scripted_prompt.h"
#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda::samples {
namespace {

using namespace testing;

constexpr int kDark = 160;   // the core of any line is darker than this
constexpr int kPaper = 235;  // bare paper is never darker than this

uint8_t GreyAt(const DrawingScan& scan, int x, int y) {
  return scan.picture.At(x, y)[0];
}

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  long long Area() const { return x1 < x0 ? 0 : (long long)(x1 - x0 + 1) * (y1 - y0 + 1); }
};

Box DarkBounds(const DrawingScan& scan) {
  Box box;
  for (int y = 0; y < scan.picture.height(); ++y)
    for (int x = 0; x < scan.picture.width(); ++x)
      if (GreyAt(scan, x, y) < kDark) {
        box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x);
        box.y0 = std::min(box.y0, y), box.y1 = std::max(box.y1, y);
      }
  return box;
}

SampleOptions Options(int width, int height, uint32_t seed = 7) {
  return {.width = width, .height = height, .seed = seed};
}

// That the same seed gives the same bytes shows in the sequence written and drawn again below.
TEST(SampleDrawing, OtherSeedOrFrameOtherBytes) {
  SampleOptions options = Options(200, 150);
  DrawingScan a = MakeSampleDrawing(options, 3, 8);
  EXPECT_NE(a.picture.bytes(), MakeSampleDrawing(options, 4, 8).picture.bytes());
  EXPECT_NE(a.picture.bytes(), MakeSampleDrawing(Options(200, 150, 8), 3, 8).picture.bytes());
  EXPECT_NE(MakeDrawing(47, 33, 5).picture.bytes(), MakeDrawing(47, 33, 6).picture.bytes());
}

TEST(SampleDrawing, DarkPencilLinesOnLightGrainyPaperAtAnySize) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {9, 1}, {1, 9}, {47, 33}, {200, 150}, {300, 900}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    DrawingScan scan = MakeDrawing(w, h, 3);
    ASSERT_EQ(std::tuple(scan.picture.width(), scan.picture.height(), scan.picture.bytes().size()),
              std::tuple(w, h, std::size_t(w) * h));
    if (w < 47) continue;  // too small for a figure
    long long dark = 0, paper = 0;
    std::vector<int> paperValues(256, 0);
    for (uint8_t v : scan.picture.bytes()) {
      EXPECT_LE(v, 250);
      if (v < kDark) ++dark;
      if (v >= kPaper) ++paper, ++paperValues[v];
    }
    EXPECT_GT(dark, 10);
    EXPECT_GT(paper, (long long)scan.picture.bytes().size() * 7 / 10);  // mostly bare paper
    // Grain: the paper is no flat grey but spreads over several values.
    EXPECT_GE(std::count_if(paperValues.begin(), paperValues.end(), [](int n) { return n > 0; }),
              6);
  }
}

// That the outline's faint stretches are grown over but never picked up, and that the number
// circle's bare gaps stay open, is checked through the analyzer in analysis_test.

// The number circle keeps its place on the sheet (drawn anew each time, so to a pixel or two),
// and nothing of the figure walking below it comes near it, so its bare gaps open no part of
// the figure.
TEST(SampleDrawing, NumberCircleKeepsItsPlaceAboveTheFigure) {
  for (auto [w, h] : {std::pair{640, 480}, {300, 900}}) {
    const SampleOptions options = Options(w, h);
    const SampleDrawing first = RenderSampleDrawing(options, 0, 8);
    for (int frame : {0, 4, 7}) {
      SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " frame " + std::to_string(frame));
      SampleDrawing drawing = RenderSampleDrawing(options, frame, 8);
      const LineGap& top = drawing.gaps[2];
      const LineGap& side = drawing.gaps[3];
      EXPECT_NEAR(top.x0, first.gaps[2].x0, 2);
      EXPECT_NEAR(side.y0, first.gaps[3].y0, 2);
      const int radius = top.x0 - side.lineX;
      EXPECT_GE(radius, 8);
      for (int y = side.y0 - radius - 3; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (GreyAt(drawing.scan, x, y) < kDark) {
            EXPECT_LE(std::abs(x - top.x0), radius + 3) << x << "," << y;
          }
    }
  }
}

// Measures the dark run across the crown's line just beside its gap.
int CrownLineThickness(const SampleDrawing& drawing) {
  const LineGap& gap = drawing.gaps[0];
  EXPECT_TRUE(gap.alongX);
  auto inked = [&](int y) {
    return y >= 0 && y < drawing.scan.picture.height() && GreyAt(drawing.scan, gap.lineX, y) < 200;
  };
  int top = gap.lineY, bottom = gap.lineY;
  while (inked(top + 1)) ++top;
  while (inked(bottom - 1)) --bottom;
  return inked(gap.lineY) ? top - bottom + 1 : 0;
}

TEST(SampleDrawing, LinesScaleWithThePictureButNeverVanish) {
  SampleDrawing small = RenderSampleDrawing(Options(200, 150), 0, 1);
  SampleDrawing a4 = RenderSampleDrawing(Options(2480, 3508), 0, 1);
  EXPECT_GE(CrownLineThickness(small), 1);
  EXPECT_LE(CrownLineThickness(small), 4);
  EXPECT_GE(CrownLineThickness(a4), 5);
  Box smallBox = DarkBounds(small.scan), a4Box = DarkBounds(a4.scan);
  // The figure fills a similar part of either sheet.
  EXPECT_GT(smallBox.y1 - smallBox.y0, 150 / 2);
  EXPECT_GT(a4Box.y1 - a4Box.y0, 3508 / 2);
}

TEST(SampleDrawing, NeighbouringFramesOverlapLikeInBetweens) {
  SampleOptions options = Options(320, 240);
  SampleDrawing previous = RenderSampleDrawing(options, 0, 6);
  for (int frame = 1; frame < 6; ++frame) {
    SampleDrawing drawing = RenderSampleDrawing(options, frame, 6);
    Box box = DarkBounds(drawing.scan), before = DarkBounds(previous.scan);
    Box both{std::max(box.x0, before.x0), std::max(box.y0, before.y0), std::min(box.x1, before.x1),
             std::min(box.y1, before.y1)};
    EXPECT_GT(both.Area() * 2, box.Area()) << frame;
    // The head walks to the right, a few pixels a frame.
    int step = drawing.gaps[0].x0 - previous.gaps[0].x0;
    EXPECT_GT(step, 3) << frame;
    EXPECT_LT(step, 20) << frame;
    previous = std::move(drawing);
  }
}

TEST(SampleSequence, WritesNumberedScansAndAColourSetThatReadBack) {
  TempDir dir;
  SampleOptions options{.width = 61,
                        .height = 47,
                        .dpi = 72,
                        .pegPosition = kPegTop,
                        .xPosition = 12,
                        .yPosition = 345};
  ScriptedPrompt prompt;
  std::vector<std::string> written;
  Status status = WriteSampleSequence(dir.path() + "walk", "walk", 12, options, prompt,
                                      [&](const std::string& path) { written.push_back(path); });
  ASSERT_TRUE(status) << status.message();
  EXPECT_TRUE(prompt.Texts().empty());
  ASSERT_EQ(written.size(), 13u);
  EXPECT_EQ(written.front(), dir.path() + "walk/walk1.qds");
  EXPECT_EQ(written.back(), dir.path() + "walk/walk.col");

  DrawingSequence sequence = OpenSequence(dir.path() + "walk/walk1.qds", "walk1.qds");
  ASSERT_EQ(sequence.frameCount, 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(sequence.frames[i], (FrameTag{i + 1, kNoLetter}));  // 10 after 9, not after 1
    std::string path = FramePath(sequence, i, prompt);
    EXPECT_EQ(path, written[i]);
    auto loaded = ReadDrawingScan(path, ScanReader::Scanner);
    ASSERT_TRUE(loaded) << loaded.message();
    const DrawingScan& scan = loaded->scan;
    EXPECT_EQ(std::tuple(scan.dpi, scan.pegPosition, scan.xPosition, scan.yPosition),
              std::tuple(72, kPegTop, 12, 345));
    EXPECT_EQ(scan.picture, MakeSampleDrawing(options, i, 12).picture);  // 61 x 47
  }

  ColorSet colors;
  ASSERT_TRUE(LoadColorSet(colors, ColorSetPath(sequence), prompt));
  EXPECT_TRUE(prompt.Texts().empty());  // found, not made anew
  ASSERT_EQ(colors.count, kFirstUserColor + int(std::size(kSampleColors)));
  EXPECT_EQ(colors.entries[kFirstUserColor], (ColorEntry{250, 205, 170, "SKIN"}));
  EXPECT_EQ(colors.entries[kFirstUserColor + 4], (ColorEntry{40, 30, 30, "SHOES"}));
  EXPECT_EQ(colors.entries[kUnfilledColor].name, "UNFIL");
}

TEST(SampleSequence, RefusesBadNamesAndFrameCountsBeforeWritingAnything) {
  TempDir dir;
  ScriptedPrompt prompt;
  SampleOptions options = Options(20, 20);
  for (std::string name : {"walk2", "", "my walk", "w-a", "caf\xc3\xa9"}) {
    Status status = WriteSampleSequence(dir.path(), name, 2, options, prompt);
    EXPECT_EQ(status.message(), "Only letters are allowed for the name") << name;
  }
  for (int frames : {0, -1, kMaxSampleFrames + 1}) {
    Status status = WriteSampleSequence(dir.path(), "walk", frames, options, prompt);
    EXPECT_EQ(status.message(), "The number of frames must be between 1 and 3000") << frames;
  }
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
  EXPECT_TRUE(IsSequenceName("WalkCycle"));
}

TEST(SampleSequence, AFullDiskOrAReadOnlyColourSetStopsTheWritingAndSaysSo) {
  TempDir dir;
  ScriptedPrompt prompt;
  SampleOptions options = Options(30, 20);
  testing::WriteText(dir.File("run2.qds"), "previous");
  std::vector<std::string> written;
  Status status;
  {
    testing::WriteLimit limit(18 + 600 + 100);  // the first frame fits, the second does not
    status = WriteSampleSequence(dir.path(), "run", 3, options, prompt,
                                 [&](const std::string& path) { written.push_back(path); });
  }
  EXPECT_EQ(status.message(), "Error writing scanned image " + dir.File("run2.qds") +
                                  " : Disk full or write protected");
  EXPECT_EQ(written, std::vector<std::string>{dir.File("run1.qds")});
  EXPECT_EQ(testing::ReadText(dir.File("run2.qds")), "previous");
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{"run1.qds", "run2.qds"}));

  // A read-only colour set is shown and returned.
  prompt.Clear();
  testing::WriteText(dir.File("walk.col"), "Quenda\n3\n");
  MakeReadOnly(dir.File("walk.col"));
  status = WriteSampleSequence(dir.path(), "walk", 1, Options(16, 16), prompt);
  EXPECT_EQ(status.message(), "Error writing colors file: files may be read only!");
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Error writing colors file: files may be read only!"});
  EXPECT_EQ(testing::ReadText(dir.File("walk.col")), "Quenda\n3\n");
}

TEST(PencilCanvas, StrokeCoversItsWidthAntiAliasesItsEdgeAndFadesInItsBox) {
  PencilCanvas canvas(40, 21);
  std::vector<StrokePoint> line{{5, 10, 1}, {34, 10, 1}};
  canvas.DrawStroke(line, {2.0, 1.0});
  // Full pressure, full darkness at the core; half of the edge's pixel is covered.
  for (int x = 8; x <= 31; ++x)
    EXPECT_EQ((std::array<int, 4>{canvas.InkAt(x, 7), canvas.InkAt(x, 10), canvas.InkAt(x, 12),
                                  canvas.InkAt(x, 13)}),
              (std::array<int, 4>{0, 255, 128, 0}))
        << x;
  // Nothing beyond the round ends.
  EXPECT_EQ(std::tuple(canvas.InkAt(1, 10), canvas.InkAt(38, 10)), std::tuple(0, 0));

  // Fading lightens only its box, and only what is darker than the fade.
  canvas.FadeBox(15, 0, 16, 20, kFaintInk);
  // The lighter edge keeps its anti-aliasing.
  for (int x : {15, 16})
    EXPECT_EQ(std::tuple(canvas.InkAt(x, 10), canvas.InkAt(x, 12)), std::tuple(kFaintInk, 128))
        << x;
  EXPECT_EQ(std::tuple(canvas.InkAt(14, 10), canvas.InkAt(17, 10)), std::tuple(255, 255));
  canvas.FadeBox(30, 9, 31, 9, 0);
  EXPECT_EQ(std::tuple(canvas.InkAt(30, 9), canvas.InkAt(30, 10)), std::tuple(0, 255));
}

TEST(PencilCanvas, LightPressureDrawsPalerAndThinnerAndCrossingsKeepTheDarkest) {
  PencilCanvas canvas(30, 30);
  std::vector<StrokePoint> light{{2, 15, 0}, {27, 15, 0}};
  std::vector<StrokePoint> firm{{15, 2, 1}, {15, 27, 1}};
  canvas.DrawStroke(light, {2.0, 1.0});
  const int lightCore = canvas.InkAt(5, 15);
  EXPECT_LT(lightCore, 160);
  EXPECT_GT(lightCore, 120);
  EXPECT_EQ(canvas.InkAt(5, 17), 0);  // radius 1.4 at no pressure
  canvas.DrawStroke(firm, {2.0, 1.0});
  canvas.DrawStroke(light, {2.0, 1.0});  // drawing again over a line changes nothing
  EXPECT_EQ(canvas.InkAt(15, 15), 255);
  EXPECT_EQ(canvas.InkAt(5, 15), lightCore);
}

TEST(PencilCanvas, StrokesAndErasingOffTheSheetAreClipped) {
  PencilCanvas canvas(10, 8);
  std::vector<StrokePoint> across{{-50, -20, 1}, {60, 30, 1}};
  canvas.DrawStroke(across, {3.0, 1.0});
  std::vector<StrokePoint> dot{{4, 4, 1}};
  canvas.DrawStroke(dot, {1.0, 1.0});
  canvas.EraseBox(-100, -100, 100, 2);
  canvas.EraseBox(8, 6, 400, 400);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.InkAt(x, 1), 0);
  EXPECT_EQ(std::tuple(canvas.InkAt(9, 7), canvas.InkAt(4, 4)), std::tuple(0, 255));
  PencilCanvas empty(0, 0);
  empty.DrawStroke(dot, {1.0, 1.0});
  EXPECT_TRUE(empty.Compose(1).empty());
}

// Faint ink must never be taken as line (grey below 100) yet always be grown over (below 150),
// whatever the paper and its tooth beneath.
TEST(PencilCanvas, FaintInkComposesBetweenLinePickUpAndGrowthOnAnyPaper) {
  PencilCanvas canvas(160, 120);
  std::vector<StrokePoint> everywhere{{80, 60, 1}};
  canvas.DrawStroke(everywhere, {200.0, 1.0});
  canvas.FadeBox(0, 0, 159, 119, kFaintInk);
  int lightest = 0, darkest = 255;
  for (uint32_t seed = 1; seed <= 12; ++seed)
    for (uint8_t v : canvas.Compose(seed)) {
      lightest = std::max<int>(lightest, v);
      darkest = std::min<int>(darkest, v);
    }
  EXPECT_GE(darkest, 100);
  EXPECT_LT(lightest, 150);
  EXPECT_LT(darkest + 20, lightest);  // still grainy, not a flat grey
}

TEST(PencilCanvas, BarePaperStaysInItsRangeAndGraphiteDarkensIt) {
  PencilCanvas canvas(64, 48);
  std::vector<StrokePoint> line{{10, 24, 1}, {54, 24, 1}};
  canvas.DrawStroke(line, {2.5, 1.0});
  std::vector<uint8_t> grey = canvas.Compose(9);
  ASSERT_EQ(grey.size(), 64u * 48u);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t v = grey[std::size_t(y) * 64 + x];
      if (canvas.InkAt(x, y) == 0) {
        EXPECT_GE(v, 235);
        EXPECT_LE(v, 250);
      } else if (canvas.InkAt(x, y) == 255) {
        EXPECT_LE(v, 105);  // full graphite, whatever the tooth
      }
    }
  EXPECT_EQ(grey, canvas.Compose(9));
  EXPECT_NE(grey, canvas.Compose(10));
}

TEST(PencilShapes, ClosedStrokesCloseAndLimbOutlinesSurroundTheirPath) {
  SampleRandom random(4);
  Wobble wobble = MakeWobble(random, 0.5);
  std::vector<StrokePoint> ring = ClosedStroke(EllipseOutline({50, 40}, 20, 10, 0.3), 1.0, wobble);
  ASSERT_GT(ring.size(), 90u);  // about one point per pixel of a 97 pixel outline
  ASSERT_LT(ring.size(), 110u);
  EXPECT_EQ(std::pair(ring.front().x, ring.front().y), std::pair(ring.back().x, ring.back().y));
  for (const StrokePoint& p : ring) EXPECT_GE(p.pressure, 0.8);  // dark enough to pick up
  for (std::size_t i = 1; i < ring.size(); ++i)
    EXPECT_LT(std::hypot(ring[i].x - ring[i - 1].x, ring[i].y - ring[i - 1].y), 1.5);

  // A bent limb: every outline point lies at its half width from the joint path.
  std::vector<Point> limb = LimbOutline({0, 0}, {0, -20}, {10, -35}, 4, 2);
  for (const Point& p : limb) {
    double nearest = 1e9;
    for (double t = 0; t <= 1.0; t += 0.001) {
      nearest = std::min(
          {nearest, std::hypot(p.x, p.y + 20 * t), std::hypot(p.x - 10 * t, p.y + 20 + 15 * t)});
    }
    EXPECT_GT(nearest, 1.5);
    EXPECT_LT(nearest, 4.5);
  }

  std::vector<StrokePoint> open = OpenStroke(CurveThrough({0, 0}, {5, 5}, {10, 0}), 1.0, {});
  EXPECT_LT(open.front().pressure, 0.3);  // tapers in and out
  EXPECT_LT(open.back().pressure, 0.3);
  EXPECT_GT(open[open.size() / 2].pressure, 0.65);
  EXPECT_NEAR(open[open.size() / 2].y, 5, 0.2);  // passes through its middle point
}

}  // namespace
}  // namespace quenda::samples

#include "samples/sample_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "common/atomic_file.h"
#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "common/scripted_prompt.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda::samples {
namespace {

using testing::ListDirectory;
using testing::MakeReadOnly;
using testing::TempDir;

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
  SampleOptions options;
  options.width = width;
  options.height = height;
  options.seed = seed;
  return options;
}

TEST(SampleDrawing, SameSeedSameBytesOtherSeedOrFrameOtherBytes) {
  SampleOptions options = Options(200, 150);
  DrawingScan a = MakeSampleDrawing(options, 3, 8);
  DrawingScan b = MakeSampleDrawing(options, 3, 8);
  EXPECT_EQ(a.picture.bytes(), b.picture.bytes());
  EXPECT_NE(a.picture.bytes(), MakeSampleDrawing(options, 4, 8).picture.bytes());
  EXPECT_NE(a.picture.bytes(), MakeSampleDrawing(Options(200, 150, 8), 3, 8).picture.bytes());
  EXPECT_EQ(MakeDrawing(47, 33, 5).picture.bytes(), MakeDrawing(47, 33, 5).picture.bytes());
  EXPECT_NE(MakeDrawing(47, 33, 5).picture.bytes(), MakeDrawing(47, 33, 6).picture.bytes());
}

TEST(SampleDrawing, DarkPencilLinesOnLightGrainyPaperAtAnySize) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {9, 1}, {1, 9}, {47, 33}, {200, 150}, {300, 900}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    DrawingScan scan = MakeDrawing(w, h, 3);
    ASSERT_EQ(scan.picture.width(), w);
    ASSERT_EQ(scan.picture.height(), h);
    ASSERT_EQ(scan.picture.bytes().size(), std::size_t(w) * h);
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
// circle's bare gaps stay open, is checked through the analyzer in sample_regions_test.

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
  SampleOptions options;
  options.width = 61;
  options.height = 47;
  options.dpi = 72;
  options.pegPosition = kPegTop;
  options.xPosition = 12;
  options.yPosition = 345;
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

TEST(SampleSequence, FullDiskStopsAtTheFrameThatFailedAndKeepsTheOldFile) {
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
}

TEST(SampleSequence, ReadOnlyColourSetIsShownAndReturned) {
  TempDir dir;
  ScriptedPrompt prompt;
  testing::WriteText(dir.File("walk.col"), "Quenda\n3\n");
  MakeReadOnly(dir.File("walk.col"));
  Status status = WriteSampleSequence(dir.path(), "walk", 1, Options(16, 16), prompt);
  EXPECT_EQ(status.message(), "Error writing colors file: files may be read only!");
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Error writing colors file: files may be read only!"});
  EXPECT_EQ(testing::ReadText(dir.File("walk.col")), "Quenda\n3\n");
}

}  // namespace
}  // namespace quenda::samples

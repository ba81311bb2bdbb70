// Render to Targa: names, checks, geometry, layers, filtering, files and their failures.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>
#include <tuple>

#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "dopegrid/core/render.h"
#include "dopegrid/tests/painted_frames.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(RenderNames, FourDigitPaddingAndTheDialogChecks) {
  for (auto [number, name] : {std::pair{7, "0007"}, {99, "0099"}, {1234, "1234"}, {12345, "12345"}})
    EXPECT_EQ(RenderFileName("/out/", "walk", number), "/out/walk" + std::string(name) + ".tga");

  // The render dialog's test sees the other refusals through the dialog.
  RenderSettings s;
  s.directory = "/out/";
  s.name = "wälk";
  EXPECT_EQ(CheckRenderSettings(s).message(), "Only letters are allowed for the name");
  s.name = "abcdefghijklmnop";  // 16 letters: beyond the field's 15
  EXPECT_EQ(CheckRenderSettings(s).message(), "The name may have at most 15 letters.");
  s.name = "abcdefghijklmno";
  EXPECT_TRUE(CheckRenderSettings(s).ok());
}

TEST(RenderGeometry, SizesAreWholeDivisionsOfTheExtent) {
  CommonFrame frame{-3, 10, 998, 510};  // 1001 x 500
  RenderGeometry full = RenderGeometryFor(frame, RenderSize::Full);
  RenderGeometry half = RenderGeometryFor(frame, RenderSize::Half);
  RenderGeometry quarter = RenderGeometryFor(frame, RenderSize::Quarter);
  EXPECT_EQ(
      std::tuple(full.width, half.width, half.height, quarter.width, quarter.height, quarter.scale),
      std::tuple(1001, 500, 250, 250, 125, 0.25f));
}

TEST(RenderLayer, LinePixelsBorrowTheFirstPaintedNeighbour) {
  PaintedDrawing painted;
  painted.drawing.picture = Raster(3, 3, 1, 255);
  painted.regions = OneRegion(3, 3);
  painted.regions.regionCount = 1;
  painted.regionColor = {0, kGreen, 0};
  painted.colors = TestColors();
  auto& r = painted.regions;
  r.regionMap[4] = 2;  // the centre: a region line in an unpainted region
  r.flags[4] = kFlagRegionLine;
  r.regionMap[8] = 2;  // an unpainted pencil mark
  r.flags[8] = kFlagAnimatorLine;
  painted.drawing.picture.data()[8] = 100;
  r.regionMap[7] = 2;  // unpainted paper
  Raster layer = BuildLayer(painted);
  EXPECT_EQ(PixelAt(layer, 1, 1), (std::vector<int>{35, 220, 15, 255}));
  EXPECT_EQ(PixelAt(layer, 0, 0), (std::vector<int>{35, 220, 15, 255}));
  EXPECT_EQ(PixelAt(layer, 2, 2), (std::vector<int>{0, 0, 0, 155}));  // 255 - 100
  EXPECT_EQ(layer.At(1, 2)[3], 0);

  // With every neighbour a line or unpainted, the line pixel shows its line, unseen.
  for (int i = 0; i < 9; ++i) r.flags[std::size_t(i)] = kFlagRegionLine;
  r.flags[7] = 0;
  Raster lonely = BuildLayer(painted);
  EXPECT_EQ(lonely.At(1, 1)[3], 0);
}

TEST(RenderLayer, FilteringInterpolatesAndLaysOver) {
  Raster layer(3, 2, 4, 0);
  uint8_t p00[4] = {100, 50, 25, 255}, p10[4] = {201, 51, 26, 255};
  std::copy_n(p00, 4, layer.At(0, 0));
  std::copy_n(p10, 4, layer.At(1, 0));
  Raster picture(5, 2, 4, 0);
  CommonFrame frame{0, 0, 3, 2};
  FilterLayer(layer, {0, 0}, frame, 2.0f, RenderQuality::Best, picture);
  // Halfway between 100 and 201; u = 2 is at the layer's last column: untouched.
  EXPECT_EQ(std::tuple(picture.At(1, 0)[0], picture.At(1, 0)[3], picture.At(4, 0)[3]),
            std::tuple(150, 255, 0));
  Raster nearest(5, 2, 4, 0);
  FilterLayer(layer, {0, 0}, frame, 2.0f, RenderQuality::Fast, nearest);
  EXPECT_EQ(nearest.At(1, 0)[0], 100);

  Raster veil(3, 2, 4, 0);
  for (int x = 0; x < 3; ++x) veil.At(x, 0)[3] = veil.At(x, 1)[3] = 128;
  Raster empty(5, 2, 4, 0);
  FilterLayer(veil, {0, 0}, frame, 2.0f, RenderQuality::Fast, picture);
  FilterLayer(veil, {0, 0}, frame, 2.0f, RenderQuality::Fast, empty);
  // 100 * 127 / 255 = 49.
  EXPECT_EQ(std::tuple(picture.At(0, 0)[0], picture.At(0, 0)[3], empty.At(0, 0)[3]),
            std::tuple(49, 255, 128));
}

// Laying a drawing over a picture in one pass, with its shortcuts over paper, gives what
// building the whole layer and filtering it gives, at every scale, quality and margin.
TEST(RenderLayer, OnePassMatchesBuildingTheWholeLayer) {
  struct Case {
    PaintedDrawing painted;
    std::vector<CommonFrame> frames;
    std::vector<float> scales;
    uint32_t seed;
    uint32_t zeroOneIn;  // of the pixels already in the picture
  };
  std::vector<Case> cases;
  for (uint32_t seed = 1; seed <= 3; ++seed)
    cases.push_back(
        {RandomPainted(47, 33, seed), {{-2, -1, 50, 37}}, {1, 0.5f, 0.25f, 0.75f, 1.6f}, seed, 3});
  for (auto [w, h, stripe] : {std::array{61, 37, 5}, std::array{47, 33, 16}, std::array{70, 20, 3},
                              std::array{13, 40, 64}})
    // Left and right of the drawing the picture is not reached; below and above neither.
    cases.push_back({StripedPainted(w, h, stripe, uint32_t(stripe)),
                     {{-7, -3, w + 9, h + 5}, {1, 1, w - 1, h - 1}},
                     {1, 0.5f, 0.25f, 0.4f},
                     0,
                     2});
  for (const Case& c : cases) {
    const Raster layer = BuildLayer(c.painted);
    for (CommonFrame frame : c.frames)
      for (float scale : c.scales)
        for (RenderQuality quality : {RenderQuality::Best, RenderQuality::Fast}) {
          const int w = int(float(frame.maxX - frame.minX) * scale);
          const int h = int(float(frame.maxY - frame.minY) * scale);
          // Something already in the picture, so that every case of laying over is met;
          // transparent pixels take an unpainted region's line colour, others do not.
          Raster before(w, h, 4);
          std::mt19937 random(c.seed ? c.seed : uint32_t(w * h));
          for (uint8_t& b : before.bytes()) b = uint8_t(random() % c.zeroOneIn == 0 ? 0 : random());
          Raster literal = before, onePass = before;
          FilterLayer(layer, CornerOf(c.painted.drawing), frame, scale, quality, literal);
          LayDrawing(c.painted, frame, scale, quality, onePass);
          ASSERT_EQ(literal, onePass) << c.painted.drawing.picture.width() << " " << frame.minX
                                      << " " << scale << " " << int(quality);
          ASSERT_NE(literal, before);
        }
  }
}

class Rendering : public PaintedSheet {
 protected:
  void SetUp() override {
    WriteTestColorSet(dir.path(), "Ann");
    WriteTestColorSet(dir.path(), "Bob");
    std::filesystem::create_directory(out.path() + "a");
    settings.directory = out.path() + "a/";
    settings.name = "walk";
    settings.levels = {0, 1};
  }
  // Ann (level 0) is red and moves right by 4 per frame; Bob (level 1) is blue and stays.
  void UseFrames(int count) {
    for (int i = 1; i <= count; ++i) {
      DrawingScan ann = FlatDrawing(6, 4, 255, 4 * (i - 1), 0);
      ann.picture.data()[1 * 6 + 1] = 0;
      WritePaintedFrame(dir.path(), "Ann", i, ann, {0, kRed});
    }
    WritePaintedFrame(dir.path(), "Bob", 1, FlatDrawing(6, 4, 255, 12, 0), {0, kBlue});
    ShowAnnAndBob(count, 1);
    settings.lastFrame = count - 1;
  }
  Raster Read(const std::string& path) {
    Result<Raster> image = ReadTarga(path, TargaReader::ComposerClipFrame);
    EXPECT_TRUE(image.ok()) << image.message();
    return image.ok() ? *image : Raster{};
  }

  TempDir out;
  RenderSettings settings;
};

TEST_F(Rendering, PaintedFramesKeepUncoveredPixelsTransparentAndLineTestsPaper) {
  UseFrames(1);
  ASSERT_TRUE(RunRender(settings, source, prompt, progress)) << prompt.Texts()[0];
  Raster image = Read(settings.directory + "walk0001.tga");
  ASSERT_EQ(std::tuple(image.width(), image.height(), image.channels()), std::tuple(18, 4, 4));
  EXPECT_EQ(PixelAt(image, 2, 2), (std::vector<int>{20, 10, 200, 255}));
  EXPECT_EQ(PixelAt(image, 1, 1), (std::vector<int>{0, 0, 0, 255}));  // the pencil line, black
  EXPECT_EQ(PixelAt(image, 8, 1), (std::vector<int>{0, 0, 0, 0}));    // no level here
  EXPECT_EQ(PixelAt(image, 13, 2), (std::vector<int>{250, 40, 30, 255}));
  EXPECT_EQ(image.At(13, 3)[3], 0);  // a layer's last row is not drawn

  // A line test makes paper transparent and pencil opaque.
  settings.kind = RenderKind::LineTest;
  settings.levels = {0};
  ASSERT_TRUE(RunRender(settings, source, prompt, progress));
  image = Read(settings.directory + "walk0001.tga");
  ASSERT_EQ(image.width(), 6);
  EXPECT_EQ(std::tuple(image.At(1, 1)[3], image.At(1, 1)[0], image.At(2, 2)[3], image.At(2, 2)[0]),
            std::tuple(255, 0, 0, 255));
}

TEST_F(Rendering, SplitRunsWriteTheFilesOfOneWholeRunAndStopEndsAfterTheFrameInHand) {
  UseFrames(3);
  settings.size = RenderSize::Half;
  ASSERT_TRUE(RunRender(settings, source, prompt, progress));
  RenderSettings split = settings;
  std::filesystem::create_directory(out.path() + "b");
  split.directory = out.path() + "b/";
  split.writeFirst = split.writeLast = 0;
  ASSERT_TRUE(RunRender(split, source, prompt, progress));
  split.writeFirst = 1;
  split.writeLast = 2;
  ASSERT_TRUE(RunRender(split, source, prompt, progress));
  for (const char* name : {"walk0001.tga", "walk0002.tga", "walk0003.tga"})
    EXPECT_EQ(ReadBytes(settings.directory + name), ReadBytes(split.directory + name)) << name;
  EXPECT_EQ(Read(split.directory + "walk0001.tga").width(), 9);  // 18 div 2

  // Stop asks, and ends after the frame in hand. With two jobs the third frame is made ahead of
  // the question; it must not be written.
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    for (const std::string& name : ListDirectory(settings.directory))
      std::filesystem::remove(settings.directory + name);
    settings.jobs = jobs;
    ScriptedProgress stopping(0);
    ScriptedPrompt asked;
    asked.QueueAnswer(false);
    asked.QueueAnswer(true);
    EXPECT_FALSE(RunRender(settings, source, asked, stopping));
    EXPECT_EQ(asked.Texts(),
              (std::vector<std::string>{"Do you want to stop render?",
                                        "Do you want to stop render?", "Stopped after Frame : 2"}));
    EXPECT_EQ(ListDirectory(settings.directory),
              (std::vector<std::string>{"walk0001.tga", "walk0002.tga"}));
    EXPECT_NE(std::find(stopping.stages.begin(), stopping.stages.end(), "Rendering Frame : 2"),
              stopping.stages.end());
  }
}

// The frame the render waits for says what it is doing, whichever worker makes it; frames
// made ahead stay quiet, so what is shown never runs ahead of the frame in hand.
TEST_F(Rendering, TheFrameInHandShowsItsLayeringWhileItIsMade) {
  UseFrames(3);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    settings.jobs = jobs;
    ScriptedProgress shown;
    ASSERT_TRUE(RunRender(settings, source, prompt, shown));
    std::vector<std::string> frames;  // the layering texts and the frames committed
    for (const std::string& stage : shown.stages)
      if (stage.starts_with("Layering frame") || stage.starts_with("Rendering Frame"))
        frames.push_back(stage);
    const std::vector<std::string> inOrder{
        "Layering frame Bob1", "Layering frame Ann1", "Rendering Frame : 1",
        "Layering frame Bob1", "Layering frame Ann2", "Rendering Frame : 2",
        "Layering frame Bob1", "Layering frame Ann3", "Rendering Frame : 3"};
    if (jobs == 1) {
      EXPECT_EQ(frames, inOrder);
    } else {
      // The first frame is in hand from the start; a later one may be done before its turn.
      ASSERT_GE(frames.size(), 3u);
      EXPECT_EQ(std::vector<std::string>(frames.begin(), frames.begin() + 3),
                std::vector<std::string>(inOrder.begin(), inOrder.begin() + 3));
      std::size_t at = 0;
      for (const std::string& stage : frames) {
        while (at < inOrder.size() && inOrder[at] != stage) ++at;
        EXPECT_LT(at, inOrder.size()) << stage << " out of order";
        ++at;
      }
    }
  }
}

TEST_F(Rendering, AFullDiskIsReportedAndTheRenderGoesOnButAReadOnlyDirectoryEndsIt) {
  UseFrames(2);
  {
    WriteLimit full(100);
    EXPECT_TRUE(RunRender(settings, source, prompt, progress));
  }
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Error writing file " + settings.directory +
                                          "walk0001.tga!: Disk Full or Write Protected",
                                      "Error writing file " + settings.directory +
                                          "walk0002.tga!: Disk Full or Write Protected"}));
  EXPECT_TRUE(ListDirectory(settings.directory).empty());

  // A directory that cannot be written ends it.
  prompt.Clear();
  MakeReadOnly(settings.directory);
  EXPECT_FALSE(RunRender(settings, source, prompt, progress));
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Could not save painted frame!, disk full or read only?"});
}

TEST_F(Rendering, CellFailuresEndWithErrorFindingCells) {
  UseFrames(1);
  settings.levels = {5};
  sheet.levelCount = 6;
  EXPECT_FALSE(RunRender(settings, source, prompt, progress));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"At least one cell must have an image!",
                                                      "Error Finding Cells!"}));
}

}  // namespace
}  // namespace quenda

// Levels laid over the picture in bands of rows on several threads give the picture one
// thread gives, byte for byte: the render's layering at every size and quality, and the
// flipbook's painted and scanned compositing, whose progress is told as one thread tells it;
// levels read at once tell and write what reading them in turn does, for the render and the
// flipbook, in groups when there are more levels than are read at once.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/thread_pool.h"
#include "dopegrid/core/level_reading.h"
#include "dopegrid/core/render.h"
#include "dopegrid/core/render_layer.h"
#include "dopegrid/tests/painted_frames.h"
#include "testing/inner_threads.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr int kThreadCounts[] = {1, 2, 7};

TEST(BandedLayering, EveryThreadCountLaysWhatTheWholeLayerFilteredGives) {
  const PaintedDrawing drawings[] = {RandomPainted(41, 260, 4), StripedPainted(90, 230, 6, 9)};
  for (const PaintedDrawing& painted : drawings) {
    const Raster layer = BuildLayer(painted);
    const int w = painted.drawing.picture.width(), h = painted.drawing.picture.height();
    const CommonFrame frame{-3, -5, w + 4, h + 6};
    for (float scale : {1.0f, 0.5f, 0.75f, 1.6f})
      for (RenderQuality quality : {RenderQuality::Best, RenderQuality::Fast}) {
        const int pw = int(float(frame.maxX - frame.minX) * scale);
        const int ph = int(float(frame.maxY - frame.minY) * scale);
        Raster before(pw, ph, 4);
        std::mt19937 random(uint32_t(pw * ph));
        for (uint8_t& b : before.bytes()) b = uint8_t(random() % 3 == 0 ? 0 : random());
        Raster literal = before;
        FilterLayer(layer, CornerOf(painted.drawing), frame, scale, quality, literal);
        ASSERT_NE(literal, before);
        for (int threads : kThreadCounts) {
          InnerThreadsSetTo set(threads);
          Raster banded = before;
          LayDrawing(painted, frame, scale, quality, banded);
          ASSERT_EQ(banded, literal) << w << "x" << h << " scale " << scale << " quality "
                                     << int(quality) << " threads " << threads;
        }
      }
  }
}

// Records the percentages told, to see them come in order from the calling thread.
class PercentLog final : public Progress {
 public:
  void SetStage(std::string_view) override {}
  void SetPercent(int percent) override { percents.push_back(percent); }
  bool StopRequested() override { return false; }
  std::vector<int> percents;
};

class BandedCompositor : public PaintedSheet {
 protected:
  void SetUp() override {
    for (const char* name : {"Ann", "Bob"}) WriteTestColorSet(dir.path(), name);
    // Ann in front, at an offset, over Bob: both drawings have every kind of pixel, and are tall
    // enough that each tenth of the rows splits into bands.
    PaintedDrawing ann = RandomPainted(30, 3300, 21), bob = StripedPainted(40, 3320, 7, 22);
    ann.drawing.xPosition = 6;
    ann.drawing.yPosition = 9;
    // Written files hold a box per region number.
    for (PaintedDrawing* p : {&ann, &bob})
      p->regions.regionBounds.assign(std::size_t(p->regions.regionCount) + 2, RegionBox{});
    WritePaintedFrame(dir.path(), "Ann", 1, ann.drawing, ann.regions, ann.regionColor);
    WritePaintedFrame(dir.path(), "Bob", 1, bob.drawing, bob.regions, bob.regionColor);
    ShowAnnAndBob(1, 1);
    job.levels = {0, 1};
    ASSERT_TRUE(CheckJobCells(job, source, prompt));
    ASSERT_TRUE(ScanRange(job, source, RangeUser::Flipbook, prompt));
  }
  // The frame composited at `scale` on `threads` threads, with the percentages it told.
  std::pair<Raster, std::vector<int>> Composite(CompositeMode mode, float scale, int threads) {
    InnerThreadsSetTo set(threads);
    job.mode = mode;
    job.scale = scale;
    job.width = int(float(job.frame.maxX - job.frame.minX) * scale);
    job.height = int(float(job.frame.maxY - job.frame.minY) * scale);
    job.picture = Raster(job.width, job.height, 3);
    PercentLog log;
    const bool made = mode == CompositeMode::Painted
                          ? CompositePainted(job, source, 0, prompt, log)
                          : CompositeScanned(job, source, 0, prompt, log);
    EXPECT_TRUE(made);
    return {job.picture, log.percents};
  }

  CompositeJob job;
};

TEST_F(BandedCompositor, PaintedAndScannedFramesAreTheOneThreadFrames) {
  for (CompositeMode mode : {CompositeMode::Painted, CompositeMode::Scanned})
    for (float scale : {1.0f, 0.4f}) {
      const auto [one, percents] = Composite(mode, scale, 1);
      // Reading and compositing both tell it; the bands must not change what is told.
      ASSERT_GE(percents.size(), 20u);
      for (int threads : {2, 7}) {
        const auto [many, told] = Composite(mode, scale, threads);
        ASSERT_EQ(many, one) << int(mode) << " scale " << scale << " threads " << threads;
        EXPECT_EQ(told, percents);
      }
    }
}

// Levels read at once, as many as there are threads, say what reading them one after another
// says: the same stage texts, the same messages, nothing after the first level that fails.
TEST_F(BandedCompositor, LevelsReadAtOnceSayAndWriteWhatReadingThemInTurnDoes) {
  TempDir out;
  RenderSettings settings;
  settings.directory = out.path();
  settings.name = "walk";
  settings.levels = {0, 1};
  struct Case {
    const char* name;
    std::vector<std::string> spoiled;  // files cut short before the run
    std::size_t files;                 // frames written
  };
  const Case cases[] = {{"every level reads", {}, 1},
                        {"the back level fails first", {"Bob1.rgn"}, 0},
                        {"the front level fails", {"Ann1.rgn"}, 0},
                        {"both fail", {"Ann1.qds", "Bob1.qds"}, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& name : c.spoiled) {
      std::vector<uint8_t> bytes = ReadBytes(dir.File(name));
      bytes.resize(bytes.size() / 2);
      WriteBytes(dir.File(name), bytes);
    }
    std::vector<std::string> oneStages, oneSaid;
    std::vector<uint8_t> oneFile;
    for (int threads : kThreadCounts) {
      InnerThreadsSetTo set(threads);
      std::filesystem::remove_all(out.path());
      std::filesystem::create_directories(out.path());
      ScriptedPrompt said;
      ScriptedProgress shown;
      const bool rendered = RunRender(settings, source, said, shown);
      EXPECT_EQ(rendered, c.files == 1) << threads;
      ASSERT_EQ(ListDirectory(out.path()).size(), c.files) << threads;
      const std::vector<uint8_t> file =
          c.files ? ReadBytes(out.File("walk0001.tga")) : std::vector<uint8_t>{};
      if (threads == 1) {
        oneStages = shown.stages, oneSaid = said.Texts(), oneFile = file;
        EXPECT_EQ(oneSaid.empty(), c.spoiled.empty());
        continue;
      }
      EXPECT_EQ(shown.stages, oneStages) << threads;
      EXPECT_EQ(said.Texts(), oneSaid) << threads;
      EXPECT_EQ(file, oneFile) << threads;
    }
    SetUp();  // the drawings written afresh for the next case
  }
}

// More levels than are read at once, some failing: every thread count lays the drawings one
// thread lays, in the same order, and tells the same stages, percentages and messages, the
// first failing level's first and nothing after it.
TEST_F(BandedCompositor, MoreLevelsThanReadAtOnceAreLaidAndToldInTurn) {
  constexpr int kLevels = kLevelsReadAtOnce + 3;
  struct Case {
    const char* name;
    int illegal;  // the level whose cell names no sequence, or -1
    int missing;  // the level whose sequence has no such frame, or -1
    int laid;     // levels laid before the first failure
  };
  const Case cases[] = {
      {"every level reads", -1, -1, kLevels},
      {"one fails in the second group", -1, kLevelsReadAtOnce + 1, kLevelsReadAtOnce + 1},
      {"two fail, the earlier told alone", kLevelsReadAtOnce + 2, 1, 1},
      {"the first fails", 0, -1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<SheetCell> cells;
    for (int l = 0; l < kLevels; ++l) cells.push_back({CellKind::Key, l % 2, 0});
    if (c.illegal >= 0) cells[std::size_t(c.illegal)].sequence = 9;
    if (c.missing >= 0) cells[std::size_t(c.missing)].frame = 5;
    std::vector<const SheetCell*> pointers;
    for (const SheetCell& cell : cells) pointers.push_back(&cell);
    struct Told {
      bool read = false;
      std::vector<std::pair<std::size_t, std::vector<uint8_t>>> laid;
      std::vector<std::string> said, stages;
      std::vector<int> percents;
    };
    std::vector<Told> told;
    for (int threads : kThreadCounts) {
      ScriptedPrompt said;
      ScriptedProgress shown;
      Told t;
      t.read = ReadLevelsInTurn(
          source, pointers, said, shown,
          [&](std::size_t i, PaintedDrawing& painted) {
            shown.SetStage("laid");  // in its place among what the readings told
            t.laid.emplace_back(i, painted.drawing.picture.bytes());
          },
          threads);
      t.said = said.Texts(), t.stages = shown.stages, t.percents = shown.percents;
      told.push_back(std::move(t));
    }
    const Told& one = told[0];
    EXPECT_EQ(one.read, c.laid == kLevels);
    ASSERT_EQ(one.laid.size(), std::size_t(c.laid));
    for (std::size_t i = 0; i < one.laid.size(); ++i) EXPECT_EQ(one.laid[i].first, i);
    EXPECT_EQ(one.said.empty(), c.laid == kLevels);
    for (std::size_t k = 1; k < told.size(); ++k) {
      SCOPED_TRACE(kThreadCounts[k]);
      EXPECT_EQ(told[k].read, one.read);
      EXPECT_TRUE(told[k].laid == one.laid);
      EXPECT_EQ(told[k].said, one.said);
      EXPECT_EQ(told[k].stages, one.stages);
      EXPECT_EQ(told[k].percents, one.percents);
    }
  }
}

// The painted flipbook reads its levels at once too: a failing level says what it said when
// read in turn, and the frames that read are the one thread's.
TEST_F(BandedCompositor, AFlipbookFrameWithAFailingLevelSaysWhatReadingInTurnSays) {
  for (const char* spoiled : {"Bob1.rgn", "Ann1.qds"}) {
    SCOPED_TRACE(spoiled);
    std::vector<uint8_t> bytes = ReadBytes(dir.File(spoiled));
    bytes.resize(bytes.size() / 2);
    WriteBytes(dir.File(spoiled), bytes);
    std::vector<std::string> oneSaid, oneStages;
    for (int threads : kThreadCounts) {
      InnerThreadsSetTo set(threads);
      job.mode = CompositeMode::Painted;
      job.scale = 0.5f;
      job.width = int(float(job.frame.maxX - job.frame.minX) * job.scale);
      job.height = int(float(job.frame.maxY - job.frame.minY) * job.scale);
      job.picture = Raster(job.width, job.height, 3);
      ScriptedPrompt said;
      ScriptedProgress shown;
      EXPECT_FALSE(CompositePainted(job, source, 0, said, shown)) << threads;
      if (threads == 1) {
        oneSaid = said.Texts(), oneStages = shown.stages;
        EXPECT_FALSE(oneSaid.empty());
        continue;
      }
      EXPECT_EQ(said.Texts(), oneSaid) << threads;
      EXPECT_EQ(shown.stages, oneStages) << threads;
    }
    SetUp();
  }
}

}  // namespace
}  // namespace quenda

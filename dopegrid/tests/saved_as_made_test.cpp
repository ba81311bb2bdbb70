// Painted frames saved band by band while later bands are laid are the files of making each
// whole picture and saving it after, byte for byte, on 1, 2 and 7 threads and with frames made
// at once; a disk that fills, a directory or an old frame that cannot be written tell what
// they told and leave every old file as it was and no temporary behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/targa.h"
#include "common/thread_pool.h"
#include "dopegrid/core/level_reading.h"
#include "dopegrid/core/painted_bands.h"
#include "dopegrid/core/render.h"
#include "dopegrid/tests/painted_frames.h"
#include "testing/inner_threads.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr int kThreadCounts[] = {1, 2, 7};
constexpr int kFrames = 2;
// Enough levels that some are laid whole before the last group goes band by band.
constexpr int kManyLevels = kLevelsReadAtOnce + 2;

class SavedAsMade : public PaintedSheet {
 protected:
  void SetUp() override {
    for (const char* name : {"Ann", "Bob"}) WriteTestColorSet(dir.path(), name);
    for (int i = 1; i <= kFrames; ++i) {
      PaintedDrawing ann = RandomPainted(120, 700, uint32_t(i));
      ann.drawing.xPosition = 5 * i;
      ann.drawing.yPosition = 7;
      ann.regions.regionBounds.assign(std::size_t(ann.regions.regionCount) + 2, RegionBox{});
      WritePaintedFrame(dir.path(), "Ann", i, ann.drawing, ann.regions, ann.regionColor);
    }
    PaintedDrawing bob = StripedPainted(130, 690, 6, 9);
    bob.regions.regionBounds.assign(std::size_t(bob.regions.regionCount) + 2, RegionBox{});
    WritePaintedFrame(dir.path(), "Bob", 1, bob.drawing, bob.regions, bob.regionColor);
    ShowAnnAndBob(kFrames, 1);
    // Levels past the two show Ann and Bob again, by turns.
    for (int l = 2; l < kManyLevels; ++l) {
      ASSERT_TRUE(sheet.AddLevel("more"));
      for (int f = 0; f < kFrames; ++f)
        sheet.Cell(l, f) = l % 2 ? sheet.Cell(1, f) : sheet.Cell(0, f);
    }
    settings.directory = out.path();
    settings.name = "walk";
    settings.lastFrame = kFrames - 1;
  }
  void UseLevels(int count) {
    settings.levels.clear();
    for (int l = 0; l < count; ++l) settings.levels.push_back(l);
  }
  // The frames made whole on one thread and then saved, as every other taker gets them.
  std::vector<std::vector<uint8_t>> WholeFrames() {
    InnerThreadsSetTo one(1);
    std::vector<std::vector<uint8_t>> files;
    TempDir whole;
    RenderedFrameTaker save{[&](int f, const Raster& picture, double, Progress&) {
                              const std::string path = whole.File(std::to_string(f));
                              EXPECT_TRUE(WriteTarga(path, picture, WriteMessages("no")).ok());
                              files.push_back(ReadBytes(path));
                              return true;
                            },
                            [](int) { return std::string(); }};
    EXPECT_TRUE(RenderFramesTo(settings, source, prompt, progress, save));
    return files;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int f = 1; f <= kFrames; ++f) names.push_back(RenderFileName("", "walk", f));
    return names;
  }
  void ClearOut() {
    std::filesystem::remove_all(out.path());
    std::filesystem::create_directories(out.path());
  }

  TempDir out;
  RenderSettings settings;
};

TEST_F(SavedAsMade, EveryThreadCountAndJobCountSavesTheWholePicturesBytes) {
  struct Case {
    int levels;
    RenderSize size;
    int mostJobs;  // frames made at once, from 1 up to this
  };
  for (const Case c : {Case{2, RenderSize::Full, 2}, Case{2, RenderSize::Half, 1},
                       Case{kManyLevels, RenderSize::Full, 2}}) {
    UseLevels(c.levels);
    settings.size = c.size;
    const std::vector<std::vector<uint8_t>> whole = WholeFrames();
    ASSERT_EQ(whole.size(), std::size_t(kFrames));
    std::vector<std::string> oneStages;
    for (int jobs = 1; jobs <= c.mostJobs; ++jobs)
      for (int threads : kThreadCounts) {
        SCOPED_TRACE(std::to_string(c.levels) + " levels, size " + std::to_string(int(c.size)) +
                     ", " + std::to_string(jobs) + " jobs, " + std::to_string(threads) +
                     " threads");
        InnerThreadsSetTo set(threads);
        settings.jobs = jobs;
        ClearOut();
        ScriptedProgress shown;
        ASSERT_TRUE(RunRender(settings, source, prompt, shown));
        EXPECT_TRUE(prompt.Texts().empty());
        ASSERT_EQ(ListDirectory(out.path()), Names());
        for (int f = 0; f < kFrames; ++f)
          EXPECT_TRUE(ReadBytes(out.File(Names()[std::size_t(f)])) == whole[std::size_t(f)]) << f;
        // One frame at a time tells what it did in the same order on any number of threads.
        if (jobs == 1 && threads == 1) oneStages = shown.stages;
        if (jobs == 1) {
          EXPECT_EQ(shown.stages, oneStages);
        }
      }
  }
}

// Bands of a few rows, many more than threads, over levels laid whole first and in bands after:
// handed on in order, they are the picture of laying every level over the whole of it.
TEST_F(SavedAsMade, BandsOfAnyHeightJoinIntoTheWholePicture) {
  UseLevels(kManyLevels);
  CompositeJob job;
  job.levels = settings.levels;
  ASSERT_TRUE(ScanRange(job, source, RangeUser::Render, prompt));
  const RenderGeometry g = RenderGeometryFor(job.frame, RenderSize::Full);
  std::vector<const SheetCell*> cells;
  for (int l = kManyLevels - 1; l >= 0; --l) cells.push_back(&sheet.Cell(l, 0));
  Raster whole(g.width, g.height, 4);
  ASSERT_TRUE(ReadLevelsInTurn(
      source, cells, prompt, progress,
      [&](std::size_t, PaintedDrawing& painted) {
        LayDrawing(painted, job.frame, g.scale, RenderQuality::Fast, whole);
      },
      1));
  for (std::size_t rows : {std::size_t(1), std::size_t(3), std::size_t(64)})
    for (int threads : kThreadCounts) {
      SCOPED_TRACE(std::to_string(rows) + " rows a band, " + std::to_string(threads) + " threads");
      InnerThreadsSetTo set(threads);
      std::vector<uint8_t> joined;
      bool begun = false;
      const PaintedBandPicture picture{g.width, g.height, g.scale, RenderQuality::Fast,
                                       rows * std::size_t(g.width) * 4};
      ASSERT_TRUE(MakePaintedInBands(
          source, cells, job.frame, picture, prompt, progress, [&] { return begun = true; },
          [&](ConstRasterView band) {
            EXPECT_TRUE(begun);
            EXPECT_LE(band.height, int(2 * rows));
            const uint8_t* at = band.pixels;
            joined.insert(joined.end(), at, at + std::size_t(band.height) * band.stride);
          }));
      EXPECT_TRUE(joined == whole.bytes());
    }
}

TEST_F(SavedAsMade, FailuresTellWhatTheyToldAndLeaveOldFilesAndNoTemporaries) {
  UseLevels(2);
  const std::string full = "Error writing file " + out.path();
  struct Case {
    const char* name;
    long long diskBytes;  // the disk fills after these, or -1
    int readOnlyFrame;    // 0: the directory, n: frame n's old file, -1: none
    bool finished;
    std::vector<std::string> said;
    std::size_t framesWritten;
  };
  const Case cases[] = {{"the disk fills inside the first band",
                         100,
                         -1,
                         true,
                         {full + "walk0001.tga!: Disk Full or Write Protected",
                          full + "walk0002.tga!: Disk Full or Write Protected"},
                         0},
                        {"a read-only directory ends it",
                         -1,
                         0,
                         false,
                         {"Could not save painted frame!, disk full or read only?"},
                         0},
                        {"a read-only old second frame ends it after the first",
                         -1,
                         2,
                         false,
                         {"Could not save painted frame!, disk full or read only?"},
                         1}};
  for (const Case& c : cases)
    for (int jobs : {1, 2})
      for (int threads : kThreadCounts) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(jobs) + " jobs, " +
                     std::to_string(threads) + " threads");
        InnerThreadsSetTo set(threads);
        settings.jobs = jobs;
        ClearOut();
        for (const std::string& name : Names()) WriteBytes(out.File(name), {7, 7, 7});
        if (c.readOnlyFrame > 0) MakeReadOnly(out.File(Names()[std::size_t(c.readOnlyFrame - 1)]));
        if (c.readOnlyFrame == 0) MakeReadOnly(out.path());
        ScriptedPrompt said;
        bool finished;
        {
          WriteLimit disk(c.diskBytes);
          finished = RunRender(settings, source, said, progress);
        }
        if (c.readOnlyFrame == 0) MakeWritable(out.path());
        EXPECT_EQ(finished, c.finished);
        EXPECT_EQ(said.Texts(), c.said);
        EXPECT_EQ(ListDirectory(out.path()), Names());  // no temporaries
        for (std::size_t f = 0; f < Names().size(); ++f)
          EXPECT_EQ(ReadBytes(out.File(Names()[f])).size() > 3, f < c.framesWritten) << f;
        if (c.readOnlyFrame > 0) MakeWritable(out.File(Names()[std::size_t(c.readOnlyFrame - 1)]));
      }
}

}  // namespace
}  // namespace quenda

// Line generation and region extraction in bands of rows on several threads: every buffer and
// the region file are those of one thread, byte for byte, on drawings whose regions cross the
// bands' seams in every way.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "analyzer/core/batch_process.h"
#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_regions.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/thread_pool.h"
#include "samples/sample_drawing.h"
#include "testing/inner_threads.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Line maps no line generation makes, for the numbering's seams.
std::vector<uint8_t> LineMap(int width, int height, const std::function<bool(int, int)>& line) {
  std::vector<uint8_t> flags(std::size_t(width) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) flags[std::size_t(y) * width + x] = line(x, y) ? 1 : 0;
  return flags;
}

struct Case {
  std::string name;
  int width, height;
  std::vector<uint8_t> grey;   // analysed from the grey picture when `flags` is empty
  std::vector<uint8_t> flags;  // else the regions of this line map
  int closeGaps = 0;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  auto drawing = [&](std::string name, int w, int h, std::vector<uint8_t> grey, int gaps = 0) {
    cases.push_back({std::move(name), w, h, std::move(grey), {}, gaps});
  };
  auto lines = [&](std::string name, int w, int h, const std::function<bool(int, int)>& line) {
    cases.push_back({std::move(name), w, h, std::vector<uint8_t>(std::size_t(w) * h, 128),
                     LineMap(w, h, line), 0});
  };
  drawing("sample figure", 331, 900, samples::MakeDrawing(331, 900, 3).picture.bytes());
  drawing("sample figure, gaps closed", 300, 700, samples::MakeDrawing(300, 700, 5).picture.bytes(),
          kRecommendedCloseGaps);
  drawing("gapped outlines, gaps closed", 250, 640,
          RandomDrawing(250, 640, DrawingKind::GappedOutlines, 11), 6);
  drawing("mixed strokes", 190, 800, RandomDrawing(190, 800, DrawingKind::Mixed, 12));
  drawing("one row", 700, 1, RandomDrawing(700, 1, DrawingKind::Mixed, 13));
  drawing("one column", 1, 700, RandomDrawing(1, 700, DrawingKind::Strokes, 14));
  // One region that winds up and down through every band, its halves first met far apart.
  lines("serpentine", 161, 600,
        [](int x, int y) { return x % 4 == 3 && ((x / 4) % 2 == 0 ? y < 599 : y > 0); });
  // Line pixels at both row ends (their neighbours wrap round) and on every seam's rows.
  lines("walls and edges", 97, 520, [](int x, int y) {
    return x == 0 || x == 96 || y % 65 == 0 || y % 65 == 64 || (x * 7 + y * 3) % 11 == 0;
  });
  // Line pixels at the left end whose only area neighbour is the one below-left, which wraps to
  // the right end two rows down: below a band's first row.
  lines("wrapped diagonal", 9, 700,
        [](int x, int y) { return x < 3 || x > 5 ? x != 8 || y % 3 != 0 : false; });
  lines("dense random", 120, 900,
        [](int x, int y) { return (unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) % 100 < 45; });
  // Every other pixel its own region: more than a region file holds.
  lines("too many regions", 380, 460, [](int x, int y) { return (x + y) % 2 == 0; });
  return cases;
}

struct Analysis {
  std::string status;
  WorkingImage image;
  std::vector<uint8_t> file;
};

Analysis Analyze(const Case& c, int threads, LineColours colours = LineColours::Map) {
  SetInnerThreads(threads);
  Analysis a{"", MakeWorkingImage(c.width, c.height, c.grey), {}};
  NullProgress progress;
  if (c.flags.empty()) {
    GenerateLines(a.image, {}, 0, c.width, 0, c.height, progress);
    (void)CloseGapsOfDrawing(a.image, c.closeGaps, progress);
  } else {
    a.image.regions.flags = c.flags;
  }
  Status status = ExtractRegions(a.image, {}, progress, colours);
  a.status = status ? "ok" : status.message();
  if (status) {
    ResetRegionColours(a.image);
    a.file = EncodeRegionFile(a.image.regions);
  }
  return a;
}

class ThreadsRestored : public ::testing::Test {
 protected:
  quenda::testing::InnerThreadsRestored restored_;
};

TEST_F(ThreadsRestored, EveryBufferAndTheRegionFileAreThoseOfOneThread) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const Analysis one = Analyze(c, 1);
    for (int threads : {2, 7}) {
      SCOPED_TRACE(::testing::Message() << threads << " threads");
      const Analysis many = Analyze(c, threads);
      EXPECT_EQ(many.status, one.status);
      EXPECT_EQ(many.image.regions.flags, one.image.regions.flags);
      EXPECT_TRUE(many.image.display == one.image.display) << "display images differ";
      EXPECT_EQ(many.image.grey, one.image.grey);
      EXPECT_EQ(many.image.joinPixels, one.image.joinPixels);
      EXPECT_EQ(many.image.regions.regionMap, one.image.regions.regionMap);
      EXPECT_EQ(many.image.regions.regionBounds, one.image.regions.regionBounds);
      EXPECT_EQ(many.image.regions.animColor, one.image.regions.animColor);
      EXPECT_EQ(many.image.regionColor, one.image.regionColor);
      EXPECT_EQ(many.file, one.file);
    }
    if (c.name == "too many regions")
      EXPECT_EQ(one.status, TooManyRegionsMessage(380 * 460 / 2));
    else if (c.name == "serpentine")
      EXPECT_EQ(one.image.regions.regionCount, 0);  // the one region and its walls
    else
      EXPECT_GT(one.image.regions.regionCount, 0);
  }
}

TEST_F(ThreadsRestored, OneLineColourForAllGivesTheRegionsAndTheFileOfTheMap) {
  for (const Case& c : Cases()) {
    // The line maps, and the drawings of one row or column: small enough for the thread
    // sanitizer's run.
    if (c.flags.empty() && c.width > 1 && c.height > 1) continue;
    SCOPED_TRACE(c.name);
    const Analysis mapped = Analyze(c, 1);
    for (int threads : {1, 2, 7}) {
      SCOPED_TRACE(::testing::Message() << threads << " threads");
      const Analysis single = Analyze(c, threads, LineColours::OneForAll);
      const RegionData& regions = single.image.regions;
      EXPECT_EQ(single.status, mapped.status);
      EXPECT_EQ(regions.regionMap, mapped.image.regions.regionMap);
      EXPECT_EQ(regions.regionBounds, mapped.image.regions.regionBounds);
      EXPECT_EQ(regions.regionCount, mapped.image.regions.regionCount);
      EXPECT_EQ(single.image.grey, mapped.image.grey);
      EXPECT_EQ(single.file, mapped.file);
      EXPECT_TRUE(regions.animColor.empty());
      // A drawing refused for its regions keeps no line colour either.
      EXPECT_EQ(regions.uniformAnimColor,
                single.status == "ok" ? std::optional(uint16_t(kAnimLineColor)) : std::nullopt);
    }
  }
  // The window's Mark Regions after such an analysis has its map again, and the other way round.
  SetInnerThreads(2);
  const std::vector<uint8_t> grey(std::size_t(90) * 300, 128);
  WorkingImage image = MakeWorkingImage(90, 300, grey);
  image.regions.flags = RandomLineMap(90, 300, 30, 33);
  NullProgress progress;
  ASSERT_TRUE(ExtractRegions(image, {}, progress, LineColours::OneForAll));
  ASSERT_TRUE(ExtractRegions(image, {}, progress));
  EXPECT_EQ(image.regions.uniformAnimColor, std::nullopt);
  EXPECT_EQ(image.regions.animColor, std::vector<uint16_t>(90 * 300, uint16_t(kAnimLineColor)));
  ASSERT_TRUE(ExtractRegions(image, {}, progress, LineColours::OneForAll));
  EXPECT_TRUE(image.regions.animColor.empty());
  EXPECT_TRUE(image.regions.IsConsistent());
}

TEST_F(ThreadsRestored, BandsNumberTheLineMapsAsTheLiteralLoops) {
  // The hand-made maps are where the seams are hardest; one thread is held to the literal
  // loops elsewhere, seven are here.
  for (const Case& c : Cases()) {
    if (c.flags.empty() || c.name == "too many regions") continue;
    SCOPED_TRACE(c.name);
    const Analysis many = Analyze(c, 7);
    WorkingImage literal = MakeWorkingImage(c.width, c.height, c.grey);
    literal.regions.flags = c.flags;
    NullProgress progress;
    ASSERT_TRUE(ExtractRegionsLiteral(literal, {}, progress));
    EXPECT_EQ(many.image.regions.regionMap, literal.regions.regionMap);
    EXPECT_EQ(many.image.regions.regionBounds, literal.regions.regionBounds);
    EXPECT_EQ(many.image.regions.regionCount, literal.regions.regionCount);
  }
}

TEST_F(ThreadsRestored, TheMapsOfTheAnalysisBeforeAreWrittenOver) {
  for (int threads : {1, 2, 7}) {
    SCOPED_TRACE(::testing::Message() << threads << " threads");
    SetInnerThreads(threads);
    const std::vector<uint8_t> grey(std::size_t(150) * 600, 128);
    WorkingImage again = MakeWorkingImage(150, 600, grey);
    WorkingImage fresh = MakeWorkingImage(150, 600, grey);
    NullProgress progress;
    again.regions.flags = RandomLineMap(150, 600, 30, 31);
    ASSERT_TRUE(ExtractRegions(again, {}, progress));
    // As painted lines and regions, whose numbers and colours the new analysis replaces.
    again.regions.animColor.assign(again.regions.animColor.size(), 3);
    again.regions.regionMap.assign(again.regions.regionMap.size(), 5);
    again.regions.flags = fresh.regions.flags = RandomLineMap(150, 600, 60, 32);
    ASSERT_TRUE(ExtractRegions(again, {}, progress));
    ASSERT_TRUE(ExtractRegions(fresh, {}, progress));
    EXPECT_EQ(again.regions, fresh.regions);
  }
}

TEST_F(ThreadsRestored, ABatchRunWritesTheWindowsRegionFilesWithAnyThreads) {
  // The batch run's drawings have no display picture and lose their grey half way; the files
  // are still those of Mark Regions in the window, gaps closed, on one thread.
  TempDir dir;
  samples::SampleOptions options{.width = 210, .height = 620};
  ScriptedPrompt prompt;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 2, options, prompt));
  const DrawingSequence sequence = OpenSequence(dir.File("walk1.qds"), "walk1.qds");
  std::vector<std::vector<uint8_t>> window;
  SetInnerThreads(1);
  for (const char* name : {"walk1.qds", "walk2.qds"}) {
    auto loaded = ReadDrawingScan(dir.File(name), ScanReader::Analyzer);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    WorkingImage image = MakeWorkingImage(210, 620, std::move(loaded->scan.picture.bytes()));
    NullProgress progress;
    GapJoins joins;
    ASSERT_TRUE(MarkRegions(image, {}, progress, kDefaultLineColour, 8, &joins));
    EXPECT_GT(joins.count, 0);  // the figures' gaps
    window.push_back(EncodeRegionFile(image.regions));
  }
  for (int threads : {1, 2, 7}) {
    SCOPED_TRACE(::testing::Message() << threads << " threads");
    SetInnerThreads(threads);
    NullProgress progress;
    const BatchResult result =
        RunBatchProcess(sequence, AllFrames(sequence), {}, prompt, progress, {}, 1, 8);
    ASSERT_EQ(result.WrittenCount(), 2);
    EXPECT_EQ(ReadBytes(dir.File("walk1.rgn")), window[0]);
    EXPECT_EQ(ReadBytes(dir.File("walk2.rgn")), window[1]);
  }
}

TEST_F(ThreadsRestored, ATestRectangleInBandsLeavesTheRestAsOneThreadDoes) {
  const auto grey = RandomDrawing(120, 700, DrawingKind::Mixed, 21);
  std::vector<uint8_t> stale(grey.size());
  for (std::size_t i = 0; i < stale.size(); ++i) stale[i] = uint8_t(i * 37 % 64);
  WorkingImage results[2];
  for (int k = 0; k < 2; ++k) {
    SetInnerThreads(k == 0 ? 1 : 7);
    results[k] = MakeWorkingImage(120, 700, grey);
    results[k].regions.flags = stale;
    NullProgress progress;
    GenerateLines(results[k], {}, 13, 101, 40, 650, progress);
  }
  EXPECT_EQ(results[1].regions.flags, results[0].regions.flags);
  EXPECT_TRUE(results[1].display == results[0].display);
  EXPECT_NE(results[0].regions.flags, stale);
}

}  // namespace
}  // namespace quenda

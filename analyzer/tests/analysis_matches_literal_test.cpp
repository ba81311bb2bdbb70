// The fast line generation and region extraction against their loop-for-loop transcriptions,
// on generated drawings of many shapes and sizes and under several settings.

#include <gtest/gtest.h>

#include <random>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/oracle/literal_regions.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using namespace testing;

struct Size {
  int width, height;
};

constexpr Size kSizes[] = {{1, 1},   {1, 37},  {41, 1},  {2, 2},    {3, 3},    {5, 4},
                           {47, 33}, {64, 64}, {33, 90}, {127, 61}, {250, 180}};
constexpr DrawingKind kKinds[] = {DrawingKind::Strokes, DrawingKind::Blobs, DrawingKind::Noise,
                                  DrawingKind::GappedOutlines, DrawingKind::Mixed};
const RedlineSettings kSettings[] = {
    {},                  // the defaults
    {60, 200, 240, 20},  // wide growth
    {100, 100, 80, 80},  // no growth; equal clamps
    {254, 254, 255, 0},  // nearly everything is a line
    {0, 0, 10, 144},     // nothing picked up; reversed clamps as an unchecked file allows
};

void ExpectSameLines(const WorkingImage& fast, const WorkingImage& literal) {
  EXPECT_EQ(fast.regions.flags, literal.regions.flags);
  EXPECT_TRUE(fast.display == literal.display) << "display images differ";
}

void ExpectSameRegions(const WorkingImage& fast, const WorkingImage& literal) {
  EXPECT_EQ(fast.regions.regionCount, literal.regions.regionCount);
  EXPECT_EQ(fast.regions.regionMap, literal.regions.regionMap);
  EXPECT_EQ(fast.regions.regionBounds, literal.regions.regionBounds);
  EXPECT_EQ(fast.regions.animColor, literal.regions.animColor);
  EXPECT_EQ(fast.regions.settings, literal.regions.settings);
  EXPECT_EQ(fast.grey, literal.grey);
  EXPECT_EQ(fast.regionColor, literal.regionColor);
  EXPECT_EQ(fast.regionColorUndo.size(), literal.regionColorUndo.size());
  EXPECT_EQ(fast.filledCount, literal.filledCount);
}

// The reports after the fill passes, which the fast extraction does not repeat.
std::vector<std::pair<std::string, int>> ReportsAfterFill(const ScriptedProgress& progress) {
  std::vector<std::pair<std::string, int>> reports;
  for (std::size_t k = 0; k < progress.stages.size(); ++k)
    if (progress.stages[k].rfind("Fill Pass", 0) != 0)
      reports.emplace_back(progress.stages[k], progress.percents[k]);
  return reports;
}

TEST(AnalysisMatchesLiteral, WholeDrawingsOfEverySizeKindAndSetting) {
  uint32_t seed = 1;
  for (Size size : kSizes)
    for (DrawingKind kind : kKinds)
      for (int s = 0; s < int(std::size(kSettings)); ++s, ++seed) {
        SCOPED_TRACE(::testing::Message()
                     << size.width << " x " << size.height << " " << KindName(kind) << ", settings "
                     << s << ", seed " << seed);
        const RedlineSettings& settings = kSettings[s];
        auto grey = RandomDrawing(size.width, size.height, kind, seed);
        WorkingImage fast = MakeWorkingImage(size.width, size.height, grey);
        WorkingImage literal = MakeWorkingImage(size.width, size.height, grey);
        const Bgr line{uint8_t(seed), 7, 200};
        ScriptedProgress fastProgress, literalProgress;
        GenerateLines(fast, settings, 0, size.width, 0, size.height, fastProgress, line);
        GenerateLinesLiteral(literal, settings, 0, size.width, 0, size.height, literalProgress,
                             line);
        ExpectSameLines(fast, literal);
        EXPECT_EQ(fastProgress.stages, literalProgress.stages);
        EXPECT_EQ(fastProgress.percents, literalProgress.percents);

        ScriptedProgress fastRegions, literalRegions;
        ASSERT_TRUE(ExtractRegions(fast, settings, fastRegions));
        ASSERT_TRUE(ExtractRegionsLiteral(literal, settings, literalRegions));
        ExpectSameRegions(fast, literal);
        EXPECT_EQ(ReportsAfterFill(fastRegions), ReportsAfterFill(literalRegions));
        if (::testing::Test::HasFailure()) return;  // one drawing's story is enough
      }
}

TEST(AnalysisMatchesLiteral, TestRectanglesLeaveTheRestAsTheLoopsDo) {
  std::mt19937 random(77);
  for (int round = 0; round < 60; ++round) {
    const Size size = round % 2 ? Size{47, 33} : Size{120, 95};
    auto grey = RandomDrawing(size.width, size.height, kKinds[round % 5], 500 + round);
    // Flags left from an earlier run, including marks and bits of the painting tools.
    std::vector<uint8_t> stale(grey.size());
    for (uint8_t& f : stale) f = uint8_t(std::uniform_int_distribution<int>(0, 63)(random));
    auto pick = [&](int limit) { return std::uniform_int_distribution<int>(0, limit)(random); };
    int x0 = pick(size.width - 1), x1 = x0 + pick(size.width - x0);
    int y0 = pick(size.height - 1), y1 = y0 + pick(size.height - y0);
    SCOPED_TRACE(::testing::Message()
                 << "round " << round << " rect " << x0 << ".." << x1 << " x " << y0 << ".." << y1);

    WorkingImage fast = MakeWorkingImage(size.width, size.height, grey);
    WorkingImage literal = MakeWorkingImage(size.width, size.height, grey);
    fast.regions.flags = literal.regions.flags = stale;
    const RedlineSettings settings = kSettings[round % std::size(kSettings)];
    NullProgress progress;
    GenerateLines(fast, settings, x0, x1, y0, y1, progress);
    GenerateLinesLiteral(literal, settings, x0, x1, y0, y1, progress);
    ExpectSameLines(fast, literal);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(AnalysisMatchesLiteral, LabellingOfArbitraryLineMaps) {
  // Dense random line maps: lone line pixels walled in on all sides, lines at the row ends
  // whose neighbours wrap round, rows that start with one or with two line pixels.
  uint32_t seed = 900;
  for (Size size : kSizes)
    for (int percent : {0, 10, 35, 50, 65, 90, 100}) {
      SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height << " at " << percent
                                        << "%, seed " << seed);
      std::vector<uint8_t> grey(std::size_t(size.width) * size.height, 128);
      WorkingImage fast = MakeWorkingImage(size.width, size.height, grey);
      WorkingImage literal = MakeWorkingImage(size.width, size.height, grey);
      fast.regions.flags = literal.regions.flags =
          RandomLineMap(size.width, size.height, percent, seed++);
      NullProgress progress;
      const RedlineSettings settings{100, 150, 200, 90};
      ASSERT_TRUE(ExtractRegions(fast, settings, progress));
      ASSERT_TRUE(ExtractRegionsLiteral(literal, settings, progress));
      ExpectSameRegions(fast, literal);
      if (::testing::Test::HasFailure()) return;
    }
}

TEST(AnalysisMatchesLiteral, SamplePencilDrawings) {
  for (Size size : {Size{47, 33}, Size{200, 150}, Size{331, 260}})
    for (uint32_t seed : {1u, 2u}) {
      SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height << " seed " << seed);
      auto grey = samples::MakeDrawing(size.width, size.height, seed).picture.bytes();
      WorkingImage fast = MakeWorkingImage(size.width, size.height, grey);
      WorkingImage literal = MakeWorkingImage(size.width, size.height, grey);
      NullProgress progress;
      ASSERT_TRUE(MarkRegions(fast, {}, progress));
      GenerateLinesLiteral(literal, {}, 0, size.width, 0, size.height, progress);
      ASSERT_TRUE(ExtractRegionsLiteral(literal, {}, progress));
      ResetRegionColours(literal);
      ExpectSameLines(fast, literal);
      ExpectSameRegions(fast, literal);
      EXPECT_GT(fast.regions.regionCount, 0);  // the figure's shapes are closed
    }
}

}  // namespace
}  // namespace quenda

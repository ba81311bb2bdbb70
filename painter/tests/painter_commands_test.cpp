// The painter's subcommands of the quenda tool, run in-process on analyzed sample drawings.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/tests/tool_run.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "painter/core/image_rect.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using quenda::testing::TempDir;

// A non-line pixel of some region other than the background, and that region.
std::pair<ImagePoint, int> InnerPixel(const RegionData& region) {
  for (int y = 0; y < region.height; ++y)
    for (int x = 0; x < region.width; ++x) {
      const std::size_t i = std::size_t(y) * region.width + x;
      if (region.regionMap[i] > 1 && !(region.flags[i] & kFlagRegionLine))
        return {{x, y}, region.regionMap[i]};
    }
  return {{-1, -1}, 0};
}

RegionData RegionsOf(const std::string& base) {
  auto scan = ReadDrawingScanHeader(base + ".qds", ScanReader::Painter);
  auto region = ReadRegionFile(base + ".rgn", scan->width, scan->height, RegionReader::Painter);
  return region.value();
}

class PainterCommands : public ::testing::Test {
 protected:
  void SetUp() override { quenda::testing::WriteAnalyzedSequence(dir_.path(), "walk", 3, 120, 90); }
  TempDir dir_;
};

TEST_F(PainterCommands, PaintFillsTheRegionUnderEachPointAndSavesTheFrame) {
  const RegionData region = RegionsOf(dir_.File("walk2"));
  const auto [at, number] = InnerPixel(region);
  ASSERT_GT(number, 1);
  const std::string fill = std::to_string(at.x) + "," + std::to_string(at.y) + "=shirt";
  ToolOutput run = RunTool({"paint", dir_.File("walk2.qds"), "--fill", fill});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const int unfilled = region.regionCount - 1;  // every region but background and this one
  EXPECT_EQ(run.out, "walk2: " + std::to_string(unfilled) + " regions not painted\n");
  ColorSet colors;
  ApplyColorSet(colors, ParseColorSet(ReadFileText(dir_.File("walk.col")).value()));
  auto paint = ReadPaintFile(dir_.File("walk2.pnt"), region.regionCount, colors.count);
  ASSERT_TRUE(paint.ok());
  EXPECT_EQ(colors.entries[paint->regionColor[number]].name, "SHIRT");
  EXPECT_FALSE(FrameExists(dir_.File("walk1.pnt")));
}

TEST_F(PainterCommands, ListedRegionPointsLieInTheirRegionsAndCoverEveryPixelOffLines) {
  const RegionData region = RegionsOf(dir_.File("walk1"));
  ToolOutput run = RunTool({"paint", dir_.File("walk1.qds"), "--list-regions"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::istringstream lines(run.out);
  int number = 0, x = 0, y = 0, listed = 0;
  long long pixels = 0, total = 0;
  char comma = 0;
  std::string colour;
  while (lines >> number >> x >> comma >> y >> pixels >> colour) {
    const std::size_t i = std::size_t(y) * region.width + x;
    EXPECT_EQ(region.regionMap[i], number);
    EXPECT_FALSE(region.flags[i] & kFlagRegionLine);
    EXPECT_EQ(colour, number == 1 ? "TRANS" : "UNFIL");
    total += pixels;
    ++listed;
  }
  EXPECT_GT(listed, 3);
  EXPECT_EQ(total, std::count_if(region.flags.begin(), region.flags.end(),
                                 [](uint8_t f) { return !(f & kFlagRegionLine); }));
  EXPECT_EQ(RunTool({"paint", dir_.File("walk1.qds"), "--list-regions", "--fill", "1,1=0"}).code,
            2);
}

TEST_F(PainterCommands, PaintRefusesUnknownColoursPointsOutsideAndBadFills) {
  ToolOutput colour = RunTool({"paint", dir_.File("walk1.qds"), "--fill", "5,5=mauve"});
  EXPECT_EQ(colour.code, 1);
  EXPECT_EQ(colour.err,
            "quenda paint: no colour 'mauve' to paint with in " + dir_.File("walk.col") + "\n");
  ToolOutput unfilled = RunTool({"paint", dir_.File("walk1.qds"), "--fill", "5,5=1"});
  EXPECT_EQ(unfilled.code, 1);
  ToolOutput outside =
      RunTool({"paint", dir_.File("walk1.qds"), "--fill", "5,5=0", "--fill", "120,5=skin"});
  EXPECT_EQ(outside.code, 1);
  EXPECT_EQ(outside.err, "quenda paint: 120,5 is outside the 120x90 picture\n");
  EXPECT_FALSE(FrameExists(dir_.File("walk1.pnt")));
  EXPECT_EQ(RunTool({"paint", dir_.File("walk1.qds"), "--fill", "5=skin"}).code, 2);
  EXPECT_EQ(RunTool({"paint", dir_.File("walk1.qds")}).code, 2);
  ToolOutput missing = RunTool({"paint", dir_.File("walk9.qds"), "--fill", "1,1=0"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "Fatal: Image file does not exist: " + dir_.File("walk9.qds") + "\n");
}

TEST_F(PainterCommands, ColorsAddsListsAndStopsAtTheLimit) {
  const std::string path = dir_.File("new.col");
  ToolOutput run = RunTool({"colors", path, "--add", "Sky Blue", "10", "20", "30", "--list"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, std::string(kColorSetNotFoundMessage) + "\n");
  std::string expected = "added Sky_Blue as colour 3\n";
  const ColorSet defaults;
  for (int i = 0; i < 3; ++i) {
    const ColorEntry& e = defaults.entries[i];
    expected += std::to_string(i) + " " + e.name + " " + std::to_string(e.red) + " " +
                std::to_string(e.green) + " " + std::to_string(e.blue) + "\n";
  }
  EXPECT_EQ(run.out, expected + "3 Sky_Blue 10 20 30\n");
  std::vector<std::string> args{"colors", path};
  for (int i = 0; i < 250; ++i) {
    for (const char* word : {"--add", "C", "1", "2", "3"}) args.push_back(word);
  }
  ToolOutput full = RunTool(args);
  EXPECT_EQ(full.code, 1);
  EXPECT_EQ(full.err, "Maximum color number reached!\n");
  ColorSet saved;
  ApplyColorSet(saved, ParseColorSet(ReadFileText(path).value()));
  EXPECT_EQ(saved.count, kPainterColorLimit);
  EXPECT_EQ(RunTool({"colors", path, "--add", "X", "1", "2"}).code, 2);
  EXPECT_EQ(RunTool({"colors", path, "--add", "X", "1", "2", "256"}).code, 2);
  EXPECT_EQ(RunTool({"colors", path}).code, 2);
}

TEST_F(PainterCommands, AutopaintPaintsTheRangeFromTheFirstFrame) {
  const RegionData first = RegionsOf(dir_.File("walk1"));
  const auto [at, number] = InnerPixel(first);
  const std::string fill = std::to_string(at.x) + "," + std::to_string(at.y) + "=skin";
  ASSERT_EQ(RunTool({"paint", dir_.File("walk1.qds"), "--fill", fill}).code, 0);
  ToolOutput run =
      RunTool({"autopaint", dir_.File("walk3.qds"), "--range", "2-3", "--from", "previous"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("Autopainting frame 2\nAutopainting frame 3\nwalk2: "));
  EXPECT_NE(run.out.find("\nwalk3: "), std::string::npos);
  EXPECT_TRUE(FrameExists(dir_.File("walk2.pnt")));
  EXPECT_TRUE(FrameExists(dir_.File("walk3.pnt")));

  ToolOutput bad =
      RunTool({"autopaint", dir_.File("walk1.qds"), "--range", "1-3", "--from", "previous"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.err, "There must be a frame before start frame with auto-next paint!\n");
  EXPECT_EQ(RunTool({"autopaint", dir_.File("walk1.qds"), "--range", "2", "--from", "1"}).code, 2);
  ToolOutput source =
      RunTool({"autopaint", dir_.File("walk1.qds"), "--range", "2-3", "--from", "7"});
  EXPECT_EQ(source.err, "Invalid source frame number!\n");
}

}  // namespace
}  // namespace quenda::cli

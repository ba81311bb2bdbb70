// `quenda analyze --close-gaps N` and its farm pass-through: the region files are those of the
// analyzer closing the same gaps, 0 is the analysis without the option, and bad values are
// refused before anything is written or submitted.

#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/core/region_extraction.h"
#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// The region file the analyzer makes of `scan` with gaps of up to `closeGaps` closed.
std::vector<uint8_t> AnalyzedBytes(const std::string& scan, int closeGaps, const TempDir& dir) {
  auto loaded = ReadDrawingScan(scan, ScanReader::Analyzer);
  EXPECT_TRUE(loaded.ok());
  const Raster& picture = loaded->scan.picture;
  WorkingImage image = MakeWorkingImage(picture.width(), picture.height(), picture.bytes());
  NullProgress progress;
  EXPECT_TRUE(MarkRegions(image, {}, progress, kDefaultLineColour, closeGaps));
  const std::string path = dir.File("expected.rgn");
  EXPECT_TRUE(WriteRegionFile(path, image.regions, RegionWriter::Analyzer));
  return ReadBytes(path);
}

TEST(AnalyzeCommand, ClosesGapsAsTheAnalyzerDoes) {
  TempDir dir;
  samples::SampleOptions options{.width = 320, .height = 240, .dpi = 100};
  ScriptedPrompt quiet;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 2, options, quiet));
  const std::string first = dir.File("walk1.qds");

  ASSERT_EQ(RunTool({"analyze", first, "--yes"}).code, 0);
  const std::vector<uint8_t> plain = ReadBytes(dir.File("walk1.rgn"));
  ASSERT_EQ(RunTool({"analyze", first, "--yes", "--close-gaps", "0"}).code, 0);
  EXPECT_EQ(ReadBytes(dir.File("walk1.rgn")), plain);

  ToolOutput closed = RunTool({"analyze", first, "--yes", "--close-gaps", "5"});
  ASSERT_EQ(closed.code, 0) << closed.err;
  const std::vector<uint8_t> joined = ReadBytes(dir.File("walk1.rgn"));
  EXPECT_NE(joined, plain);  // the sample's outlines have gaps to close
  EXPECT_EQ(joined, AnalyzedBytes(first, 5, dir));
  EXPECT_EQ(ReadBytes(dir.File("walk2.rgn")), AnalyzedBytes(dir.File("walk2.qds"), 5, dir));
  // The file keeps the four line settings, and nothing of the gap setting.
  auto data = ReadRegionFile(dir.File("walk1.rgn"), 320, 240, RegionReader::Analyzer);
  ASSERT_TRUE(data.ok());
  EXPECT_EQ(data->settings, RedlineSettings{});
}

TEST(AnalyzeCommand, RefusesGapsOutsideItsRangeAndSaysWhereTheSettingLives) {
  TempDir dir;
  samples::SampleOptions options{.width = 47, .height = 33};
  ScriptedPrompt quiet;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 1, options, quiet));
  for (std::string bad : {"21", "-1", "x", "", "3.5"}) {
    ToolOutput refused = RunTool({"analyze", dir.File("walk1.qds"), "--yes", "--close-gaps", bad});
    EXPECT_EQ(refused.code, 2) << bad;
    EXPECT_TRUE(
        refused.err.starts_with("quenda analyze: --close-gaps must be a whole number 0..20\n"))
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("walk1.rgn")));
  }
  ToolOutput help = RunTool({"analyze", "--help"});
  EXPECT_NE(help.out.find("Load Regions and a later\n"), std::string::npos) << help.out;

  // The farm hands the option to every task, and refuses a bad one before submitting.
  WorkingDirectory here(dir.path());
  ToolOutput script = RunTool({"farm", "analyze", "walk1.qds", "--close-gaps", "5", "--dry-run"});
  EXPECT_EQ(script.code, 0) << script.err;
  EXPECT_NE(script.out.find(" analyze " + dir.File("walk1.qds") + " --close-gaps 5 --yes --frames"),
            std::string::npos)
      << script.out;
  ToolOutput refused = RunTool({"farm", "analyze", "walk1.qds", "--close-gaps", "99", "--dry-run"});
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
            "quenda farm: --close-gaps must be a whole number 0..20");
}

}  // namespace
}  // namespace quenda::cli

// `quenda analyze --close-gaps N` and its farm pass-through: the region files are those of the
// analyzer closing the same gaps, 0 is the analysis without the option, and bad values are
// refused before anything is written or submitted.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "analyzer/core/region_extraction.h"
#include "cli/tests/tool_run.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_frame.h"
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

// Joins are no pencil: in the render of a painted drawing, and in the painter's Composited
// view, a join across paper shows the colour of the region beside it.
TEST(AnalyzeCommand, JoinsRenderAsNoStroke) {
  TempDir dir;
  WorkingDirectory here(dir.path());
  const int w = 320, h = 240;
  for (std::vector<std::string> words :
       {std::vector<std::string>{"sample", "walk", "--name", "walk", "--frames", "1", "--size",
                                 "320x240", "--dpi", "100"},
        {"analyze", "walk/walk1.qds", "--yes", "--close-gaps", "5"}})
    ASSERT_EQ(RunTool(words).code, 0) << words[0];
  // Every region painted: the paper SHIRT, the rest SKIN.
  ToolOutput listed = RunTool({"paint", "walk/walk1.qds", "--list-regions"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  std::vector<std::string> fill{"paint", "walk/walk1.qds"};
  std::istringstream lines(listed.out);
  for (std::string region, at; lines >> region >> at;) {
    lines.ignore(1000, '\n');
    fill.push_back("--fill");
    fill.push_back(at + (region == "1" ? "=SHIRT" : "=SKIN"));
  }
  ASSERT_GT(fill.size(), 10u);
  ASSERT_EQ(RunTool(fill).code, 0);
  for (std::vector<std::string> words :
       {std::vector<std::string>{"sheet", "new", "walk.dgr"},
        {"sheet", "add-sequence", "walk.dgr", "walk/walk1.qds"},
        {"sheet", "transfer", "walk.dgr", "--sequence", "1", "--pictures", "1-1", "--level", "0",
         "--frame", "1", "--on", "1"},
        {"render", "walk.dgr", "--out", "out", "--name", "walk"}})
    ASSERT_EQ(RunTool(words).code, 0) << words[0] << " " << words[1];

  // Where the joins are, and where paper lies under them.
  auto scan = ReadDrawingScan(dir.File("walk/walk1.qds"), ScanReader::Analyzer);
  ASSERT_TRUE(scan.ok());
  WorkingImage image = MakeWorkingImage(w, h, scan->scan.picture.bytes());
  NullProgress progress;
  GapJoins joins;
  ASSERT_TRUE(MarkRegions(image, {}, progress, kDefaultLineColour, 5, &joins));
  auto rendered = ReadTarga(dir.File("out/walk0001.tga"), TargaReader::ComposerClipFrame);
  ASSERT_TRUE(rendered.ok()) << rendered.message();
  ASSERT_EQ(rendered->width(), w);
  ASSERT_EQ(rendered->channels(), 4);
  PainterFrame frame;
  ScriptedPrompt quiet;
  ColorSet colors;
  ASSERT_TRUE(LoadColorSet(colors, dir.File("walk/walk.col"), quiet));
  ASSERT_TRUE(LoadPainterFrame(
      frame, {dir.File("walk/walk1.qds"), dir.File("walk/walk1.rgn"), dir.File("walk/walk1.pnt")},
      colors.count, quiet));
  const Raster composited = ComposeWholeFrame(frame, colors, ViewMode::Composited);
  auto isFill = [](const uint8_t* p) {
    for (const samples::SampleColor& c : {samples::kSampleColors[0], samples::kSampleColors[1]})
      if (p[0] == c.blue && p[1] == c.green && p[2] == c.red) return true;
    return false;
  };
  int onPaper = 0;
  for (std::ptrdiff_t p : joins.pixels) {
    if (image.grey[std::size_t(p)] != 255) continue;
    ++onPaper;
    const int x = int(p % w), y = int(p / w);
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
    EXPECT_TRUE(isFill(rendered->At(x, y)));
    EXPECT_EQ(rendered->At(x, y)[3], 255);
    EXPECT_TRUE(isFill(composited.At(x, y)));
  }
  EXPECT_GT(onPaper, 0);
}

}  // namespace
}  // namespace quenda::cli

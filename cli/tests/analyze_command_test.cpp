// `quenda analyze` over sample sequences on disk, and `quenda info` on region and paint files.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <tuple>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"
#include "testing/text_lines.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

constexpr int kWidth = 47;
constexpr int kHeight = 33;
// The question, as --yes answers it, about the drawing named.
std::string QuestionOk(const std::string& drawing) {
  return "quenda analyze: " + drawing + ": Process with current regions settings? [OK]\n";
}

// walk1.qds .. walkN.qds and walk.col.
void WriteSequence(const TempDir& dir, int frames) {
  samples::SampleOptions options;
  options.width = kWidth;
  options.height = kHeight;
  ScriptedPrompt prompt;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", frames, options, prompt));
}

// "walk1.rgn  52 regions  3 ms", with the count the file holds.
void ExpectFrameLine(const std::string& line, const TempDir& dir, const std::string& name) {
  std::smatch match;
  ASSERT_TRUE(std::regex_match(line, match, std::regex("(\\S+)  (\\d+) regions  (\\d+) ms")))
      << line;
  EXPECT_EQ(match[1], name);
  auto data = ReadRegionFile(dir.File(name), kWidth, kHeight, RegionReader::Analyzer);
  ASSERT_TRUE(data.ok()) << data.message();
  EXPECT_EQ(std::stoi(match[2]), data->regionCount + 1);
}

TEST(AnalyzeCommand, WritesEveryFramesRegionFileAndOneLineEachOrSaysWhichIsNotWritten) {
  TempDir dir;
  WriteSequence(dir, 3);
  ToolOutput run =
      ExpectRun({"analyze", dir.File("walk2.qds"), "--yes"}, 0, QuestionOk(dir.File("walk2.qds")));
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  for (int n = 1; n <= 3; ++n)
    ExpectFrameLine(lines[std::size_t(n - 1)], dir, "walk" + std::to_string(n) + ".rgn");
  auto data = ReadRegionFile(dir.File("walk3.rgn"), kWidth, kHeight, RegionReader::Analyzer);
  ASSERT_TRUE(data.ok());
  EXPECT_EQ(data->settings, RedlineSettings{});

  // An unwritable region file is reported and the others are written.
  WriteBytes(dir.File("walk2.rgn"), {7});
  MakeReadOnly(dir.File("walk2.rgn"));
  run = RunTool({"analyze", dir.File("walk1.qds"), "--yes"});
  MakeWritable(dir.File("walk2.rgn"));
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, QuestionOk(dir.File("walk1.qds")) + "quenda analyze: " +
                         dir.File("walk2.qds") + ": Error opening file for writing\n");
  lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "walk2.rgn  not written");
  ExpectFrameLine(lines[2], dir, "walk3.rgn");
  EXPECT_EQ(ReadBytes(dir.File("walk2.rgn")), std::vector<uint8_t>{7});
}

// Analyzed again with other settings: the regions are numbered anew, and the paint follows the
// pixels rather than the old numbers; a paint file that fitted no region file is set aside.
TEST(AnalyzeCommand, AnalyzingAgainKeepsThePaintOnTheNewRegions) {
  TempDir dir;
  WriteSequence(dir, 2);
  ASSERT_EQ(RunTool({"analyze", dir.File("walk1.qds"), "--yes"}).code, 0);
  const RegionData old =
      *ReadRegionFile(dir.File("walk1.rgn"), kWidth, kHeight, RegionReader::Analyzer);
  std::vector<int32_t> paint = DefaultPaint(old.regionCount);
  for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = int32_t(3 + r % 4);
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), paint));
  const std::vector<uint8_t> stale{0, 0, 3, 0};
  WriteBytes(dir.File("walk2.pnt"), stale);

  WriteText(dir.File("lines.rls"), "Quenda\n60 120 230 60\n");
  ToolOutput run =
      ExpectRun({"analyze", dir.File("walk1.qds"), "--settings", dir.File("lines.rls")}, 0, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  EXPECT_TRUE(std::regex_match(lines[0], std::regex("walk1\\.rgn  \\d+ regions  \\d+ ms  paint "
                                                    "kept: \\d+ regions? changed colour, \\d+ "
                                                    "became unfilled")))
      << lines[0];
  EXPECT_TRUE(lines[1].ends_with("  paint made for other regions set aside as walk2.pnt.stale"))
      << lines[1];
  EXPECT_EQ(ReadBytes(dir.File("walk2.pnt.stale")), stale);
  EXPECT_FALSE(std::filesystem::exists(dir.File("walk2.pnt")));

  const RegionData fresh =
      *ReadRegionFile(dir.File("walk1.rgn"), kWidth, kHeight, RegionReader::Analyzer);
  ASSERT_NE(fresh.regionMap, old.regionMap);
  Result<PaintFile> carried = ReadPaintFile(dir.File("walk1.pnt"), fresh.regionCount, 0);
  ASSERT_TRUE(carried.ok());
  ASSERT_FALSE(carried->stale);
  // Off the lines, nearly every pixel shows the colour it had.
  int kept = 0, counted = 0;
  for (std::size_t i = 0; i < fresh.PixelCount(); ++i) {
    if ((old.flags[i] | fresh.flags[i]) & kFlagRegionLine) continue;
    ++counted;
    kept += carried->regionColor[fresh.regionMap[i]] == paint[old.regionMap[i]];
  }
  EXPECT_GT(kept, counted * 9 / 10) << kept << " of " << counted;
}

TEST(AnalyzeCommand, WithoutATerminalOnlySettingsFromAFileAnswerTheQuestion) {
  TempDir dir;
  WriteSequence(dir, 2);
  const std::string named = "quenda analyze: " + dir.File("walk1.qds") + ": ";
  ExpectRun({"analyze", dir.File("walk1.qds")}, 2,
            named + "Process with current regions settings? [Cancel]\n" + named +
                "nothing processed: the question has no one to answer it without a terminal; "
                "--yes answers OK, --settings FILE.rls gives the settings\n",
            "");
  EXPECT_TRUE(ListDirectory(dir.path(), ".rgn").empty());

  WriteText(dir.File("lines.rls"), "Quenda\n90 170 200 40\n");
  ExpectRun({"analyze", dir.File("walk1.qds"), "--settings", dir.File("lines.rls")}, 0, "");
  for (const char* name : {"walk1.rgn", "walk2.rgn"}) {
    auto data = ReadRegionFile(dir.File(name), kWidth, kHeight, RegionReader::Analyzer);
    ASSERT_TRUE(data.ok()) << name;
    EXPECT_EQ(data->settings, (RedlineSettings{90, 170, 200, 40})) << name;
  }

  ExpectRun({"analyze", dir.File("walk1.qds"), "--settings", dir.File("none.rls")}, 1,
            "quenda analyze: " + dir.File("none.rls") + ": Error openning setting file " +
                dir.File("none.rls") + "\n");
}

TEST(AnalyzeCommand, OnATerminalTheQuestionWaitsForTheAnswer) {
  TempDir dir;
  const std::string named = "quenda analyze: " + dir.File("walk1.qds") + ": ";
  const std::string ask = named + "Process with current regions settings? [o]k / [c]ancel: ";
  const struct {
    std::string typed;
    int code;
    std::size_t files;
    std::string err;
  } kCases[] = {
      {"o\n", 0, 2, ask},
      {" OK \n", 0, 2, ask},
      {"maybe\nc\n", 2, 0, ask + "Answer o (OK) or c (Cancel): " + named + "nothing processed\n"},
      {"", 2, 0, ask + "\n" + named + "nothing processed\n"},  // the input ends
  };
  for (const auto& c : kCases) {
    for (const std::string& name : ListDirectory(dir.path(), ".rgn"))
      std::filesystem::remove(dir.File(name));
    WriteSequence(dir, 2);
    ToolOutput run = RunToolOnTerminal({"analyze", dir.File("walk1.qds")}, c.typed);
    EXPECT_EQ(run.code, c.code) << c.typed;
    EXPECT_EQ(run.err, c.err) << c.typed;
    EXPECT_EQ(ListDirectory(dir.path(), ".rgn").size(), c.files) << c.typed;
  }
}

TEST(AnalyzeCommand, FramesAreChosenByTheirNumbers) {
  // That the shares of a split run write the bytes of one whole run is checked with the batch.
  TempDir part;
  WriteSequence(part, 5);
  samples::SampleOptions options;
  options.width = kWidth, options.height = kHeight, options.seed = 4;
  ASSERT_TRUE(WriteDrawingScan(part.File("walk3a.qds"), samples::MakeSampleDrawing(options, 0, 1),
                               ScanWriter::Scanner));

  ToolOutput run = ExpectRun({"analyze", part.File("walk5.qds"), "--frames", "2-3", "--yes"}, 0,
                             QuestionOk(part.File("walk5.qds")));
  EXPECT_EQ(ListDirectory(part.path(), ".rgn"),
            (std::vector<std::string>{"walk2.rgn", "walk3.rgn", "walk3a.rgn"}));
  ASSERT_EQ(Lines(run.out).size(), 3u);
  ExpectFrameLine(Lines(run.out)[2], part, "walk3a.rgn");
  for (const char* frames : {"4", "0-1", "5-900"})
    ASSERT_EQ(RunTool({"analyze", part.File("walk5.qds"), "--frames", frames, "--yes"}).code, 0);
  EXPECT_EQ(ListDirectory(part.path(), ".rgn").size(), 6u);

  // A share of a split run that holds no frame is no failure.
  ExpectRun({"analyze", part.File("walk5.qds"), "--frames", "9-12", "--yes"}, 0,
            QuestionOk(part.File("walk5.qds")) + "quenda analyze: " + part.File("walk5.qds") +
                ": no frame of walk is numbered 9-12; nothing to do\n",
            "");

  for (std::string bad : {"3-1", "x", "2-", "-4", "1-2-3", ""}) {
    ToolOutput refused = RunTool({"analyze", part.File("walk5.qds"), "--frames", bad, "--yes"});
    EXPECT_EQ(refused.code, 2) << bad;
    EXPECT_TRUE(refused.err.starts_with("quenda analyze: --frames must be A-B")) << refused.err;
  }
}

TEST(AnalyzeCommand, UsageErrorsAndBadDrawings) {
  TempDir dir;
  WriteSequence(dir, 3);
  // Which names break the naming rule is the sequence tests' matter.
  WriteText(dir.File("7.qds"), "x");
  ToolOutput named = RunTool({"analyze", dir.File("7.qds"), "--yes"});
  EXPECT_EQ(named.code, 2);
  EXPECT_TRUE(named.err.starts_with(
      "quenda analyze: Invalid filename format or there is no number found on filename!\n"))
      << named.err;
  EXPECT_EQ(RunTool({"analyze", "--yes"}).code, 2);
  EXPECT_EQ(RunTool({"analyze", dir.File("walk1.qds"), dir.File("walk2.qds"), "--yes"}).code, 2);
  EXPECT_EQ(RunTool({"analyze", dir.File("walk1.qds"), "--fast"}).code, 2);
  EXPECT_EQ(RunTool({"analyze", dir.File("walk1.qds"), "--settings"}).code, 2);

  // A missing drawing is told before its name is judged.
  for (const std::string& gone : {dir.File("walk9.qds"), dir.File("nothere.qds")})
    ExpectRun({"analyze", gone, "--yes"}, 1,
              "quenda analyze: " + gone + ": the file does not exist\n");

  // A damaged middle drawing stops the run with the reader's message.
  WriteBytes(dir.File("walk2.qds"), {0, 0, 3, 0, 0});
  ToolOutput bad =
      ExpectRun({"analyze", dir.File("walk1.qds"), "--yes"}, 1,
                QuestionOk(dir.File("walk1.qds")) + "quenda analyze: " + dir.File("walk2.qds") +
                    ": Unexpected end of file!\n");
  ASSERT_EQ(Lines(bad.out).size(), 1u);
  ExpectFrameLine(Lines(bad.out)[0], dir, "walk1.rgn");
}

// Region data whose facts are known by construction: 47 x 33, regions 1..3 with region 3
// holding no pixel, 5 line pixels, 3 ink pixels of which 2 painted, 1 pen and 1 rubbed out.
RegionData KnownRegions() {
  RegionData data = MakeBlankRegionData(kWidth, kHeight, {91, 160, 230, 40});
  data.regionCount = 2;
  for (int y = 10; y < 20; ++y)
    for (int x = 5; x < 9; ++x) data.regionMap[std::size_t(y) * kWidth + x] = 2;
  for (int i = 0; i < 5; ++i) data.flags[std::size_t(100 + i)] = kFlagRegionLine;
  for (int i : {200, 201, 202}) data.flags[std::size_t(i)] = kFlagAnimatorLine;
  data.animColor[200] = data.animColor[202] = 7;
  data.flags[300] = kFlagRegionPen;
  data.flags[301] = kFlagRubbedOut;
  data.regionBounds.resize(4);
  ComputeRegionBounds(data);
  return data;
}

TEST(InfoCommand, RegionAndPaintFileFactsAndRefusals) {
  TempDir dir;
  WriteSequence(dir, 1);  // walk.col: TRANS, UNFIL, LINE, SKIN, SHIRT, PANTS, HAIR, SHOES
  ASSERT_TRUE(WriteRegionFile(dir.File("walk1.rgn"), KnownRegions(), RegionWriter::Analyzer));
  ExpectRun({"info", dir.File("walk1.rgn")}, 0, "",
            "region file " + dir.File("walk1.rgn") +
                "\nwidth: 47\nheight: 33\ndrawing scan: walk1.qds, the same size\n"
                "settings: pick-up 91, growth 160, white clamp 230, black clamp 40\n"
                "regions: 3 (region 1 and 2 to paint)\n"
                "line pixels: 5\nink pixels: 3 (2 painted)\nregion pen pixels: 1\n"
                "rubbed out pixels: 1\nregion 1 box: x 0..46, y 0..32\n"
                "regions without pixels: 1\nlargest box: region 1, x 0..46, y 0..32\n");

  // Without its drawing the file's own size is taken.
  std::vector<uint8_t> good = ReadBytes(dir.File("walk1.rgn"));
  WriteBytes(dir.File("alone7.rgn"), good);
  ToolOutput alone = ExpectRun({"info", dir.File("alone7.rgn")}, 0, "");
  EXPECT_TRUE(HasLine(alone.out, "drawing scan: none beside it")) << alone.out;
  EXPECT_TRUE(HasLine(alone.out, "width: 47"));

  // The size expected is the drawing's beside the file, else the file's own unless no drawing
  // could be that large; the painter's reader refuses with its message, which names the file
  // (its other refusals, a wrong version among them, are checked with the region file).
  std::vector<uint8_t> huge = good;  // 20000 x 20000, larger than any drawing
  huge[1] = huge[3] = 0x20, huge[2] = huge[4] = 0x4E;
  DrawingScan other = samples::MakeDrawing(kHeight, kWidth);
  ASSERT_TRUE(WriteDrawingScan(dir.File("turned1.qds"), other, ScanWriter::Scanner));
  const std::vector<std::tuple<std::string, std::vector<uint8_t>, std::string>> refusals{
      {"turned1.rgn", good, "The regions file resolution does not match :"},
      {"huge1.rgn", huge, "The regions file resolution does not match :"},
  };
  for (const auto& [name, bytes, message] : refusals) {
    WriteBytes(dir.File(name), bytes);
    ExpectRun({"info", dir.File(name)}, 1,
              "quenda info: " + dir.File(name) + ": " + message + dir.File(name) + "\n", "");
  }

  RegionData regions = MakeBlankRegionData(kWidth, kHeight);
  regions.regionCount = 4;
  regions.regionBounds.resize(6);
  ASSERT_TRUE(WriteRegionFile(dir.File("walk1.rgn"), regions, RegionWriter::Analyzer));
  // Regions 1..5, one index (200) beyond the colour set.
  const std::vector<int32_t> paints{0, 0, 3, 3, 200, 4};
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), paints, 7));
  ExpectRun({"info", dir.File("walk1.pnt")}, 0, "",
            "paint file " + dir.File("walk1.pnt") +
                "\nregions: 5 (as in walk1.rgn)\nregions in the file: 5\n"
                "painted count stored: 7\npainted regions: 3\ncolour set: walk.col\n"
                "colours used: 4\n  0 TRANS: 1 region\n  1 UNFIL: 1 region\n"
                "  3 SKIN: 2 regions\n  4 SHIRT: 1 region\n");
  // One entry more than the region file has regions: made for other regions, so it is told,
  // naming both files, and shown unpainted.
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), std::vector<int32_t>{0, 0, 3, 3, 200, 4, 6}));
  ExpectRun({"info", dir.File("walk1.pnt")}, 0,
            "quenda info: " + dir.File("walk1.pnt") + ": " +
                StalePaintWarning(dir.File("walk1.pnt"), dir.File("walk1.rgn")) + "\n",
            "paint file " + dir.File("walk1.pnt") +
                "\nregions: 5 (as in walk1.rgn)\nregions in the file: 6\n"
                "painted count stored: 0\npainted regions: 0\ncolour set: walk.col\n"
                "colours used: 2\n  0 TRANS: 1 region\n  1 UNFIL: 4 regions\n");

  // Alone, every stored region counts and indices go unnamed.
  WriteBytes(dir.File("7.pnt"), ReadBytes(dir.File("walk1.pnt")));
  alone = ExpectRun({"info", dir.File("7.pnt")}, 0, "");
  for (const char* line : {"regions: 6 (no region file beside it; every region the file holds)",
                           "colour set: none found", "  200: 1 region", "painted regions: 5"})
    EXPECT_TRUE(HasLine(alone.out, line)) << alone.out;

  // Region 1 is always there, and transparent when not stored.
  WriteBytes(dir.File("tiny.pnt"), {9});
  ToolOutput tiny = ExpectRun({"info", dir.File("tiny.pnt")}, 0, "");
  for (const char* line :
       {"regions: 1 (no region file beside it; every region the file holds)", "  0: 1 region"})
    EXPECT_TRUE(HasLine(tiny.out, line)) << tiny.out;

  ExpectRun({"info", dir.File("gone.pnt")}, 1,
            "quenda info: " + dir.File("gone.pnt") +
                ": Fatal: Error opening paint file for reading: " + dir.File("gone.pnt") + "\n");
}

}  // namespace
}  // namespace quenda::cli

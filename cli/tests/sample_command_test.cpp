#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/figure_parts.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

TEST(SampleCommand, WritesReadableScansWithTheGivenFactsOrTheDefaultsAndSaysSoPerFile) {
  TempDir dir;
  const std::string folder = dir.path() + "new/deeper";  // made, trailing '/' added
  const std::string base = folder + "/Walk";
  ExpectRun({"sample", folder, "--name", "Walk", "--frames", "3", "--size", "47x33", "--dpi", "72",
             "--peg", "1", "--origin", "5,6", "--seed", "9"},
            0, "",
            "wrote " + base + "1.qds\nwrote " + base + "2.qds\nwrote " + base + "3.qds\nwrote " +
                base + ".col\n");
  EXPECT_EQ(ListDirectory(folder + "/"),
            (std::vector<std::string>{"Walk.col", "Walk1.qds", "Walk2.qds", "Walk3.qds"}));

  // The same files as the options given straight to the writer; its output is checked there.
  samples::SampleOptions options;
  options.width = 47, options.height = 33, options.dpi = 72, options.pegPosition = kPegRight;
  options.xPosition = 5, options.yPosition = 6, options.seed = 9;
  ScriptedPrompt prompt;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.File("direct"), "Walk", 3, options, prompt));
  for (std::string name : {"Walk1.qds", "Walk2.qds", "Walk3.qds", "Walk.col"})
    EXPECT_EQ(ReadBytes(folder + "/" + name), ReadBytes(dir.File("direct/") + name)) << name;

  // Without options: A4 at 150 dpi.
  ExpectRun({"sample", dir.path(), "--name", "run", "--frames", "1"}, 0, "");
  auto header = ReadDrawingScanHeader(dir.File("run1.qds"), ScanReader::Scanner);
  ASSERT_TRUE(header) << header.message();
  EXPECT_EQ(std::tuple(header->width, header->height, header->dpi, header->pegPosition,
                       header->xPosition, header->yPosition),
            std::tuple(1240, 1754, 150, kPegBottom, 0, 0));
}

TEST(SampleCommand, BadArgumentsAreUsageErrorsThatWriteNothing) {
  struct Case {
    std::vector<std::string> extra;
    std::string reason;
  };
  const std::vector<Case> cases{
      {{"--name", "walk2", "--frames", "2"}, "Only letters are allowed for the name"},
      {{"--name", "w_k", "--frames", "2"}, "Only letters are allowed for the name"},
      {{"--frames", "2"}, "--name is required"},
      {{"--name", "walk"}, "--frames is required"},
      {{"--name", "walk", "--frames", "0"}, "--frames must be a whole number from 1 to 3000"},
      {{"--name", "walk", "--frames", "3001"}, "--frames must be a whole number from 1 to 3000"},
      {{"--name", "walk", "--frames", "2x"}, "--frames must be a whole number from 1 to 3000"},
      {{"--name", "walk", "--frames", "2", "--size", "0x5"}, "--size must be WxH"},
      {{"--name", "walk", "--frames", "2", "--size", "10001x5"}, "--size must be WxH"},
      {{"--name", "walk", "--frames", "2", "--size", "64"}, "--size must be WxH"},
      {{"--name", "walk", "--frames", "2", "--size", "64x"}, "--size must be WxH"},
      {{"--name", "walk", "--frames", "2", "--dpi", "0"}, "--dpi must be"},
      {{"--name", "walk", "--frames", "2", "--dpi", "1201"}, "--dpi must be"},
      {{"--name", "walk", "--frames", "2", "--peg", "4"}, "--peg must be 0, 1, 2 or 3"},
      {{"--name", "walk", "--frames", "2", "--origin", "7"}, "--origin must be X,Y"},
      {{"--name", "walk", "--frames", "2", "--origin", "-1,2"}, "--origin must be X,Y"},
      {{"--name", "walk", "--frames", "2", "--origin", "1,10001"}, "--origin must be X,Y"},
      {{"--name", "walk", "--frames", "2", "--seed", "-3"}, "--seed must be"},
      {{"--name", "walk", "--frames", "2", "--colour", "red"}, "unknown option --colour"},
      {{"--name", "walk", "--frames", "2", "other"}, "give exactly one folder"},
      {{"--name", "walk", "--frames"}, "--frames needs a value"},
      {{"--name", "walk", "--frames", "2", "--figure", "dog"},
       "--figure must be one of walk, limbs, head, animal, cross, soft, travel\n"},
      {{"--name", "walk", "--frames", "2", "--figure", ""},
       "--figure must be one of walk, limbs, head, animal, cross, soft, travel\n"},
      {{"--name", "walk", "--frames", "2", "--figure"}, "--figure needs a value"},
      {{"--name", "walk", "--frames", "2", "--parts-of", "3"},
       "--parts-of must be a drawing from 1 to --frames"},
      {{"--name", "walk", "--frames", "2", "--parts-of", "0"},
       "--parts-of must be a drawing from 1 to --frames"},
      {{"--name", "walk", "--frames", "2", "--parts-of", "1", "--force"},
       "--parts-of writes nothing: no --force"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::vector<std::string> args{"sample", dir.path()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 2) << c.reason;
    EXPECT_EQ(run.err.rfind("quenda sample: " + c.reason, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("usage: quenda sample DIR"), std::string::npos) << c.reason;
    EXPECT_EQ(run.out, "") << c.reason;
  }
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
}

// Another figure kind: its drawings and its parts' colour set, as the writer makes them; the
// walk is the default and named "walk" as well.
TEST(SampleCommand, FigureChoosesTheKindOfDrawingAndItsColours) {
  TempDir dir;
  ExpectRun({"sample", dir.File("dog"), "--name", "dog", "--frames", "2", "--size", "90x120",
             "--figure", "Animal"},
            0, "");
  samples::SampleOptions options;
  options.width = 90, options.height = 120, options.figure = samples::FigureKind::Animal;
  ScriptedPrompt prompt;
  ASSERT_TRUE(samples::WriteSampleSequence(dir.File("direct"), "dog", 2, options, prompt));
  for (std::string name : {"dog1.qds", "dog2.qds", "dog.col"})
    EXPECT_EQ(ReadBytes(dir.File("dog/") + name), ReadBytes(dir.File("direct/") + name)) << name;
  EXPECT_NE(ReadText(dir.File("dog/dog.col")).find("SPOT"), std::string::npos);
  EXPECT_NE(ReadBytes(dir.File("dog/dog1.qds")), ReadBytes(dir.File("dog/dog2.qds")));

  ExpectRun({"sample", dir.File("a"), "--name", "w", "--frames", "2", "--size", "90x120"}, 0, "");
  ExpectRun({"sample", dir.File("b"), "--name", "w", "--frames", "2", "--size", "90x120",
             "--figure", "walk"},
            0, "");
  for (std::string name : {"w1.qds", "w2.qds", "w.col"})
    EXPECT_EQ(ReadBytes(dir.File("a/") + name), ReadBytes(dir.File("b/") + name)) << name;
}

// The key drawing painted by its parts: every region takes its true part's colour (the paper
// transparent), so the colours mean what they show; nothing is written by the listing.
TEST(SampleCommand, PartsOfListsFillsThatPaintADrawingByItsFiguresParts) {
  TempDir dir;
  const std::vector<std::string> sample{
      "sample", dir.File("dog"), "--name",  "dog",      "--frames",
      "2",      "--size",        "240x320", "--figure", "animal"};
  ASSERT_EQ(RunTool(sample).code, 0);
  std::vector<std::string> listing = sample;
  listing.insert(listing.end(), {"--parts-of", "2"});
  // Before the analysis there is no region file to list.
  const ToolOutput early = RunTool(listing);
  EXPECT_EQ(std::tuple(early.code, early.out,
                       early.err.rfind("quenda sample: " + dir.File("dog/dog2.rgn") + ": ", 0)),
            std::tuple(1, "", 0u))
      << early.err;
  RunAll({{"analyze", dir.File("dog/dog1.qds"), "--yes"}});
  const auto files = ListDirectory(dir.File("dog/"));
  listing.back() = "1";
  const ToolOutput listed = ExpectRun(listing, 0, "");
  EXPECT_EQ(ListDirectory(dir.File("dog/")), files);
  std::vector<std::string> paint{"paint", dir.File("dog/dog1.qds")};
  std::istringstream lines(listed.out);
  std::set<std::string> colours;
  for (std::string region, at, colour; lines >> region >> at >> colour;) {
    paint.insert(paint.end(), {"--fill", at + "=" + colour});
    colours.insert(colour);
  }
  EXPECT_TRUE(colours.count("TRANS") && colours.count("SPOT") && colours.count("FUR"))
      << listed.out;
  RunAll({paint});
  // Every region now carries the colour of the part under most of it.
  samples::SampleOptions options;
  options.width = 240, options.height = 320, options.figure = samples::FigureKind::Animal;
  const samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, 0, 2);
  const auto region = ReadRegionFile(dir.File("dog/dog1.rgn"), 240, 320, RegionReader::Painter);
  ASSERT_TRUE(region);
  const auto truth =
      samples::TrueRegionParts(samples::RenderPartMap(drawing.parts, 240, 320), *region);
  ColorSet set;
  ScriptedPrompt prompt;
  ASSERT_TRUE(LoadColorSet(set, dir.File("dog/dog.col"), prompt));
  const auto painted = ReadPaintFile(dir.File("dog/dog1.pnt"), region->regionCount, set.count);
  ASSERT_TRUE(painted);
  int checked = 0;
  for (std::size_t r = kBackgroundRegion; r < truth.part.size(); ++r) {
    if (truth.area[r] == 0) continue;
    const std::string_view name = samples::PartColorName(truth.part[r]);
    EXPECT_EQ(set.entries[std::size_t(painted->regionColor[r])].name,
              name.empty() ? std::string("TRANS") : std::string(name))
        << "region " << r;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST(SampleCommand, AFolderThatCannotBeMadeFailsWithExitOne) {
  TempDir dir;
  WriteText(dir.File("plain"), "a file, not a folder");
  ExpectRun(
      {"sample", dir.File("plain"), "--name", "walk", "--frames", "1", "--size", "8x8"}, 1,
      "quenda sample: " + dir.File("plain") + ": Cannot create folder " + dir.File("plain") + "/\n",
      "");
}

// A second sample into the same folder would overwrite the drawings and the colour set (colours
// added since would be lost) and leave region and paint files of the old drawings beside them.
TEST(SampleCommand, AnExistingSequenceIsKeptUnlessForced) {
  TempDir dir;
  const std::vector<std::string> args{"sample",   dir.path(), "--name", "walk",
                                      "--frames", "2",        "--size", "8x8"};
  ASSERT_EQ(RunTool(args).code, 0);
  for (const char* stale : {"walk1.rgn", "walk3.qds", "WALK3.pnt", "run1.qds"})
    WriteText(dir.File(stale), "earlier work");
  auto snapshot = [&] {
    std::vector<std::vector<uint8_t>> files;
    for (const std::string& name : ListDirectory(dir.path()))
      files.push_back(ReadBytes(dir.File(name)));
    return std::pair(ListDirectory(dir.path()), files);
  };
  auto before = snapshot();
  ExpectRun(args, 1,
            "quenda sample: " + dir.path() +
                ": holds the sequence walk already (6 files); it is left as it is "
                "(--force replaces it)\n");
  EXPECT_EQ(snapshot(), before);

  std::vector<std::string> forced = args;
  forced.push_back("--force");
  ExpectRun(forced, 0, "");
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"run1.qds", "walk.col", "walk1.qds", "walk2.qds"}));
}

}  // namespace
}  // namespace quenda::cli

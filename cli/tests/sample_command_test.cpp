#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "common/frame_sequence.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using quenda::testing::ListDirectory;
using quenda::testing::TempDir;

TEST(SampleCommand, WritesReadableScansWithTheGivenFactsAndSaysSoPerFile) {
  TempDir dir;
  const std::string folder = dir.path() + "new/deeper";  // made, trailing '/' added
  ToolOutput run = RunTool({"sample", folder, "--name", "Walk", "--frames", "3", "--size", "47x33",
                            "--dpi", "72", "--peg", "1", "--origin", "5,6", "--seed", "9"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string base = folder + "/Walk";
  EXPECT_EQ(run.out, "wrote " + base + "1.qds\nwrote " + base + "2.qds\nwrote " + base +
                         "3.qds\nwrote " + base + ".col\n");
  EXPECT_EQ(ListDirectory(folder + "/"),
            (std::vector<std::string>{"Walk.col", "Walk1.qds", "Walk2.qds", "Walk3.qds"}));

  samples::SampleOptions options;
  options.width = 47;
  options.height = 33;
  options.seed = 9;
  for (int i = 0; i < 3; ++i) {
    auto loaded = ReadDrawingScan(base + std::to_string(i + 1) + ".qds", ScanReader::Scanner);
    ASSERT_TRUE(loaded) << loaded.message();
    EXPECT_EQ(loaded->scan.picture.width(), 47);
    EXPECT_EQ(loaded->scan.picture.height(), 33);
    EXPECT_EQ(loaded->scan.dpi, 72);
    EXPECT_EQ(loaded->scan.pegPosition, kPegRight);
    EXPECT_EQ(loaded->scan.xPosition, 5);
    EXPECT_EQ(loaded->scan.yPosition, 6);
    EXPECT_EQ(loaded->scan.picture.bytes(),
              samples::MakeSampleDrawing(options, i, 3).picture.bytes());
  }
  EXPECT_EQ(OpenSequence(base + "2.qds", "Walk2.qds").frameCount, 3);
}

TEST(SampleCommand, DefaultsAreAFourAt150Dpi) {
  TempDir dir;
  ToolOutput run = RunTool({"sample", dir.path(), "--name", "run", "--frames", "1"});
  ASSERT_EQ(run.code, 0) << run.err;
  auto header = ReadDrawingScanHeader(dir.File("run1.qds"), ScanReader::Scanner);
  ASSERT_TRUE(header) << header.message();
  EXPECT_EQ(header->width, 1240);
  EXPECT_EQ(header->height, 1754);
  EXPECT_EQ(header->dpi, 150);
  EXPECT_EQ(header->pegPosition, kPegBottom);
  EXPECT_EQ(header->xPosition, 0);
  EXPECT_EQ(header->yPosition, 0);
}

TEST(SampleCommand, BadArgumentsAreUsageErrorsThatWriteNothing) {
  struct Case {
    std::vector<std::string> extra;
    std::string reason;
  };
  const std::vector<Case> cases{
      {{"--name", "walk2", "--frames", "2"}, "Only letters are allowed for the name"},
      {{"--name", "", "--frames", "2"}, "Only letters are allowed for the name"},
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

TEST(SampleCommand, AFolderThatCannotBeMadeFailsWithExitOne) {
  TempDir dir;
  quenda::testing::WriteText(dir.File("plain"), "a file, not a folder");
  ToolOutput run =
      RunTool({"sample", dir.File("plain"), "--name", "walk", "--frames", "1", "--size", "8x8"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "Cannot create folder " + dir.File("plain") + "/\n");
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quenda::cli

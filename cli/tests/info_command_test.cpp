#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using quenda::testing::ReadBytes;
using quenda::testing::TempDir;
using quenda::testing::WriteBytes;
using quenda::testing::WriteText;

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// Writes a sample sequence of one 47 x 33 frame and its colour set into `dir`.
samples::SampleOptions WriteSample(const TempDir& dir) {
  samples::SampleOptions options;
  options.width = 47;
  options.height = 33;
  options.dpi = 300;
  options.pegPosition = kPegTop;
  options.xPosition = 120;
  options.yPosition = 7;
  ScriptedPrompt prompt;
  EXPECT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 1, options, prompt));
  return options;
}

TEST(InfoCommand, DrawingScanHeaderFactsAndGreyFigures) {
  TempDir dir;
  samples::SampleOptions options = WriteSample(dir);
  std::vector<uint8_t> pixels = samples::MakeSampleDrawing(options, 0, 1).picture.bytes();
  int low = 255, high = 0;
  double sum = 0;
  for (uint8_t v : pixels) low = std::min<int>(low, v), high = std::max<int>(high, v), sum += v;
  char mean[32];
  std::snprintf(mean, sizeof mean, "%.1f", sum / double(pixels.size()));

  for (std::string file : {"walk1.qds", "WALK1.QDS"}) {
    if (file != "walk1.qds") WriteBytes(dir.File(file), ReadBytes(dir.File("walk1.qds")));
    ToolOutput run = RunTool({"info", dir.File(file)});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (std::string line :
         {"drawing scan " + dir.File(file), std::string("width: 47"), std::string("height: 33"),
          std::string("dpi: 300"), std::string("peg position: 3 (PegTop)"),
          std::string("x position: 120"), std::string("y position: 7"),
          std::string("pixel bytes: 1551"),
          "grey: min " + std::to_string(low) + " max " + std::to_string(high) + " mean " + mean})
      EXPECT_TRUE(HasLine(run.out, line)) << line << "\n" << run.out;
  }
}

TEST(InfoCommand, RefusedOrDamagedDrawingScansPrintTheAnalyzersMessage) {
  TempDir dir;
  WriteSample(dir);
  std::vector<uint8_t> good = ReadBytes(dir.File("walk1.qds"));
  auto variant = [&](auto change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    return bytes;
  };
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string message;
  };
  const std::vector<Case> cases{
      {"short.qds", std::vector<uint8_t>(good.begin(), good.begin() + 10),
       "Unexpected end of file!\n"},
      {"colour.qds", variant([](auto& b) { b[2] = 2; }),
       "Can only read Quenda Drawing Scan images!\n"},
      {"mapped.qds", variant([](auto& b) { b[1] = 1; }), "Can not read images with maps!\n"},
      {"deep.qds", variant([](auto& b) { b[16] = 16; }), "Can only read 8 bit images!\n"},
  };
  for (const Case& c : cases) {
    WriteBytes(dir.File(c.name), c.bytes);
    ToolOutput run = RunTool({"info", dir.File(c.name)});
    EXPECT_EQ(run.code, 1) << c.name;
    EXPECT_EQ(run.err, c.message) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
  }

  ToolOutput missing = RunTool({"info", dir.File("gone.qds")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "Error opening file " + dir.File("gone.qds") + "\n");

  // Pixels cut short: the header is told, the grey figures are not, and the exit code is 1.
  WriteBytes(dir.File("cut.qds"), std::vector<uint8_t>(good.begin(), good.end() - 5));
  ToolOutput cut = RunTool({"info", dir.File("cut.qds")});
  EXPECT_EQ(cut.code, 1);
  EXPECT_TRUE(HasLine(cut.out, "width: 47")) << cut.out;
  EXPECT_EQ(cut.out.find("grey:"), std::string::npos);
  EXPECT_EQ(cut.err, "Error reading image " + dir.File("cut.qds") + " : Unexpected end of file\n");
}

TEST(InfoCommand, ColourSetEntriesAndTheStrictReadersRefusals) {
  TempDir dir;
  WriteSample(dir);
  ToolOutput run = RunTool({"info", dir.File("walk.col")});
  ASSERT_EQ(run.code, 0) << run.err;
  std::string expected = "colour set " + dir.File("walk.col") +
                         "\ncount: " + std::to_string(3 + std::size(samples::kSampleColors)) +
                         "\n0 TRANS 120 120 120\n1 UNFIL 0 255 102\n2 LINE 255 0 255\n";
  int index = 3;
  for (const samples::SampleColor& c : samples::kSampleColors)
    expected += std::to_string(index++) + " " + std::string(c.name) + " " + std::to_string(c.red) +
                " " + std::to_string(c.green) + " " + std::to_string(c.blue) + "\n";
  EXPECT_EQ(run.out, expected);

  WriteText(dir.File("short.col"), "Quenda\n5\nTRANS 1 2 3\nUNFIL 4 5 6\n");
  ToolOutput shortSet = RunTool({"info", dir.File("short.col")});
  EXPECT_EQ(shortSet.code, 0);
  EXPECT_TRUE(HasLine(shortSet.out, "count: 3"));
  EXPECT_TRUE(HasLine(shortSet.out, "count in file: 5"));
  EXPECT_TRUE(HasLine(shortSet.out, "2 LINE 255 0 255"));  // the default fills the gap

  WriteText(dir.File("other.col"), "Palette\n3\nTRANS 1 2 3\nUNFIL 4 5 6\nLINE 7 8 9\n");
  ToolOutput other = RunTool({"info", dir.File("other.col")});
  EXPECT_EQ(other.code, 1);
  EXPECT_EQ(other.err, "Could not read color set file!\n");
  EXPECT_EQ(other.out, "");

  ToolOutput missing = RunTool({"info", dir.File("none.col")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "Could not find ColorSet file : " + dir.File("none.col") + "\n");
  EXPECT_FALSE(quenda::testing::ReadBytes(dir.File("none.col")).size());  // info never writes
}

std::vector<uint8_t> Targa24TopLeft(int width, int height) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;
  bytes[12] = uint8_t(width), bytes[13] = uint8_t(width >> 8);
  bytes[14] = uint8_t(height), bytes[15] = uint8_t(height >> 8);
  bytes[16] = 24;
  bytes[17] = 0x20;
  bytes.resize(18 + std::size_t(width) * height * 3, 90);
  return bytes;
}

TEST(InfoCommand, TargaHeaderFactsAndThePickingReadersRefusals) {
  TempDir dir;
  std::vector<uint8_t> bgra(47 * 33 * 4, 200);
  int low = 255, high = 0;
  for (std::size_t i = 3; i < bgra.size(); i += 4) {
    bgra[i] = uint8_t(10 + (i * 7) % 211);
    low = std::min<int>(low, bgra[i]), high = std::max<int>(high, bgra[i]);
  }
  ASSERT_TRUE(
      WriteTarga32(dir.File("frame.TGA"), 47, 33, bgra.data(), WriteMessages("failed")).ok());
  ToolOutput run = RunTool({"info", dir.File("frame.TGA")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Targa picture " + dir.File("frame.TGA") +
                         "\nwidth: 47\nheight: 33\ndepth: 32\norigin: bottom left\n"
                         "alpha: 0 bits in the descriptor, values " +
                         std::to_string(low) + ".." + std::to_string(high) + "\n");

  WriteBytes(dir.File("top.tga"), Targa24TopLeft(5, 3));
  ToolOutput top = RunTool({"info", dir.File("top.tga")});
  ASSERT_EQ(top.code, 0) << top.err;
  EXPECT_TRUE(HasLine(top.out, "depth: 24"));
  EXPECT_TRUE(HasLine(top.out, "origin: top left"));
  EXPECT_TRUE(HasLine(top.out, "alpha: none"));

  std::vector<uint8_t> cut = Targa24TopLeft(10, 10);
  cut.resize(317);  // one byte short of 18 + 300
  WriteBytes(dir.File("cut.tga"), cut);
  WriteBytes(dir.File("junk.tga"), {'n', 'o', 't'});
  std::vector<uint8_t> packed = Targa24TopLeft(4, 4);
  packed[2] = 10;  // run-length compressed
  WriteBytes(dir.File("packed.tga"), packed);
  const std::vector<std::pair<std::string, std::string>> refusals{
      {"cut.tga", dir.File("cut.tga") + " is truncated\n"},
      {"junk.tga", dir.File("junk.tga") + " is not a valid targa image\n"},
      {"packed.tga", dir.File("packed.tga") + " is of unsupported Targa type\n"},
      {"gone.tga", dir.File("gone.tga") + " does not exist\n"},
  };
  for (const auto& [name, message] : refusals) {
    ToolOutput refused = RunTool({"info", dir.File(name)});
    EXPECT_EQ(refused.code, 1) << name;
    EXPECT_EQ(refused.err, message) << name;
    EXPECT_EQ(refused.out, "") << name;
  }
}

TEST(InfoCommand, UnknownKindsAndMissingFileAreUsageErrors) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"info"},
                                               {"info", "walk.txt"},
                                               {"info", "walk"},
                                               {"info", "dir.qds/walk"},
                                               {"info", "a.qds", "b.qds"}}) {
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 2) << args.back();
    EXPECT_EQ(run.err.rfind("quenda info: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("usage: quenda info FILE"), std::string::npos);
  }
}

}  // namespace
}  // namespace quenda::cli

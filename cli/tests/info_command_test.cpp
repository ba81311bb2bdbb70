#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "samples/sample_drawing.h"
#include "testing/pcm_wave.h"
#include "testing/picture_files.h"
#include "testing/test_support.h"
#include "testing/text_lines.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// Exit status 1, `err` on standard error and nothing on standard output.
void ExpectRefused(const std::string& path, const std::string& err) {
  ExpectRun({"info", path}, 1, "quenda info: " + path + ": " + err, "");
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

TEST(InfoCommand, DrawingScanHeaderFactsAndGreyFiguresOrTheAnalyzersRefusal) {
  TempDir dir;
  samples::SampleOptions options = WriteSample(dir);
  std::vector<uint8_t> pixels = samples::MakeSampleDrawing(options, 0, 1).picture.bytes();
  const auto [low, high] = std::minmax_element(pixels.begin(), pixels.end());
  char mean[32];
  std::snprintf(mean, sizeof mean, "%.1f",
                std::accumulate(pixels.begin(), pixels.end(), 0.0) / double(pixels.size()));

  for (std::string file : {"walk1.qds", "WALK1.QDS"}) {
    if (file != "walk1.qds") WriteBytes(dir.File(file), ReadBytes(dir.File("walk1.qds")));
    ExpectRun({"info", dir.File(file)}, 0, "",
              "drawing scan " + dir.File(file) +
                  "\nwidth: 47\nheight: 33\ndpi: 300\npeg position: 3 (PegTop)\n"
                  "x position: 120\ny position: 7\npixel bytes: 1551\ngrey: min " +
                  std::to_string(*low) + " max " + std::to_string(*high) + " mean " + mean + "\n");
  }

  // The reader's messages are checked with the drawing scan; here only that info uses the
  // analyzer's reader and how it reports.
  std::vector<uint8_t> good = ReadBytes(dir.File("walk1.qds"));
  // Pixels cut short: the header is told, the grey figures are not, and the exit code is 1.
  WriteBytes(dir.File("cut.qds"), std::vector<uint8_t>(good.begin(), good.end() - 5));
  ToolOutput cut = RunTool({"info", dir.File("cut.qds")});
  EXPECT_EQ(cut.code, 1);
  EXPECT_TRUE(HasLine(cut.out, "width: 47")) << cut.out;
  EXPECT_EQ(cut.out.find("grey:"), std::string::npos);
  EXPECT_EQ(cut.err, "quenda info: " + dir.File("cut.qds") + ": Error reading image " +
                         dir.File("cut.qds") + " : Unexpected end of file\n");
}

TEST(InfoCommand, ColourSetEntriesAsThePainterReadsThemAndTheSheetsRefusal) {
  TempDir dir;
  WriteText(dir.File("walk.col"),
            "Quenda\n4\nTRANS 1 2 3\nUNFIL 4 5 6\nLINE 7 8 9\nSKIN 250 11 0\n");
  ExpectRun({"info", dir.File("walk.col")}, 0, "",
            "colour set " + dir.File("walk.col") +
                "\ncount: 4\n0 TRANS 1 2 3\n1 UNFIL 4 5 6\n2 LINE 7 8 9\n3 SKIN 250 11 0\n");

  // Fewer entries than the count says: the defaults fill the gap and both counts are told.
  WriteText(dir.File("short.col"), "Quenda\n5\nTRANS 1 2 3\nUNFIL 4 5 6\n");
  ExpectRun({"info", dir.File("short.col")}, 0, "",
            "colour set " + dir.File("short.col") +
                "\ncount: 3\ncount in file: 5\n0 TRANS 1 2 3\n1 UNFIL 4 5 6\n2 LINE 255 0 255\n");

  // A foreign first word: the painter and the analyzer read the set, the exposure sheet does not.
  WriteText(dir.File("other.col"), "Palette\n4\nTRANS 1 2 3\nUNFIL 4 5 6\nLINE 7 8 9\nINK 0 0 9\n");
  ExpectRun({"info", dir.File("other.col")}, 0, "",
            "colour set " + dir.File("other.col") +
                "\ncount: 4\nexposure sheet: refuses it (\"Could not read color set file!\"): the "
                "first word is \"Palette\", not \"Quenda\"\n"
                "0 TRANS 1 2 3\n1 UNFIL 4 5 6\n2 LINE 7 8 9\n3 INK 0 0 9\n");
  ExpectRefused(dir.File("none.col"),
                "Could not find ColorSet file : " + dir.File("none.col") + "\n");
  EXPECT_TRUE(ReadBytes(dir.File("none.col")).empty());  // info never writes
}

std::vector<uint8_t> Targa24TopLeft(int width, int height) {
  return EncodeTestTga(MakeTestPicture(width, height, 4), 24, true);
}

TEST(InfoCommand, TargaAndWaveFactsAndTheirReadersRefusals) {
  TempDir dir;
  std::vector<uint8_t> bgra(47 * 33 * 4, 200);
  int low = 255, high = 0;
  for (std::size_t i = 3; i < bgra.size(); i += 4) {
    bgra[i] = uint8_t(10 + (i * 7) % 211);
    low = std::min<int>(low, bgra[i]), high = std::max<int>(high, bgra[i]);
  }
  ASSERT_TRUE(
      WriteTarga32(dir.File("frame.TGA"), 47, 33, bgra.data(), WriteMessages("failed")).ok());
  ExpectRun({"info", dir.File("frame.TGA")}, 0, "",
            "Targa picture " + dir.File("frame.TGA") +
                "\nwidth: 47\nheight: 33\ndepth: 32\norigin: bottom left\n"
                "alpha: 0 bits in the descriptor, values " +
                std::to_string(low) + ".." + std::to_string(high) + "\n");

  WriteBytes(dir.File("top.tga"), Targa24TopLeft(5, 3));
  ExpectRun({"info", dir.File("top.tga")}, 0, "",
            "Targa picture " + dir.File("top.tga") +
                "\nwidth: 5\nheight: 3\ndepth: 24\norigin: top left\nalpha: none\n");

  // Run-length compressed: the reader's refusal, then how to write the file uncompressed.
  std::vector<uint8_t> packed = Targa24TopLeft(5, 3);
  packed[2] = 10;
  WriteBytes(dir.File("packed.tga"), packed);
  const std::string prefix = "quenda info: " + dir.File("packed.tga") + ": ";
  ExpectRefused(dir.File("packed.tga"),
                dir.File("packed.tga") + " is of unsupported Targa type\n" + prefix +
                    "the picture is run-length compressed; write it uncompressed, for example "
                    "with ImageMagick: convert IN.tga -compress None OUT.tga\n");

  // 9 seconds and 1 sample at 8000 per second: the last sample begins one more frame.
  const std::string wave = dir.File("beat.wav");
  WriteBytes(wave, PcmWave({8, 1, 8000}, std::vector<int32_t>(72001, 128)));
  ExpectRun({"info", wave}, 0, "",
            "wave sound " + wave +
                "\nformat: PCM, 1 channel, 8 bits\nrate: 8000 samples per second\n"
                "samples: 72001 (9.00 s)\nframes: 226 at 25 per second, 271 at 30 per second\n");

  WriteText(dir.File("junk.wav"), "RIFF....WAVEjunk");
  ExpectRefused(dir.File("junk.wav"), "Corrupt audio file!\n");
}

}  // namespace
}  // namespace quenda::cli

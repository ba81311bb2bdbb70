#include <gtest/gtest.h>

#include <filesystem>

#include "cli/tests/tool_run.h"
#include "common/targa.h"
#include "panorama/oracle/literal_mask.h"
#include "panorama/tests/panorama_fixtures.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

class MaskTool : public ::testing::Test {
 protected:
  // The mask of a written background (alpha), failing the test when it does not read.
  Raster MaskOf(const std::string& path) {
    Result<Raster> read = ReadTarga(path, TargaReader::PanoramaBackground);
    EXPECT_TRUE(read.ok()) << read.message();
    if (!read.ok() || read->channels() != 4) return Raster();
    Raster mask(read->width(), read->height(), 1);
    for (int y = 0; y < mask.height(); ++y)
      for (int x = 0; x < mask.width(); ++x) *mask.At(x, y) = read->At(x, y)[3];
    return mask;
  }

  TempDir dir;
  const Raster image = MakeImage(31, 17);
  const Raster mask = MakeMask(31, 17, MaskPattern::Blobs);
};

TEST_F(MaskTool, RefusesWordsItCannotUseAndAppliesTheOthersInTheOrderGiven) {
  const std::string in = WriteBackground(dir, "back.tga", image, mask);
  const std::string out = dir.File("out.tga");
  const std::vector<std::vector<std::string>> refused = {
      {"mask", in},
      {"mask", "--out", out},
      {"mask", in, "--out", out, "--tolerance", "20"},
      {"mask", in, "--out", out, "--key", "1,2"},
      {"mask", in, "--out", out, "--key", "1,2,256"},
      {"mask", in, "--out", out, "--key", "1,2,3", "--mode", "multiply"},
      {"mask", in, "--out", out, "--grow", "0"},
      {"mask", in, "--out", out, "--blur"},
      {"mask", in, in, "--out", out},  // several backgrounds need a folder
  };
  for (const auto& args : refused) {
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 2) << args.back();
    EXPECT_TRUE(run.err.starts_with("quenda mask: ")) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));

  Raster growThenInvert = mask, keyThenSmooth = mask;
  literal::GrowMask(growThenInvert.view());
  literal::GrowMask(growThenInvert.view());
  literal::InvertMask(growThenInvert.view());
  literal::ApplyKeyer(image, keyThenSmooth.view(), {200, 40, 90, 30, KeyerOperation::Replace});
  literal::SmoothMask(keyThenSmooth.view());
  Raster keyedOut = mask;
  literal::ApplyKeyer(image, keyedOut.view(), {200, 40, 90, 30, KeyerOperation::Subtract});
  struct Case {
    std::vector<std::string> operations;
    Raster expected;
  };
  Raster invertThenGrow = mask;
  literal::InvertMask(invertThenGrow.view());
  literal::GrowMask(invertThenGrow.view());
  literal::GrowMask(invertThenGrow.view());
  const Case cases[] = {
      {{"--grow", "2", "--invert"}, growThenInvert},
      {{"--invert", "--grow", "2"}, invertThenGrow},
      {{"--key", "200,40,90", "--tolerance", "30", "--mode", "replace", "--smooth", "1"},
       keyThenSmooth},
      {{"--key", "200,40,90", "--tolerance", "30", "--mode", "subtract"}, keyedOut},
      {{"--clear", "--fill"}, MakeMask(31, 17, MaskPattern::Opaque)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"mask", in, "--out", out};
    args.insert(args.end(), c.operations.begin(), c.operations.end());
    ExpectRun(args, 0, "");
    EXPECT_EQ(MaskOf(out), c.expected) << c.operations[0];
  }
  ExpectRun({"mask", in, "--out", dir.File("turned.tga"), "--rotate-cw"}, 0, "",
            "wrote " + dir.File("turned.tga") + "  17 x 31\n");
  EXPECT_EQ(MaskOf(dir.File("turned.tga")), RotateClockwise(mask));
}

TEST_F(MaskTool, ABatchGoesOnPastFilesItCannotReadOrWrite) {
  const std::string folder = dir.File("out/");
  std::filesystem::create_directory(folder);
  const std::string a = WriteBackground(dir, "a.tga", image, mask);
  const std::string b = WriteBackground(dir, "b.tga", image, MakeMask(31, 17, MaskPattern::Random));
  const std::string missing = dir.File("gone.tga");
  WriteBytes(folder + "b.tga", {1, 2, 3});
  MakeReadOnly(folder + "b.tga");
  ToolOutput run = RunTool({"mask", a, missing, b, "--out", folder, "--invert"});
  MakeWritable(folder + "b.tga");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "quenda mask: " + missing + ": " + missing +
                         " does not exist\nquenda mask: " + folder + "b.tga: Could not write " +
                         folder + "b.tga, disk full or read only?\n");
  EXPECT_EQ(ReadBytes(folder + "b.tga"), (std::vector<uint8_t>{1, 2, 3}));
  Raster inverted = mask;
  literal::InvertMask(inverted.view());
  EXPECT_EQ(MaskOf(folder + "a.tga"), inverted);
}

}  // namespace
}  // namespace quenda::cli

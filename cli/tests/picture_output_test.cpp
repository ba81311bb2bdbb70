// Render and compose into PNG, TIFF and OpenEXR: checked against the Targa frames of the same
// job by outside readers (ImageMagick for PNG and TIFF, ffmpeg's decoder for OpenEXR), split
// runs giving the same bytes, and the farm passing the format on.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

#include "cli/tests/tool_run.h"
#include "common/studio_picture.h"
#include "common/targa.h"
#include "testing/outside_tools.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;
using quenda::testing::RunTool;

// Five painted drawings of 100 dpi on a sheet, rendered to Targa, and a composition of them.
class PictureOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = std::make_unique<TempDir>();
    const std::string walk = dir->File("walk/");
    cli::RunAll(
        {{"sample", walk, "--name", "walk", "--frames", "5", "--size", "47x33", "--dpi", "100"},
         {"analyze", walk + "walk1.qds", "--yes", "--jobs", "1"},
         {"colors", walk + "walk.col", "--add", "RED", "255", "0", "0"},
         {"paint", walk + "walk1.qds", "--fill", "22,13=RED", "--fill", "23,22=RED"},
         {"autopaint", walk + "walk1.qds", "--range", "2-5", "--from", "previous"},
         {"sheet", "new", Sheet()},
         {"sheet", "add-sequence", Sheet(), walk + "walk1.qds"},
         {"sheet", "transfer", Sheet(), "--sequence", "1", "--pictures", "1-5", "--level", "0",
          "--frame", "1", "--on", "1"},
         {"render", Sheet(), "--out", Tga(), "--name", "walk", "--frames", "1-5"},
         {"comp", "new", Movie(), "--size", "47x33", "--frames", "5"},
         {"comp", "add-clip", Movie(), Tga() + "walk0001.tga", "--yes"},
         {"compose", Movie(), "--out", Tga(), "--name", "m", "--matte"},
         {"compose", Movie(), "--out", Tga(), "--name", "flat"}});
  }
  static void TearDownTestSuite() { dir.reset(); }
  static std::string Sheet() { return dir->File("walk.dgr"); }
  static std::string Movie() { return dir->File("m.cmp"); }
  static std::string Tga() { return dir->File("tga/"); }

  static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> PictureOutput::dir;

std::string Rgba(const std::string& path) {
  const auto run = RunTool("convert " + Quoted(path) + " -depth 8 rgba:-");
  EXPECT_EQ(run.exitCode, 0) << path;
  return run.out;
}

struct TargaValues {
  int width = 0, height = 0;
  std::string rgba;  // top row first, R, G, B, A (255 for 24-bit files)
};

// The bytes of an uncompressed Targa the suite wrote, taken straight from the file: ImageMagick
// reads a 32-bit Targa whose descriptor gives no alpha bits as partly transparent black.
TargaValues ReadTargaValues(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  TargaValues v;
  if (bytes.size() < 18) return v;
  v.width = bytes[12] | bytes[13] << 8;
  v.height = bytes[14] | bytes[15] << 8;
  const int channels = bytes[16] / 8;
  for (int y = v.height - 1; y >= 0; --y)
    for (int x = 0; x < v.width; ++x) {
      const std::size_t at =
          18 + (std::size_t(y) * std::size_t(v.width) + std::size_t(x)) * std::size_t(channels);
      v.rgba += {char(bytes[at + 2]), char(bytes[at + 1]), char(bytes[at]),
                 char(channels == 4 ? bytes[at + 3] : 255)};
    }
  return v;
}

// ImageMagick's own comparison of a file with the Targa's values: the count of pixels that
// differ in any channel, alpha included.
std::string DifferingPixels(const std::string& path, const std::string& targa,
                            const std::string& scratch) {
  const TargaValues v = ReadTargaValues(targa);
  WriteText(scratch, v.rgba);
  return RunTool("compare -metric AE -size " + std::to_string(v.width) + "x" +
                 std::to_string(v.height) + " -depth 8 rgba:" + Quoted(scratch) + " " +
                 Quoted(path) + " null: 2>&1")
      .out;
}

TEST_F(PictureOutput, PngAndTiffHoldTheTargasPixelsAndAlphaExactly) {
  const struct {
    const char* format;
    const char* depth;
    const char* extension;
  } kCases[] = {
      {"png", "8", ".png"}, {"png", "16", ".png"}, {"tiff", "8", ".tif"}, {"tiff", "16", ".tif"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.depth);
    const std::string out = dir->File(std::string(c.format) + c.depth + "/");
    ToolOutput run = cli::RunTool({"render", Sheet(), "--out", out, "--name", "walk", "--frames",
                                   "1-5", "--format", c.format, "--depth", c.depth});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "wrote " + out + "walk0001" + c.extension + " .. " + out + "walk0005" +
                           c.extension + "\n");
    for (int frame : {1, 5}) {
      const std::string ours = out + "walk000" + std::to_string(frame) + c.extension;
      const std::string targa = Tga() + "walk000" + std::to_string(frame) + ".tga";
      EXPECT_EQ(DifferingPixels(ours, targa, out + "values.rgba"), "0");
      EXPECT_TRUE(Rgba(ours) == ReadTargaValues(targa).rgba) << "the values differ";
      const auto described = RunTool("identify -format '%z %[channels]' " + Quoted(ours));
      EXPECT_EQ(described.out, std::string(c.depth) + " srgba");
      const auto dpi =
          RunTool("convert " + Quoted(ours) + " -units PixelsPerInch -format '%x' info:");
      EXPECT_NEAR(std::stod(dpi.out), 100, 0.05);
    }
  }
  // The composed frames, RGB without a matte and the matte as alpha with one.
  for (const char* name : {"m", "flat"}) {
    const std::string out = dir->File(std::string("compose-") + name + "/");
    std::vector<std::string> args{"compose", Movie(), "--out",    out,
                                  "--name",  name,    "--format", "png"};
    if (std::string(name) == "m") args.push_back("--matte");
    ASSERT_EQ(cli::RunTool(args).code, 0);
    EXPECT_EQ(DifferingPixels(out + name + "0004.png", Tga() + name + "0004.tga", out + "v.rgba"),
              "0")
        << name;
    const auto channels =
        RunTool("identify -format '%[channels]' " + Quoted(out + name + "0004.png"));
    EXPECT_EQ(channels.out, std::string(name) == "m" ? "srgba" : "srgb");
  }
}

// ffmpeg's EXR decoder: planar G, B, R (A) floats, top row first.
std::vector<float> Planes(const std::string& path, bool alpha) {
  const auto run = RunTool("ffmpeg -v error -i " + Quoted(path) + " -f rawvideo -pix_fmt " +
                           (alpha ? "gbrapf32le" : "gbrpf32le") + " -");
  EXPECT_EQ(run.exitCode, 0) << path;
  std::vector<float> floats(run.out.size() / 4);
  std::memcpy(floats.data(), run.out.data(), floats.size() * 4);
  return floats;
}

// The EXR equals the Targa in linear light within half-float precision; a render's colour is
// premultiplied, a composed matte's colour is as composed.
void ExpectExrMatches(const std::string& exr, const std::string& tga, bool premultiplied) {
  auto targa = ReadTarga(tga, TargaReader::ComposerClipFrame);
  ASSERT_TRUE(targa.ok()) << targa.message();
  const Raster& t = *targa;
  const bool alpha = t.channels() == 4;
  const std::vector<float> planes = Planes(exr, alpha);
  const std::size_t plane = std::size_t(t.width()) * std::size_t(t.height());
  ASSERT_EQ(planes.size(), plane * (alpha ? 4 : 3));
  int checked = 0;
  for (int y = 0; y < t.height(); ++y)
    for (int x = 0; x < t.width(); ++x) {
      const uint8_t* p = t.At(x, t.height() - 1 - y);
      const std::size_t at = std::size_t(y) * std::size_t(t.width()) + std::size_t(x);
      const float a = alpha ? p[3] / 255.0f : 1.0f;
      const float weight = premultiplied ? a : 1.0f;
      const float want[3] = {LinearFromSrgb(p[1] / 255.0f) * weight,
                             LinearFromSrgb(p[0] / 255.0f) * weight,
                             LinearFromSrgb(p[2] / 255.0f) * weight};
      for (int c = 0; c < 3; ++c)
        ASSERT_NEAR(planes[std::size_t(c) * plane + at], want[c], want[c] / 1024 + 1e-5f)
            << x << "," << y << " channel " << c;
      if (alpha) {
        ASSERT_NEAR(planes[3 * plane + at], a, a / 1024 + 1e-6f);
      }
      ++checked;
    }
  EXPECT_EQ(checked, t.width() * t.height());
}

TEST_F(PictureOutput, ExrHoldsLinearLightPremultipliedForRendersAndMarkedMatteForCompose) {
  const std::string out = dir->File("exr/");
  ASSERT_EQ(cli::RunTool({"render", Sheet(), "--out", out, "--name", "walk", "--frames", "1-5",
                          "--format", "exr"})
                .code,
            0);
  ExpectExrMatches(out + "walk0003.exr", Tga() + "walk0003.tga", true);
  ASSERT_EQ(
      cli::RunTool({"compose", Movie(), "--out", out, "--name", "m", "--matte", "--format", "exr"})
          .code,
      0);
  ExpectExrMatches(out + "m0002.exr", Tga() + "m0002.tga", false);
  const auto bytes = ReadBytes(out + "m0002.exr");
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("quenda:alpha"), std::string::npos);
  EXPECT_NE(text.find("composer matte"), std::string::npos);
  const auto render = ReadBytes(out + "walk0003.exr");
  EXPECT_EQ(std::string(render.begin(), render.end()).find("composer matte"), std::string::npos);
  ASSERT_EQ(
      cli::RunTool({"compose", Movie(), "--out", out, "--name", "flat", "--format", "exr"}).code,
      0);
  ExpectExrMatches(out + "flat0000.exr", Tga() + "flat0000.tga", false);
}

TEST_F(PictureOutput, SplitRunsWriteTheBytesOfOneWholeRun) {
  for (const char* format : {"png", "tiff", "exr"}) {
    SCOPED_TRACE(format);
    const std::string whole = dir->File(std::string("whole-") + format + "/");
    const std::string split = dir->File(std::string("split-") + format + "/");
    ASSERT_EQ(cli::RunTool({"render", Sheet(), "--out", whole, "--name", "w", "--frames", "1-5",
                            "--format", format, "--jobs", "2"})
                  .code,
              0);
    for (const char* part : {"1-2", "3-5"})
      ASSERT_EQ(cli::RunTool({"render", Sheet(), "--out", split, "--name", "w", "--format", format,
                              "--frames", "1-5", "--write", part, "--jobs", "1"})
                    .code,
                0);
    const std::vector<std::string> names = ListDirectory(whole);
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(ListDirectory(split), names);
    for (const std::string& name : names)
      EXPECT_EQ(ReadBytes(whole + name), ReadBytes(split + name)) << name;
  }
}

TEST_F(PictureOutput, WrongFormatsAreUsageErrorsAndTheFarmPassesTheFormatOn) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"render", Sheet(), "--out", dir->File("x/"), "--name", "w", "--format", "gif"},
       "quenda render: --format must be tga, png, tiff or exr"},
      {{"render", Sheet(), "--out", dir->File("x/"), "--name", "w", "--format", "exr", "--depth",
        "16"},
       "quenda render: --depth 16 is for png and tiff files"},
      {{"compose", Movie(), "--out", dir->File("x/"), "--name", "w", "--depth", "12"},
       "quenda compose: --depth must be 8 or 16"},
  };
  for (const auto& c : kCases) {
    ToolOutput run = cli::RunTool(c.args);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(dir->File("x")));

  ToolOutput farm =
      cli::RunTool({"farm", "render", Sheet(), "--out", dir->File("farm/"), "--name", "walk",
                    "--frames", "1-5", "--format", "tiff", "--depth", "16", "--dry-run"});
  ASSERT_EQ(farm.code, 0) << farm.err;
  EXPECT_NE(farm.out.find("--format tiff --depth 16"), std::string::npos) << farm.out;
  // The farm's check reads the files of the format it asked for.
  const std::string done = dir->File("farm-png/");
  ASSERT_EQ(cli::RunTool({"render", Sheet(), "--out", done, "--name", "walk", "--frames", "1-5",
                          "--format", "png"})
                .code,
            0);
  ToolOutput check = cli::RunTool({"farm", "check", "render", Sheet(), "--out", done, "--name",
                                   "walk", "--frames", "1-5", "--format", "png"});
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  EXPECT_NE(check.err.find("all 5 files of the job are in place"), std::string::npos) << check.err;
}

TEST_F(PictureOutput, ExportWritesTheFormatItsOutNamesThroughTheSameWriter) {
  const std::string targa = Tga() + "walk0002.tga";
  const std::string out = dir->File("export/");
  std::filesystem::create_directories(out);
  for (const char* name : {"a.png", "a.tif", "a.TIFF"}) {
    SCOPED_TRACE(name);
    ToolOutput run = cli::RunTool({"export", targa, "--out", out + name});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "wrote " + out + name + "  47 x 33\n");
    EXPECT_EQ(DifferingPixels(out + name, targa, out + "v.rgba"), "0");
  }
  ASSERT_EQ(cli::RunTool({"export", targa, "--out", out + "a.exr"}).code, 0);
  ExpectExrMatches(out + "a.exr", targa, true);
  // --png is the PNG writer's too.
  ASSERT_EQ(cli::RunTool({"export", targa, "--png", out + "b.png"}).code, 0);
  EXPECT_EQ(ReadBytes(out + "b.png"), ReadBytes(out + "a.png"));
  ToolOutput refused = cli::RunTool({"export", targa, "--out", out + "a.gif"});
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err.rfind("quenda export: --out must name a .png, .tif, .tiff, .exr or .tga "
                              "file",
                              0),
            0u);
  EXPECT_EQ(cli::RunTool({"export", targa, "--out", out + "c.png", "--png", out + "c.png"}).code,
            2);
  EXPECT_FALSE(std::filesystem::exists(out + "c.png"));
}

}  // namespace
}  // namespace quenda::cli

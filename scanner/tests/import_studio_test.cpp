// Importing the studio's own files: 16-bit TIFF scans with their resolution inside, PNG with
// alpha, JPEG, float OpenEXR, numbered after a scene code; and importing over a sequence that
// is there already.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "common/studio_picture.h"
#include "scanner/core/import_sequence.h"
#include "scanner/core/scan_area.h"
#include "testing/outside_tools.h"
#include "testing/test_support.h"

namespace quenda::scanner {
namespace {

using namespace quenda::testing;

class ImportStudioTest : public ::testing::Test {
 protected:
  // Runs ImageMagick's convert with `arguments`; the test stops when it fails.
  void Convert(const std::string& arguments) {
    ASSERT_EQ(RunTool("convert " + arguments).exitCode, 0) << arguments;
  }
  ImportOutcome Import(const std::string& picked, const std::string& name, int dpi = 0) {
    auto source = FindImportSource(picked);
    EXPECT_TRUE(source.ok()) << source.message();
    if (!source) return {};
    return ImportSequence(*source, out.path(), name, kPegBottom, dpi, prompt, progress);
  }
  DrawingScan Drawing(const std::string& file) {
    auto read = ReadDrawingScan(out.File(file), ScanReader::Scanner);
    EXPECT_TRUE(read.ok()) << read.message();
    return read ? read->scan : DrawingScan{};
  }

  TempDir in;
  TempDir out;
  ScriptedPrompt prompt;
  NullProgress progress;
};

TEST(ImportStudioNames, TheSeriesIsNumberedByTheLastRunOfDigits) {
  TempDir dir;
  const struct {
    const char* first;
    const char* second;
    const char* header;
    int start, width;
  } kCases[] = {
      {"name0007.png", "name0008.png", "name", 7, 4},
      {"name_0007.tif", "name_0008.tif", "name_", 7, 4},
      {"name.0007.exr", "name.0008.exr", "name.", 7, 4},
      {"sc010_bg_0001.tif", "sc010_bg_0002.tif", "sc010_bg_", 1, 4},
      {"scene012.tga", "scene013.tga", "scene", 12, 3},
      {"walk12b.bmp", "walk13b.bmp", "walk", 12, 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.first);
    WriteText(dir.File(c.first), "x");
    WriteText(dir.File(c.second), "x");
    auto source = FindImportSource(dir.File(c.first));
    ASSERT_TRUE(source.ok()) << source.message();
    EXPECT_EQ(source->header, c.header);
    EXPECT_EQ(std::tuple(source->start, source->end, source->width, source->single),
              std::tuple(c.start, c.start + 1, c.width, false));
    EXPECT_EQ(source->InputPath(c.start + 1), dir.File(c.second));
  }
  EXPECT_EQ(FindImportSource(dir.File("a.gif")).message(), "Unsupported file extension");
  auto single = FindImportSource(dir.File("background.png"));
  ASSERT_TRUE(single.ok());
  EXPECT_TRUE(single->single);
  EXPECT_EQ(ImportTypeText(*single), "single frame");
  const struct {
    const char* file;
    const char* type;
  } kTypes[] = {{"a1.png", "PNG images"},   {"a1.TIFF", "TIFF images"},
                {"a1.jpeg", "JPEG images"}, {"a1.exr", "OpenEXR images"},
                {"a1.tga", "Targa images"}, {"a1.bmp", "Windows bitmap images"}};
  for (const auto& t : kTypes) {
    WriteText(dir.File(t.file), "x");
    EXPECT_EQ(ImportTypeText(*FindImportSource(dir.File(t.file))), t.type);
  }
}

TEST_F(ImportStudioTest, SixteenBitTiffScansGiveRoundedGreyAndTheirOwnResolution) {
  // Values over the whole 16-bit range, as a scanning station writes them.
  std::string pgm = "P5\n9 4\n65535\n";
  std::vector<int> values;
  for (int i = 0; i < 36; ++i) {
    const int v = (i * 1877 + 200) % 65536;
    values.push_back(v);
    pgm += char(v >> 8);
    pgm += char(v & 0xFF);
  }
  WriteText(in.File("scan.pgm"), pgm);
  for (const char* name : {"sc010_bg_0001.tif", "sc010_bg_0002.tif"})
    Convert(Quoted(in.File("scan.pgm")) + " -depth 16 -units PixelsPerInch -density 300 " +
            Quoted(in.File(name)));
  auto source = FindImportSource(in.File("sc010_bg_0001.tif"));
  ASSERT_TRUE(source.ok());
  EXPECT_EQ(ImportResolutionText(*source), "300 dpi (from the file)");
  // The file's resolution stands in for the dialog's choice.
  EXPECT_TRUE(CheckImportForm({"bg", out.path(), 0, -1}, *source).ok());
  EXPECT_TRUE(Import(in.File("sc010_bg_0001.tif"), "bg").finished)
      << ::testing::PrintToString(prompt.Texts());
  EXPECT_EQ(ListDirectory(out.path()), (std::vector<std::string>{"bg1.qds", "bg2.qds"}));
  const DrawingScan scan = Drawing("bg2.qds");
  EXPECT_EQ(std::tuple(scan.dpi, scan.pegPosition, scan.picture.width(), scan.picture.height()),
            std::tuple(300, kPegBottom, 9, 4));
  for (int i = 0; i < 36; ++i)
    EXPECT_EQ(scan.picture.At(i % 9, 3 - i / 9)[0], (values[std::size_t(i)] + 128) / 257) << i;

  // --dpi overrides what the file says.
  TempDir again;
  auto overridden = ImportSequence(*source, again.path(), "bg", kPegTop, 150, prompt, progress);
  EXPECT_TRUE(overridden.finished);
  EXPECT_EQ(ReadDrawingScan(again.File("bg1.qds"), ScanReader::Scanner)->scan.dpi, 150);
}

TEST_F(ImportStudioTest, ColourTakesTheBrightestChannelAndAlphaIsLaidOverWhite) {
  // Blue construction pencil, red ink half transparent, a transparent pixel, black line.
  WriteText(
      in.File("in.pam"),
      std::string("P7\nWIDTH 4\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n") +
          std::string("\x30\x40\xF0\xFF"
                      "\xC8\x00\x00\x80"
                      "\x00\x00\x00\x00"
                      "\x00\x00\x00\xFF",
                      16));
  Convert(Quoted(in.File("in.pam")) + " -units PixelsPerInch -density 300 " +
          Quoted(in.File("cel1.png")));
  ASSERT_TRUE(Import(in.File("cel1.png"), "cel").finished);
  const DrawingScan scan = Drawing("cel1.qds");
  EXPECT_EQ(scan.dpi, 300);
  const int kWant[] = {0xF0, (200 * 128 + 255 * 127 + 127) / 255, 255, 0};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(scan.picture.At(x, 0)[0], kWant[x]) << x;
}

TEST_F(ImportStudioTest, JpegTakesItsDensityAndFloatExrGoesThroughTheTransferFunction) {
  Convert("-size 16x8 xc:'rgb(90,60,30)' -units PixelsPerInch -density 150 -quality 100 " +
          Quoted(in.File("bg1.jpg")));
  ASSERT_TRUE(Import(in.File("bg1.jpg"), "jpg").finished);
  DrawingScan scan = Drawing("jpg1.qds");
  EXPECT_EQ(std::tuple(scan.dpi, scan.picture.width(), scan.picture.height()),
            std::tuple(150, 16, 8));
  EXPECT_NEAR(scan.picture.At(5, 5)[0], 90, 2);

  // ffmpeg writes 32-bit float samples of v / 255 as they are, which an EXR reader takes for
  // linear light.
  ASSERT_EQ(RunTool("ffmpeg -v error -y -f lavfi -i color=c=0x80C040:s=6x4 -frames:v 1 "
                    "-pix_fmt gbrpf32le -c:v exr -format float " +
                    Quoted(in.File("lit1.exr")))
                .exitCode,
            0);
  auto source = FindImportSource(in.File("lit1.exr"));
  ASSERT_TRUE(source.ok());
  EXPECT_EQ(ImportResolutionText(*source), "none in the file");
  EXPECT_FALSE(CheckImportForm({"lit", out.path(), 0, -1}, *source).ok());
  ASSERT_TRUE(Import(in.File("lit1.exr"), "lit", 200).finished);
  scan = Drawing("lit1.qds");
  const int want = int(std::lround(255 * SrgbFromLinear(0xC0 / 255.0f)));
  EXPECT_NEAR(scan.picture.At(2, 2)[0], want, 1);
}

TEST_F(ImportStudioTest, AFileWithoutResolutionAndNoDpiEndsTheImportNamingIt) {
  Convert("-size 4x4 xc:white " + Quoted(in.File("plain1.png")));
  const ImportOutcome outcome = Import(in.File("plain1.png"), "plain");
  EXPECT_FALSE(outcome.finished);
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{in.File("plain1.png") +
                                                     " holds no resolution: choose the dpi of "
                                                     "the drawings"});
  EXPECT_TRUE(ListDirectory(out.path()).empty());
  // A damaged one says the reader's reason alone.
  prompt.Clear();
  WriteText(in.File("bad1.png"), "not a picture");
  EXPECT_FALSE(Import(in.File("bad1.png"), "bad", 150).finished);
  ASSERT_EQ(prompt.Texts().size(), 1u);
  EXPECT_EQ(prompt.Texts()[0].rfind("Cannot read picture " + in.File("bad1.png") + ": ", 0), 0u);
}

TEST_F(ImportStudioTest, ASequenceAlreadyThereIsFoundWithItsRegionAndPaintFilesButNotItsColours) {
  for (int n = 1; n <= 4; ++n)
    for (const char* extension : {".qds", ".rgn", ".pnt"})
      WriteText(out.File("walk" + std::to_string(n) + extension), "old");
  WriteText(out.File("walk.col"), "colours");
  WriteText(out.File("walker1.qds"), "another sequence");
  const std::vector<std::string> existing = ExistingImportTarget(out.path(), "walk");
  EXPECT_EQ(existing.size(), 12u);
  EXPECT_EQ(ReplaceSequenceQuestion("walk", out.path(), existing),
            "The sequence walk in " + out.path() +
                " has 4 drawings already (12 files with their region and paint files).\n"
                "Replace them? They are removed before the new drawings are written; the colour "
                "set is kept.");
  for (const std::string& file : existing) EXPECT_NE(file.find("/walk"), std::string::npos);
  EXPECT_TRUE(ExistingImportTarget(out.path(), "run").empty());
}

}  // namespace
}  // namespace quenda::scanner

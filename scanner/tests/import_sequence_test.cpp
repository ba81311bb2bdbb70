#include "scanner/core/import_sequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "testing/picture_files.h"
#include "testing/test_support.h"

namespace quenda::scanner {
namespace {

using ::testing::ElementsAre;
using namespace quenda::testing;

// Input files an outside converter writes from a PPM; the readers' own tests cover the files
// written byte by byte, both row orders among them.
struct Series {
  const char* extension;
  int depth;
  const char* convert;  // the converter's command, "IN" and "OUT" replaced
};

// Only grey pictures survive every converter's 8-bit path unchanged.
TestPicture Greyed(TestPicture picture) {
  for (auto& c : picture.pixels) c.g = c.r = c.b;
  return picture;
}

// The grey value each input kind must give, worked out here from the colours.
int ExpectedGrey(const Series& s, const testing::Bgr& c) {
  if (std::string(s.extension) == ".bmp") return (c.b + c.g + c.r) / 3;
  if (s.depth == 8) return c.b;
  return std::max({c.b, c.g, c.r});
}

std::string Replaced(std::string command, const std::string& in, const std::string& out) {
  command.replace(command.find("IN"), 2, in);
  command.replace(command.find("OUT"), 3, out);
  return command;
}

class ImportSequenceTest : public ::testing::Test {
 protected:
  TempDir in;
  TempDir out;
  ScriptedPrompt prompt;
  NullProgress progress;
};

TEST_F(ImportSequenceTest, SeriesOfEveryDepthGivesGreyDrawingsByTheRule) {
  const Series kSeries[] = {
      {".bmp", 8, "convert IN -type Palette -compress None BMP3:OUT"},
      {".bmp", 24, "convert IN -type TrueColor BMP3:OUT"},
      {".bmp", 32, "convert IN -alpha on -type TrueColorAlpha BMP:OUT"},
      {".tga", 8, "ffmpeg -loglevel error -y -i IN -rle 0 -pix_fmt gray OUT"},
      {".tga", 24, "ffmpeg -loglevel error -y -i IN -rle 0 -pix_fmt bgr24 OUT"},
      {".tga", 32, "ffmpeg -loglevel error -y -i IN -rle 0 -pix_fmt bgra OUT"},
  };
  int run = 0;
  for (const Series& s : kSeries) {
    SCOPED_TRACE(std::string(s.extension) + " " + std::to_string(s.depth) + " " + s.convert);
    const std::string header = std::string("take") + char('a' + run++) + "_";
    std::vector<TestPicture> pictures;
    for (int number = 7; number <= 9; ++number) {
      TestPicture picture = MakeTestPicture(3 + number, 2 + number % 3, 256);
      if (s.depth == 8 && std::string(s.extension) == ".tga") picture = Greyed(picture);
      const std::string path = in.File(header + "00" + std::to_string(number) + s.extension);
      WriteBytes(in.File("source.ppm"), EncodeTestPpm(picture));
      ASSERT_EQ(std::system(Replaced(s.convert, in.File("source.ppm"), path).c_str()), 0);
      // The converter chose the depth this case is about.
      ASSERT_EQ(ReadBytes(path).at(std::string(s.extension) == ".bmp" ? 28 : 16), s.depth);
      pictures.push_back(picture);
    }
    auto source = FindImportSource(in.File(header + "007" + s.extension));
    ASSERT_TRUE(source.ok()) << source.message();
    ASSERT_EQ(std::tuple(source->start, source->end), std::tuple(7, 9));

    const std::string name = "walk" + std::string(size_t(run), 'x');
    auto outcome = ImportSequence(*source, out.path(), name, kPegRight, 150, prompt, progress);
    ASSERT_TRUE(outcome.finished) << ::testing::PrintToString(prompt.Texts());
    for (int number = 7; number <= 9; ++number) {
      const TestPicture& picture = pictures[std::size_t(number - 7)];
      auto scan =
          ReadDrawingScan(out.File(name + std::to_string(number) + ".qds"), ScanReader::Scanner);
      ASSERT_TRUE(scan.ok()) << scan.message();
      const DrawingScan& d = scan->scan;
      EXPECT_EQ((std::array{d.dpi, d.pegPosition, d.xPosition, d.yPosition}),
                (std::array{150, kPegRight, 0, 0}));
      ASSERT_EQ(std::tuple(d.picture.width(), d.picture.height()),
                std::tuple(picture.width, picture.height));
      for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
          ASSERT_EQ(*d.picture.At(x, picture.height - 1 - y), ExpectedGrey(s, picture.At(x, y)))
              << "frame " << number << " at " << x << "," << y;
    }
  }
}

TEST_F(ImportSequenceTest, PickedNameGivesTheSeriesAndItsOutputNames) {
  const auto red = EncodeTestTga(MakeTestPicture(2, 2, 3), 24, false);
  for (int n = 12; n <= 20; ++n) WriteBytes(in.File("scene0" + std::to_string(n) + ".tga"), red);
  for (int n : {1, 2, 3, 4, 5, 7}) WriteBytes(in.File("gap" + std::to_string(n) + ".TGA"), red);
  WriteBytes(in.File("drawing.bmp"), EncodeTestBmp(MakeTestPicture(2, 2, 3), 24, false));
  // The file picked; the type, header, start and end found; the name of the drawings written.
  const std::tuple<const char*, const char*, const char*, int, int, const char*> kCases[] = {
      {"scene012.tga", "Targa images", "scene", 12, 20, "walk"},
      {"gap1.TGA", "Targa images", "gap", 1, 5, "run"},
      {"drawing.bmp", "single frame", "drawing", 1, 1, "one"},
  };
  for (const auto& [picked, type, header, start, end, name] : kCases) {
    SCOPED_TRACE(picked);
    TempDir target;
    auto source = FindImportSource(in.File(picked));
    ASSERT_TRUE(source.ok());
    EXPECT_EQ(std::tuple(ImportTypeText(*source), source->header, source->start, source->end),
              std::tuple(type, header, start, end));
    EXPECT_TRUE(
        ImportSequence(*source, target.path(), name, kPegBottom, 72, prompt, progress).finished);
    std::vector<std::string> files;
    for (int n = start; n <= end; ++n) files.push_back(name + std::to_string(n) + ".qds");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(ListDirectory(target.path()), files);
  }
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{});
}

TEST_F(ImportSequenceTest, UnreadablePictureEndsTheImportAndKeepsWhatWasWritten) {
  const auto good = EncodeTestTga(MakeTestPicture(4, 3, 16), 24, false);
  auto mapped = good;
  mapped[1] = 1;
  WriteBytes(in.File("f1.tga"), good);
  WriteBytes(in.File("f2.tga"), mapped);
  WriteBytes(in.File("f3.tga"), good);
  auto outcome = ImportSequence(*FindImportSource(in.File("f1.tga")), out.path(), "walk", kPegTop,
                                200, prompt, progress);
  EXPECT_FALSE(outcome.finished);
  EXPECT_EQ(outcome.written, 1);
  EXPECT_THAT(prompt.Texts(),
              ElementsAre("Error : " + in.File("f2.tga") +
                              " has palettes in it, paletted targa is not supported!",
                          "Unsupported or corrupted targa file"));
  EXPECT_EQ(ListDirectory(out.path()), std::vector<std::string>{"walk1.qds"});
}

TEST_F(ImportSequenceTest, StopEndsAfterTheFrameInHandAndKeepsIt) {
  ScriptedProgress stop(0);  // STOP at the first look
  for (int n = 1; n <= 3; ++n)
    WriteBytes(in.File("f" + std::to_string(n) + ".tga"),
               EncodeTestTga(MakeTestPicture(3, 3, 4), 8, false));
  auto outcome = ImportSequence(*FindImportSource(in.File("f1.tga")), out.path(), "walk",
                                kPegBottom, 100, prompt, stop);
  EXPECT_EQ((std::array{outcome.finished, outcome.written == 1}), (std::array{false, true}));
  EXPECT_EQ(ListDirectory(out.path()), std::vector<std::string>{"walk1.qds"});
}

TEST(ImportForm, ChecksInTheirOrder) {
  const std::pair<ImportForm, const char*> kCases[] = {
      {{"", "", -1, -1}, "You must enter a valid sequence name"},
      {{"walk2", "", -1, -1}, "Sorry, only letters are allowed for the sequence name."},
      {{"walk", "", -1, -1}, "You must select a path and name for the sequence."},
      {{"walk", "/tmp/", -1, -1}, "You must select a peg position."},
      {{"walk", "/tmp/", 0, -1}, "You must select a dpi."},
      {{"walk", "/tmp/", 0, 150}, ""},
  };
  for (const auto& [form, message] : kCases) EXPECT_EQ(CheckImportForm(form).message(), message);
}

}  // namespace
}  // namespace quenda::scanner

// Studio pictures from outside: files ImageMagick wrote, read here with their depth, alpha and
// resolution; and files that are damaged, lying or not pictures at all, refused with the file
// and the reason.

#include <gtest/gtest.h>

#include <array>

#include "common/studio_picture.h"
#include "testing/outside_tools.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::Quoted;
using testing::RunTool;
using testing::TempDir;

// A 16-bit grey PGM of values across the whole range, left to right, top row first.
std::vector<uint16_t> WriteWidePgm(const std::string& path, int width, int height) {
  std::vector<uint16_t> values;
  std::string text = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
  for (int i = 0; i < width * height; ++i) {
    const uint16_t v = uint16_t((i * 2731 + 128) % 65536);
    values.push_back(v);
    text += char(v >> 8);
    text += char(v & 0xFF);
  }
  testing::WriteText(path, text);
  return values;
}

TEST(StudioPictureInput, SixteenBitGreyIsRoundedToTheNearestEightBitValue) {
  TempDir dir;
  const auto values = WriteWidePgm(dir.File("in.pgm"), 40, 30);
  for (const char* out : {"scan.tif", "scan.png"}) {
    SCOPED_TRACE(out);
    ASSERT_EQ(
        RunTool("convert " + Quoted(dir.File("in.pgm")) + " -depth 16 " + Quoted(dir.File(out)))
            .exitCode,
        0);
    auto read = ReadStudioPicture(dir.File(out));
    ASSERT_TRUE(read.ok()) << read.message();
    ASSERT_EQ(read->pixels.channels(), 1);
    for (int i = 0; i < 40 * 30; ++i) {
      const int x = i % 40, y = 29 - i / 40;
      ASSERT_EQ(read->pixels.At(x, y)[0], (values[std::size_t(i)] + 128) / 257) << i;
    }
  }
}

struct ResolutionCase {
  const char* file;
  const char* options;  // ImageMagick's, written before the output name
  double dpi;
  friend void PrintTo(const ResolutionCase& c, std::ostream* os) {
    *os << c.file << " " << c.options;
  }
};

class StudioResolution : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(StudioResolution, ComesFromTheFileWhenItHoldsOne) {
  const ResolutionCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File(c.file);
  ASSERT_EQ(RunTool("convert -size 8x6 gradient:white-black " + std::string(c.options) + " " +
                    Quoted(path))
                .exitCode,
            0);
  auto read = ReadStudioPicture(path);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_NEAR(read->dpi, c.dpi, 0.05);
  EXPECT_EQ(read->pixels.width(), 8);
  EXPECT_EQ(read->pixels.height(), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StudioResolution,
    ::testing::Values(ResolutionCase{"a.png", "-units PixelsPerInch -density 300", 300},
                      ResolutionCase{"b.png", "", 0},
                      ResolutionCase{"c.jpg", "-units PixelsPerInch -density 150", 150},
                      ResolutionCase{"d.tif", "-units PixelsPerCentimeter -density 40", 101.6},
                      ResolutionCase{"e.tif", "-units PixelsPerInch -density 600", 600}));

TEST(StudioPictureInput, PngAlphaIsStraightAsStoredAndColourKeepsItsChannels) {
  TempDir dir;
  // Half-transparent red, fully transparent green, opaque blue: premultiplying would change
  // the first two.
  testing::WriteText(dir.File("in.pam"),
                     std::string("P7\nWIDTH 3\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\n"
                                 "ENDHDR\n") +
                         std::string("\xC8\x00\x00\x80\x00\xC8\x00\x00\x00\x00\xC8\xFF", 12));
  ASSERT_EQ(
      RunTool("convert " + Quoted(dir.File("in.pam")) + " " + Quoted(dir.File("a.png"))).exitCode,
      0);
  auto read = ReadStudioPicture(dir.File("a.png"));
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_EQ(read->pixels.channels(), 4);
  const std::array<std::array<int, 4>, 3> want = {
      {{0, 0, 200, 128}, {0, 200, 0, 0}, {200, 0, 0, 255}}};
  for (int x = 0; x < 3; ++x)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(read->pixels.At(x, 0)[c], want[std::size_t(x)][std::size_t(c)]);
}

// --- files that must be refused ---

uint32_t Crc32(const uint8_t* data, std::size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A PNG whose header chunk is correct, CRC and all, for a picture of the given size, followed
// by a tiny data chunk that cannot hold it.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> chunk = {'I', 'H', 'D', 'R'};
  PutBig32(chunk, width);
  PutBig32(chunk, height);
  for (uint8_t b : {8, 2, 0, 0, 0}) chunk.push_back(b);  // 8-bit RGB
  PutBig32(png, 13);
  png.insert(png.end(), chunk.begin(), chunk.end());
  PutBig32(png, Crc32(chunk.data(), chunk.size()));
  for (const std::vector<uint8_t>& body :
       {std::vector<uint8_t>{'I', 'D', 'A', 'T', 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01},
        std::vector<uint8_t>{'I', 'E', 'N', 'D'}}) {
    PutBig32(png, uint32_t(body.size() - 4));
    png.insert(png.end(), body.begin(), body.end());
    PutBig32(png, Crc32(body.data(), body.size()));
  }
  return png;
}

// A little-endian TIFF of one 8-bit grey strip whose tags claim the given size.
std::vector<uint8_t> TiffHeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> t = {'I', 'I', 42, 0, 8, 0, 0, 0};
  const std::array<std::array<uint32_t, 3>, 9> tags = {{{256, 4, width},
                                                        {257, 4, height},
                                                        {258, 3, 8},
                                                        {259, 3, 1},
                                                        {262, 3, 1},
                                                        {273, 4, 200},
                                                        {277, 3, 1},
                                                        {278, 4, height},
                                                        {279, 4, width * height}}};
  t.push_back(uint8_t(tags.size()));
  t.push_back(0);
  for (const auto& tag : tags) {
    const uint16_t id = uint16_t(tag[0]), type = uint16_t(tag[1]);
    for (uint16_t v : {id, type}) t.insert(t.end(), {uint8_t(v), uint8_t(v >> 8)});
    t.insert(t.end(), {1, 0, 0, 0});
    const uint32_t value = tag[2];
    t.insert(t.end(),
             {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
  }
  t.insert(t.end(), {0, 0, 0, 0});
  t.resize(260, 0x80);
  return t;
}

TEST(StudioPictureInput, AHugeHeaderIsRefusedBeforeAnyPixelIsRead) {
  for (const auto& [name, bytes] :
       {std::pair{std::string("huge.png"), PngHeaderOnly(100000, 100000)},
        std::pair{std::string("huge.tif"), TiffHeaderOnly(100000, 100000)}}) {
    SCOPED_TRACE(name);
    auto read = ParseStudioPicture(bytes, "/in/" + name);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.message(), "Cannot read picture /in/" + name +
                                  ": its header gives 100000 x 100000 pixels, more than can be "
                                  "read (65535 a side, 100000000 in all)");
  }
  // Within a side but too many in all.
  auto wide = ParseStudioPicture(TiffHeaderOnly(60000, 60000), "wide.tif");
  ASSERT_FALSE(wide.ok());
  EXPECT_NE(wide.message().find("60000 x 60000"), std::string::npos) << wide.message();
}

TEST(StudioPictureInput, DamagedAndMissingFilesNameTheFileAndTheReason) {
  TempDir dir;
  ASSERT_EQ(RunTool("convert -size 64x64 plasma:fractal -seed 4 " + Quoted(dir.File("good.png")))
                .exitCode,
            0);
  const auto good = testing::ReadBytes(dir.File("good.png"));
  ASSERT_GT(good.size(), 400u);

  const std::string prefix = "Cannot read picture ";
  const auto truncated = std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2));
  auto cut = ParseStudioPicture(truncated, "cut.png");
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.message().rfind(prefix + "cut.png: ", 0), 0u) << cut.message();
  EXPECT_GT(cut.message().size(), (prefix + "cut.png: ").size());

  const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  for (const char* name : {"text.png", "text.tif", "text.jpg", "text.exr"}) {
    auto read = ParseStudioPicture(text, name);
    ASSERT_FALSE(read.ok()) << name;
    EXPECT_EQ(read.message().rfind(prefix + name + ": ", 0), 0u) << read.message();
  }
  EXPECT_EQ(ParseStudioPicture({}, "empty.png").message(), prefix + "empty.png: the file is empty");
  EXPECT_EQ(ReadStudioPicture(dir.File("gone.png")).message(),
            prefix + dir.File("gone.png") + ": the file does not exist or cannot be opened");
}

// Only the formats the suite names are read, each by its own reader: a picture of another kind,
// under its own name or under one of theirs, is refused, never opened by some other decoder.
TEST(StudioPictureInput, PicturesOfOtherFormatsAreRefusedEvenUnderAKnownName) {
  TempDir dir;
  const std::string prefix = "Cannot read picture ";
  for (const char* kind : {"bmp", "gif", "tga", "pnm"}) {
    const std::string made = dir.File(std::string("other.") + kind);
    ASSERT_EQ(RunTool("convert -size 24x16 gradient:red-blue " + Quoted(made)).exitCode, 0);
    const auto bytes = testing::ReadBytes(made);
    ASSERT_GT(bytes.size(), 40u) << kind;
    EXPECT_EQ(ReadStudioPicture(made).message(),
              prefix + made + ": only PNG, TIFF, JPEG, OpenEXR and DPX pictures are read");
    EXPECT_EQ(ReadStudioPictureHeader(made).message(),
              prefix + made + ": only PNG, TIFF, JPEG, OpenEXR and DPX pictures are read");
    for (const char* name : {"scan.png", "scan.TIF", "scan.jpg", "scan.exr", "scan.dpx"}) {
      auto read = ParseStudioPicture(bytes, name);
      EXPECT_FALSE(read.ok()) << kind << " as " << name;
      EXPECT_EQ(read.message().rfind(prefix + name + ": ", 0), 0u) << read.message();
    }
  }
  const std::vector<uint8_t> few = {1, 2, 3};
  EXPECT_EQ(ParseStudioPicture(few, "noextension").message(),
            prefix + "noextension: only PNG, TIFF, JPEG, OpenEXR and DPX pictures are read");
}

TEST(StudioPictureInput, OnlyPicturesOfOneThreeOrFourChannelsAreWritten) {
  const Raster two(4, 4, 2);
  EXPECT_FALSE(EncodeStudioPicture(two, {PictureFormat::Png}).ok());
  const Raster three(4, 4, 3);
  EXPECT_FALSE(EncodeStudioPicture(three, {PictureFormat::Targa}).ok());
  TempDir dir;
  EXPECT_EQ(WriteStudioPicture(dir.File("a.png"), two, {PictureFormat::Png},
                               WriteMessages("Could not write a.png"))
                .message(),
            "Could not write a.png");
  EXPECT_TRUE(testing::ListDirectory(dir.path()).empty());
}

}  // namespace
}  // namespace quenda

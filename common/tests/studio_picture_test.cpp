// Studio pictures written here and read back by outside readers (ImageMagick for PNG and
// TIFF, ffmpeg's own decoder for OpenEXR), and files the outside tools wrote read here.

#include "common/studio_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "common/frame_picture.h"
#include "testing/outside_tools.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::Quoted;
using testing::RunTool;
using testing::TempDir;

// Every byte value turns up in each channel, alpha 0 and 255 among them.
Raster MakePicture(int width, int height, int channels) {
  Raster picture(width, height, channels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        picture.At(x, y)[c] = uint8_t((x * 37 + y * 101 + c * 59 + x * y) & 0xFF);
  return picture;
}

// Top row first, R, G, B, A: what ImageMagick's "rgba:" gives.
std::string TopDownRgba(const Raster& picture) {
  std::string out;
  for (int y = picture.height() - 1; y >= 0; --y)
    for (int x = 0; x < picture.width(); ++x) {
      const uint8_t* p = picture.At(x, y);
      const bool grey = picture.channels() == 1;
      out += char(grey ? p[0] : p[2]);
      out += char(grey ? p[0] : p[1]);
      out += char(p[0]);
      out += char(picture.channels() == 4 ? p[3] : 255);
    }
  return out;
}

struct WriteCase {
  PictureFormat format;
  int depth;
  int channels;
  const char* extension;
  friend void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << PictureFormatName(c.format) << " " << c.depth << "-bit " << c.channels << " channels";
  }
};

class StudioRoundTrip : public ::testing::TestWithParam<WriteCase> {};

TEST_P(StudioRoundTrip, ImageMagickReadsTheValuesExactlyAndSoDoWe) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File(std::string("frame") + c.extension);
  const Raster picture = MakePicture(23, 17, c.channels);
  StudioWriteOptions options{c.format, c.depth, FrameAlpha::Coverage, 150};
  ASSERT_TRUE(WriteStudioPicture(path, picture, options, WriteMessages("cannot write")).ok());

  const auto described = RunTool("identify -format '%w %h %z' " + Quoted(path));
  ASSERT_EQ(described.exitCode, 0);
  EXPECT_EQ(described.out, "23 17 " + std::to_string(c.depth));
  // PNG keeps pixels per metre, so 150 dpi comes back as 149.99.
  const auto resolution =
      RunTool("convert " + Quoted(path) + " -units PixelsPerInch -format '%x' info:");
  ASSERT_EQ(resolution.exitCode, 0);
  EXPECT_NEAR(std::stod(resolution.out), 150, 0.05) << resolution.out;
  // -depth 8 divides 16-bit values by 257, which gives back exactly the values scaled up.
  const auto pixels = RunTool("convert " + Quoted(path) + " -depth 8 rgba:-");
  ASSERT_EQ(pixels.exitCode, 0);
  EXPECT_EQ(pixels.out, TopDownRgba(picture));

  auto back = ReadStudioPicture(path);
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(back->pixels, picture);
  EXPECT_NEAR(back->dpi, 150, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Formats, StudioRoundTrip,
                         ::testing::Values(WriteCase{PictureFormat::Png, 8, 4, ".png"},
                                           WriteCase{PictureFormat::Png, 8, 3, ".png"},
                                           WriteCase{PictureFormat::Png, 16, 4, ".png"},
                                           WriteCase{PictureFormat::Png, 8, 1, ".png"},
                                           WriteCase{PictureFormat::Tiff, 8, 4, ".tif"},
                                           WriteCase{PictureFormat::Tiff, 8, 3, ".tif"},
                                           WriteCase{PictureFormat::Tiff, 16, 4, ".tif"},
                                           WriteCase{PictureFormat::Tiff, 16, 3, ".tif"}));

// The tags of a TIFF's first directory with each one's count of values, read by hand so that
// a binary tag is seen too: a time stamp there is a number, not the word "DateTime".
std::map<int, uint32_t> TiffTags(const std::vector<uint8_t>& file) {
  auto at = [&](std::size_t offset, int bytes) {
    const bool little = file[0] == 'I';
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const uint32_t byte = file.at(offset + std::size_t(little ? i : bytes - 1 - i));
      value |= byte << (8 * i);
    }
    return value;
  };
  std::map<int, uint32_t> tags;
  const std::size_t directory = at(4, 4);
  const uint32_t count = at(directory, 2);
  for (uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = directory + 2 + 12 * std::size_t(i);
    tags[int(at(entry, 2))] = at(entry + 4, 4);
  }
  return tags;
}

TEST(StudioPicture, TheSamePictureGivesTheSameBytesWithoutTimesOrProgramNames) {
  const Raster picture = MakePicture(9, 5, 4);
  for (PictureFormat format : {PictureFormat::Png, PictureFormat::Tiff, PictureFormat::Exr}) {
    SCOPED_TRACE(std::string(PictureFormatName(format)));
    StudioWriteOptions options{format, 8, FrameAlpha::Coverage, 300};
    auto first = EncodeStudioPicture(picture, options);
    auto second = EncodeStudioPicture(picture, options);
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_EQ(*first, *second);
    if (format == PictureFormat::Tiff) {
      const std::map<int, uint32_t> tags = TiffTags(*first);
      constexpr int kImageWidth = 256, kSoftware = 305, kDateTime = 306;
      EXPECT_EQ(tags.at(kImageWidth), 1u);  // the directory was read right
      EXPECT_FALSE(tags.contains(kSoftware));
      // Present at most as an empty text: its one value is the terminating zero.
      if (tags.contains(kDateTime)) {
        EXPECT_EQ(tags.at(kDateTime), 1u);
      }
    }
    const std::string text(first->begin(), first->end());
    for (const char* word : {"OpenImageIO", "OIIO", "Software", "DateTime", "tIME"})
      EXPECT_EQ(text.find(word), std::string::npos) << word;
    // The EXR writer insists on a capture date; it is left empty.
    const std::string date = std::string("capDate\0string\0", 15);
    if (const std::size_t at = text.find(date); at != std::string::npos) {
      EXPECT_EQ(text.substr(at + date.size(), 4), std::string(4, '\0'));
    }
  }
}

// ffmpeg's EXR decoder gives planar G, B, R, A floats, linear as stored.
std::vector<float> DecodeExr(const std::string& path, bool alpha) {
  const auto run = RunTool("ffmpeg -v error -i " + Quoted(path) + " -f rawvideo -pix_fmt " +
                           (alpha ? "gbrapf32le" : "gbrpf32le") + " -");
  EXPECT_EQ(run.exitCode, 0);
  std::vector<float> floats(run.out.size() / 4);
  std::memcpy(floats.data(), run.out.data(), floats.size() * 4);
  return floats;
}

struct ExrCase {
  int channels;
  FrameAlpha alpha;
  friend void PrintTo(const ExrCase& c, std::ostream* os) {
    *os << c.channels << " channels, " << (c.alpha == FrameAlpha::Coverage ? "coverage" : "matte");
  }
};

class ExrRoundTrip : public ::testing::TestWithParam<ExrCase> {};

TEST_P(ExrRoundTrip, FfmpegReadsLinearLightWithinHalfPrecision) {
  const ExrCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("frame.exr");
  const Raster picture = MakePicture(16, 16, c.channels);
  StudioWriteOptions options{PictureFormat::Exr, 8, c.alpha, 0};
  ASSERT_TRUE(WriteStudioPicture(path, picture, options, WriteMessages("x")).ok());
  const bool alpha = c.channels == 4;
  const std::vector<float> planes = DecodeExr(path, alpha);
  const std::size_t plane = 16 * 16;
  ASSERT_EQ(planes.size(), plane * (alpha ? 4 : 3));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint8_t* p = picture.At(x, 15 - y);  // ffmpeg's rows are top first
      const std::size_t at = std::size_t(y * 16 + x);
      const float a = alpha ? p[3] / 255.0f : 1.0f;
      const float weight = c.alpha == FrameAlpha::Coverage ? a : 1.0f;
      const float r = LinearFromSrgb(p[2] / 255.0f) * weight;
      const float g = LinearFromSrgb(p[1] / 255.0f) * weight;
      const float b = LinearFromSrgb(p[0] / 255.0f) * weight;
      const float tolerance = 1.0f / 1024;  // half floats keep 11 significant bits
      EXPECT_NEAR(planes[at], g, std::max(g, 1e-4f) * tolerance);
      EXPECT_NEAR(planes[plane + at], b, std::max(b, 1e-4f) * tolerance);
      EXPECT_NEAR(planes[2 * plane + at], r, std::max(r, 1e-4f) * tolerance);
      if (alpha) {
        EXPECT_NEAR(planes[3 * plane + at], a, a * tolerance + 1e-6f);
      }
    }
  const std::string bytes = [&] {
    auto data = testing::ReadBytes(path);
    return std::string(data.begin(), data.end());
  }();
  EXPECT_EQ(bytes.find("composer matte") != std::string::npos,
            alpha && c.alpha == FrameAlpha::ComposerMatte);
}

INSTANTIATE_TEST_SUITE_P(Alpha, ExrRoundTrip,
                         ::testing::Values(ExrCase{3, FrameAlpha::Coverage},
                                           ExrCase{4, FrameAlpha::Coverage},
                                           ExrCase{4, FrameAlpha::ComposerMatte}));

TEST(StudioPicture, AnExrReadsBackToTheTargaFormWithinALevel) {
  TempDir dir;
  const std::string path = dir.File("frame.exr");
  const Raster picture = MakePicture(32, 8, 4);
  ASSERT_TRUE(WriteStudioPicture(path, picture, {PictureFormat::Exr}, WriteMessages("x")).ok());
  auto back = ReadStudioPicture(path);
  ASSERT_TRUE(back.ok()) << back.message();
  ASSERT_EQ(back->pixels.channels(), 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint8_t* want = picture.At(x, y);
      const uint8_t* got = back->pixels.At(x, y);
      EXPECT_EQ(got[3], want[3]);
      // Colour divided back out of faint coverage loses what half floats could not keep.
      if (want[3] < 32) continue;
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 1) << x << "," << y;
    }
}

TEST(StudioPicture, FramePicturesTakeTheFormatsExtensionAndWriteTargaAsBefore) {
  EXPECT_EQ(WithPictureExtension("/out/walk0001.tga", PictureFormat::Exr), "/out/walk0001.exr");
  EXPECT_EQ(WithPictureExtension("/out.d/walk", PictureFormat::Tiff), "/out.d/walk.tif");
  EXPECT_EQ(PictureFormatOfPath("A.TIFF"), PictureFormat::Tiff);
  EXPECT_EQ(PictureFormatOfPath("a.jpg"), std::nullopt);
  EXPECT_EQ(ParsePictureFormat("tif"), std::nullopt);
  EXPECT_EQ(ParsePictureFormat("exr"), PictureFormat::Exr);
  TempDir dir;
  const Raster picture = MakePicture(4, 3, 4);
  ASSERT_TRUE(WriteFramePicture(dir.File("a.tga"), picture, {}, WriteMessages("x")).ok());
  const auto bytes = testing::ReadBytes(dir.File("a.tga"));
  ASSERT_EQ(bytes.size(), 18u + 4 * 3 * 4);
  EXPECT_TRUE(std::equal(picture.bytes().begin(), picture.bytes().end(), bytes.begin() + 18));
}

}  // namespace
}  // namespace quenda

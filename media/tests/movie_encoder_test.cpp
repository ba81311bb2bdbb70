// The H.264 and ProRes 4444 movies, read back by ffprobe and ffmpeg, which owe nothing to the
// encoder: codec, pixel format, colour tags, frame count, rate, pictures, alpha and sound.

#include "media/movie_encoder.h"

#include "common/scripted_prompt.h"
#include "common/thread_pool.h"
#include "media/encoded_movie_writer.h"
#include "testing/inner_threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr int kWidth = 63, kHeight = 47;  // odd both ways, as H.264 must pad

// Colour pictures with alpha, smooth as painted cels between their lines: gradients and a
// moving disc with a soft edge; transparent on the left, a ramp in the middle, opaque right.
Raster MakePicture(int frame) {
  Raster picture(kWidth, kHeight, 4);
  const double cx = kWidth * (0.3 + 0.08 * frame), cy = kHeight * 0.5, radius = kHeight * 0.3;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* p = picture.At(x, y);
      const double inside = std::clamp(radius - std::hypot(x - cx, y - cy), 0.0, 4.0) / 4;
      auto mix = [&](double out, double in) { return uint8_t(out + (in - out) * inside); };
      p[0] = mix(60 + 150.0 * x / kWidth, 40);
      p[1] = mix(60 + 150.0 * y / kHeight, 180);
      p[2] = mix(120 + 40 * std::sin((x + y + 7.0 * frame) / 9.0), 220);
      p[3] = uint8_t(x < 10 ? 0 : x < 30 ? (x - 10) * 12 : 255);
    }
  return picture;
}

PcmSound Tone(double seconds, int rate, int channels) {
  PcmSound sound{rate, channels, {}};
  for (int i = 0; i < int(seconds * rate); ++i)
    for (int c = 0; c < channels; ++c)
      sound.samples.push_back(float(0.5 * std::sin(2 * M_PI * 440.0 * i / rate)));
  return sound;
}

struct Case {
  const char* name;
  MovieCodec codec;
  FrameRate rate;
  const char* codecName;
  const char* pixelFormat;
  const char* profile;
  const char* soundCodec;
  int codedWidth, codedHeight;
  double minimumPsnr;
};

class Encoded : public ::testing::TestWithParam<Case> {};

TEST_P(Encoded, FfprobeAndFfmpegAgreeOnStreamsPicturesAndSound) {
  const Case& c = GetParam();
  TempDir dir;
  const std::string path = dir.File(c.codec == MovieCodec::H264 ? "m.mp4" : "m.mov");
  const int frames = 6, soundStart = 2;
  PcmSound tone = Tone(0.1, 44100, 2);
  MovieEncoderSettings settings;
  settings.codec = c.codec;
  settings.width = kWidth;
  settings.height = kHeight;
  settings.rate = c.rate;
  settings.sound = &tone;
  settings.soundStartFrame = soundStart;
  MovieEncoder encoder;
  ASSERT_TRUE(encoder.Open(path, settings).ok());
  EXPECT_EQ(encoder.paddedWidth(), c.codedWidth);
  EXPECT_EQ(encoder.paddedHeight(), c.codedHeight);
  std::vector<Raster> pictures;
  for (int f = 0; f < frames; ++f) {
    pictures.push_back(MakePicture(f));
    Status written = encoder.WriteFrame(pictures.back());
    ASSERT_TRUE(written.ok()) << written.message();
  }
  // Nothing at the target until the movie is finished.
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(encoder.Finish().ok());
  EXPECT_EQ(encoder.framesWritten(), frames);
  EXPECT_NEAR(encoder.seconds(), frames / c.rate.PerSecond(), 1e-9);

  auto streams = ProbeStreams(path);
  ASSERT_EQ(streams.size(), 2u);
  std::map<std::string, std::string>& video = streams[0];
  EXPECT_EQ(video["codec_name"], c.codecName);
  // FFmpeg's ProRes decoder gives 4444 as 10 or 12 bits by version; the alpha is what counts.
  EXPECT_TRUE(video["pix_fmt"].starts_with(c.pixelFormat)) << video["pix_fmt"];
  EXPECT_EQ(video["profile"], c.profile);
  EXPECT_EQ(video["color_space"], "bt709");
  EXPECT_EQ(video["color_primaries"], "bt709");
  EXPECT_EQ(video["color_transfer"], "bt709");
  EXPECT_EQ(video["color_range"], "tv");
  EXPECT_EQ(video["width"], std::to_string(c.codedWidth));
  EXPECT_EQ(video["height"], std::to_string(c.codedHeight));
  EXPECT_EQ(video["nb_read_frames"], std::to_string(frames));
  EXPECT_EQ(video["r_frame_rate"], FrameRateText(c.rate));
  EXPECT_NEAR(std::stod(video["duration"]), frames / c.rate.PerSecond(), 1e-3);
  EXPECT_EQ(streams[1]["codec_name"], c.soundCodec);
  EXPECT_EQ(streams[1]["sample_rate"], "48000");

  // First and last pictures within the codec's tolerance: ProRes in RGB with alpha within 2
  // levels; H.264 against ffmpeg's own 4:2:0 form of the picture over white, so that the test
  // measures the encoder and the colour tags, not the chroma sharing the format itself costs.
  if (c.codec == MovieCodec::ProRes4444) {
    std::vector<uint8_t> decoded = DecodedPictures(path, "rgba");
    const std::size_t size = std::size_t(kWidth) * kHeight * 4;
    ASSERT_EQ(decoded.size(), size * frames);
    for (int f : {0, frames - 1}) {
      std::vector<uint8_t> want = ShownPicture(pictures[std::size_t(f)], false, true);
      std::vector<uint8_t> gotColour, wantColour;
      for (std::size_t i = 0; i < size; i += 4) {
        EXPECT_NEAR(decoded[size * f + i + 3], want[i + 3], 2) << "alpha at byte " << i;
        for (std::size_t k = 0; k < 3; ++k) {
          gotColour.push_back(decoded[size * f + i + k]);
          wantColour.push_back(want[i + k]);
        }
      }
      EXPECT_GE(Psnr(gotColour, wantColour), c.minimumPsnr) << "frame " << f;
    }
  } else {
    std::vector<uint8_t> decoded = DecodedPictures(path, "yuv420p");
    const std::size_t size = std::size_t(c.codedWidth) * c.codedHeight * 3 / 2;
    ASSERT_EQ(decoded.size(), size * frames);
    for (int f : {0, frames - 1}) {
      std::vector<uint8_t> want =
          ReferenceYuv420(ShownPicture(pictures[std::size_t(f)], true, false), kWidth, kHeight,
                          c.codedWidth, c.codedHeight, dir.File("reference.rgb"));
      std::vector<uint8_t> got(decoded.begin() + long(size * f),
                               decoded.begin() + long(size * (f + 1)));
      EXPECT_GE(Psnr(got, want), c.minimumPsnr) << "frame " << f;
    }
    // The padding is the background: white is the top of the limited range (235), less what
    // the codec loses at the picture's corner.
    EXPECT_GE(decoded[std::size_t(c.codedWidth) * c.codedHeight - 1], 228);
  }

  // The tone starts under picture 2 and lasts its 0.1 seconds.
  auto [first, last] = LoudSpan(DecodedSound(path, 48000));
  const double start = soundStart / c.rate.PerSecond() * 48000;
  EXPECT_NEAR(first, start, 48);
  EXPECT_NEAR(last - first, 0.1 * 48000, 96);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, Encoded,
    ::testing::Values(
        Case{"H264", MovieCodec::H264, {24000, 1001}, "h264", "yuv420p", "High", "aac", 64, 48, 40},
        Case{"ProRes4444",
             MovieCodec::ProRes4444,
             {30000, 1001},
             "prores",
             "yuva444p",
             "4444",
             "pcm_s24le",
             63,
             47,
             45}),
    [](const auto& info) { return std::string(info.param.name); });

// Stopped after two of many pictures: a whole movie of those two, its sound cut at their end.
TEST(MovieEncoder, FinishedEarlyHoldsThePicturesWrittenAndTheSoundUpToThem) {
  TempDir dir;
  const std::string path = dir.File("short.mp4");
  PcmSound tone = Tone(5, 48000, 1);
  MovieEncoderSettings settings{MovieCodec::H264, 48, 32, {25, 1}};
  settings.sound = &tone;
  MovieEncoder encoder;
  ASSERT_TRUE(encoder.Open(path, settings).ok());
  Raster picture(48, 32, 3, 90);
  for (int f = 0; f < 2; ++f) ASSERT_TRUE(encoder.WriteFrame(picture).ok());
  ASSERT_TRUE(encoder.Finish().ok());
  EXPECT_DOUBLE_EQ(encoder.seconds(), 0.08);
  auto streams = ProbeStreams(path);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["nb_read_frames"], "2");
  EXPECT_NEAR(std::stod(streams[1]["duration"]), 0.08, 0.03);
  EXPECT_NEAR(double(DecodedSound(path, 48000).size()), 0.08 * 48000, 1100);
}

// The codec takes the frame's share of the cores unless told a count; a movie's bytes follow
// from the pictures and that count alone, and ProRes's do not depend on the count at all.
TEST(MovieEncoder, TheCodecsThreadsComeFromTheInnerThreadCount) {
  TempDir dir;
  const InnerThreadsRestored restored;
  Raster picture(64, 48, 3);
  for (std::size_t i = 0; i < picture.bytes().size(); ++i)
    picture.bytes()[i] = uint8_t(i * 7 % 251);
  auto encode = [&](MovieCodec codec, int inner, int given, const std::string& name) {
    SetInnerThreads(inner);
    MovieEncoderSettings settings{codec, 64, 48, {25, 1}};
    settings.threads = given;
    MovieEncoder encoder;
    EXPECT_TRUE(encoder.Open(dir.File(name), settings).ok());
    const int threads = encoder.codecThreads();
    for (int f = 0; f < 4; ++f) EXPECT_TRUE(encoder.WriteFrame(picture).ok());
    EXPECT_TRUE(encoder.Finish().ok());
    return std::pair(threads, ReadBytes(dir.File(name)));
  };
  for (MovieCodec codec : {MovieCodec::H264, MovieCodec::ProRes4444}) {
    const std::string ext = codec == MovieCodec::H264 ? ".mp4" : ".mov";
    const auto one = encode(codec, 1, 0, "one" + ext);
    const auto three = encode(codec, 3, 0, "three" + ext);
    const auto given = encode(codec, 5, 3, "given" + ext);
    EXPECT_EQ(std::tuple(one.first, three.first, given.first), std::tuple(1, 3, 3));
    EXPECT_EQ(given.second, three.second) << ext;
    if (codec == MovieCodec::ProRes4444) {
      EXPECT_EQ(one.second, three.second);
    }
  }
}

TEST(MovieEncoder, AFailureOrADiscardLeavesTheLastGoodMovie) {
  TempDir dir;
  const std::string path = dir.File("keep.mov");
  WriteBytes(path, {'o', 'l', 'd'});
  MovieEncoderSettings settings{MovieCodec::ProRes4444, 16, 16, {25, 1}};
  {
    MovieEncoder encoder;
    ASSERT_TRUE(encoder.Open(path, settings).ok());
    ASSERT_TRUE(encoder.WriteFrame(Raster(16, 16, 4)).ok());
    Status wrong = encoder.WriteFrame(Raster(8, 16, 4));
    EXPECT_EQ(wrong.message(),
              "Could not write the movie " + path + ": a picture of another size came in");
  }
  {
    MovieEncoder encoder;
    ASSERT_TRUE(encoder.Open(path, settings).ok());
    ASSERT_TRUE(encoder.WriteFrame(Raster(16, 16, 4)).ok());
    encoder.Discard();
  }
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"keep.mov"});
  MakeReadOnly(path);
  MovieEncoder encoder;
  EXPECT_EQ(encoder.Open(path, settings).message(),
            "Could not write the movie " + path + ": disk full or read only?");
  settings.width = 0;
  EXPECT_EQ(encoder.Open(dir.File("new.mp4"), settings).message(),
            "Could not write the movie " + dir.File("new.mp4") +
                ": the pictures are 0x16 pixels, outside 1 to 16384");
}

// The disk fills while the encoder's thread writes: the failure reaches the caller through a
// later picture or Finish, with the movie's name; nothing waits for ever and the last good movie
// stays.
TEST(MovieEncoder, ADiskThatFillsWhileEncodingIsToldAndLeavesTheLastGoodMovie) {
  TempDir dir;
  const std::string path = dir.File("full.mov");
  WriteBytes(path, {'o', 'l', 'd'});
  MovieEncoderSettings settings{MovieCodec::ProRes4444, 320, 240, {25, 1}};
  Raster noise(320, 240, 4);
  for (std::size_t i = 0; i < noise.bytes().size(); ++i)
    noise.bytes()[i] = uint8_t((i * 2654435761u) >> 13);
  Status failed;
  {
    FileSizeLimit full(256 * 1024);
    MovieEncoder encoder;
    ASSERT_TRUE(encoder.Open(path, settings).ok());
    for (int f = 0; f < 100 && failed.ok(); ++f) failed = encoder.WriteFrame(noise);
    if (failed.ok()) failed = encoder.Finish();
  }
  ASSERT_FALSE(failed.ok());
  EXPECT_TRUE(failed.message().starts_with("Could not write the movie " + path + ": "))
      << failed.message();
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"full.mov"});
}

TEST(MovieEncoder, RatesNamesAndPresets) {
  struct {
    const char* text;
    std::optional<FrameRate> rate;
  } const rates[] = {{"25", FrameRate{25, 1}},
                     {"24000/1001", FrameRate{24000, 1001}},
                     {"30000/1001", FrameRate{30000, 1001}},
                     {"1000", FrameRate{1000, 1}},
                     {"0", std::nullopt},
                     {"1001", std::nullopt},
                     {"1001/24000", std::nullopt},
                     {"25/0", std::nullopt},
                     {"25/", std::nullopt},
                     {"x", std::nullopt},
                     {"", std::nullopt},
                     {"-25", std::nullopt}};
  for (const auto& r : rates) {
    EXPECT_EQ(ParseFrameRate(r.text), r.rate) << r.text;
    if (r.rate) {
      EXPECT_EQ(FrameRateText(*r.rate), r.text);
    }
  }
  EXPECT_EQ(CodecForMovieName("a/b.MP4"), MovieCodec::H264);
  EXPECT_EQ(CodecForMovieName("b.mov"), MovieCodec::ProRes4444);
  EXPECT_EQ(CodecForMovieName("b.avi"), std::nullopt);
  EXPECT_EQ(CodecForMovieName("mp4"), std::nullopt);
  EXPECT_TRUE(IsMoviePreset("veryfast"));
  EXPECT_FALSE(IsMoviePreset("quick"));
}

TEST(EncodedMovieWriter, QualityBecomesTheCrfAndASkippedIndexRepeatsThePictureBefore) {
  struct {
    int quality, crf;
  } const table[] = {{-5, 51}, {0, 51}, {1000, 46}, {5000, 26}, {9900, 1}, {10000, 0}, {20000, 0}};
  for (const auto& row : table) EXPECT_EQ(CrfForQuality(row.quality), row.crf) << row.quality;

  TempDir dir;
  const std::string path = dir.File("flip.mp4");
  ScriptedPrompt prompt;
  EncodedMovieWriter writer(prompt);
  ASSERT_TRUE(writer.Open(path, 5000, 12, 48, 32));
  std::vector<uint8_t> sound(22050 / 2, 128);
  for (std::size_t i = 0; i < sound.size(); ++i)
    sound[i] = uint8_t(128 + 60 * std::sin(2 * M_PI * 440.0 * double(i) / 22050));
  ASSERT_TRUE(writer.WriteSound(Mono8BitFormat(22050), sound.data(), sound.size()));
  std::vector<uint8_t> picture = MakeColourPicture(48, 32, 0);
  for (int index : {0, 1, 4}) ASSERT_TRUE(writer.WriteFrame(index, picture.data()));
  EXPECT_FALSE(std::filesystem::exists(path));
  writer.Close();
  EXPECT_TRUE(writer.Succeeded());
  EXPECT_TRUE(prompt.shown().empty());
  auto streams = ProbeStreams(path);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["nb_read_frames"], "5");
  EXPECT_EQ(streams[0]["r_frame_rate"], "12/1");
  EXPECT_EQ(streams[1]["codec_name"], "aac");
  auto [first, last] = LoudSpan(DecodedSound(path, 48000));
  EXPECT_NEAR(first, 0, 48);
  EXPECT_NEAR(last, 0.41 * 48000, 480);  // the movie's end cuts the half second of sound

  // Out of order: said, and the last good movie stays.
  ASSERT_TRUE(writer.Open(path, 5000, 12, 48, 32));
  ASSERT_TRUE(writer.WriteFrame(3, picture.data()));
  EXPECT_FALSE(writer.WriteFrame(2, picture.data()));
  ASSERT_EQ(prompt.shown().size(), 1u);
  EXPECT_EQ(prompt.shown()[0].text,
            "Could not write the movie " + path + ": the frames are out of order");
  writer.Close();
  EXPECT_FALSE(writer.Succeeded());
  EXPECT_EQ(ProbeStreams(path)[0]["nb_read_frames"], "5");
}

}  // namespace
}  // namespace quenda

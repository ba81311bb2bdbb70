// The movie reader on the MP4 and MOV movies the programs export: their frames by index, also
// after seeking back, their rate, and their sound decoded to 16-bit PCM for the player.

#include <gtest/gtest.h>

#include <cmath>

#include "media/movie_encoder.h"
#include "media/movie_reader.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

class EncodedMovies : public ::testing::TestWithParam<const char*> {};

TEST_P(EncodedMovies, FramesByIndexRateAndSound) {
  TempDir dir;
  const std::string path = dir.File(GetParam());
  constexpr int kWidth = 64, kHeight = 48, kFrames = 12;
  PcmSound tone{44100, 2, {}};
  for (int i = 0; i < 44100 / 5; ++i)
    for (int c = 0; c < 2; ++c) tone.samples.push_back(float(0.5 * std::sin(i * 0.06)));
  MovieEncoderSettings settings{*CodecForMovieName(path), kWidth, kHeight, {30000, 1001}};
  settings.sound = &tone;
  MovieEncoder encoder;
  ASSERT_TRUE(encoder.Open(path, settings).ok());
  std::vector<std::vector<uint8_t>> pictures;
  for (int f = 0; f < kFrames; ++f) {
    pictures.push_back(MakeColourPicture(kWidth, kHeight, f));
    Raster picture(kWidth, kHeight, 3, pictures.back());
    ASSERT_TRUE(encoder.WriteFrame(picture).ok());
  }
  ASSERT_TRUE(encoder.Finish().ok());

  Result<std::unique_ptr<MovieReader>> opened = MovieReader::Open(path);
  ASSERT_TRUE(opened.ok()) << opened.message();
  MovieReader& movie = **opened;
  EXPECT_EQ(movie.frameCount(), kFrames);
  EXPECT_EQ(movie.width(), kWidth);
  EXPECT_EQ(movie.height(), kHeight);
  EXPECT_NEAR(movie.framesPerSecond(), 30000 / 1001.0, 1e-9);
  std::vector<uint8_t> shown(std::size_t(kWidth) * kHeight * 3);
  // Every frame is the one written, in order, then back to an earlier one.
  for (int f : {0, 1, 5, 11, 3, 0}) {
    ASSERT_TRUE(movie.ReadFrame(f, shown.data()).ok()) << f;
    double nearest = 1e9;
    int which = -1;
    for (int g = 0; g < kFrames; ++g)
      if (double e = MeanAbsoluteError(shown, pictures[std::size_t(g)]); e < nearest)
        nearest = e, which = g;
    EXPECT_EQ(which, f);
    EXPECT_LT(nearest, 10.0) << f;  // the fine texture loses some to 4:2:0 colour
  }
  ASSERT_TRUE(movie.hasSound());
  EXPECT_EQ(movie.soundFormat().bitsPerSample, 16);
  EXPECT_EQ(movie.soundFormat().channels, 2);
  Result<std::vector<uint8_t>> sound = movie.ReadSound();
  ASSERT_TRUE(sound.ok());
  // The fifth of a second of sound, whole.
  const double seconds = double(sound->size()) / movie.soundFormat().averageBytesPerSecond;
  EXPECT_NEAR(seconds, 0.2, 0.025);
}

INSTANTIATE_TEST_SUITE_P(Containers, EncodedMovies, ::testing::Values("m.mp4", "m.mov"),
                         [](const auto& info) { return std::string(info.param).substr(2); });

}  // namespace
}  // namespace quenda

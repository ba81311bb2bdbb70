#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "media/movie_encoder.h"

#include "cli/tests/tool_run.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"
#include "testing/text_lines.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

TEST(InfoCommand, MovieStreamsSizeRateAndCountsOrThePlayersRefusal) {
  TempDir dir;
  MoviePlan plan;
  plan.frames = 4;
  plan.framesPerSecond = 12;
  plan.soundBytes = 5001;
  plan.soundRate = 11025;
  WriteMovie(dir.File("Flip.AVI"), plan);
  ToolOutput run = ExpectRun({"info", dir.File("Flip.AVI")}, 0, "");
  for (const char* line :
       {"video: mjpeg 47 x 33", "rate: 12 / 1 (12 frames per second)", "frames: 4",
        "stream name: Quenda Avi Preview",
        "sound: pcm_u8, 1 channel, 8 bits, 11025 samples per second", "sound samples: 5001"})
    EXPECT_TRUE(HasLine(run.out, line)) << run.out;

  plan.soundBytes = 0;
  WriteMovie(dir.File("silent.avi"), plan);
  run = ExpectRun({"info", dir.File("silent.avi")}, 0, "");
  EXPECT_TRUE(HasLine(run.out, "sound: none")) << run.out;
}

// A file that is no movie, whatever its name, or none at all gets the player's message.
TEST(InfoCommand, AMovieItCannotReadGetsThePlayersMessage) {
  TempDir dir;
  const std::string corrupt =
      ": AVIERROR : The file couldn't be read, indicating a corrupt file or an unrecognized "
      "format.\n";
  const struct {
    const char* name;
    const char* bytes;  // none: the file is not there
    std::string message;
  } kCases[] = {
      {"junk.avi", "RIFF but not a movie at all", corrupt},
      {"junk.mp4", "ftyp but not a movie at all", corrupt},
      {"gone.mov", nullptr, ": AVIERROR : A disk error occurred while opening the file. \n"},
  };
  for (const auto& c : kCases) {
    if (c.bytes) WriteText(dir.File(c.name), c.bytes);
    ExpectRun({"info", dir.File(c.name)}, 1, "quenda info: " + dir.File(c.name) + c.message, "");
  }
}

struct EncodedCase {
  const char* name;
  FrameRate rate;
  bool withSound;
  bool alpha;
  std::vector<std::string> lines;
};

class EncodedMovieInfo : public ::testing::TestWithParam<EncodedCase> {};

// Six pictures of 63 x 47 written by the suite's encoder; ffprobe's reading of the same file is
// the check that the figures are the stored ones.
TEST_P(EncodedMovieInfo, CodecPixelFormatSizeRateCountLengthAndSound) {
  const EncodedCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File(c.name);
  PcmSound tone{48000, 2, {}};
  for (int i = 0; i < 48000 / 5; ++i)
    for (int k = 0; k < 2; ++k) tone.samples.push_back(float(0.4 * std::sin(i * 0.05)));
  MovieEncoderSettings settings{*CodecForMovieName(path), 63, 47, c.rate};
  if (c.withSound) settings.sound = &tone;
  MovieEncoder encoder;
  ASSERT_TRUE(encoder.Open(path, settings).ok());
  for (int f = 0; f < 6; ++f)
    ASSERT_TRUE(encoder.WriteFrame(Raster(63, 47, 4, uint8_t(40 * f))).ok());
  ASSERT_TRUE(encoder.Finish().ok());

  ToolOutput run = ExpectRun({"info", path}, 0, "");
  for (const std::string& line : c.lines)
    EXPECT_TRUE(HasLine(run.out, line)) << line << "\n" << run.out;
  // FFmpeg's ProRes decoder names 4444 as 10 or 12 bits by version, so ffprobe says which.
  auto streams = ProbeStreams(path);
  ASSERT_FALSE(streams.empty());
  EXPECT_TRUE(HasLine(run.out, "pixel format: " + streams[0]["pix_fmt"] +
                                   (c.alpha ? ", with alpha" : ", no alpha")))
      << run.out;
  // The sound's length as ffprobe reads it: AAC keeps whole blocks of samples.
  if (!c.withSound) return;
  ASSERT_EQ(streams.size(), 2u);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", std::stod(streams[1]["duration"]));
  EXPECT_TRUE(HasLine(
      run.out, "sound: aac, 2 channels, 48000 samples per second, " + std::string(seconds) + " s"))
      << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Containers, EncodedMovieInfo,
    ::testing::Values(
        EncodedCase{"review.MP4",
                    {24000, 1001},
                    true,
                    false,
                    {"video: h264 (High) 64 x 48", "rate: 24000 / 1001 (23.976 frames per second)",
                     "frames: 6", "duration: 0.25 s"}},
        EncodedCase{"edit.mov",
                    {25, 1},
                    false,
                    true,
                    {"video: prores (4444) 63 x 47", "rate: 25 / 1 (25.000 frames per second)",
                     "frames: 6", "duration: 0.24 s", "sound: none"}}),
    [](const auto& info) { return std::string(info.param.name).substr(0, 4); });

}  // namespace
}  // namespace quenda::cli

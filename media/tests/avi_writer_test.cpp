#include "media/avi_writer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <tuple>

#include "common/file_io.h"
#include "common/scripted_prompt.h"
#include "media/avi_quality.h"
#include "media/movie_reader.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

std::unique_ptr<MovieReader> OpenMovie(const std::string& path) {
  auto opened = MovieReader::Open(path);
  EXPECT_TRUE(opened.ok()) << opened.message();
  if (!opened) return nullptr;
  EXPECT_TRUE(opened.value()->OpenDecoder().ok());
  return std::move(opened.value());
}

TEST(AviWriter, ThreeFramesAt25ReadBackAtTheirRateAndSize) {
  TempDir dir;
  const std::string path = dir.File("walk.avi");
  MoviePlan plan;  // 47 x 33, odd on both sides
  WriteMovie(path, plan);
  auto movie = OpenMovie(path);
  ASSERT_TRUE(movie);
  EXPECT_EQ(std::tuple(movie->frameCount(), movie->rate(), movie->scale(), movie->width(),
                       movie->height(), movie->hasSound()),
            std::tuple(3, 25, 1, 47, 33, false));
  EXPECT_EQ(movie->streamName(), "Quenda Avi Preview");

  std::vector<uint8_t> frame(47 * 33 * 3);
  EXPECT_FALSE(movie->ReadFrame(3, frame.data()).ok());
  EXPECT_FALSE(movie->ReadFrame(-1, frame.data()).ok());
}

TEST(AviWriter, LowerQualityMakesSmallerFiles) {
  TempDir dir;
  const MoviePlan best{.width = 320, .height = 240, .frames = 4};
  MoviePlan worst = best, middle = best;
  worst.quality = 0;
  middle.quality = 5000;
  auto write = [&](const char* name, const MoviePlan& plan) {
    WriteMovie(dir.File(name), plan);
    return (long long)FileSize(dir.File(name)).value_or(0);
  };
  const long long bestSize = write("best.avi", best), middleSize = write("middle.avi", middle),
                  worstSize = write("worst.avi", worst);
  std::printf("sizes: best %lld, middle %lld, worst %lld bytes\n", bestSize, middleSize, worstSize);
  EXPECT_LT(worstSize * 3, bestSize);
  EXPECT_LT(middleSize, bestSize);
  EXPECT_LT(worstSize, middleSize);
}

TEST(AviWriter, QualityScaleRunsMonotonicallyOverTheQuantiser) {
  EXPECT_EQ(std::tuple(QuantiserForQuality(0), QuantiserForQuality(-5), QuantiserForQuality(10000),
                       QuantiserForQuality(20000)),
            std::tuple(kQuantiserCoarsest, kQuantiserCoarsest, kQuantiserFinest, kQuantiserFinest));
  for (int quality = 1; quality <= 10000; ++quality)
    EXPECT_LE(QuantiserForQuality(quality), QuantiserForQuality(quality - 1)) << quality;
}

TEST(AviWriter, SoundStreamHoldsExactlyTheBlockWhetherShorterOrLongerThanThePictures) {
  TempDir dir;
  for (std::size_t bytes : {std::size_t(1), std::size_t(3001), std::size_t(50021)}) {
    const std::string path = dir.File("sound" + std::to_string(bytes) + ".avi");
    // 0.4 s, 8820 samples at 22050.
    const MoviePlan plan{.frames = 10, .soundBytes = bytes};
    WriteMovie(path, plan);
    auto movie = OpenMovie(path);
    ASSERT_TRUE(movie);
    ASSERT_TRUE(movie->hasSound());
    EXPECT_EQ(movie->soundFormat(), testing::Mono8BitFormat(22050));
    auto sound = movie->ReadSound();
    ASSERT_TRUE(sound.ok()) << sound.message();
    EXPECT_EQ(*sound, testing::MakeSoundBlock(bytes)) << bytes;
    EXPECT_EQ(movie->frameCount(), 10);
  }
}

TEST(AviWriter, AnIndependentReaderAgreesOnStreamsCountsAndRates) {
  if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffprobe";
  TempDir dir;
  const std::string path = dir.File("probe.avi");
  WriteMovie(path, {.width = 48,
                    .height = 36,
                    .framesPerSecond = 12,
                    .frames = 7,
                    .soundBytes = 11025,
                    .soundRate = 11025});
  auto streams = testing::ProbeStreams(path);
  ASSERT_EQ(streams.size(), 2u);
  // The sound's frame count is the header's sample count: one per byte.
  const std::vector<std::vector<std::string>> kExpected = {
      {"codec_type=video", "codec_name=mjpeg", "width=48", "height=36", "r_frame_rate=12/1",
       "time_base=1/12", "nb_frames=7", "nb_read_frames=7", "TAG:title=Quenda Avi Preview"},
      {"codec_type=audio", "codec_name=pcm_u8", "sample_rate=11025", "channels=1",
       "nb_frames=11025"}};
  for (std::size_t stream = 0; stream < kExpected.size(); ++stream)
    for (const std::string& field : kExpected[stream]) {
      const std::string key = field.substr(0, field.find('='));
      EXPECT_EQ(key + "=" + streams[stream][key], field) << stream;
    }
}

// Closing twice changes nothing, and a closed writer takes nothing more.
TEST(AviWriter, SkippedIndicesRepeatThePreviousPictureAndClosingIsIdempotent) {
  TempDir dir;
  ScriptedPrompt prompt;
  {
    AviWriter writer(prompt);
    ASSERT_TRUE(writer.Open(dir.File("gap.avi"), 10000, 25, 47, 33));
    ASSERT_TRUE(writer.WriteFrame(0, MakeColourPicture(47, 33, 0).data()));
    ASSERT_TRUE(writer.WriteFrame(2, MakeColourPicture(47, 33, 2).data()));
    writer.Close();
    const auto bytes = ReadBytes(dir.File("gap.avi"));
    writer.Close();
    EXPECT_TRUE(writer.Succeeded());
    EXPECT_FALSE(writer.WriteFrame(3, MakeColourPicture(47, 33, 3).data()));
    EXPECT_EQ(ReadBytes(dir.File("gap.avi")), bytes);
  }
  EXPECT_TRUE(prompt.Texts().empty());
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"gap.avi"});
  auto movie = OpenMovie(dir.File("gap.avi"));
  ASSERT_TRUE(movie);
  ASSERT_EQ(movie->frameCount(), 3);
  std::vector<uint8_t> frame(47 * 33 * 3);
  for (int i : {1, 0, 2, 1}) {  // also backwards, which seeks
    ASSERT_TRUE(movie->ReadFrame(i, frame.data()).ok()) << i;
    EXPECT_LT(MeanAbsoluteError(frame, MakeColourPicture(47, 33, i == 1 ? 0 : i)), 2.0) << i;
  }
}

const std::string kUnknown = "An unknown error has occured with avi file.";
const std::string kUnsupported = "The system does not support the required compression";
const std::string kFileOpen = "A disk error occurred while opening the avi file.";

TEST(AviWriter, FailuresShowTheirMessageAndNeverReplaceTheLastGoodMovie) {
  TempDir dir;
  const std::string good = dir.File("good.avi");
  WriteMovie(good, MoviePlan{});
  const auto goodBytes = ReadBytes(good);
  auto picture = MakeColourPicture(47, 33, 0);

  auto block = testing::MakeSoundBlock(100);
  WaveFormat odd = testing::Mono8BitFormat(22050);
  odd.bitsPerSample = 12;
  const struct {
    const char* what;
    int firstFrame;  // written before the step; -1 for none
    std::function<bool(AviWriter&)> step;
    std::string message;
  } cases[] = {
      {"a picture out of order", 3, [&](AviWriter& w) { return w.WriteFrame(3, picture.data()); },
       kUnknown},
      {"a gap so wide that its empty frames alone would fill the disk", 0,
       [&](AviWriter& w) { return w.WriteFrame(100001, picture.data()); }, kUnknown},
      {"sound after pictures", 0,
       [&](AviWriter& w) {
         return w.WriteSound(testing::Mono8BitFormat(22050), block.data(), 100);
       },
       kUnknown},
      {"sound the suite cannot store", -1,
       [&](AviWriter& w) { return w.WriteSound(odd, block.data(), 100); }, kUnsupported},
  };
  for (const auto& c : cases) {  // each ends the movie; the last good one stays
    ScriptedPrompt prompt;
    AviWriter writer(prompt);
    ASSERT_TRUE(writer.Open(good, 10000, 25, 47, 33));
    if (c.firstFrame >= 0) {
      ASSERT_TRUE(writer.WriteFrame(c.firstFrame, picture.data()));
    }
    EXPECT_FALSE(c.step(writer)) << c.what;
    EXPECT_EQ(prompt.Texts(), std::vector{c.message}) << c.what;
    EXPECT_FALSE(writer.WriteFrame(4, picture.data())) << c.what;
    writer.Close();
    EXPECT_FALSE(writer.Succeeded()) << c.what;
    EXPECT_EQ(prompt.Texts().size(), 1u) << c.what;
  }
  EXPECT_EQ(ReadBytes(good), goodBytes);
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"good.avi"});
}

TEST(AviWriter, UnusableTargetsAreRefusedAndWritingAfterwardsTouchesNothing) {
  TempDir dir;
  const std::string readOnly = dir.File("kept.avi");
  WriteMovie(readOnly, MoviePlan{});
  const auto keptBytes = ReadBytes(readOnly);
  MakeReadOnly(readOnly);
  const std::string lockedDir = dir.File("locked");
  ASSERT_EQ(mkdir(lockedDir.c_str(), 0755), 0);
  MakeReadOnly(lockedDir);

  struct Case {
    std::string path;
    int width;
    int framesPerSecond;
    std::string message;
  } cases[] = {
      {readOnly, 47, 25, "The avi file is read only."},
      {dir.File("missing/movie.avi"), 47, 25, kFileOpen},
      {lockedDir + "/movie.avi", 47, 25, kFileOpen},
      {dir.path(), 47, 25, kFileOpen},  // a directory, not a file
      {readOnly, 0, 25, kUnsupported},
      {readOnly, 47, 0, kUnsupported},
  };
  auto picture = MakeColourPicture(47, 33, 0);
  for (const Case& c : cases) {
    ScriptedPrompt prompt;
    AviWriter writer(prompt);
    EXPECT_FALSE(writer.Open(c.path, 10000, c.framesPerSecond, c.width, 33)) << c.path;
    EXPECT_EQ(prompt.Texts(), std::vector{c.message}) << c.path;
    EXPECT_FALSE(writer.WriteFrame(0, picture.data()));
    writer.Close();
    EXPECT_EQ(prompt.Texts().size(), 1u);
  }
  EXPECT_EQ(ReadBytes(readOnly), keptBytes);
  EXPECT_EQ(ListDirectory(lockedDir + "/"), std::vector<std::string>{});
  MakeWritable(lockedDir);
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{"kept.avi", "locked"}));
}

}  // namespace
}  // namespace quenda

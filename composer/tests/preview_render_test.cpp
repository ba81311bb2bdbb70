#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "composer/core/preview.h"
#include "composer/core/render_output.h"
#include "composer/tests/composer_test_files.h"
#include "testing/recording_movie_writer.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using testing::MovieOf;
using testing::RecordingMovieWriter;

TEST(Preview, PictureSizesRateAndStep) {
  Composition c = MovieOf(720, 576, 9);
  for (int scaling : {0, 1, 2}) {
    BufferSize picture = PreviewPictureSize(720, 576, scaling);
    BufferSize buffer = BufferSizeAt(720, 576, scaling);
    EXPECT_EQ(std::tuple(picture.width, picture.height), std::tuple(buffer.width, buffer.height));
  }
  RecordingMovieWriter writer;
  ScriptedPrompt prompt;
  NullProgress progress;
  PreviewSettings settings = DefaultPreviewSettings(c);
  settings.step = 2;
  PreviewResult result =
      GeneratePreview(c, settings, "/tmp/none/preview.avi", writer, prompt, progress);
  EXPECT_EQ(std::tuple(result.outcome, writer.width, writer.height, writer.rate, writer.quality,
                       writer.closes),
            std::tuple(PreviewOutcome::Finished, 364, 288, 12, 5000, 1));
  EXPECT_EQ(writer.indices, (std::vector<int>{0, 1, 2, 3, 4}));  // frames 1, 3, 5, 7, 9
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST(Preview, DialogRules) {
  Composition c = MovieOf(100, 100, 40);
  c.frameRate = 24;
  // Start, end and step before and after.
  const std::tuple<int, int, int, int, int, int> cases[] = {{0, 500, 0, 1, 40, 1},
                                                            {30, 20, 99, 20, 20, 24}};
  for (auto [start, end, step, wantStart, wantEnd, wantStep] : cases) {
    PreviewSettings n = NormalizePreviewSettings({5000, 1, start, end, step}, c);
    EXPECT_EQ(std::tuple(n.startFrame, n.endFrame, n.step),
              std::tuple(wantStart, wantEnd, wantStep));
  }
}

TEST(Preview, StopAsksAndNoGoesOn) {
  Composition c = MovieOf(64, 48, 6);
  RecordingMovieWriter writer;
  ScriptedPrompt prompt;
  prompt.QueueAnswer(false);  // frame 2: go on
  prompt.QueueAnswer(true);   // frame 3: stop
  ScriptedProgress progress(1);
  PreviewResult result =
      GeneratePreview(c, DefaultPreviewSettings(c), "/tmp/p.avi", writer, prompt, progress);
  EXPECT_EQ(std::tuple(result.outcome, writer.frames.size(), writer.closes),
            std::tuple(PreviewOutcome::Stopped, 3u, 1));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"Do you want to stop generating preview?",
                                                      "Do you want to stop generating preview?",
                                                      "Stopped after Frame : 3"}));
  EXPECT_EQ(std::tuple(progress.captions[0], progress.captions[1], progress.percents[1]),
            std::tuple("Preparing Avi Preview...", "Preparing Frame : 1", 16));
  EXPECT_EQ(progress.captions.back(), "Preparing Frame : 3");
  // Each frame is composited under the text that says so.
  EXPECT_EQ(progress.stages, (std::vector<std::string>{"Preparing Avi Preview...", "Compositing...",
                                                       "Compositing...", "Compositing..."}));
}

TEST(Preview, OpenAndWriteFailures) {
  Composition c = MovieOf(64, 48, 4);
  ScriptedPrompt prompt;
  NullProgress progress;
  RecordingMovieWriter closed;
  closed.opens = false;
  EXPECT_EQ(
      GeneratePreview(c, DefaultPreviewSettings(c), "/tmp/p.avi", closed, prompt, progress).outcome,
      PreviewOutcome::CouldNotOpen);
  RecordingMovieWriter full;
  full.failFrameAt = 2;
  PreviewResult result =
      GeneratePreview(c, DefaultPreviewSettings(c), "/tmp/p.avi", full, prompt, progress);
  EXPECT_EQ(std::tuple(result.outcome, result.framesWritten, full.closes),
            std::tuple(PreviewOutcome::WriteFailed, 2, 1));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Unable to create an avi preview file",
                                      "Problem Writing flipbook to disk, Disk Full?"}));
}

class Render : public ::testing::Test {
 protected:
  Render() : c(MovieOf(47, 33, 6)) {
    testing::WriteClipImage(dir.File("spot.tga"), 15, 11, 32, 4);
    ClipRecord clip = testing::StillClip(dir.path(), "spot", 0, 0);
    clip.tracks[kPositionX] = KeyTrack({{0, 5, 0, 0}, {5, 40, 0, 0}});
    clip.tracks[kPositionY] = KeyTrack({{0, 4, 0, 0}, {5, 30, 0, 0}});
    c.clips = {clip};
    c.backgroundColor = 0x00336699;
    settings = DefaultRenderOutputSettings(c);
    settings.directory = dir.path() + "out/";
    settings.name = "shot";
    std::filesystem::create_directories(settings.directory);
  }
  testing::TempDir dir;
  Composition c;
  RenderOutputSettings settings;
  ScriptedPrompt prompt;
  NullProgress progress;
};

TEST_F(Render, NamesAndSplitRunsWriteTheSameFilesAndStopAndWriteFailuresEndThem) {
  settings.startNumber = 7;
  EXPECT_EQ(RenderFilePath(settings, 1), settings.directory + "shot0007.tga");
  EXPECT_EQ(RenderFilePath(settings, 6), settings.directory + "shot0012.tga");
  RenderOutputSettings plain = settings;
  plain.leadingZeros = false;
  EXPECT_EQ(RenderFilePath(plain, 4), settings.directory + "shot10.tga");
  settings.matte = true;
  ASSERT_EQ(RenderFrames(c, settings, prompt, progress).filesWritten, 6);
  std::vector<std::vector<uint8_t>> whole;
  for (int f = 1; f <= 6; ++f) whole.push_back(testing::ReadBytes(RenderFilePath(settings, f)));
  std::filesystem::remove_all(settings.directory);
  std::filesystem::create_directories(settings.directory);
  ASSERT_EQ(RenderFrames(c, settings, prompt, progress, 4, 6).filesWritten, 3);
  ASSERT_EQ(RenderFrames(c, settings, prompt, progress, 1, 3).filesWritten, 3);
  for (int f = 1; f <= 6; ++f)
    EXPECT_EQ(testing::ReadBytes(RenderFilePath(settings, f)), whole[std::size_t(f - 1)]) << f;
  EXPECT_NE(whole[0], whole[5]);
  // STOP, and a folder that is not there.
  ScriptedProgress stopAtOnce(0);
  prompt.QueueAnswer(true);
  RenderOutputResult stopped = RenderFrames(c, settings, prompt, stopAtOnce);
  EXPECT_EQ(std::tuple(stopped.outcome, stopped.filesWritten),
            std::tuple(RenderOutputOutcome::Stopped, 1));
  settings.directory = dir.path() + "missing/";
  RenderOutputResult failed = RenderFrames(c, settings, prompt, progress);
  EXPECT_EQ(failed.outcome, RenderOutputOutcome::WriteFailed);
  EXPECT_EQ(prompt.Texts().back(),
            "Could not write " + dir.path() + "missing/shot0007.tga, disk full or read only?");
  EXPECT_EQ(OutputDirectoryFromPick("/a/b/c.tga"), "/a/b/");
  RenderOutputSettings odd = settings;
  odd.frameStart = 9;
  odd.frameEnd = 0;
  RenderOutputSettings n = NormalizeRenderOutputSettings(odd, c);
  EXPECT_EQ(std::tuple(n.frameStart, n.frameEnd), std::tuple(1, 1));
}

TEST_F(Render, MatteBecomesTheAlphaOfA32BitFileAndFieldsInterleaveTwoHalfFrames) {
  settings.matte = true;
  Raster picture = RenderPicture(c, settings, 1);
  ComposeOptions options{0, true, true, 0};
  FrameBuffer frame = ComposeFrame(c, 0, options);
  ASSERT_EQ(picture.channels(), 4);
  bool someCovered = false, someBare = false;
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) {
      uint8_t alpha = picture.bytes()[std::size_t((y * 47 + x) * 4 + 3)];
      ASSERT_EQ(alpha, frame.matte[std::size_t(y * frame.width + x)]);
      ASSERT_EQ(picture.bytes()[std::size_t((y * 47 + x) * 4)],
                frame.bgr[std::size_t((y * frame.width + x) * 3)]);
      (alpha ? someCovered : someBare) = true;
    }
  EXPECT_TRUE(someCovered && someBare);
  ASSERT_EQ(RenderFrames(c, settings, prompt, progress, 1, 1).filesWritten, 1);
  Result<Raster> read = ReadTarga(RenderFilePath(settings, 1), TargaReader::PanoramaBackground);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, picture);  // 32-bit, as stored
  settings.matte = false;
  ASSERT_EQ(RenderFrames(c, settings, prompt, progress, 1, 1).filesWritten, 1);
  Result<Raster> plain = ReadTarga(RenderFilePath(settings, 1), TargaReader::PanoramaBackground);
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(*plain, RenderPicture(c, settings, 1));  // 24-bit
  // Fields interleave two half frames.
  settings.fields = true;
  settings.best = false;
  ComposeOptions whole{0, false, false, 0}, half{0, false, false, 0.5};
  FrameBuffer at = ComposeFrame(c, 2, whole), later = ComposeFrame(c, 2, half);
  ASSERT_NE(at.bgr, later.bgr);
  for (FieldOrder order : {FieldOrder::Odd, FieldOrder::Even}) {
    settings.fieldOrder = order;
    Raster picture = RenderPicture(c, settings, 3);
    for (int row = 0; row < 33; ++row) {
      bool topLineOdd = (33 - row) % 2 == 1;
      const FrameBuffer& expected = (topLineOdd == (order == FieldOrder::Odd)) ? at : later;
      for (int col = 0; col < 47; ++col)
        ASSERT_EQ(picture.bytes()[std::size_t((row * 47 + col) * 3 + 1)],
                  expected.bgr[std::size_t((row * expected.width + col) * 3 + 1)])
            << row << "," << col;
    }
  }
}

}  // namespace
}  // namespace quenda

// Flipbooks: picture size and scale, the sound block, the frame loop and its stops and
// failures, and the last flipbook's commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/flipbook.h"
#include "dopegrid/tests/painted_frames.h"
#include "testing/recording_movie_writer.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(FlipbookGeometry, LandscapePortraitAndSliverFrames) {
  const struct {
    CommonFrame frame;
    int size, width, height;
  } cases[] = {
      {{0, 0, 999, 499}, 400, 404, 200},     // 1000 x 500
      {{10, -20, 509, 979}, 400, 204, 400},  // 500 x 1000
      {{0, 0, 9999, 1}, 50, 52, 1},
  };
  for (const auto& c : cases) {
    FlipbookGeometry g = FlipbookGeometryFor(c.frame, c.size);
    EXPECT_EQ(std::tuple(g.width, g.height), std::tuple(c.width, c.height)) << c.frame.maxX;
  }
  EXPECT_EQ(FlipbookGeometryFor({0, 0, 999, 499}, 400).scale,
            std::min(200.0f / 499.0f, 400.0f / 999.0f));
}

class Flipbook : public PaintedSheet {
 protected:
  // Ten frames of one sequence on level 0: drawing i is a flat grey of 20 * i.
  void SetUp() override {
    for (int i = 1; i <= 10; ++i)
      WritePaintedFrame(dir.path(), "Ann", i, FlatDrawing(8, 4, uint8_t(20 * i)));
    sequences[0] = SequenceOf(dir.path(), "Ann");
    for (int f = 0; f < 10; ++f) sheet.Cell(0, f) = {CellKind::Key, 0, f};
    settings.levels = {0};
    settings.lastFrame = 9;
    settings.size = 16;
    sound.loaded = true;
    sound.format.samplesPerSecond = sound.format.averageBytesPerSecond = 250;  // 10 per frame
    sound.samples.assign(100, 200);
    sound.startFrame = 5;
  }
  FlipbookOutcome Run(Progress& shown, RecordingMovieWriter& out, bool withSound = true) {
    return GenerateFlipbook(settings, source, withSound ? &sound : nullptr, out, moviePath, prompt,
                            shown);
  }
  FlipbookOutcome Run() { return Run(progress, writer); }

  FlipbookSettings settings;
  SoundTrack sound;
  RecordingMovieWriter writer;
  std::string moviePath = dir.File("preview.avi");
};

TEST_F(Flipbook, WritesEveryFrameAfterTheSoundWithItsSilence) {
  WriteText(moviePath, "old movie");
  EXPECT_EQ(Run(), FlipbookOutcome::Finished);
  EXPECT_FALSE(std::filesystem::exists(moviePath));  // the old one is deleted first
  // Width 16, grown by 4.
  EXPECT_EQ(std::tie(writer.path, writer.quality, writer.rate, writer.width, writer.height,
                     writer.closes),
            std::tuple(moviePath, 5000, 25, 20, 8, 1));
  ASSERT_EQ(writer.sound.size(), 100u);
  EXPECT_EQ(std::tuple(writer.sound[39], writer.sound[40]), std::tuple(kFlipbookSilence, 200));
  EXPECT_EQ(writer.indices, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // Scale 2: output pixel (5, 3) shows drawing pixel (2, 1); beyond the drawing stays white.
  EXPECT_EQ(std::tuple(writer.frames[2][(3 * 20 + 5) * 3], writer.frames[2][(3 * 20 + 17) * 3]),
            std::tuple(60, 255));
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(Flipbook, APartOfTheSheetStartsAtPictureZero) {
  settings.firstFrame = 6;
  settings.lastFrame = 7;
  sound.startFrame = 1;
  EXPECT_EQ(Run(), FlipbookOutcome::Finished);
  EXPECT_EQ(std::tuple(writer.indices, writer.sound.size(), writer.frames[0][0]),
            std::tuple(std::vector<int>{0, 1}, 20u, 140));
}

TEST_F(Flipbook, SoundIsCutIntoFramesOfTheMovieRate) {
  settings.frameRate = 5;  // 50 samples per movie frame, whatever the sheet shows
  sound.frameRate = 25;
  sound.startFrame = 1;
  settings.lastFrame = 2;
  EXPECT_EQ(Run(), FlipbookOutcome::Finished);
  ASSERT_EQ(std::tuple(writer.rate, writer.sound.size()), std::tuple(5, 150u));
  EXPECT_EQ(std::tuple(writer.sound[99], writer.sound[100]), std::tuple(200, kFlipbookSilence));
}

TEST_F(Flipbook, NoSoundWhenItIsHiddenOrEndsBefore) {
  EXPECT_EQ(Run(progress, writer, false), FlipbookOutcome::Finished);
  sound.startFrame = 50;
  EXPECT_EQ(Run(), FlipbookOutcome::Finished);
  EXPECT_TRUE(writer.sound.empty());
}

TEST_F(Flipbook, StopAnsweredNoGoesOnAndYesEnds) {
  ScriptedProgress stopping(0);
  prompt.QueueAnswer(false);
  prompt.QueueAnswer(true);
  EXPECT_EQ(Run(stopping, writer), FlipbookOutcome::Stopped);
  EXPECT_TRUE(ShouldPlay(FlipbookOutcome::Stopped));
  EXPECT_EQ(std::tuple(writer.frames.size(), prompt.Texts().back(), writer.closes),
            std::tuple(2u, "Stopped after Frame : 2", 1));
}

TEST_F(Flipbook, FailuresCloseTheWriterAndSayWhy) {
  writer.opens = false;
  EXPECT_EQ(Run(), FlipbookOutcome::NotWritten);
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Unable to create an avi preview file"});

  RecordingMovieWriter failing;
  failing.failFrameAt = 3;
  prompt.Clear();
  EXPECT_EQ(Run(progress, failing), FlipbookOutcome::Failed);
  EXPECT_FALSE(ShouldPlay(FlipbookOutcome::Failed));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Problem Writing flipbook to disk"});
  EXPECT_EQ(failing.closes, 1);

  RecordingMovieWriter reading;
  std::vector<uint8_t> bytes = ReadBytes(dir.File("Ann4.qds"));
  bytes.pop_back();
  WriteBytes(dir.File("Ann4.qds"), bytes);
  EXPECT_EQ(Run(progress, reading), FlipbookOutcome::Failed);
  EXPECT_EQ(std::tuple(prompt.Texts().back(), reading.frames.size(), reading.closes),
            std::tuple("Problem reading a frame", 3u, 1));
  RecordingMovieWriter named;
  EXPECT_EQ(GenerateFlipbook(settings, source, &sound, named, moviePath, prompt, progress,
                             OldMovie::LeaveToWriter),
            FlipbookOutcome::Failed);
  EXPECT_EQ(std::tuple(named.closes, named.discards), std::tuple(0, 1));
}

TEST_F(Flipbook, RefusedJobsOpenNoMovie) {
  sequences[0].frames[0].number = 77;  // a drawing that is not there
  EXPECT_EQ(Run(), FlipbookOutcome::NotWritten);
  EXPECT_EQ(prompt.Texts().back(), "Error Finding Cells!");
  EXPECT_TRUE(writer.path.empty());
}

TEST(LastFlipbook, SaveShowsWhyItFailed) {
  TempDir dir;
  ScriptedPrompt prompt;
  std::string movie = PreviewMoviePath(dir.path());
  WriteText(movie, "movie bytes");
  EXPECT_TRUE(SaveLastFlipbook(movie, dir.File("copy.avi"), prompt));
  EXPECT_FALSE(SaveLastFlipbook(movie, dir.File("copy.avi"), prompt));
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{
                "Could not save preview, disk full or a file already exists with the same name!"});
}

}  // namespace
}  // namespace quenda

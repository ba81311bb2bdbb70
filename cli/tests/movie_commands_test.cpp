// `render --movie` and `compose --movie`: movies straight from the frames, read back by ffprobe
// and ffmpeg and held against the Targa files the same jobs write.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "cli/tests/tool_run.h"
#include "common/targa.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// Painted frames with transparency round the drawing, 95x67: odd both ways.
class MovieCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    RunAll({{"sample", walk, "--name", "walk", "--frames", "4", "--size", "95x67", "--dpi", "100"},
            {"analyze", walk + "walk1.qds", "--yes", "--jobs", "1"},
            {"colors", walk + "walk.col", "--add", "RED", "255", "0", "0"},
            {"paint", walk + "walk1.qds", "--fill", "45,30=RED"},
            {"autopaint", walk + "walk1.qds", "--range", "2-4", "--from", "previous"},
            {"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, walk + "walk1.qds"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-4", "--level", "0",
             "--frame", "1", "--on", "2"},
            {"render", sheet, "--out", frames, "--name", "walk", "--frames", "1-8"}});
    ASSERT_EQ(RunShell("ffmpeg -v error -f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t):s=44100:d=0.2' "
                       "'" +
                       tone + "'"),
              0);
  }
  Raster Frame(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "walk%04d.tga", number);
    Result<Raster> read = ReadTarga(frames + name, TargaReader::ComposerClipFrame);
    EXPECT_TRUE(read.ok()) << read.message();
    return read.ok() ? *read : Raster();
  }
  TempDir dir;
  std::string walk = dir.File("walk/");
  std::string sheet = dir.File("walk.dgr");
  std::string frames = dir.File("frames/");
  std::string tone = dir.File("tone.flac");
};

TEST_F(MovieCommands, RenderWritesH264ThatFfmpegReadsAsTheTargaFramesWithTheSoundInSync) {
  const std::string movie = dir.File("walk.mp4");
  ExpectRun(
      {"render", sheet, "--movie", movie, "--frames", "1-8", "--rate", "24000/1001", "--sound",
       tone, "--sound-start", "3"},
      0,
      "quenda render: " + movie +
          ": the frames are 95x67; H.264 needs even sides, so the movie is 96x68, padded "
          "with the background\n",
      "wrote " + movie + ": 8 frames at 24000/1001 per second, 0.33 seconds, H.264, with sound\n");
  EXPECT_EQ(ListDirectory(dir.path(), ".mp4"), std::vector<std::string>{"walk.mp4"});
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 2u);
  auto& video = streams[0];
  EXPECT_EQ(video["codec_name"], "h264");
  EXPECT_EQ(video["pix_fmt"], "yuv420p");
  EXPECT_EQ(video["color_space"], "bt709");
  EXPECT_EQ(video["color_primaries"], "bt709");
  EXPECT_EQ(video["color_transfer"], "bt709");
  EXPECT_EQ(video["color_range"], "tv");
  EXPECT_EQ(video["width"] + "x" + video["height"], "96x68");
  EXPECT_EQ(video["nb_read_frames"], "8");
  EXPECT_EQ(video["r_frame_rate"], "24000/1001");
  EXPECT_NEAR(std::stod(video["duration"]), 8 * 1001 / 24000.0, 1e-3);
  EXPECT_EQ(streams[1]["codec_name"], "aac");

  // Against ffmpeg's own 4:2:0 form of the Targa frames over white.
  std::vector<uint8_t> decoded = DecodedPictures(movie, "yuv420p");
  const std::size_t size = 96 * 68 * 3 / 2;
  ASSERT_EQ(decoded.size(), size * 8);
  for (int f : {1, 8}) {
    std::vector<uint8_t> want = ReferenceYuv420(ShownPicture(Frame(f), true, false), 95, 67, 96, 68,
                                                dir.File("reference.rgb"));
    std::vector<uint8_t> got(decoded.begin() + long(size * (f - 1)),
                             decoded.begin() + long(size * f));
    EXPECT_GE(Psnr(got, want), 40) << "frame " << f;
  }
  // The tone starts under frame 3 and lasts its 0.2 seconds.
  auto [first, last] = LoudSpan(DecodedSound(movie, 48000));
  EXPECT_NEAR(first, 2 * 1001 / 24000.0 * 48000, 48);
  EXPECT_NEAR(last - first, 0.2 * 48000, 96);
}

TEST_F(MovieCommands, RenderWritesProRes4444WithTheFramesAlphaAndPcmSound) {
  const std::string movie = dir.File("walk.mov");
  ExpectRun(
      {"render", sheet, "--movie", movie, "--frames", "1-8", "--sound", tone}, 0, "",
      "wrote " + movie + ": 8 frames at 25 per second, 0.32 seconds, ProRes 4444, with sound\n");
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["codec_name"], "prores");
  EXPECT_EQ(streams[0]["profile"], "4444");
  EXPECT_TRUE(streams[0]["pix_fmt"].starts_with("yuva444p")) << streams[0]["pix_fmt"];
  EXPECT_EQ(streams[0]["width"] + "x" + streams[0]["height"], "95x67");
  EXPECT_EQ(streams[0]["nb_read_frames"], "8");
  EXPECT_EQ(streams[0]["r_frame_rate"], "25/1");
  EXPECT_EQ(streams[1]["codec_name"], "pcm_s24le");
  std::vector<uint8_t> decoded = DecodedPictures(movie, "rgba");
  const std::size_t size = 95 * 67 * 4;
  ASSERT_EQ(decoded.size(), size * 8);
  for (int f : {1, 8}) {
    std::vector<uint8_t> want = ShownPicture(Frame(f), false, true);
    std::vector<uint8_t> gotColour, wantColour;
    int alphaWorst = 0;
    for (std::size_t i = 0; i < size; i += 4) {
      const uint8_t* got = &decoded[size * std::size_t(f - 1) + i];
      alphaWorst = std::max(alphaWorst, std::abs(int(got[3]) - int(want[i + 3])));
      for (std::size_t k = 0; k < 3; ++k) {
        gotColour.push_back(got[k]);
        wantColour.push_back(want[i + k]);
      }
    }
    EXPECT_LE(alphaWorst, 2) << "frame " << f;
    EXPECT_GE(Psnr(gotColour, wantColour), 45) << "frame " << f;
  }
  // The tone from the first frame for its 0.2 seconds.
  auto [first, last] = LoudSpan(DecodedSound(movie, 48000));
  EXPECT_NEAR(first, 0, 48);
  EXPECT_NEAR(last - first, 0.2 * 48000, 96);
}

TEST_F(MovieCommands, ComposeWritesTheMatteAsProResAlphaAtTheRateAsked) {
  const std::string comp = dir.File("walk.cmp");
  RunAll({{"comp", "new", comp, "--size", "95x67", "--frames", "6"},
          {"comp", "add-clip", comp, frames + "walk0001.tga", "--yes"}});
  const std::string movie = dir.File("comp.mov");
  ExpectRun(
      {"compose", comp, "--movie", movie, "--matte", "--rate", "30000/1001", "--frames", "1-6"}, 0,
      "", "wrote " + movie + ": 6 frames at 30000/1001 per second, 0.20 seconds, ProRes 4444\n");
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0]["nb_read_frames"], "6");
  EXPECT_EQ(streams[0]["r_frame_rate"], "30000/1001");
  // The frame compose writes with the matte is what the movie holds.
  RunAll({{"compose", comp, "--out", dir.File("composed"), "--name", "c", "--matte"}});
  Result<Raster> first = ReadTarga(dir.File("composed/c0000.tga"), TargaReader::ComposerClipFrame);
  ASSERT_TRUE(first.ok()) << first.message();
  std::vector<uint8_t> want = ShownPicture(*first, false, true);
  std::vector<uint8_t> decoded = DecodedPictures(movie, "rgba");
  ASSERT_GE(decoded.size(), want.size());
  int alphaWorst = 0;
  for (std::size_t i = 3; i < want.size(); i += 4)
    alphaWorst = std::max(alphaWorst, std::abs(int(decoded[i]) - int(want[i])));
  EXPECT_LE(alphaWorst, 2);
  // H.264 at the composition's own rate.
  const std::string review = dir.File("comp.mp4");
  RunAll({{"compose", comp, "--movie", review, "--crf", "23", "--preset", "ultrafast"}});
  streams = ProbeStreams(review);
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0]["r_frame_rate"], "25/1");
}

// Flipbooks and previews by the name's extension; the flipbook's sound may be any FFmpeg reads.
TEST_F(MovieCommands, FlipbookAndPreviewWriteMp4AndMovByTheirNames) {
  const std::string mp3 = dir.File("tone.mp3");
  ASSERT_EQ(RunShell("ffmpeg -v error -i '" + tone + "' -c:a libmp3lame '" + mp3 + "'"), 0);
  const std::string flipbook = dir.File("flip.mp4");
  ToolOutput run = RunTool({"flipbook", sheet, "--out", flipbook, "--frames", "1-8", "--painted",
                            "--size", "100", "--quality", "10000", "--sound", mp3});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "wrote " + flipbook + ": 8 frames at 25 per second, with sound\n");
  auto streams = ProbeStreams(flipbook);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["codec_name"], "h264");
  EXPECT_EQ(streams[0]["nb_read_frames"], "8");
  EXPECT_EQ(streams[1]["codec_name"], "aac");
  auto [first, last] = LoudSpan(DecodedSound(flipbook, 48000));
  EXPECT_NEAR(first, 0, 96);
  EXPECT_NEAR(last - first, 0.2 * 48000, 1200);  // the MP3's frames round its length

  const std::string comp = dir.File("p.cmp");
  RunAll({{"comp", "new", comp, "--size", "95x67", "--frames", "4"},
          {"comp", "add-clip", comp, frames + "walk0001.tga", "--yes"}});
  const std::string preview = dir.File("preview.mov");
  run = RunTool({"preview", comp, "--out", preview, "--frames", "1-4"});
  EXPECT_EQ(run.code, 0) << run.err;
  streams = ProbeStreams(preview);
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0]["codec_name"], "prores");
  EXPECT_EQ(streams[0]["nb_read_frames"], "4");
}

TEST_F(MovieCommands, MovieOptionsAreCheckedBeforeAnythingIsWritten) {
  const std::string movie = dir.File("m.mp4");
  struct {
    std::vector<std::string> words;
    std::string reason;
  } const cases[] = {
      {{"--movie", dir.File("m.avi")},
       "--movie must be a file name ending in .mp4 (H.264) or .mov (ProRes 4444)"},
      {{"--movie", movie, "--codec", "prores4444"},
       "--codec h264 writes .mp4, prores4444 writes .mov"},
      {{"--movie", movie, "--codec", "vp9"}, "--codec must be h264 or prores4444"},
      {{"--movie", dir.File("m.mov"), "--crf", "20"}, "--crf and --preset are for H.264 (.mp4)"},
      {{"--movie", movie, "--crf", "52"}, "--crf must be a whole number from 0 to 51"},
      {{"--movie", movie, "--preset", "quick"}, "--preset must be one of ultrafast .. placebo"},
      {{"--movie", movie, "--rate", "0"},
       "--rate must be 1..1000 frames per second, or a fraction such as 24000/1001"},
      {{"--movie", movie, "--background", "GG0000"},
       "--background must be six hexadecimal digits, RRGGBB"},
      {{"--movie", movie, "--sound-start", "2"}, "--sound-start needs --sound"},
      {{"--movie", movie, "--sound", tone, "--sound-start", "101"},
       "--sound-start must be a frame from 1 to 100"},
      {{"--movie", movie, "--out", frames},
       "--movie writes one file: leave out --out, --name and --write"},
      {{"--out", frames, "--name", "walk", "--rate", "25"}, "--rate needs --movie"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"render", sheet};
    args.insert(args.end(), c.words.begin(), c.words.end());
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 2) << c.reason;
    EXPECT_TRUE(run.err.starts_with("quenda render: " + c.reason + "\n")) << run.err;
  }
  // A sound FFmpeg cannot decode is named with its reason, and no movie is made.
  const std::string junk = dir.File("junk.mp3");
  WriteText(junk, "not a sound");
  ExpectRun({"render", sheet, "--movie", movie, "--sound", junk}, 1,
            "quenda render: Could not decode the sound file " + junk + ": Invalid argument\n");
  ToolOutput compose = RunTool({"compose", dir.File("none.cmp"), "--movie", movie, "--name", "x"});
  EXPECT_EQ(compose.code, 2);
  EXPECT_TRUE(compose.err.starts_with(
      "quenda compose: --movie writes one file: leave out --out, --name, --write, "
      "--start-number and --no-leading-zeros\n"))
      << compose.err;
  EXPECT_EQ(ListDirectory(dir.path(), ".mp4"), std::vector<std::string>{});
}

}  // namespace
}  // namespace quenda::cli

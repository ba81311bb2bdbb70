// Ctrl-C during a long run of the real tool: the run stops after the frame in hand, leaves only
// whole files (a valid movie with the frames written so far) and exits with 130.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/tests/tool_process.h"
#include "cli/tests/tool_run.h"
#include "common/targa.h"
#include "media/movie_reader.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// Starts the tool on `args`, sends SIGINT once `outputs` holds a file, and answers the exit code;
// standard error goes to `errors`.
int InterruptedRun(const std::vector<std::string>& args, const std::string& outputs,
                   const std::string& errors) {
  ToolProcess tool(args, errors);
  WaitFor([&] { return !ListDirectory(outputs).empty() || !tool.running(); });
  tool.Signal(SIGINT);
  return tool.Wait();
}

class Interrupt : public ::testing::Test {
 protected:
  // The walk held 250 frames per drawing: far longer than the run is allowed to go.
  void SetUp() override {
    RunAll({{"sample", dir.File("walk"), "--name", "walk", "--frames", "4", "--size", "200x140",
             "--dpi", "100"},
            {"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, dir.File("walk/walk1.qds")},
            {"sheet", "frames", sheet, "--add", "900"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-4", "--level", "0",
             "--frame", "1", "--on", "250"}});
    std::filesystem::create_directory(out);
  }
  TempDir dir;
  std::string sheet = dir.File("walk.dgr");
  std::string out = dir.File("out/");
  std::string errors = dir.File("errors.txt");
};

TEST_F(Interrupt, FlipbookClosesTheMovieWithTheFramesWritten) {
  std::string movie = out + "long.avi";
  ASSERT_EQ(InterruptedRun({"flipbook", sheet, "--out", movie, "--size", "800"}, out, errors), 130);
  EXPECT_EQ(ListDirectory(out), std::vector<std::string>{"long.avi"});
  Result<std::unique_ptr<MovieReader>> reader = MovieReader::Open(movie);
  ASSERT_TRUE(reader.ok()) << reader.message();
  EXPECT_GT((*reader)->frameCount(), 0);
  EXPECT_LT((*reader)->frameCount(), 1000);
  ASSERT_TRUE((*reader)->OpenDecoder().ok());
  std::vector<uint8_t> picture(std::size_t((*reader)->width()) * (*reader)->height() * 3);
  EXPECT_TRUE((*reader)->ReadFrame((*reader)->frameCount() - 1, picture.data()).ok());
  const std::string done = std::to_string((*reader)->frameCount());
  const std::string text = ReadText(errors);
  EXPECT_TRUE(text.ends_with("\nquenda flipbook: interrupted after frame " + done + "; frames " +
                             std::to_string((*reader)->frameCount() + 1) +
                             "-1000 are not in the movie\n"))
      << text;
}

// With two jobs frames are made ahead of the one being written; what stays is still a run of
// whole frames from the first, and the tool says where to resume.
TEST_F(Interrupt, RenderKeepsWholeFramesAndSaysWhereToResume) {
  ASSERT_EQ(InterruptedRun(
                {"render", sheet, "--out", out, "--name", "walk", "--line-test", "--jobs", "2"},
                out, errors),
            130);
  std::vector<std::string> frames = ListDirectory(out);
  ASSERT_FALSE(frames.empty());
  ASSERT_LT(frames.size(), 1000u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "walk%04zu.tga", i + 1);
    EXPECT_EQ(frames[i], expected);
    EXPECT_TRUE(ReadTarga(out + frames[i], TargaReader::ComposerClipFrame).ok()) << frames[i];
  }
  const std::string done = std::to_string(frames.size());
  const std::string next = std::to_string(frames.size() + 1);
  const std::string text = ReadText(errors);
  EXPECT_TRUE(
      text.ends_with("quenda render: Do you want to stop render? [yes]\nquenda render: "
                     "Stopped after Frame : " +
                     done + "\nquenda render: interrupted after frame " + done +
                     "; resume with --write " + next + "-1000\n"))
      << text;
}

// The movie is closed after the frame in hand: a whole H.264 file of the frames made, its length
// said; the unfinished file beside it is gone.
TEST_F(Interrupt, RenderMovieIsClosedWithTheFramesMade) {
  const std::string movie = out + "long.mp4";
  ASSERT_EQ(InterruptedRun({"render", sheet, "--movie", movie, "--line-test", "--jobs", "2"}, out,
                           errors),
            130);
  EXPECT_EQ(ListDirectory(out), std::vector<std::string>{"long.mp4"});
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 1u);
  const int made = std::stoi(streams[0]["nb_read_frames"]);
  EXPECT_GT(made, 0);
  EXPECT_LT(made, 1000);
  const std::string text = ReadText(errors);
  EXPECT_TRUE(text.ends_with("\nquenda render: interrupted after frame " + std::to_string(made) +
                             "; frames " + std::to_string(made + 1) +
                             "-1000 are not in the movie\n"))
      << text;
}

}  // namespace
}  // namespace quenda::cli

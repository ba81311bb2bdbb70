#include <gtest/gtest.h>

#include <string>

#include "cli/tests/tool_run.h"
#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"
#include "testing/text_lines.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

TEST(InfoCommand, MovieStreamsSizeRateAndCounts) {
  TempDir dir;
  MoviePlan plan;
  plan.frames = 4;
  plan.framesPerSecond = 12;
  plan.soundBytes = 5001;
  plan.soundRate = 11025;
  WriteMovie(dir.File("Flip.AVI"), plan);
  ToolOutput run = RunTool({"info", dir.File("Flip.AVI")});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "video: mjpeg 47 x 33")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "rate: 12 / 1 (12 frames per second)")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "frames: 4")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "stream name: Quenda Avi Preview")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "sound: pcm_u8, 1 channel, 8 bits, 11025 samples per second"))
      << run.out;
  EXPECT_TRUE(HasLine(run.out, "sound samples: 5001")) << run.out;

  plan.soundBytes = 0;
  WriteMovie(dir.File("silent.avi"), plan);
  run = RunTool({"info", dir.File("silent.avi")});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(HasLine(run.out, "sound: none")) << run.out;
}

TEST(InfoCommand, MovieThatIsNotOneGivesThePlayersMessage) {
  TempDir dir;
  WriteText(dir.File("junk.avi"), "RIFF but not a movie at all");
  EXPECT_TRUE(ExpectRun({"info", dir.File("junk.avi")}, 1,
                        "quenda info: " + dir.File("junk.avi") +
                            ": AVIERROR : The file couldn't be read, indicating a corrupt file or "
                            "an unrecognized format.\n")
                  .out.empty());
}

}  // namespace
}  // namespace quenda::cli

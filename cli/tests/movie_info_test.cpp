#include <gtest/gtest.h>

#include <string>

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

  // A file that is no movie gets the player's message.
  WriteText(dir.File("junk.avi"), "RIFF but not a movie at all");
  ExpectRun({"info", dir.File("junk.avi")}, 1,
            "quenda info: " + dir.File("junk.avi") +
                ": AVIERROR : The file couldn't be read, indicating a corrupt file or an "
                "unrecognized format.\n",
            "");
}

}  // namespace
}  // namespace quenda::cli

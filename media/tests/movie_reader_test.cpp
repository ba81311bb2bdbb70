#include "media/movie_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "media/tests/movie_test_support.h"
#include "testing/pcm_wave.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

const std::string kBadFormat =
    "AVIERROR : The file couldn't be read, indicating a corrupt file or an unrecognized format.";

TEST(MovieReader, RefusesWhatIsNotAPlayableMovieWithThePlayersMessages) {
  TempDir dir;
  WriteBytes(dir.File("empty.avi"), {});
  WriteBytes(dir.File("noise.avi"), std::vector<uint8_t>(300, 0x5A));
  // A RIFF file of another kind.
  WriteBytes(dir.File("sound.avi"), testing::PcmWave({8, 1, 22050}, {}));
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {
      {dir.File("missing.avi"), "AVIERROR : A disk error occurred while opening the file. "},
      {dir.path(), "AVIERROR : A disk error occurred while opening the file. "},
      {dir.File("empty.avi"), kBadFormat},
      {dir.File("noise.avi"), kBadFormat},
      {dir.File("sound.avi"), kBadFormat},
  };
  for (const Case& c : cases) {
    auto opened = MovieReader::Open(c.path);
    EXPECT_FALSE(opened.ok()) << c.path;
    EXPECT_EQ(opened.message(), c.message) << c.path;
  }
}

TEST(MovieReader, AMovieWithoutPicturesHasNoVideoStream) {
  if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  TempDir dir;
  const std::string path = dir.File("voice.avi");
  const std::string command = "ffmpeg -v error -f lavfi -i sine=duration=0.2 -c:a pcm_u8 '" + path +
                              "' </dev/null >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  auto opened = MovieReader::Open(path);
  EXPECT_EQ(opened.message(),
            "AVIERROR : The file does not contain a stream corresponding to the VIDEO");
}

TEST(MovieReader, ReadsTheSameFromMemoryAsFromTheFile) {
  TempDir dir;
  const std::string path = dir.File("walk.avi");
  WriteMovie(path, {.frames = 4, .soundBytes = 1234});
  auto fromFile = MovieReader::Open(path);
  auto fromMemory = MovieReader::OpenBytes(ReadBytes(path));
  ASSERT_TRUE(fromFile.ok() && fromMemory.ok()) << fromMemory.message();
  MovieReader& a = **fromFile;
  MovieReader& b = **fromMemory;
  EXPECT_EQ(std::tuple(b.frameCount(), b.ReadSound()->size()), std::tuple(4, 1234u));
  EXPECT_EQ(std::tuple(a.frameCount(), a.rate(), *a.ReadSound()),
            std::tuple(b.frameCount(), b.rate(), *b.ReadSound()));
  std::vector<uint8_t> frameA(47 * 33 * 3), frameB(47 * 33 * 3);
  for (int i : {3, 0, 2}) {
    ASSERT_TRUE(a.ReadFrame(i, frameA.data()).ok());
    ASSERT_TRUE(b.ReadFrame(i, frameB.data()).ok());
    EXPECT_EQ(frameA, frameB) << i;
  }
  EXPECT_EQ(MovieReader::OpenBytes({}).message(), kBadFormat);
}

// Every cut of a movie with sound either opens or is refused with a message, and whatever
// opens reads its frames and sound without going outside its buffers.
TEST(MovieReader, TruncatedMoviesFailCleanly) {
  TempDir dir;
  const std::string whole = dir.File("whole.avi");
  const MoviePlan plan{.frames = 6, .soundBytes = 9000};
  testing::WriteMovie(whole, plan);
  const auto bytes = ReadBytes(whole);
  int opened = 0;
  for (std::size_t cut : {std::size_t(12), std::size_t(100), bytes.size() / 4, bytes.size() / 2,
                          bytes.size() * 3 / 4, bytes.size() - 9, bytes.size() - 1}) {
    auto movie =
        MovieReader::OpenBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
    if (!movie) {
      EXPECT_FALSE(movie.message().empty()) << cut;
      continue;
    }
    ++opened;
    std::vector<uint8_t> frame(std::size_t(plan.width) * plan.height * 3);
    if (movie.value()->OpenDecoder().ok()) {
      for (int i = 0; i < movie.value()->frameCount(); ++i)
        (void)movie.value()->ReadFrame(i, frame.data());
    }
    auto sound = movie.value()->ReadSound();
    if (sound.ok()) {
      EXPECT_LE(sound->size(), plan.soundBytes) << cut;
    }
  }
  EXPECT_GT(opened, 0);  // the later cuts still hold a readable header
}

}  // namespace
}  // namespace quenda

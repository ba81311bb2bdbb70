#include "analyzer/core/scanned_frames.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/scripted_prompt.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

TEST(ScannedFrames, NumbersGoPastEveryFrameOnDiskAndInTheList) {
  TempDir dir;
  ScriptedPrompt prompt;
  ScannedFrames frames(prompt, dir.path(), "walk");
  EXPECT_EQ(frames.NextNumber(), 1);
  WriteText(dir.File("walk4.qds"), "x");
  WriteText(dir.File("walk9b.qds"), "x");
  WriteText(dir.File("run12.qds"), "x");
  EXPECT_EQ(frames.NextNumber(), 10);
  frames.Add(10);  // listed, and its file not yet there
  EXPECT_EQ(frames.NextNumber(), 11);
}

TEST(ScannedFrames, DeleteAsksAndReportsWhatStopsIt) {
  TempDir dir;
  ScriptedPrompt prompt;
  ScannedFrames frames(prompt, dir.path(), "walk");
  for (int number : {1, 2, 3}) {
    WriteText(dir.File("walk" + std::to_string(number) + ".qds"), "x");
    frames.Add(number);
  }
  std::filesystem::remove(dir.File("walk2.qds"));
  MakeReadOnly(dir.File("walk3.qds"));
  struct Case {
    int index;
    bool yes;
    const char* message;  // after the question; null for none
  } cases[] = {
      {0, false, nullptr},
      {1, true, "The file does not exist"},
      {2, true, "The file is read-only"},
      {0, true, nullptr},
  };
  for (const Case& c : cases) {
    prompt.Clear();
    prompt.QueueAnswer(c.yes);
    const std::string name = "walk" + std::to_string(frames.frames()[c.index].number) + ".qds";
    EXPECT_EQ(frames.Delete(c.index), c.yes && c.message == nullptr) << name;
    std::vector<std::string> expected{"Are you sure you want to delete " + name};
    if (c.message != nullptr) expected.emplace_back(c.message);
    EXPECT_EQ(prompt.Texts(), expected);
  }
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"walk3.qds"});
  ASSERT_EQ(frames.frames().size(), 2u);
  EXPECT_EQ(frames.frames()[0].number, 2);
}

TEST(ScannedFrames, RenumberMovesTheFrameWithItsRegionsAndPaintButNeverOntoAFrame) {
  TempDir dir;
  ScriptedPrompt prompt;
  ScannedFrames frames(prompt, dir.path(), "walk");
  for (const char* file : {"walk1.qds", "walk1.rgn", "walk1.pnt", "walk5.qds"})
    WriteText(dir.File(file), file);
  frames.Add(1);
  EXPECT_FALSE(frames.Renumber(0, 5));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"The destination file exists"});
  EXPECT_TRUE(frames.Renumber(0, 7));
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"walk5.qds", "walk7.pnt", "walk7.qds", "walk7.rgn"}));
  EXPECT_EQ(ReadText(dir.File("walk7.qds")), "walk1.qds");
  EXPECT_EQ(frames.frames()[0].path, dir.File("walk7.qds"));

  // Region and paint files of a drawing that is gone do not stay to describe the moved one,
  // whether the moved drawing brings its own or not.
  WriteText(dir.File("walk9.rgn"), "old regions");
  WriteText(dir.File("walk9.pnt"), "old paint");
  std::filesystem::remove(dir.File("walk7.pnt"));
  EXPECT_TRUE(frames.Renumber(0, 9));
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"walk5.qds", "walk9.qds", "walk9.rgn"}));
  EXPECT_EQ(ReadText(dir.File("walk9.rgn")), "walk1.rgn");
}

// The refusals that come before any file is touched: the number the frame has already, a
// number below 1, and a drawing that is gone from disk, each with what it says.
TEST(ScannedFrames, RenumberRefusesItsOwnNumberNoNumberAndAVanishedDrawing) {
  TempDir dir;
  ScriptedPrompt prompt;
  ScannedFrames frames(prompt, dir.path(), "walk");
  WriteText(dir.File("walk1.qds"), "walk1.qds");
  frames.Add(1);
  frames.Add(2);  // listed, but its file is gone
  const struct {
    int index, number;
    std::vector<std::string> said;
  } kCases[] = {
      {0, 1, {}},
      {0, 0, {}},
      {0, -3, {}},
      {1, 5, {"The file does not exist"}},
  };
  for (const auto& c : kCases) {
    prompt.Clear();
    EXPECT_FALSE(frames.Renumber(c.index, c.number)) << c.number;
    EXPECT_EQ(prompt.Texts(), c.said) << c.number;
  }
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"walk1.qds"});
  EXPECT_EQ(std::tuple(frames.frames()[0].number, frames.frames()[1].number), std::tuple(1, 2));
}

}  // namespace
}  // namespace quenda

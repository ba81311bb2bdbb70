// Several jobs: the files, lines and exit codes of --jobs 2 are those of --jobs 1, also where a
// frame fails; the progress shown as a bar on a terminal and per frame elsewhere; the threads
// inside each frame, given or divided among the jobs, and the files the same with any of them.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>

#include "cli/frame_progress.h"
#include "cli/tests/tool_run.h"
#include "common/frame_runner.h"
#include "common/thread_pool.h"
#include "testing/inner_threads.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// Five drawings analyzed and painted, on a sheet one per frame, and a composition of their line
// test.
class Jobs : public ::testing::Test {
 protected:
  void SetUp() override {
    RunAll({{"sample", walk, "--name", "walk", "--frames", "5", "--size", "47x33", "--dpi", "100"},
            {"analyze", walk + "walk1.qds", "--yes", "--jobs", "1"},
            {"colors", walk + "walk.col", "--add", "RED", "255", "0", "0"},
            {"paint", walk + "walk1.qds", "--fill", "22,13=RED", "--fill", "23,22=RED"},
            {"autopaint", walk + "walk1.qds", "--range", "2-5", "--from", "previous"},
            {"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, walk + "walk1.qds"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-5", "--level", "0",
             "--frame", "1", "--on", "1"},
            {"render", sheet, "--out", clips, "--name", "clip", "--frames", "1-5", "--line-test"},
            {"comp", "new", movie, "--size", "47x33", "--frames", "5"},
            {"comp", "add-clip", movie, clips + "clip0001.tga", "--yes"},
            {"comp", "add-effect", movie, "blur", "--in-front-of", "0"}});
  }
  // The files of `folder` ending with `suffix`, by name.
  static std::map<std::string, std::vector<uint8_t>> Files(const std::string& folder,
                                                           const std::string& suffix) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const std::string& name : ListDirectory(folder))
      if (name.ends_with(suffix) && !std::filesystem::is_directory(folder + name))
        files[name] = ReadBytes(folder + name);
    return files;
  }
  TempDir dir;
  std::string walk = dir.File("walk/");
  std::string sheet = dir.File("walk.dgr");
  std::string clips = dir.File("clips/");
  std::string movie = dir.File("m.cmp");
  std::string out = dir.File("out/");
};

TEST_F(Jobs, TwoJobsWriteWhatOneWritesAndATerminalGetsABarRedrawnInPlace) {
  // The real tool, its standard error a terminal (through `script`) or a pipe.
  const std::string command = std::string(QUENDA_TOOL) + " render " + sheet + " --out " + out +
                              " --name walk --frames 1-5 --line-test --jobs 2";
  auto capture = [](const std::string& shell) {
    std::string text;
    FILE* pipe = popen(shell.c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    return text;
  };
  const std::string terminal = capture("script -qec '" + command + " >/dev/null' /dev/null");
  const std::regex bar("\r\\[#{24}\\] 5/5 frames  [0-9]+\\.[0-9] frames/s  0:00 left\x1b\\[K\r?\n");
  EXPECT_TRUE(std::regex_search(terminal, bar)) << terminal;
  EXPECT_NE(terminal.find("\r[........................] 0/5 frames\x1b[K"), std::string::npos)
      << terminal;
  EXPECT_EQ(terminal.find("frame 1  "), std::string::npos) << terminal;

  // Elsewhere, as in a log: a line per frame, in order.
  std::string expected;
  for (int frame = 1; frame <= 5; ++frame) {
    const std::string file = out + "walk000" + std::to_string(frame) + ".tga";
    expected += "frame " + std::to_string(frame) + "  " + file + "  " +
                std::to_string(std::filesystem::file_size(file)) + " bytes  T\n";
  }
  const std::regex seconds("[0-9]+\\.[0-9][0-9] s\n");
  EXPECT_EQ(std::regex_replace(capture(command + " 2>&1 >/dev/null"), seconds, "T\n"), expected);

  struct Case {
    std::string name;
    std::vector<std::string> args;
    std::string folder, suffix;  // where the command writes, and what
    std::function<void()> spoil = {};
    std::vector<std::string> written = {};  // after a failed frame
  };
  const std::string& out = this->out;
  const std::vector<Case> cases{
      // The region files are removed before each run: the paint, analyzed again with the same
      // settings, still fits.
      {"analyze", {"analyze", walk + "walk1.qds", "--yes", "--keep-unchecked-paint"}, walk, ".rgn"},
      {"render", {"render", sheet, "--out", out, "--name", "walk", "--frames", "1-5"}, out, ".tga"},
      {"render --line-test",
       {"render", sheet, "--out", out, "--name", "w", "--line-test"},
       out,
       ".tga"},
      {"compose", {"compose", movie, "--out", out, "--name", "m", "--fields", "odd"}, out, ".tga"},
      {"flipbook",
       {"flipbook", sheet, "--out", out + "f.avi", "--frames", "1-5", "--painted"},
       out,
       ".avi"},
      {"analyze, frame 3 cut short",
       {"analyze", walk + "walk1.qds", "--yes", "--keep-unchecked-paint"},
       walk,
       ".rgn",
       [&] {
         std::vector<uint8_t> bytes = ReadBytes(walk + "walk3.qds");
         bytes.resize(bytes.size() - 100);
         WriteBytes(walk + "walk3.qds", bytes);
       },
       {"walk1.rgn", "walk2.rgn"}},
      {"render, frame 3 cannot be saved",
       {"render", sheet, "--out", out, "--name", "walk", "--frames", "1-5", "--line-test"},
       out,
       ".tga",
       [&] { std::filesystem::create_directories(out + "walk0003.tga/"); },
       {"walk0001.tga", "walk0002.tga", "walk0003.tga"}},
      {"compose, frame 2 cannot be written",
       {"compose", movie, "--out", out, "--name", "m"},
       out,
       ".tga",
       [&] { std::filesystem::create_directories(out + "m0001.tga/"); },
       {"m0000.tga", "m0001.tga"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    if (c.spoil) c.spoil();
    std::vector<ToolOutput> runs;
    std::vector<std::map<std::string, std::vector<uint8_t>>> written;
    for (const char* jobs : {"1", "2"}) {
      for (const auto& [name, bytes] : Files(c.folder, c.suffix))
        std::filesystem::remove(c.folder + name);
      std::vector<std::string> args = c.args;
      args.insert(args.end(), {"--jobs", jobs});
      runs.push_back(RunTool(args));
      written.push_back(Files(c.folder, c.suffix));
    }
    // The analyzer's lines tell the time each frame took.
    const std::regex time(" [0-9]+ ms");
    EXPECT_EQ(std::regex_replace(runs[1].out, time, ""), std::regex_replace(runs[0].out, time, ""));
    EXPECT_EQ(runs[1].err, runs[0].err);
    EXPECT_EQ(runs[1].code, runs[0].code);
    EXPECT_EQ(written[1], written[0]);
    if (c.written.empty()) {
      EXPECT_EQ(runs[0].code, 0) << runs[0].err;
      EXPECT_FALSE(written[0].empty());
    } else {
      EXPECT_EQ(runs[0].code, 1);
      EXPECT_EQ(ListDirectory(c.folder, c.suffix), c.written);
    }
  }
}

TEST(FitThreadsToFrames, TheCoresGoToTheFramesThereAreUnlessThreadsWereGiven) {
  const InnerThreadsRestored restored;
  const int cores = DefaultJobCount();
  struct Case {
    std::optional<std::string> threads;
    int jobs, frames, expected;
  };
  const Case cases[] = {
      {std::nullopt, 4, 1, cores},  // one frame: every core
      {std::nullopt, 4, 2, InnerThreadsForJobs(2)},
      {std::nullopt, 2, 100, InnerThreadsForJobs(2)},  // frames enough: as ReadThreads divides
      {std::nullopt, 1, 0, cores},                     // nothing to make: as for one
      {std::nullopt, 256, 3, InnerThreadsForJobs(3)},
      {"3", 4, 1, 100},  // --threads given: what it set stands
  };
  for (const Case& c : cases) {
    SetInnerThreads(100);
    FitThreadsToFrames(c.threads, c.jobs, c.frames);
    EXPECT_EQ(InnerThreads(), c.expected) << c.jobs << " jobs, " << c.frames << " frames";
  }
}

TEST_F(Jobs, ThreadsInsideAFrameAreGivenOrTheCoresDividedAmongTheJobs) {
  const std::vector<std::vector<std::string>> commands{
      {"analyze", walk + "walk1.qds", "--yes"},
      {"render", sheet, "--out", out, "--name", "walk", "--frames", "1-5"},
      {"compose", movie, "--out", out, "--name", "m"},
      {"flipbook", sheet, "--out", out + "f.avi", "--painted"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command[0]);
    for (const char* bad : {"0", "257", "two", ""}) {
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--threads", bad});
      const ToolOutput ran = RunTool(args);
      EXPECT_EQ(ran.code, 2) << bad;
      EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')),
                "quenda " + command[0] + ": --threads must be a whole number from 1 to 256");
    }
    const ToolOutput help = RunTool({command[0], "--help"});
    EXPECT_NE((help.out + help.err).find("  --threads N "), std::string::npos);
  }

  // The count set is the one the frames' work reads.
  const InnerThreadsRestored restored;
  const auto threadsAfter = [&](std::vector<std::string> more) {
    SetInnerThreads(100);
    std::vector<std::string> args = commands[1];
    args.insert(args.end(), more.begin(), more.end());
    EXPECT_EQ(RunTool(args).code, 0);
    return InnerThreads();
  };
  EXPECT_EQ(threadsAfter({"--jobs", "1", "--threads", "3"}), 3);
  EXPECT_EQ(threadsAfter({"--jobs", "2"}), InnerThreadsForJobs(2));
  EXPECT_EQ(threadsAfter({}), InnerThreadsForJobs(DefaultJobCount()));
  EXPECT_EQ(threadsAfter({"--jobs", "256"}), 1);
  // One job gets every core: on a small machine the cases above are all 1.
  EXPECT_EQ(threadsAfter({"--jobs", "1"}), DefaultJobCount());

  // Fewer frames than jobs: the cores go to the frames there are, unless --threads was given.
  const std::vector<std::vector<std::string>> oneFrame{
      {"analyze", walk + "walk1.qds", "--yes", "--frames", "1-1"},
      {"render", sheet, "--out", out, "--name", "walk", "--frames", "2-2"},
      {"compose", movie, "--out", out, "--name", "m", "--frames", "1-1"},
      {"flipbook", sheet, "--out", out + "f.avi", "--painted", "--frames", "1-1"}};
  for (const auto& command : oneFrame) {
    SCOPED_TRACE(command[0]);
    for (const auto& [more, threads] :
         {std::pair{std::vector<std::string>{"--jobs", "2"}, DefaultJobCount()},
          {{"--jobs", "256"}, DefaultJobCount()},
          {{"--jobs", "2", "--threads", "1"}, 1}}) {
      SetInnerThreads(100);
      std::vector<std::string> args = command;
      args.insert(args.end(), more.begin(), more.end());
      const ToolOutput ran = RunTool(args);
      EXPECT_EQ(ran.code, 0) << ran.err;
      EXPECT_EQ(InnerThreads(), threads) << more.back();
    }
  }

  // Frames cut into bands write the bytes of frames made whole.
  for (const auto& command : {commands[1], commands[2]}) {
    std::vector<std::map<std::string, std::vector<uint8_t>>> written;
    for (const char* threads : {"1", "7"}) {
      std::filesystem::remove_all(out);
      std::filesystem::create_directories(out);
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--jobs", "1", "--threads", threads});
      EXPECT_EQ(RunTool(args).code, 0);
      written.push_back(Files(out, ".tga"));
    }
    EXPECT_FALSE(written[0].empty());
    EXPECT_EQ(written[1], written[0]) << command[0];
  }
}

}  // namespace
}  // namespace quenda::cli

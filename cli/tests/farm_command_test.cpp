// `quenda farm` without a cluster: the scripts --dry-run prints, the check of a job's files and
// the refusals. The jobs themselves run on a real Slurm in scripts/farm-test.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/tests/tool_run.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// Five analyzed drawings on a sheet, their line test rendered, and a composition of it; the
// farm is given relative paths, which its tasks must get absolute.
class Farm : public ::testing::Test {
 protected:
  void SetUp() override {
    RunAll(
        {{"sample", "walk", "--name", "walk", "--frames", "5", "--size", "47x33", "--dpi", "100"},
         {"analyze", "walk/walk1.qds", "--yes"},
         {"sheet", "new", "walk.dgr"},
         {"sheet", "add-sequence", "walk.dgr", "walk/walk1.qds"},
         {"sheet", "transfer", "walk.dgr", "--sequence", "1", "--pictures", "1-5", "--level", "0",
          "--frame", "1", "--on", "1"},
         {"render", "walk.dgr", "--out", "out", "--name", "walk", "--frames", "1-5", "--line-test"},
         {"comp", "new", "m.cmp", "--size", "47x33", "--frames", "9"}});
  }
  // The line of `script` that starts with `start`.
  static std::string Line(const std::string& script, const std::string& start) {
    const auto at = script.find("\n" + start);
    if (at == std::string::npos) return "(no line " + start + ")";
    return script.substr(at + 1, script.find('\n', at + 1) - at - 1);
  }
  TempDir dir;
  WorkingDirectory here{dir.path()};
  const std::string tool = std::filesystem::read_symlink("/proc/self/exe").string();
};

TEST_F(Farm, DryRunPrintsTheScriptOfEachJobOfAShot) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> lines;
  };
  const std::string d = dir.path();
  const std::vector<Case> cases{
      {{"render", "walk.dgr", "--out", "out", "--name", "walk", "--line-test", "--frames", "1-5",
        "--chunk", "2", "--cpus", "2", "--partition", "anim"},
       {"#SBATCH --array=0-2", "#SBATCH --cpus-per-task=2", "#SBATCH --partition=anim",
        "#SBATCH --output=" + d + "out/quenda-render-%A_%a.out", "firsts=(1 3 5)",
        "exec " + tool + " render " + d + "walk.dgr --out " + d +
            "out/ --name walk --line-test --frames 1-5 --write \"$chunk\" --jobs 2"}},
      // Analysis has no whole job: each task takes its own frames, and --yes for the question.
      {{"analyze", "walk/walk1.qds", "--frames", "2-5", "--chunk", "3", "--after", "17"},
       {"#SBATCH --array=0-1", "#SBATCH --dependency=afterok:17", "firsts=(2 5)", "lasts=(4 5)",
        "exec " + tool + " analyze " + d + "walk/walk1.qds --yes --frames \"$chunk\" --jobs 1"}},
      // The command's own --threads goes with each task's --jobs.
      {{"compose", "m.cmp", "--out", "movie", "--name", "m", "--frames", "2-8", "--start-number",
        "10", "--threads", "2", "--time", "10"},
       {"#SBATCH --array=0", "#SBATCH --time=10", "firsts=(2)", "lasts=(8)",
        "exec " + tool + " compose " + d + "m.cmp --out " + d +
            "movie/ --name m --start-number 10 --threads 2 --frames 2-8 --write \"$chunk\" "
            "--jobs 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> words{"farm"};
    words.insert(words.end(), c.args.begin(), c.args.end());
    words.push_back("--dry-run");
    ToolOutput ran = RunTool(words);
    EXPECT_EQ(ran.code, 0) << ran.err;
    for (const std::string& line : c.lines)
      EXPECT_EQ(
          Line(ran.out,
               line.starts_with("exec") ? "exec " : line.substr(0, line.find_first_of("=(") + 1)),
          line);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("movie")));

  // A shot chains each job after the one before.
  ToolOutput ran = ExpectRun({"farm", "shot", "--after", "5", "analyze", "walk/walk1.qds",
                              "--chunk", "2", "render", "walk.dgr", "--out", "out", "--name",
                              "walk", "--frames", "1-5", "--chunk", "5", "--dry-run"},
                             0, "");
  const auto second = ran.out.find("# then, with the id of the job above for PREVIOUS:\n");
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(Line(ran.out, "#SBATCH --dependency"), "#SBATCH --dependency=afterok:5");
  EXPECT_EQ(Line(ran.out.substr(second), "#SBATCH --dependency"),
            "#SBATCH --dependency=afterok:PREVIOUS");
  EXPECT_EQ(Line(ran.out, "#SBATCH --array"), "#SBATCH --array=0-2");
  EXPECT_EQ(Line(ran.out.substr(second), "#SBATCH --array"), "#SBATCH --array=0");
}

TEST_F(Farm, CheckNamesMissingAndUnreadableFrames) {
  const std::vector<std::string> render{"farm",        "check",    "render", "walk.dgr",
                                        "--out",       "out",      "--name", "walk",
                                        "--line-test", "--frames", "1-5"};
  ExpectRun(render, 0, "quenda farm: render: all 5 files of the job are in place\n", "");

  std::filesystem::remove(dir.File("out/walk0002.tga"));
  std::vector<uint8_t> cut = ReadBytes(dir.File("out/walk0004.tga"));
  cut.resize(cut.size() / 2);
  WriteBytes(dir.File("out/walk0004.tga"), cut);
  WriteBytes(dir.File("walk/walk5.rgn"), {1, 2, 3});
  ExpectRun(render, 1, "quenda farm: render: 2 of 5 files are missing or unreadable\n",
            "frame 2: " + dir.File("out/walk0002.tga") +
                ": missing\nframe 4: " + dir.File("out/walk0004.tga") +
                ": Clip member: " + dir.File("out/walk0004.tga") + " is incomplete\n");
  ToolOutput regions = RunTool({"farm", "check", "analyze", "walk/walk1.qds", "--frames", "3-5"});
  EXPECT_EQ(regions.code, 1);
  EXPECT_EQ(regions.out,
            "frame 5: " + dir.File("walk/walk5.rgn") + ": Incorrect region file version\n");
}

TEST_F(Farm, RefusesWhatTheFarmCannotRun) {
  const std::vector<std::string> render{"farm", "render", "walk.dgr", "--out",
                                        "out",  "--name", "walk"};
  const auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> words = render;
    words.insert(words.end(), more.begin(), more.end());
    return words;
  };
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"farm"}, "name what to do: analyze, render, compose, shot or check"},
      {{"farm", "paint", "walk/walk1.qds"}, "unknown farm command 'paint'"},
      {{"farm", "check"}, "name the job to check: analyze, render or compose"},
      {with({"--jobs", "2"}),
       "--jobs is the farm's to give: --cpus sets each task's jobs, --chunk its frames"},
      {with({"--chunk", "0"}), "--chunk must be a whole number from 1 to 100000"},
      {with({"--after", "last"}), "--after must be a job id"},
      {with({"--threads", "0"}), "--threads must be a whole number from 1 to 256"},
      {with({"--frames", "3-109"}), "--frames must be A-B within the sheet's frames"},
      {with({"--resubmit"}), "--resubmit belongs to 'farm check'"},
      {{"farm", "render", "walk.dgr", "--name", "walk"}, "--out is needed"},
      {{"farm", "analyze", "walk/walk1.qds", "--frames", "7-9"}, "no frame of walk is in --frames"},
  };
  for (const auto& [words, reason] : cases) {
    ToolOutput ran = RunTool(words);
    EXPECT_EQ(ran.code, 2) << reason;
    EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')), "quenda farm: " + reason);
    EXPECT_TRUE(ran.err.find("usage: quenda farm analyze") != std::string::npos);
  }
}

}  // namespace
}  // namespace quenda::cli

// Submitting and waiting through a runner that records the command lines and answers from a
// queue; the check of a job's outputs; the real runner's streams and exit codes.

#include <gtest/gtest.h>

#include <deque>

#include "farm/core/output_check.h"
#include "farm/core/slurm_jobs.h"
#include "testing/test_support.h"

namespace quenda::farm {
namespace {

class RecordingRunner final : public ProcessRunner {
 public:
  explicit RecordingRunner(std::deque<ProcessOutput> answers) : answers_(std::move(answers)) {}
  ProcessOutput Run(const std::vector<std::string>& argv, std::string_view input) override {
    calls.push_back(argv);
    inputs.emplace_back(input);
    ProcessOutput answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  void Pause(std::chrono::milliseconds) override { ++pauses; }
  std::vector<std::vector<std::string>> calls;
  std::vector<std::string> inputs;
  int pauses = 0;

 private:
  std::deque<ProcessOutput> answers_;
};

TEST(SubmitScript, TheJobIdOrSbatchsReason) {
  struct Case {
    ProcessOutput answer;
    std::string id, message;
  };
  const std::vector<Case> cases{
      {{true, 0, "4711\n", ""}, "4711", ""},
      {{true, 0, "4712;north\n", ""}, "4712", ""},
      {{true, 1, "", "sbatch: error: invalid partition specified: gpu\n"},
       "",
       "sbatch refused the job: sbatch: error: invalid partition specified: gpu"},
      {{true, 0, "Submitted batch job 9\n", ""},
       "",
       "sbatch refused the job: Submitted batch job 9"},
      {{false, -1, "", ""}, "", "cannot run sbatch: Slurm's commands are not installed here"},
  };
  for (const Case& c : cases) {
    RecordingRunner runner({c.answer});
    Result<std::string> id = SubmitScript(runner, "#!/bin/bash\n");
    EXPECT_EQ(std::pair(id.ok() ? *id : "", id.message()), std::pair(c.id, c.message));
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{"sbatch", "--parsable"}));
    EXPECT_EQ(runner.inputs[0], "#!/bin/bash\n");
  }
}

TEST(WaitForJob, UntilNoTaskIsQueued) {
  struct Case {
    std::deque<ProcessOutput> answers;
    int pauses;
    std::string message;
  };
  const std::vector<Case> cases{
      {{{true, 0, "RUNNING None\nPENDING None\n", ""},
        {true, 0, "RUNNING None\n", ""},
        {true, 0, "", ""}},
       2,
       ""},
      {{{true, 1, "", "slurm_load_jobs error: Invalid job id specified\n"}}, 0, ""},
      {{{true, 0, "PENDING DependencyNeverSatisfied\n", ""}},
       0,
       "job 12 will never run: a job it waits for did not succeed"},
      {{{true, 1, "", "squeue: error: Unable to contact slurm controller\n"}},
       0,
       "squeue failed: squeue: error: Unable to contact slurm controller"},
  };
  for (const Case& c : cases) {
    RecordingRunner runner(c.answers);
    Status waited = WaitForJob(runner, "12");
    EXPECT_EQ(std::pair(waited.message(), runner.pauses), std::pair(c.message, c.pauses));
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{"squeue", "--noheader", "--jobs", "12",
                                                         "--format", "%T %r"}));
  }
}

TEST(FindFaultyOutputs, MissingAndUnreadableInOrder) {
  testing::TempDir dir;
  testing::WriteText(dir.File("a1.tga"), "good");
  testing::WriteText(dir.File("a3.tga"), "bad");
  testing::WriteText(dir.File("a4.tga"), "good");
  const std::vector<ExpectedOutput> expected{{1, "1", dir.File("a1.tga")},
                                             {2, "2", dir.File("a2.tga")},
                                             {3, "3a", dir.File("a3.tga")},
                                             {4, "4", dir.File("a4.tga")}};
  const auto faults = FindFaultyOutputs(expected, [](const ExpectedOutput& output) -> Status {
    if (testing::ReadText(output.path) == "good") return {};
    return Error{"Not a Targa file " + output.path};
  });
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_EQ(DescribeFault(faults[0]), "frame 2: " + dir.File("a2.tga") + ": missing");
  EXPECT_EQ(DescribeFault(faults[1]),
            "frame 3a: " + dir.File("a3.tga") + ": Not a Targa file " + dir.File("a3.tga"));
  EXPECT_EQ(FaultyFrames(faults), (std::vector<int>{2, 3}));
}

TEST(SystemProcessRunner, StreamsAndExitCodes) {
  SystemProcessRunner runner;
  ProcessOutput ran = runner.Run({"sh", "-c", "cat; echo oops >&2; exit 3"}, "in\n");
  EXPECT_EQ(std::tuple(ran.started, ran.exitCode, ran.out, ran.err),
            std::tuple(true, 3, "in\n", "oops\n"));
  // More than a pipe holds, both ways.
  const std::string big(1 << 20, 'x');
  ran = runner.Run({"cat"}, big);
  EXPECT_EQ(ran.out.size(), big.size());
  ran = runner.Run({"sh", "-c", "kill -TERM $$"}, {});
  EXPECT_EQ(ran.exitCode, 128 + 15);
  EXPECT_FALSE(runner.Run({"/nonexistent/sbatch"}, {}).started);
}

}  // namespace
}  // namespace quenda::farm

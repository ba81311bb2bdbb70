// A job cut into chunks, the chunks to run again, and the sbatch script that runs them.

#include <gtest/gtest.h>

#include "farm/core/batch_script.h"
#include "farm/core/frame_chunks.h"
#include "farm/core/process_runner.h"

namespace quenda::farm {
namespace {

TEST(FrameChunks, EveryFrameFallsInOneChunk) {
  struct Case {
    std::vector<int> frames;
    int size;
    std::vector<FrameChunk> chunks;
  };
  const std::vector<Case> cases{
      {FrameSpan(1, 17), 5, {{1, 5}, {6, 10}, {11, 15}, {16, 17}}},
      {FrameSpan(4, 6), 7, {{4, 6}}},
      {FrameSpan(1, 3), 1, {{1, 1}, {2, 2}, {3, 3}}},
      // Analysis numbers with gaps: a chunk's range spans the gap, and holds `size` numbers.
      {{1, 2, 5, 9, 10}, 2, {{1, 2}, {5, 9}, {10, 10}}},
      {{}, 3, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitIntoChunks(c.frames, c.size), c.chunks);
  // Only the chunks of faulty frames run again.
  const auto chunks = SplitIntoChunks(FrameSpan(1, 17), 5);
  EXPECT_EQ(ChunksHolding(chunks, {17, 7, 9}), (std::vector<int>{1, 3}));
  EXPECT_EQ(ChunksHolding(chunks, {5, 6}), (std::vector<int>{0, 1}));
  EXPECT_EQ(ChunksHolding(chunks, {}), std::vector<int>{});
  EXPECT_EQ(ChunksHolding(chunks, {18}), std::vector<int>{});
}

ArrayJob RenderJob() {
  ArrayJob job;
  job.name = "quenda-render";
  job.command = {"echo",   "quenda", "render",   "/my shot/s.dgr",
                 "--name", "it's",   "--frames", "1-17"};
  job.chunkOption = "--write";
  job.chunks = SplitIntoChunks(FrameSpan(1, 17), 5);
  job.logFolder = "/shot/frames/";
  return job;
}

TEST(BatchScript, AllTasksWithEveryRequest) {
  ArrayJob job = RenderJob();
  job.resources = {"gpu", "1:00:00", "2G", 2};
  job.after = "41";
  EXPECT_EQ(WriteBatchScript(job),
            "#!/bin/bash\n"
            "#SBATCH --job-name=quenda-render\n"
            "#SBATCH --array=0-3\n"
            "#SBATCH --ntasks=1\n"
            "#SBATCH --cpus-per-task=2\n"
            "#SBATCH --partition=gpu\n"
            "#SBATCH --time=1:00:00\n"
            "#SBATCH --mem=2G\n"
            "#SBATCH --dependency=afterok:41\n"
            "#SBATCH --output=/shot/frames/quenda-render-%A_%a.out\n"
            "set -eu\n"
            "# The frames of each task, by task number.\n"
            "firsts=(1 6 11 16)\n"
            "lasts=(5 10 15 17)\n"
            "chunk=\"${firsts[$SLURM_ARRAY_TASK_ID]}-${lasts[$SLURM_ARRAY_TASK_ID]}\"\n"
            "exec echo quenda render '/my shot/s.dgr' --name 'it'\\''s' --frames 1-17 --write "
            "\"$chunk\" --jobs 2\n");
}

TEST(BatchScript, EachTaskRunsItsChunk) {
  ArrayJob job = RenderJob();
  job.tasks = {1, 3};
  const std::string script = WriteBatchScript(job);
  EXPECT_NE(script.find("#SBATCH --array=1,3\n"), std::string::npos);
  EXPECT_EQ(script.find("--partition"), std::string::npos);
  SystemProcessRunner shell;
  for (auto [task, words] :
       {std::pair{"1", "--write 6-10 --jobs 1"}, {"3", "--write 16-17 --jobs 1"}}) {
    const ProcessOutput ran =
        shell.Run({"env", std::string("SLURM_ARRAY_TASK_ID=") + task, "bash", "-s"}, script);
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out, "quenda render /my shot/s.dgr --name it's --frames 1-17 " +
                           std::string(words) + "\n");
  }
}

}  // namespace
}  // namespace quenda::farm

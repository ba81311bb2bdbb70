#pragma once
// Submitting a script to Slurm and waiting for its job, through a ProcessRunner.

#include <chrono>
#include <string>

#include "common/result.h"
#include "farm/core/process_runner.h"

namespace quenda::farm {

// `sbatch --parsable` with the script on standard input: the new job's id, or why there is
// none (sbatch's own words).
Result<std::string> SubmitScript(ProcessRunner& runner, const std::string& script);

// Looks at the job with squeue every `every` until none of its tasks is pending or running.
// Fails when squeue cannot say, or when the job waits on a job that failed (it would never
// run). Whether the tasks succeeded is for the check of the outputs to tell.
Status WaitForJob(ProcessRunner& runner, const std::string& id,
                  std::chrono::milliseconds every = std::chrono::seconds(2));

}  // namespace quenda::farm

#include "farm/core/slurm_jobs.h"

#include <sstream>

namespace quenda::farm {
namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

Error CannotRun(const std::string& program) {
  return {"cannot run " + program + ": Slurm's commands are not installed here"};
}

}  // namespace

Result<std::string> SubmitScript(ProcessRunner& runner, const std::string& script) {
  const ProcessOutput sbatch = runner.Run({"sbatch", "--parsable"}, script);
  if (!sbatch.started) return CannotRun("sbatch");
  // "ID" or, on a federation, "ID;CLUSTER".
  std::string id = Trimmed(sbatch.out.substr(0, sbatch.out.find(';')));
  if (sbatch.exitCode != 0 || id.empty() || id.find_first_not_of("0123456789") != std::string::npos)
    return Error{"sbatch refused the job: " + Trimmed(sbatch.err + sbatch.out)};
  return id;
}

Status WaitForJob(ProcessRunner& runner, const std::string& id, std::chrono::milliseconds every) {
  for (;;) {
    const ProcessOutput squeue =
        runner.Run({"squeue", "--noheader", "--jobs", id, "--format", "%T %r"}, {});
    if (!squeue.started) return CannotRun("squeue");
    // A job the controller has already forgotten is over.
    if (squeue.exitCode != 0 && squeue.err.find("Invalid job id") != std::string::npos) return {};
    if (squeue.exitCode != 0) return Error{"squeue failed: " + Trimmed(squeue.err)};
    std::istringstream lines(squeue.out);
    std::string line;
    bool waiting = false;
    while (std::getline(lines, line)) {
      if (Trimmed(line).empty()) continue;
      if (line.find("DependencyNeverSatisfied") != std::string::npos)
        return Error{"job " + id + " will never run: a job it waits for did not succeed"};
      waiting = true;
    }
    if (!waiting) return {};
    runner.Pause(every);
  }
}

}  // namespace quenda::farm

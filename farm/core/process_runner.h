#pragma once
// Running the cluster's commands (sbatch, squeue) behind a small interface, so tests can
// record the command lines and answer them.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace quenda::farm {

struct ProcessOutput {
  bool started = false;  // false when the program could not be run at all
  int exitCode = -1;     // 128 + N when a signal N ended it
  std::string out;
  std::string err;
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Runs argv[0] (looked up in PATH) with `input` on its standard input; waits for it.
  virtual ProcessOutput Run(const std::vector<std::string>& argv, std::string_view input) = 0;
  // The pause between two looks at a job that is still running.
  virtual void Pause(std::chrono::milliseconds time) = 0;
};

// Real processes: fork and exec, pipes for all three streams.
class SystemProcessRunner final : public ProcessRunner {
 public:
  ProcessOutput Run(const std::vector<std::string>& argv, std::string_view input) override;
  void Pause(std::chrono::milliseconds time) override;
};

}  // namespace quenda::farm

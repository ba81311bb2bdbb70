#pragma once
// The real tool in a process of its own, for the tests that run two at once or signal it.

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "testing/spawned_process.h"

namespace quenda::cli {

// The tool running in a process of its own, its standard error kept in a file.
class ToolProcess {
 public:
  ToolProcess(std::vector<std::string> args, const std::string& errors) {
    args.insert(args.begin(), QUENDA_TOOL);
    pid_ = ::quenda::testing::SpawnProcess(std::move(args), errors);
  }
  ~ToolProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  bool running() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) == 0) return pid_ > 0;
    pid_ = -1;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return false;
  }
  // Sends `signal` to the running tool.
  void Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }
  int Wait() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_)
      code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    pid_ = -1;
    return code_;
  }

 private:
  pid_t pid_ = -1;
  int code_ = -1;
};

// Until `done` holds, or a minute has passed: true when it held.
template <class Condition>
inline bool WaitFor(Condition done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace quenda::cli

#pragma once
// The kill tests of crash recovery: a test program starts itself again to run one of its
// crashing runs (ui/tests/crashing_runs.h). That run opens a document in a real window, makes a
// change it does not save, waits until its recovery copy is written, says so and waits; the test
// then kills it with SIGKILL, as a crash would end it, and starts the program's window again.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testing/test_support.h"
#include "ui/tests/crashing_runs.h"

extern char** environ;

namespace quenda::testing {

// Until `done` holds, running the event loop, for at most `ms`; true when it held.
template <class Condition>
bool WaitWithEvents(Condition done, int ms = 30000) {
  QElapsedTimer since;
  since.start();
  while (!done()) {
    if (since.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

// In the crashing run, once its copy is written: says so and waits to be killed.
[[noreturn]] inline void SayReadyAndWaitForTheKill(const std::string& folder) {
  WriteText(folder + "ready", "ready");
  for (;;) pause();
}

class CrashingRun {
 public:
  // Runs the crashing run `name` (see QUENDA_CRASHING_RUN) of this program in a process of its
  // own, on `folder` (ending with '/').
  CrashingRun(const std::string& name, const std::string& folder) : folder_(folder) {
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> argv{self.data(), nullptr};
    std::vector<std::string> env;
    // Both variables start with the first one's name.
    for (char** e = environ; *e != nullptr; ++e)
      if (!std::string_view(*e).starts_with(kCrashingRunVariable)) env.emplace_back(*e);
    env.push_back(std::string(kCrashingRunVariable) + "=" + name);
    env.push_back(std::string(kCrashFolderVariable) + "=" + folder);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, self.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
      pid_ = -1;
  }
  ~CrashingRun() { Kill(); }

  // True once the run has written its copy; false when it ended or a minute passed first.
  bool WaitUntilReady() {
    const std::string ready = folder_ + "ready";
    return WaitWithEvents(
               [&] {
                 int status = 0;
                 if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
                 return pid_ <= 0 || std::filesystem::exists(ready);
               },
               60000) &&
           pid_ > 0;
  }

  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

}  // namespace quenda::testing

#pragma once
// A program run to its end in a process of its own, as a second program changing a document a
// window holds open.

#include <sys/wait.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/spawned_process.h"

namespace quenda::testing {

// Runs `words` (the program first), its standard output thrown away; its exit code, or -1.
inline int RunSecondProcess(std::vector<std::string> words) {
  const pid_t child = SpawnProcess(std::move(words));
  if (child < 0) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quenda::testing

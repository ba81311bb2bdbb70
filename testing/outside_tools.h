#pragma once
// Running the outside readers (ImageMagick, ffmpeg) that check what the suite writes, with
// their standard output caught whole.

#include <sys/wait.h>
#include <cstdio>
#include <string>

namespace quenda::testing {

struct ToolRun {
  int exitCode = -1;
  std::string out;  // standard output, bytes as they came
};

// `command` goes to the shell as it is; standard error is left to the test's log.
inline ToolRun RunTool(const std::string& command) {
  ToolRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string Quoted(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace quenda::testing

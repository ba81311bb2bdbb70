#pragma once
// Runs the quenda tool in-process and keeps what it printed, for the command tests.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"

namespace quenda::cli {

struct ToolOutput {
  int code = 0;
  std::string out;
  std::string err;
};

inline ToolOutput RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CommandIo io{out, err};
  int code = RunQuenda(args, io);
  return {code, out.str(), err.str()};
}

// Runs each command in turn, failing the test at the first that does not succeed; fixtures
// build their productions with it.
inline void RunAll(const std::vector<std::vector<std::string>>& commands) {
  for (const std::vector<std::string>& words : commands) {
    ToolOutput made = RunTool(words);
    ASSERT_EQ(made.code, 0) << words[0] << " " << (words.size() > 1 ? words[1] : "") << ": "
                            << made.err;
  }
}

// Runs the tool expecting exit code `code`, `err` as its whole standard error and, when given,
// `out` as its whole standard output; returns what it printed for any further check.
inline ToolOutput ExpectRun(const std::vector<std::string>& args, int code, const std::string& err,
                            const std::optional<std::string>& out = std::nullopt) {
  ToolOutput run = RunTool(args);
  EXPECT_EQ(run.code, code) << args[0] << "\n" << run.err;
  EXPECT_EQ(run.err, err) << args[0];
  if (out) {
    EXPECT_EQ(run.out, *out) << args[0];
  }
  return run;
}

// As run on a terminal where the user types `typed`.
inline ToolOutput RunToolOnTerminal(const std::vector<std::string>& args,
                                    const std::string& typed) {
  std::ostringstream out, err;
  std::istringstream in(typed);
  CommandIo io{out, err, &in, true};
  int code = RunQuenda(args, io);
  return {code, out.str(), err.str()};
}

}  // namespace quenda::cli

#pragma once
// The crashing runs of the kill tests, by name: each is the child half of a kill test, run in
// a process of its own when the test starts its program again with QUENDA_CRASHING_RUN naming
// it. They are no tests of their own, so the test lists never show them.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace quenda::testing {

inline constexpr const char* kCrashingRunVariable = "QUENDA_CRASHING_RUN";
inline constexpr const char* kCrashFolderVariable = "QUENDA_CRASHING_RUN_FOLDER";

// A crashing run: works in `folder` (ending with '/') and, once its copy is written, says so
// and waits for the kill.
using CrashingRunBody = void (*)(const std::string& folder);

inline std::map<std::string, CrashingRunBody>& CrashingRuns() {
  static std::map<std::string, CrashingRunBody> runs;
  return runs;
}

struct CrashingRunRegistration {
  CrashingRunRegistration(const char* name, CrashingRunBody body) { CrashingRuns()[name] = body; }
};

// In a test program's main: runs the crashing run this process was started for; its exit code,
// or nothing in an ordinary run of the tests.
inline std::optional<int> RunCrashingRunIfAsked() {
  const char* name = std::getenv(kCrashingRunVariable);
  if (name == nullptr || *name == '\0') return std::nullopt;
  const char* folder = std::getenv(kCrashFolderVariable);
  auto run = CrashingRuns().find(name);
  if (run == CrashingRuns().end() || folder == nullptr) return 2;
  run->second(folder);
  // Back only when a check failed before the copy was written.
  return 1;
}

}  // namespace quenda::testing

// Defines the crashing run `name`, whose body sees the folder as `folder`.
#define QUENDA_CRASHING_RUN(name)                                                    \
  void name(const std::string& folder);                                              \
  const ::quenda::testing::CrashingRunRegistration name##Registration(#name, &name); \
  void name(const std::string& folder)

// Every Qt test program's main: the tests of one program share one QApplication.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "ui/tests/crashing_runs.h"

int main(int argc, char** argv) {
  // Listing the tests at build time happens without the test environment; no display needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The programs keep recovery copies in the user's state folder: each test process gets one of
  // its own, so that tests never touch the user's nor see each other's. A child process that a
  // test starts inherits its parent's.
  std::string state;
  if (qEnvironmentVariableIsEmpty("QUENDA_TEST_STATE_OWNER")) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quenda-test-state-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      state = pattern;
      qputenv("XDG_DATA_HOME", QByteArray::fromStdString(state));
      qputenv("QUENDA_TEST_STATE_OWNER", "1");
    }
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // The child half of a kill test runs in place of the tests, and is killed in the middle.
  if (std::optional<int> crashed = quenda::testing::RunCrashingRunIfAsked()) return *crashed;
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  if (!state.empty()) std::filesystem::remove_all(state, ignored);
  return result;
}

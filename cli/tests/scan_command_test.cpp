#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "testing/sane_test_backend.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

struct Refusal {
  std::vector<std::string> options;  // test.conf lines
  std::vector<std::string> args;     // after DIR
  int code;
  std::string err;  // what standard error starts with
};

TEST(ScanCommand, RefusalsWriteNothingNewAndFramesAreScannedCalibratedAndTurned) {
  TempDir dir;
  WriteText(dir.File("old1.qds"), "kept");
  const std::string named = "quenda scan: " + dir.path() + ": ";
  const std::string opError = named + "Condition Code: DS or DSM reported error, app shouldn't\n";
  const std::vector<Refusal> cases{
      {{}, {"--frames", "1"}, 2, "quenda scan: --name is required\n"},
      {{},
       {"--name", "walk", "--frames", "1", "--area", "1,2,3"},
       2,
       "quenda scan: --area must be X,Y,W,H in millimetres, W and H more than 0\n"},
      {{},
       {"--name", "walk2", "--frames", "1"},
       2,
       "quenda scan: Sorry, only letters are allowed for the sequence name.\n"},
      {{},
       {"--name", "walk", "--frames", "1", "--device", "nowhere:9"},
       1,
       "quenda scan: no scanner nowhere:9; SANE lists: test:0 test:1\n"},
      {{},
       {"--name", "old", "--frames", "1"},
       1,
       named + "The sequence exists, Please open the sequence to edit it in scanner\n"},
      {{"read-status-code \"SANE_STATUS_IO_ERROR\""},
       {"--name", "walk", "--frames", "2"},
       1,
       opError + named + "0 of 2 frames written\n"},
  };
  for (const Refusal& c : cases) {
    SaneTestBackend backend(c.options);
    std::vector<std::string> args{"scan", dir.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, c.code) << c.err;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"old1.qds"});
  }

  SaneTestBackend backend({"test-picture \"Solid black\""});
  ExpectRun({"scan", dir.path(), "--name", "walk", "--frames", "2", "--dpi", "100", "--area",
             "3,4,20,30", "--peg", "0", "--brightness", "10", "--contrast", "0"},
            0, "", "wrote " + dir.File("walk1.qds") + "\nwrote " + dir.File("walk2.qds") + "\n");
  auto scan = ReadDrawingScan(dir.File("walk2.qds"), ScanReader::Scanner);
  ASSERT_TRUE(scan.ok()) << scan.message();
  // 20 x 30 mm at 100 dpi, turned a quarter: 118 wide, 78 high; black lifted to 10.
  EXPECT_EQ(
      std::tuple(scan->scan.picture.width(), scan->scan.picture.height(), scan->scan.pegPosition),
      std::tuple(118, 78, 0));
  const auto& bytes = scan->scan.picture.bytes();
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t v) { return v == 10; }));
}

}  // namespace
}  // namespace quenda::cli

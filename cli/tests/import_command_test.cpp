#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/tests/tool_run.h"
#include "common/drawing_scan.h"
#include "testing/picture_files.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

TEST(ImportCommand, RefusalsWriteNothingAndASeriesIsImportedWithTheAssumedFacts) {
  TempDir dir;
  const std::vector<uint8_t> bmp = EncodeTestBmp(MakeTestPicture(6, 4, 16), 8, false);
  std::vector<uint8_t> bad = bmp;
  bad[30] = 1;  // run-length
  WriteBytes(dir.File("bad1.bmp"), bad);
  WriteBytes(dir.File("pic.png"), {1, 2, 3});
  const std::string first = dir.File("bad1.bmp");
  const std::string usage = "quenda import: ";
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;  // what standard error starts with
  } kCases[] = {
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "150"},
       2,
       usage + "--out, --name, --dpi and --peg are required"},
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "9", "--peg", "0"},
       2,
       usage + "--dpi must be a whole number from 10 to 1200"},
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "4"},
       2,
       usage + "--peg must be 0, 1, 2 or 3"},
      {{dir.File("pic.png"), "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "0"},
       1,
       usage + dir.File("pic.png") + ": Unsupported file extension\n"},
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "0"},
       1,
       usage + first + ": Error : " + first +
           " is compressed bitmap, can not read compressed bitmaps, sorry!\n" + usage + first +
           ": Unsupported or corrupted bmp file\n"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> args{"import"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ToolOutput run = RunTool(args);
    SCOPED_TRACE(run.err);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{"bad1.bmp", "pic.png"}));

  for (int n : {3, 4}) WriteBytes(dir.File("pic0" + std::to_string(n) + ".bmp"), bmp);
  ExpectRun({"import", dir.File("pic03.bmp"), "--out", dir.File("seq"), "--name", "walk", "--dpi",
             "300", "--peg", "3"},
            0, "",
            "wrote " + dir.File("seq/walk3.qds") + "\nwrote " + dir.File("seq/walk4.qds") + "\n");
  auto scan = ReadDrawingScan(dir.File("seq/walk4.qds"), ScanReader::Scanner);
  ASSERT_TRUE(scan.ok()) << scan.message();
  EXPECT_EQ((std::array{scan->scan.dpi, scan->scan.pegPosition, scan->scan.picture.width()}),
            (std::array{300, 3, 6}));
}

}  // namespace
}  // namespace quenda::cli

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
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
  WriteBytes(dir.File("pic.gif"), {1, 2, 3});
  WriteBytes(dir.File("bad1.png"), {1, 2, 3});
  const std::string first = dir.File("bad1.bmp");
  const std::string usage = "quenda import: ";
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;  // what standard error starts with
  } kCases[] = {
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "150"},
       2,
       usage + "--out, --name and --peg are required"},
      {{first, "--out", dir.path(), "--name", "walk", "--peg", "0"},
       2,
       usage + "--dpi is needed: " + first + " holds no resolution of 10..1200 dpi"},
      {{dir.File("bad1.png"), "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "0"},
       1,
       usage + dir.File("bad1.png") + ": Cannot read picture " + dir.File("bad1.png") + ": "},
      // Without --dpi as well: the damage is the reason, not a missing resolution.
      {{dir.File("bad1.png"), "--out", dir.path(), "--name", "walk", "--peg", "0"},
       1,
       usage + dir.File("bad1.png") + ": Cannot read picture " + dir.File("bad1.png") + ": "},
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "9", "--peg", "0"},
       2,
       usage + "--dpi must be a whole number from 10 to 1200"},
      {{first, "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "4"},
       2,
       usage + "--peg must be 0, 1, 2 or 3"},
      {{dir.File("pic.gif"), "--out", dir.path(), "--name", "walk", "--dpi", "150", "--peg", "0"},
       1,
       usage + dir.File("pic.gif") + ": Unsupported file extension\n"},
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
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"bad1.bmp", "bad1.png", "pic.gif"}));

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

TEST(ImportCommand, ASequenceThereAlreadyIsReplacedWholeOnlyWithForceAndItsColoursStay) {
  TempDir dir;
  const std::string seq = dir.File("seq/");
  std::filesystem::create_directory(seq);
  // An earlier sequence of four drawings, painted, with its colour set.
  for (int n = 1; n <= 4; ++n)
    for (const char* extension : {".qds", ".rgn", ".pnt"})
      WriteText(seq + "walk" + std::to_string(n) + extension, "old");
  WriteText(seq + "walk.col", "colours");
  for (const char* name : {"new_0001.png", "new_0002.png"})
    ASSERT_EQ(std::system(("convert -size 5x3 xc:gray40 -units PixelsPerInch -density 200 '" +
                           dir.File(name) + "'")
                              .c_str()),
              0);
  const std::vector<std::string> args{
      "import", dir.File("new_0001.png"), "--out", seq, "--name", "walk", "--peg", "1"};
  const std::vector<std::string> before = ListDirectory(seq);
  ToolOutput refused = RunTool(args);
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, "quenda import: " + seq +
                             ": holds the sequence walk already (12 files); it is left as it is "
                             "(--force replaces it)\n");
  EXPECT_EQ(ListDirectory(seq), before);

  std::vector<std::string> forced = args;
  forced.push_back("--force");
  ToolOutput run = RunTool(forced);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out.find("removed " + seq + "walk1.pnt\n"), 0u);
  EXPECT_NE(run.out.find("removed " + seq + "walk4.rgn\nwrote " + seq + "walk1.qds\nwrote " + seq +
                         "walk2.qds\n"),
            std::string::npos)
      << run.out;
  // Drawings 3 and 4 of the old sequence do not join the new one; every region and paint file
  // went with its drawing.
  EXPECT_EQ(ListDirectory(seq), (std::vector<std::string>{"walk.col", "walk1.qds", "walk2.qds"}));
  EXPECT_EQ(ReadText(seq + "walk.col"), "colours");
  auto scan = ReadDrawingScan(seq + "walk2.qds", ScanReader::Scanner);
  ASSERT_TRUE(scan.ok()) << scan.message();
  EXPECT_EQ(std::tuple(scan->scan.dpi, scan->scan.pegPosition, scan->scan.picture.At(0, 0)[0]),
            std::tuple(200, 1, uint8_t(102)));
}

}  // namespace
}  // namespace quenda::cli

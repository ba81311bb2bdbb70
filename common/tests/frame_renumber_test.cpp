// Renumbering a drawing: its files move together, stale region and paint files under the new
// number go, and a rename that fails puts back what had moved.
#include "common/frame_renumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

FrameFilePaths Frame(const TempDir& dir, const std::string& stem) {
  return {dir.File(stem + ".qds"), dir.File(stem + ".rgn"), dir.File(stem + ".pnt")};
}

TEST(RenumberFrameFiles, TheFilesMoveTogetherAndStaleOnesAtTheNewNumberGo) {
  struct Case {
    const char* name;
    std::vector<std::string> before;  // files written, each holding its own name
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"drawing alone", {"walk1.qds"}, {"walk4.qds"}},
      {"all three",
       {"walk1.qds", "walk1.rgn", "walk1.pnt"},
       {"walk4.pnt", "walk4.qds", "walk4.rgn"}},
      {"stale paint, moved drawing without",
       {"walk1.qds", "walk1.rgn", "walk4.pnt"},
       {"walk4.qds", "walk4.rgn"}},
      {"stale both, replaced",
       {"walk1.qds", "walk1.rgn", "walk1.pnt", "walk4.rgn", "walk4.pnt"},
       {"walk4.pnt", "walk4.qds", "walk4.rgn"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const std::string& file : c.before) WriteText(dir.File(file), file);
    ASSERT_TRUE(RenumberFrameFiles(Frame(dir, "walk1"), Frame(dir, "walk4")).ok());
    EXPECT_EQ(ListDirectory(dir.path()), c.after);
    for (const std::string& file : c.after)
      EXPECT_EQ(ReadText(dir.File(file)), "walk1" + file.substr(5));
  }
}

TEST(RenumberFrameFiles, AFailedRenamePutsEverythingBackAndNamesTheFile) {
  TempDir dir;
  for (const char* file : {"walk1.qds", "walk1.rgn", "walk1.pnt", "walk4.rgn"})
    WriteText(dir.File(file), file);
  FrameFilePaths to = Frame(dir, "walk4");
  to.paint = dir.File("gone/walk4.pnt");  // a folder that is not there: the last rename fails
  EXPECT_EQ(RenumberFrameFiles(Frame(dir, "walk1"), to).message(),
            "Can not rename frame, The file may be read-only: " + dir.File("walk1.pnt"));
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"walk1.pnt", "walk1.qds", "walk1.rgn", "walk4.rgn"}));
  for (const char* file : {"walk1.qds", "walk1.rgn", "walk1.pnt", "walk4.rgn"})
    EXPECT_EQ(ReadText(dir.File(file)), file);
}

}  // namespace
}  // namespace quenda

#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::ListDirectory;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

class WriteLimit {
 public:
  explicit WriteLimit(long long bytes) { SetWriteLimitForTesting(bytes); }
  ~WriteLimit() { SetWriteLimitForTesting(-1); }
};

TEST(AtomicFile, ReplacesTheTargetOnlyWhenComplete) {
  TempDir dir;
  std::string path = dir.File("walk.col");
  WriteText(path, "old");
  {
    AtomicFile file;
    ASSERT_EQ(file.Open(path), WriteFailure::None);
    ASSERT_EQ(file.Write("new", 3), WriteFailure::None);
    EXPECT_EQ(ReadText(path), "old");  // readers still see the old file mid-write
    ASSERT_EQ(file.Commit(), WriteFailure::None);
  }
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"walk.col"});
}

TEST(AtomicFile, AbandonedWriteLeavesNoTraceAndTheOldFile) {
  TempDir dir;
  std::string path = dir.File("a.bin");
  WriteText(path, "keep");
  {
    AtomicFile file;
    ASSERT_EQ(file.Open(path), WriteFailure::None);
    ASSERT_EQ(file.Write("xx", 2), WriteFailure::None);
  }  // destroyed without Commit
  EXPECT_EQ(ReadText(path), "keep");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"a.bin"});
}

TEST(AtomicFile, FullDiskIsAShortWriteAndKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.File("a.bin");
  WriteText(path, "previous contents");
  WriteLimit limit(4);
  EXPECT_EQ(WriteFileAtomically(path, std::string_view("much longer new contents")),
            WriteFailure::ShortWrite);
  EXPECT_EQ(ReadText(path), "previous contents");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"a.bin"});
}

TEST(AtomicFile, ReadOnlyFileOrDirectoryCannotBeCreated) {
  TempDir dir;
  std::string path = dir.File("ro.txt");
  WriteText(path, "locked");
  testing::MakeReadOnly(path);
  EXPECT_EQ(WriteFileAtomically(path, std::string_view("x")), WriteFailure::CannotCreate);
  EXPECT_EQ(ReadText(path), "locked");

  std::string sub = dir.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  WriteText(sub + "/f.txt", "inside");
  testing::MakeReadOnly(sub);
  EXPECT_EQ(WriteFileAtomically(sub + "/f.txt", std::string_view("x")), WriteFailure::CannotCreate);
  EXPECT_EQ(WriteFileAtomically(sub + "/new.txt", std::string_view("x")),
            WriteFailure::CannotCreate);
  EXPECT_EQ(ReadText(sub + "/f.txt"), "inside");
  EXPECT_EQ(WriteFileAtomically(dir.File("missing/f.txt"), std::string_view("x")),
            WriteFailure::CannotCreate);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions) {
  TempDir dir;
  std::string path = dir.File("p.txt");
  WriteText(path, "a");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(WriteFileAtomically(path, std::string_view("b")), WriteFailure::None);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace quenda

#include "common/file_identity.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Puts the file's modification time back to `identity`'s, as a coarse clock would show it.
void SetModified(const std::string& path, const FileIdentity& identity) {
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = identity.modifiedNs / 1'000'000'000;
  times[0].tv_nsec = times[1].tv_nsec = identity.modifiedNs % 1'000'000'000;
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FileIdentity, ASmallFileIsKnownByItsBytesEvenWhenSizeAndTimeStay) {
  TempDir dir;
  const std::string path = dir.File("walk.dgr");
  WriteText(path, "level A");
  const FileIdentity loaded = IdentifyFile(path);
  ASSERT_TRUE(loaded.exists && loaded.hash.has_value());
  EXPECT_FALSE(IdentifyFile(path).DiffersFrom(loaded));

  // Another program writes the same length within the same clock tick.
  ASSERT_TRUE(WriteFileAtomically(path, std::string_view("level B"), WriteMessages("x")).ok());
  SetModified(path, loaded);
  EXPECT_TRUE(IdentifyFile(path).DiffersFrom(loaded));

  // Written again with the bytes it had: the same file, whatever the time says.
  ASSERT_TRUE(WriteFileAtomically(path, std::string_view("level A"), WriteMessages("x")).ok());
  EXPECT_FALSE(IdentifyFile(path).DiffersFrom(loaded));

  std::filesystem::remove(path);
  EXPECT_TRUE(IdentifyFile(path).DiffersFrom(loaded));
  EXPECT_FALSE(IdentifyFile(path).DiffersFrom(IdentifyFile(dir.File("never.dgr"))));
}

TEST(FileIdentity, ALargeFileIsKnownBySizeAndTime) {
  TempDir dir;
  const std::string path = dir.File("big.tga");
  WriteBytes(path, std::vector<uint8_t>(kHashedFileLimit + 1, 7));
  const FileIdentity loaded = IdentifyFile(path);
  EXPECT_FALSE(loaded.hash.has_value());
  std::vector<uint8_t> other(kHashedFileLimit + 1, 8);
  WriteBytes(path, other);
  SetModified(path, loaded);
  EXPECT_FALSE(IdentifyFile(path).DiffersFrom(loaded)) << "unhashed: only size and time count";
  FileIdentity later = loaded;
  later.modifiedNs += 1;
  EXPECT_TRUE(later.DiffersFrom(loaded));
  other.push_back(1);
  WriteBytes(path, other);
  SetModified(path, loaded);
  EXPECT_TRUE(IdentifyFile(path).DiffersFrom(loaded));
}

TEST(DocumentFiles, ListsOnlyTheFilesChangedSinceTheyWereRememberedAgain) {
  TempDir dir;
  const std::string region = dir.File("walk1.rgn"), paint = dir.File("walk1.pnt");
  WriteText(region, "r");
  WriteText(paint, "p");
  DocumentFiles files;
  files.Remember(region);
  files.Remember(paint);
  files.Remember(dir.File("walk.col"));  // not there yet
  EXPECT_TRUE(files.ChangedOnDisk().empty());
  WriteText(region, "r2");
  WriteText(dir.File("walk.col"), "Quenda 3");
  EXPECT_EQ(files.ChangedOnDisk(), (std::vector<std::string>{dir.File("walk.col"), region}));
  EXPECT_TRUE(files.ChangedOnDisk(region));
  EXPECT_FALSE(files.ChangedOnDisk(paint));
  EXPECT_FALSE(files.ChangedOnDisk(dir.File("other.rgn"))) << "never remembered";
  files.Remember(region);  // saved again by the program
  files.Forget(dir.File("walk.col"));
  EXPECT_TRUE(files.ChangedOnDisk().empty());
  EXPECT_EQ(files.paths(), (std::vector<std::string>{paint, region}));
}

}  // namespace
}  // namespace quenda

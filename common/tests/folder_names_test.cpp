#include "common/folder_names.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/case_insensitive_path.h"
#include "common/frame_sequence.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Sets the folder's modification time.
void SetFolderTime(const std::string& folder, timespec at) {
  const timespec times[2] = {at, at};
  ASSERT_EQ(utimensat(AT_FDCWD, folder.c_str(), times, 0), 0) << folder;
}
timespec SecondsAgo(int seconds) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  now.tv_sec -= seconds;
  return now;
}
timespec FolderTime(const std::string& folder) {
  struct stat st {};
  EXPECT_EQ(stat(folder.c_str(), &st), 0);
  return st.st_mtim;
}

struct Looked {
  std::string resolved;
  long long listings;
};
Looked Look(const std::string& path) {
  const long long before = FolderListingCount();
  std::string resolved = ResolvePathIgnoringCase(path);
  return {resolved, FolderListingCount() - before};
}

TEST(FolderNames, ASettledFolderIsListedOnceForEveryMissingNameUntilItChanges) {
  TempDir dir;
  for (const char* name : {"Walk1.QDS", "walk1.rgn", "walk2.qds"}) WriteText(dir.File(name), "x");
  SetFolderTime(dir.path(), SecondsAgo(60));
  ForgetFolderNames();
  // Unpainted frames: their paint files are looked for and are not there.
  struct Case {
    std::string name, expected;
    long long listings;
  };
  const std::vector<Case> cases{
      {"walk1.pnt", "walk1.pnt", 1}, {"walk2.pnt", "walk2.pnt", 0}, {"walk1.qds", "Walk1.QDS", 0},
      {"WALK1.RGN", "walk1.rgn", 0}, {"walk9.pnt", "walk9.pnt", 0},
  };
  for (const Case& c : cases) {
    const Looked looked = Look(dir.File(c.name));
    EXPECT_EQ(looked.resolved, dir.File(c.expected)) << c.name;
    EXPECT_EQ(looked.listings, c.listings) << c.name;
  }
  // A file made since changes the folder's time: the next look lists it again and finds it.
  WriteText(dir.File("Walk2.PNT"), "painted elsewhere");
  EXPECT_EQ(Look(dir.File("walk2.pnt")).resolved, dir.File("Walk2.PNT"));
  // Just changed, so not kept: a second file in the same tick could leave the time alone.
  EXPECT_EQ(Look(dir.File("walk3.pnt")).listings, 1);
}

TEST(FolderNames, AFileAddedInTheTickOfTheListingIsStillFound) {
  TempDir dir;
  WriteText(dir.File("walk1.qds"), "x");
  const timespec tick = FolderTime(dir.path());
  EXPECT_EQ(Look(dir.File("walk1.pnt")).resolved, dir.File("walk1.pnt"));
  // Another program adds a paint file and the folder's clock has not moved on.
  WriteText(dir.File("WALK1.PNT"), "x");
  SetFolderTime(dir.path(), tick);
  EXPECT_EQ(Look(dir.File("walk1.pnt")).resolved, dir.File("WALK1.PNT"));
}

TEST(FolderNames, AFolderPutInTheOldOnesPlaceWithItsTimeIsListedAgain) {
  TempDir dir;
  const std::string folder = dir.File("shot");
  std::filesystem::create_directory(folder);
  WriteText(folder + "/Walk1.qds", "x");
  const timespec old = SecondsAgo(60);
  SetFolderTime(folder, old);
  EXPECT_EQ(Look(folder + "/walk1.QDS").resolved, folder + "/Walk1.qds");
  std::filesystem::rename(folder, dir.File("old shot"));
  std::filesystem::create_directory(folder);
  WriteText(folder + "/WALK1.qds", "x");
  SetFolderTime(folder, old);
  EXPECT_EQ(Look(folder + "/walk1.QDS").resolved, folder + "/WALK1.qds");
}

TEST(FolderNames, ASequenceOpensFromTheListingItsFramesResolveBy) {
  TempDir dir;
  for (const char* name : {"walk1.qds", "walk2.qds", "walk1.rgn"}) WriteText(dir.File(name), "x");
  std::filesystem::create_directory(dir.File("walk3.qds"));  // a folder is no frame
  std::filesystem::create_symlink(dir.File("walk2.qds"), dir.File("walk4.qds"));
  std::filesystem::create_symlink(dir.File("nothing"), dir.File("walk5.qds"));
  SetFolderTime(dir.path(), SecondsAgo(60));
  ForgetFolderNames();
  const long long before = FolderListingCount();
  const DrawingSequence sequence = OpenSequence(dir.File("walk1.qds"), "walk1.qds");
  const FolderListing folder = SequenceFolder(sequence);
  std::vector<std::string> paths;
  for (const FrameTag& tag : sequence.frames)
    paths.push_back(SequenceFilePath(sequence, tag, ".pnt", folder));
  EXPECT_EQ(FolderListingCount() - before, 1);
  EXPECT_EQ(paths, (std::vector<std::string>{dir.File("walk1.pnt"), dir.File("walk2.pnt"),
                                             dir.File("walk4.pnt")}));
}

TEST(FolderNames, AKilledWritersTemporaryGoesThoughTheFolderWasListedBefore) {
  TempDir dir;
  WriteText(dir.File("w1.tga"), "old");
  SetFolderTime(dir.path(), SecondsAgo(60));
  ForgetFolderNames();
  (void)Look(dir.File("W2.tga"));  // the folder's listing is kept from here
  WriteText(dir.File(".w1.tga.Ab12Cd"), "left by a killed writer");
  AtomicFile live;  // and one of a writer still at work
  ASSERT_TRUE(live.Open(dir.File("w1.tga"), WriteMessages("cannot")).ok());
  const std::string liveName = live.temporaryPath().substr(dir.path().size());
  ASSERT_TRUE(
      WriteFileAtomically(dir.File("w1.tga"), std::string_view("new"), WriteMessages("cannot"))
          .ok());
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{liveName, "w1.tga"}));
  EXPECT_EQ(ReadText(dir.File("w1.tga")), "new");
}

}  // namespace
}  // namespace quenda

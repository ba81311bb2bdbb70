#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "common/case_insensitive_path.h"
#include "common/late_close.h"
#include "common/thread_pool.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

// Different texts for the two causes, so every check also shows which cause was reported.
const WriteMessages kTexts("cannot create", "short write");

// "ok", or the failure's text and kind, so one comparison checks both.
std::string Outcome(const Status& status) {
  if (status.ok()) return "ok";
  const ErrorKind kind = status.kind();
  return status.message() + (kind == ErrorKind::CannotCreate ? " (CannotCreate)"
                             : kind == ErrorKind::ShortWrite ? " (ShortWrite)"
                                                             : " (Other)");
}

TEST(AtomicFile, ReplacesTheTargetOnlyOnCommitAndAnAbandonedWriteLeavesNoTrace) {
  TempDir dir;
  std::string path = dir.File("walk.col");
  WriteText(path, "old");
  {
    AtomicFile file;
    ASSERT_EQ(Outcome(file.Open(path, kTexts)), "ok");
    ASSERT_EQ(Outcome(file.Write("new", 3)), "ok");
    EXPECT_EQ(ReadText(path), "old");  // readers still see the old file mid-write
  }                                    // destroyed without Commit
  EXPECT_EQ(ReadText(path), "old");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"walk.col"});
  AtomicFile file;
  ASSERT_EQ(Outcome(file.Open(path, kTexts)), "ok");
  ASSERT_EQ(Outcome(file.Write("new", 3)), "ok");
  ASSERT_EQ(Outcome(file.Commit()), "ok");
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"walk.col"});
  // The replaced file keeps its permissions.
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(Outcome(WriteFileAtomically(path, std::string_view("b"), kTexts)), "ok");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Flushed files are written back step by step: whatever the sizes of the writes and wherever
// they fall against the steps, the file holds exactly the bytes given, and a disk that fills
// inside a step or on its edge gives the same short write as before.
TEST(AtomicFile, FilesWrittenBackInStepsHoldEveryByte) {
  constexpr std::size_t kStep = kWritebackStep;
  struct Case {
    const char* name;
    std::size_t size;
    std::size_t piece;  // bytes per Write call; 0: all in one
  };
  const Case cases[] = {{"empty", 0, 0},
                        {"one byte", 1, 0},
                        {"a byte short of a step", kStep - 1, 0},
                        {"one step", kStep, 0},
                        {"a byte over a step", kStep + 1, 0},
                        {"several steps and a bit", 3 * kStep + 12345, 0},
                        {"several steps in odd writes", 3 * kStep + 7, 1000003},
                        {"two steps in writes that end on the steps", 2 * kStep, kStep / 2}};
  TempDir dir;
  // One pattern for every case, each taking its start: made once, not per case.
  std::vector<uint8_t> pattern(3 * kStep + 12345);
  for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i * 131 + i / 4099);
  for (Durability durability : {Durability::Flushed, Durability::Disposable}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (durability == Durability::Flushed ? ", flushed" : ""));
      const std::vector<uint8_t> bytes(pattern.begin(), pattern.begin() + std::ptrdiff_t(c.size));
      const std::string path = dir.File("frame.tga");
      AtomicFile file;
      ASSERT_EQ(Outcome(file.Open(path, kTexts, durability)), "ok");
      const std::size_t piece = c.piece ? c.piece : std::max<std::size_t>(c.size, 1);
      for (std::size_t at = 0; at < c.size; at += piece)
        ASSERT_EQ(Outcome(file.Write(bytes.data() + at, std::min(piece, c.size - at))), "ok");
      ASSERT_EQ(Outcome(file.Commit()), "ok");
      EXPECT_TRUE(ReadBytes(path) == bytes);
      EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"frame.tga"});
    }
  }
  // The disk fills just before a step ends, on its edge and just after: the old file stays.
  const std::string path = dir.File("frame.tga");
  const std::vector<uint8_t> before = ReadBytes(path);
  const std::vector<uint8_t> bytes(2 * kStep, 7);
  for (std::size_t limit : {kStep - 1, kStep, kStep + 1}) {
    SCOPED_TRACE(limit);
    AtomicFile file;
    ASSERT_EQ(Outcome(file.Open(path, kTexts)), "ok");
    {
      WriteLimit full((long long)limit);
      EXPECT_EQ(Outcome(file.Write(bytes.data(), bytes.size())), "short write (ShortWrite)");
    }
    EXPECT_EQ(Outcome(file.Commit()), "short write (ShortWrite)");
    EXPECT_TRUE(ReadBytes(path) == before);
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"frame.tga"});
  }
}

TEST(AtomicFile, OpenWordsTheLaterFailuresOfTheSameFile) {
  TempDir dir;
  std::string path = dir.File("a.bin");
  WriteText(path, "previous");
  AtomicFile file;
  ASSERT_EQ(Outcome(file.Open(path, {"no file", "disk full"})), "ok");
  {
    WriteLimit limit(2);
    EXPECT_EQ(Outcome(file.Write("abcd", 4)), "disk full (ShortWrite)");
  }
  // Once short, later writes and the commit fail too, even with room again.
  EXPECT_EQ(Outcome(file.Write("ef", 2)), "disk full (ShortWrite)");
  EXPECT_EQ(Outcome(file.Commit()), "disk full (ShortWrite)");
  EXPECT_EQ(ReadText(path), "previous");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"a.bin"});

  // A fresh Open starts clean with its own texts.
  ASSERT_EQ(Outcome(file.Open(path, {"other no file", "other full"})), "ok");
  ASSERT_EQ(Outcome(file.Write("new", 3)), "ok");
  ASSERT_EQ(Outcome(file.Commit()), "ok");
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(Outcome(file.Commit()), "other full (ShortWrite)");  // nothing left to commit
}

TEST(AtomicFile, ReadOnlyFileOrDirectoryCannotBeCreated) {
  TempDir dir;
  std::string path = dir.File("ro.txt");
  WriteText(path, "locked");
  testing::MakeReadOnly(path);
  EXPECT_EQ(Outcome(WriteFileAtomically(path, std::string_view("x"), kTexts)),
            "cannot create (CannotCreate)");
  EXPECT_EQ(ReadText(path), "locked");

  std::string sub = dir.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  WriteText(sub + "/f.txt", "inside");
  testing::MakeReadOnly(sub);
  EXPECT_EQ(Outcome(WriteFileAtomically(sub + "/f.txt", std::string_view("x"), kTexts)),
            "cannot create (CannotCreate)");
  EXPECT_EQ(Outcome(WriteFileAtomically(sub + "/new.txt", std::string_view("x"), kTexts)),
            "cannot create (CannotCreate)");
  EXPECT_EQ(ReadText(sub + "/f.txt"), "inside");
  EXPECT_EQ(Outcome(WriteFileAtomically(dir.File("missing/f.txt"), std::string_view("x"),
                                        WriteMessages("one text for both"))),
            "one text for both (CannotCreate)");
}

TEST(AtomicFile, AKilledWritersTemporaryIsRemovedAndALiveOneKept) {
  TempDir dir;
  std::string path = dir.File("w0002.tga");
  WriteText(dir.File(".w0002.tga.1IjrdD"), "left by a killed render");  // nobody holds it
  WriteText(dir.File(".w0001.tga.1IjrdD"), "another frame's");
  WriteText(dir.File(".w0002.tga.notmine"), "not a temporary's name");
  AtomicFile live;  // a writer of the same target that is still at work
  ASSERT_EQ(Outcome(live.Open(path, kTexts)), "ok");
  ASSERT_EQ(Outcome(live.Write("live", 4)), "ok");
  std::string liveName = live.temporaryPath().substr(dir.path().size());

  ASSERT_EQ(Outcome(WriteFileAtomically(path, std::string_view("frame"), kTexts)), "ok");
  std::vector<std::string> expected{".w0001.tga.1IjrdD", ".w0002.tga.notmine", liveName,
                                    "w0002.tga"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListDirectory(dir.path()), expected);
  ASSERT_EQ(Outcome(live.Commit()), "ok");
  EXPECT_EQ(ReadText(path), "live");
}

TEST(AtomicFile, ManyWritesIntoAFolderListItForLeftoversOnce) {
  TempDir dir;
  const long long listings = FolderListingCount();
  for (const char* name : {"w0001.tga", "w0002.tga", "w0003.tga", "w0001.tga"})
    ASSERT_EQ(Outcome(WriteFileAtomically(dir.File(name), std::string_view("f"), kTexts)), "ok");
  EXPECT_EQ(FolderListingCount() - listings, 1);
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"w0001.tga", "w0002.tga", "w0003.tga"}));
}

// The files this process holds open.
std::size_t OpenFiles() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

// Large files replaced again and again, from several threads at once, and small ones among
// them: each target holds its last bytes, and once the late closes are through the process
// holds no more files than before.
TEST(LateClose, ReplacedFilesAreAllClosedAndEveryTargetHoldsItsLastBytes) {
  TempDir dir;
  const std::size_t before = OpenFiles();
  constexpr int kTargets = 3, kRounds = 4;
  auto bytesOf = [](int target, int round) {
    // Rounds alternate large and small, so both kinds replace both kinds.
    std::vector<uint8_t> bytes(round % 2 ? 100 : (std::size_t(2) << 20) + 7);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(target * 50 + round + i);
    return bytes;
  };
  ParallelFor(
      kTargets,
      [&](int t) {
        for (int round = 0; round < kRounds; ++round)
          EXPECT_EQ(Outcome(WriteFileAtomically(dir.File("frame" + std::to_string(t)),
                                                bytesOf(t, round), kTexts)),
                    "ok");
      },
      kTargets);
  WaitForLateCloses();
  EXPECT_EQ(OpenFiles(), before);
  for (int t = 0; t < kTargets; ++t)
    EXPECT_TRUE(ReadBytes(dir.File("frame" + std::to_string(t))) == bytesOf(t, kRounds - 1)) << t;
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{"frame0", "frame1", "frame2"}));
}

}  // namespace
}  // namespace quenda

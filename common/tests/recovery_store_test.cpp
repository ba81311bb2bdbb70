#include "common/recovery_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

RecoveryManifest About(std::string path, std::string name, int64_t at) {
  RecoveryManifest m;
  m.documentPath = std::move(path);
  m.documentName = std::move(name);
  m.savedAt = at;
  return m;
}

TEST(RecoveryManifest, ReadsBackWhatItWroteEvenWithLineEndsAndPercentsInNames) {
  RecoveryManifest m = About("/studio/100%\nwalk.dgr", "100%\nwalk.dgr", 1796000000);
  m.program = "dopegrid";
  m.documentName += "\r";
  m.parts = {"sheet", "region-2"};
  Result<ParsedRecoveryManifest> parsed = ParseRecoveryManifest(FormatRecoveryManifest(m, 7));
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->generation, 7);
  const RecoveryManifest& back = parsed->manifest;
  EXPECT_EQ(
      std::tuple(back.program, back.documentPath, back.documentName, back.savedAt, back.parts),
      std::tuple(m.program, m.documentPath, m.documentName, m.savedAt, m.parts));
}

TEST(RecoveryManifest, TextsThatAreNoManifestAreRefused) {
  const std::string head = "quenda recovery copy 1\nprogram painter\n";
  const struct {
    const char* why;
    std::string text;
  } kCases[] = {
      {"empty", ""},
      {"another header", "quenda recovery copy 2\nprogram painter\nsaved 1\ngeneration 1\n"},
      {"no time", head + "generation 1\n"},
      {"no generation", head + "saved 5\n"},
      {"generation 0", head + "saved 5\ngeneration 0\n"},
      {"negative time", head + "saved -5\ngeneration 1\n"},
      {"time not a number", head + "saved 5x\ngeneration 1\n"},
      {"huge time", head + "saved 99999999999999999999999\ngeneration 1\n"},
      {"no program", "quenda recovery copy 1\nsaved 5\ngeneration 1\n"},
      {"a part that climbs out", head + "saved 5\ngeneration 1\npart ../../etc\n"},
  };
  for (const auto& c : kCases) EXPECT_FALSE(ParseRecoveryManifest(c.text).ok()) << c.why;
  EXPECT_TRUE(ParseRecoveryManifest(head + "saved 5\ngeneration 1\nlater-key x\n").ok());
}

// A copy written by another run, in a process of its own: it writes, says so through a pipe
// and lives until killed.
pid_t RunThatWrites(const std::string& store, const std::string& name) {
  int written[2];
  if (pipe(written) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(written[0]);
    Result<RecoveryCopy> copy = RecoveryCopy::Create(store, "dopegrid");
    const RecoveryPart part{"sheet", Bytes("cells")};
    if (!copy || !copy->Write(About("/s/" + name, name, 100), {&part, 1})) _exit(3);
    char byte = 'w';
    (void)!write(written[1], &byte, 1);
    pause();
    _exit(0);
  }
  close(written[1]);
  char byte = 0;
  const bool ok = read(written[0], &byte, 1) == 1;
  close(written[0]);
  return ok ? child : -1;
}

class RecoveryStore : public ::testing::Test {
 protected:
  TempDir dir;
  std::string store = dir.File("recovery");
};

TEST_F(RecoveryStore, ACopyIsOfferedOnlyOnceItsRunHasDiedAndDiscardRemovesIt) {
  pid_t other = RunThatWrites(store, "walk.dgr");
  ASSERT_GT(other, 0);
  EXPECT_TRUE(ListRecoverable(store, "dopegrid").empty()) << "offered while its run lives";
  kill(other, SIGKILL);
  waitpid(other, nullptr, 0);

  std::vector<RecoverableCopy> found = ListRecoverable(store, "dopegrid");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(std::tuple(found[0].manifest.documentPath, found[0].manifest.documentName,
                       found[0].manifest.savedAt),
            std::tuple(std::string("/s/walk.dgr"), std::string("walk.dgr"), int64_t(100)));
  Result<std::vector<uint8_t>> sheet = ReadRecoveredPart(found[0], "sheet");
  ASSERT_TRUE(sheet.ok()) << sheet.message();
  EXPECT_EQ(*sheet, Bytes("cells"));
  EXPECT_EQ(ReadRecoveredPart(found[0], "paint").message(), "the recovery copy holds no paint");
  EXPECT_TRUE(ListRecoverable(store, "painter").empty()) << "another program's copy";

  EXPECT_TRUE(DiscardRecoverable(found[0]));
  EXPECT_TRUE(ListRecoverable(store, "dopegrid").empty());
  EXPECT_TRUE(ListDirectory(store).empty());
}

TEST_F(RecoveryStore, EachWriteReplacesThePartsAndRemoveLeavesNothingBehind) {
  {
    Result<RecoveryCopy> copy = RecoveryCopy::Create(store, "painter");
    ASSERT_TRUE(copy.ok()) << copy.message();
    EXPECT_FALSE(copy->written());
    const RecoveryPart first[] = {{"paint", Bytes("one")}, {"region", Bytes("r")}};
    ASSERT_TRUE(copy->Write(About("/s/walk1.qds", "walk 1", 5), first).ok());
    const RecoveryPart second[] = {{"paint", Bytes("two")}};
    ASSERT_TRUE(copy->Write(About("/s/walk2.qds", "walk 2", 6), second).ok());
    EXPECT_TRUE(copy->written());
    EXPECT_EQ(ListDirectory(copy->folder()),
              (std::vector<std::string>{"manifest", "owner.lock", "part-2-paint"}));
    // This run's own copy is never offered to itself.
    EXPECT_TRUE(ListRecoverable(store, "painter").empty());
    const RecoveryPart badName[] = {{"../x", Bytes("x")}};
    EXPECT_EQ(copy->Write(About("", "Untitled", 7), badName).message(),
              "a recovery part is named \"../x\"");
    copy->Remove();
    EXPECT_FALSE(copy->written());
    EXPECT_EQ(ListDirectory(copy->folder()), std::vector<std::string>{"owner.lock"});
  }
  EXPECT_TRUE(ListDirectory(store).empty()) << "a removed copy left its folder";
}

TEST_F(RecoveryStore, ACopyOfARunThatEndsWithoutRemovingItIsKeptWithItsLastGeneration) {
  std::string folder;
  {
    Result<RecoveryCopy> copy = RecoveryCopy::Create(store, "composer");
    ASSERT_TRUE(copy.ok());
    const RecoveryPart one[] = {{"composition", Bytes("first")}};
    const RecoveryPart two[] = {{"composition", Bytes("second")}};
    ASSERT_TRUE(copy->Write(About("/m/a.cmp", "a.cmp", 10), one).ok());
    ASSERT_TRUE(copy->Write(About("/m/a.cmp", "a.cmp", 20), two).ok());
    // Moved, as a window keeps it: the copy goes with the object.
    RecoveryCopy kept = std::move(*copy);
    folder = kept.folder();
  }
  // Listed as another run's would be, once this run's name is off it.
  const std::string renamed = store + "/composer-crashed";
  std::filesystem::rename(folder, renamed);
  std::vector<RecoverableCopy> found = ListRecoverable(store, "composer");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].manifest.savedAt, 20);
  EXPECT_EQ(*ReadRecoveredPart(found[0], "composition"), Bytes("second"));
}

TEST_F(RecoveryStore, CopiesAreListedOldestFirstAndFoldersWithoutAManifestArePassedOver) {
  for (const auto& [name, at] : {std::pair("b", 30), std::pair("a", 10), std::pair("c", 20)}) {
    std::filesystem::create_directories(store + "/" + name);
    RecoveryManifest m = About("/x/" + std::string(name), name, at);
    m.program = "panorama";
    WriteText(store + "/" + name + "/manifest", FormatRecoveryManifest(m, 1));
  }
  std::filesystem::create_directories(store + "/half-written");
  std::filesystem::create_directories(store + "/damaged");
  WriteText(store + "/damaged/manifest", "quenda recovery copy 1\n");
  std::vector<std::string> names;
  for (const RecoverableCopy& c : ListRecoverable(store, "panorama"))
    names.push_back(c.manifest.documentName);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "c", "b"}));
  EXPECT_TRUE(ListRecoverable(dir.File("none"), "panorama").empty());
}

}  // namespace
}  // namespace quenda

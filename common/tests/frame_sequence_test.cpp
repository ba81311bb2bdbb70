#include "common/frame_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "common/case_insensitive_path.h"
#include "common/scripted_prompt.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

void Touch(const TempDir& dir, const std::vector<std::string>& names) {
  for (const auto& name : names) WriteText(dir.File(name), "x");
}

std::vector<std::string> FrameTexts(const DrawingSequence& sequence) {
  std::vector<std::string> texts;
  for (const auto& tag : sequence.frames) texts.push_back(FormatFrameTag(tag));
  return texts;
}

TEST(FrameTag, FormatsAndOrdersByNumberThenLetter) {
  // Not a letter: no suffix.
  const std::pair<FrameTag, const char*> tags[] = {
      {{12, ' '}, "12"}, {{12, 'a'}, "12a"}, {{3, 'B'}, "3B"}, {{7, '_'}, "7"}, {{}, "0"}};
  for (auto [tag, text] : tags) EXPECT_EQ(FormatFrameTag(tag), text);
  // Ordered by number, then by letter code.
  EXPECT_EQ(std::tuple(FrameTagLess({2, ' '}, {2, 'A'}), FrameTagLess({2, 'Z'}, {2, 'a'}),
                       FrameTagLess({2, 'z'}, {10, ' '}), FrameTagLess({2, 'a'}, {2, 'a'})),
            std::tuple(true, true, true, false));
}

TEST(MatchesSequence, AdmitsNameDigitsOptionalLetterIgnoringCase) {
  // The whole prefix must be the name, not merely end with it; a frame number that cannot be
  // held is no member.
  for (const char* file :
       {"walk1.qds", "walk2a.qds", "WALK8.QDS", "walk012.qds", "walk2147483647.qds"})
    EXPECT_TRUE(MatchesSequence("Walk", file)) << file;
  for (const char* file :
       {"walkb1.qds", "run1.qds", "walk.qds", "walk1ab.qds", "walk1.rgn", "walk1.qds.tmp", ".qds",
        "a.qds", "walkwalk1.qds", "xwalk1.qds", "walk99999999999.qds"})
    EXPECT_FALSE(MatchesSequence("walk", file)) << file;
}

TEST(IsSequenceFileName, NeedsLetterDigitsAndLowerCaseExtension) {
  for (const char* path : {"/anim/Walk7.qds", "/anim/walk12a.qds", "a1.qds"})
    EXPECT_TRUE(IsSequenceFileName(path)) << path;
  for (const char* path : {"/anim/walk7.QDS", "/anim/7.qds", "7.qds", "77.qds", "/anim/walk.qds",
                           "ab.qds", ".qds", ""})
    EXPECT_FALSE(IsSequenceFileName(path)) << path;
  EXPECT_EQ(kInvalidSequenceFileName,
            "Invalid filename format or there is no number found on filename!");
}

TEST(OpenSequence, OrdersNumericallyAndSkipsStrangersAndNamesEachFramesFiles) {
  TempDir dir;
  Touch(dir, {"walk10.qds", "walk2a.qds", "walk1.qds", "walk2.qds", "walkb1.qds", "run1.qds",
              "walk3.rgn", "walk2A.qds", "walk012.qds", "walk1a.qds"});
  std::filesystem::create_directory(dir.File("walk4.qds"));  // a folder is no drawing
  DrawingSequence sequence = OpenSequence(dir.File("walk1.qds"), "walk1.qds");
  EXPECT_EQ(std::tuple(sequence.directory, sequence.name, sequence.frameCount, sequence.truncated),
            std::tuple(dir.path(), "walk", 7, 0));
  EXPECT_EQ(FrameTexts(sequence),
            (std::vector<std::string>{"1", "1a", "2", "2A", "2a", "10", "12"}));
  // Leading zeros are listed but the path is rebuilt without them.
  ScriptedPrompt prompt;
  EXPECT_EQ(FramePath(sequence, 6, prompt), dir.File("walk12.qds"));
  EXPECT_EQ(FramePath(sequence, 1, prompt), dir.File("walk1a.qds"));
  EXPECT_EQ(RegionPath(sequence, 1, prompt), dir.File("walk1a.rgn"));
  EXPECT_EQ(PaintPath(sequence, 0, prompt), dir.File("walk1.pnt"));
  EXPECT_EQ(ColorSetPath(sequence), dir.File("walk.col"));
  EXPECT_TRUE(prompt.Texts().empty());

  EXPECT_EQ(FramePath(sequence, 7, prompt), "");
  EXPECT_EQ(RegionPath(sequence, -1, prompt), "");
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"Internal error: illegal frame number",
                                                      "Internal error: illegal frame number"}));
  EXPECT_FALSE(FrameExists(""));
}

TEST(OpenSequence, PickedCaseDiffersFromListedFiles) {
  TempDir dir;
  Touch(dir, {"Walk7.qds", "walk8.qds", "WALK9.QDS"});
  // The picking test refuses an upper-case extension, the listing does not care.
  EXPECT_FALSE(IsSequenceFileName(dir.File("walk7.QDS")));
  DrawingSequence sequence = OpenSequence(dir.File("Walk7.qds"), "Walk7.qds");
  EXPECT_EQ(sequence.name, "Walk");
  ASSERT_EQ(FrameTexts(sequence), (std::vector<std::string>{"7", "8", "9"}));

  ScriptedPrompt prompt;
  // Walk8.qds is spelt differently on disk; the rebuilt path resolves to the real file.
  EXPECT_EQ(FramePath(sequence, 1, prompt), dir.File("walk8.qds"));
  EXPECT_TRUE(FrameExists(dir.path() + "Walk8.qds"));
  EXPECT_EQ(FramePath(sequence, 2, prompt), dir.File("WALK9.QDS"));
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST(OpenSequence, AcceptsBackslashSeparatorsAndCaseOfDirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Anim"));
  Touch(dir, {"Anim/walk1.qds", "Anim/walk2.qds"});
  std::string stored = dir.path() + "anim\\walk1.qds";  // as a stored document may name it
  DrawingSequence sequence = OpenSequence(stored, "walk1.qds");
  EXPECT_EQ(sequence.directory, dir.File("anim/"));
  ASSERT_EQ(sequence.frameCount, 2);
  ScriptedPrompt prompt;
  EXPECT_EQ(FramePath(sequence, 1, prompt), dir.File("Anim/walk2.qds"));
  // An empty or missing folder gives no frames.
  for (const char* folder : {"", "nowhere/"}) {
    const DrawingSequence none = OpenSequence(dir.File(folder) + "walk1.qds", "walk1.qds");
    EXPECT_TRUE(none.frameCount == 0 && none.frames.empty()) << folder;
    EXPECT_EQ(none.directory, dir.File(folder)) << folder;
  }
}

TEST(OpenSequence, OverflowKeepsTheLowestFramesWithinCapacity) {
  TempDir dir;
  std::vector<std::string> names;
  for (int i = 30; i >= 1; --i) names.push_back("walk" + std::to_string(i) + ".qds");
  names.push_back("walk3b.qds");
  Touch(dir, names);
  DrawingSequence sequence = OpenSequence(dir.File("walk1.qds"), "walk1.qds", 10);
  EXPECT_EQ(std::tuple(sequence.capacity, sequence.frameCount, sequence.frames.size(),
                       sequence.truncated),
            std::tuple(10, 10, 10u, 21));
  EXPECT_EQ(FrameTexts(sequence),
            (std::vector<std::string>{"1", "2", "3", "3b", "4", "5", "6", "7", "8", "9"}));
}

TEST(OpenSequence, FullSheetCapacityHolds2000) {
  TempDir dir;
  std::vector<std::string> names;
  for (int i = 1; i <= kSheetSequenceCapacity + 5; ++i)
    names.push_back("a" + std::to_string(i) + ".qds");
  Touch(dir, names);
  DrawingSequence sequence = OpenSequence(dir.File("a1.qds"), "a1.qds");
  EXPECT_EQ(std::tuple(sequence.frameCount, sequence.truncated, sequence.frames.back().number),
            std::tuple(kSheetSequenceCapacity, 5, kSheetSequenceCapacity));
  DrawingSequence painter = OpenSequence(dir.File("a1.qds"), "a1.qds", kPainterSequenceCapacity);
  EXPECT_EQ(std::pair(painter.frameCount, painter.truncated),
            std::pair(kSheetSequenceCapacity + 5, 0));
}

TEST(CaseInsensitivePath, ResolvesEachComponentOrLeavesThePath) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Scenes"));
  WriteText(dir.File("Scenes/Walk.COL"), "x");
  EXPECT_EQ(ResolvePathIgnoringCase(dir.File("scenes/walk.col")), dir.File("Scenes/Walk.COL"));
  EXPECT_EQ(ResolvePathIgnoringCase(dir.File("Scenes/Walk.COL")), dir.File("Scenes/Walk.COL"));
  EXPECT_EQ(ResolvePathIgnoringCase(dir.File("scenes/run.col")), dir.File("scenes/run.col"));
  EXPECT_EQ(ResolvePathIgnoringCase(dir.File("SCENES/")), dir.File("Scenes/"));
  // Two spellings on disk: the first in byte order, every time.
  WriteText(dir.File("Scenes/walk.col"), "y");
  WriteText(dir.File("Scenes/WALK.col"), "z");
  EXPECT_EQ(ResolvePathIgnoringCase(dir.File("Scenes/wAlk.col")), dir.File("Scenes/WALK.col"));
  EXPECT_EQ(NormalizeSeparators("c:\\anim\\walk1.qds"), "c:/anim/walk1.qds");
}

TEST(CaseInsensitivePath, OneListingResolvesEveryNameAsEachLookUpWould) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Scenes"));
  std::filesystem::create_directory(dir.File("Scenes/Sub"));
  for (const char* name : {"Walk1.QDS", "walk1.rgn", "walk.col", "WALK.col", "Sub/x.qds"})
    WriteText(dir.File("Scenes/") + name, "x");
  for (const std::string& folder : {dir.File("Scenes/"), dir.File("scenes/")}) {
    const FolderListing listing(folder);
    const std::vector<std::string> names{"walk1.qds", "Walk1.QDS", "WALK1.RGN", "walk1.pnt",
                                         "Walk.col"};
    const long long listings = FolderListingCount();
    std::vector<std::string> resolved;
    for (const std::string& name : names) resolved.push_back(listing.Resolve(folder + name));
    EXPECT_EQ(FolderListingCount(), listings) << folder;  // none of those listed it again
    for (std::size_t i = 0; i < names.size(); ++i)
      EXPECT_EQ(resolved[i], ResolvePathIgnoringCase(folder + names[i])) << names[i];
    // Outside the folder the resolver looks itself.
    EXPECT_EQ(listing.Resolve(folder + "sub/X.qds"), dir.File("Scenes/Sub/x.qds"));
  }
}

}  // namespace
}  // namespace quenda

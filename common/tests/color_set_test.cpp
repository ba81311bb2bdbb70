#include "common/color_set.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "common/scripted_prompt.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

const std::string kNotFound =
    "ColorSet Not Found, Creating an new Color Set File for the sequence.";
const std::string kWriteError = "Error writing colors file: files may be read only!";

ColorEntry Entry(const char* name, int r, int g, int b) {
  return ColorEntry{uint8_t(r), uint8_t(g), uint8_t(b), name};
}

// A file of `count` user colours after the fixed three, named C3, C4, ...
std::string FileWithUserColors(int userColors, const std::string& header = "Quenda") {
  std::string text = header + "\n" + std::to_string(3 + userColors) + "\n";
  text += "TRANS 120 120 120\nUNFIL 0 255 102\nLINE 255 0 255\n";
  for (int i = 0; i < userColors; ++i)
    text += "C" + std::to_string(i + 3) + " " + std::to_string(i % 256) + " 1 2\n";
  return text;
}

TEST(ColorSet, MissingFileIsCreatedWithTheFiveDefaultLinesOrSaysItCannotBe) {
  TempDir dir;
  std::string path = dir.File("walk.col");
  ColorSet set;
  set.count = 7;
  set.entries[kLineColor] = Entry("PINK", 1, 2, 3);
  ScriptedPrompt prompt;
  EXPECT_TRUE(LoadColorSet(set, path, prompt));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kNotFound});
  EXPECT_EQ(ReadText(path), "Quenda\n3\nTRANS 120 120 120\nUNFIL 0 255 102\nLINE 255 0 255\n");
  EXPECT_EQ(std::tuple(set.count, set.path, set.entries[kLineColor]),
            std::tuple(3, path, Entry("LINE", 255, 0, 255)));

  // In a folder that cannot be written: both messages, and the defaults are kept.
  std::string folder = dir.File("locked");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  MakeReadOnly(folder);
  ColorSet locked;
  prompt.Clear();
  EXPECT_TRUE(LoadColorSet(locked, folder + "/walk.col", prompt));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{kNotFound, kWriteError}));
  EXPECT_EQ(std::pair(locked.count, locked.path), std::pair(3, folder + "/walk.col"));
  MakeWritable(folder);
}

TEST(ColorSet, FullOrOversizedSetsHoldAtMost248EntriesAndNeverSlot249) {
  ColorSet full;
  for (int i = kFirstUserColor; i < kPainterColorLimit; ++i)
    ASSERT_TRUE(AddColor(full, "C" + std::to_string(i), i, 0, 0)) << i;
  EXPECT_FALSE(AddColor(full, "MORE", 1, 2, 3));
  EXPECT_EQ(std::tuple(full.count, full.entries[kPainterColorLimit], full.entries[kAnimLineColor]),
            std::tuple(kPainterColorLimit, ColorEntry{}, Entry("ANIMLINE", 0, 0, 0)));

  TempDir dir;
  std::string path = dir.File("big.col");
  WriteText(path, FileWithUserColors(kColorSlots + 5));  // 258 entries, slot 249 named C249
  ColorSet set;
  ScriptedPrompt prompt;
  ASSERT_TRUE(LoadColorSet(set, path, prompt));
  EXPECT_EQ(std::tuple(set.count, set.entries[247].name, set.entries[kPainterColorLimit],
                       set.entries[kAnimLineColor]),
            std::tuple(kPainterColorLimit, "C247", ColorEntry{}, Entry("ANIMLINE", 0, 0, 0)));
  EXPECT_FALSE(AddColor(set, "MORE", 1, 2, 3));
  // Saving writes what is held, which reads back the same.
  ASSERT_TRUE(SaveColorSet(set, prompt));
  ParsedColorSet back = ParseColorSet(ReadText(path));
  EXPECT_EQ(std::tuple(back.declaredCount, int(back.entries.size())),
            std::tuple(kPainterColorLimit, kPainterColorLimit));
}

// Any header word loads, and is reported for strict readers.
TEST(ColorSet, SmallerFileWithAnyHeaderLowersCountAndLeavesHigherSlotsAlone) {
  TempDir dir;
  std::string path = dir.File("walk.col");
  ColorSet set;
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(AddColor(set, "OLD" + std::to_string(i), 9, 9, 9));
  ASSERT_EQ(set.count, 10);
  WriteText(path, FileWithUserColors(2, "Whatever"));
  ScriptedPrompt prompt;
  ASSERT_TRUE(LoadColorSet(set, path, prompt));
  EXPECT_TRUE(prompt.Texts().empty());
  // Slot 5 is held, but no longer a colour of the set.
  EXPECT_EQ(std::tuple(set.count, set.entries[3].name, set.entries[4], set.entries[5].name),
            std::tuple(5, "C3", Entry("C4", 1, 1, 2), "OLD2"));
  EXPECT_EQ(FormatColorSet(set), FileWithUserColors(2));
  EXPECT_EQ(ParseColorSet(FileWithUserColors(2, "Whatever")).headerWord, "Whatever");
  EXPECT_EQ(ParseColorSet(FileWithUserColors(2)).headerWord, "Quenda");
}

// A file that cannot be created is the unwritable folder above; that the old file stays whole
// is the atomic writer's own test. Here the full disk must show the same message.
TEST(ColorSet, FullDiskShowsTheWriteMessageAndKeepsTheChange) {
  TempDir dir;
  std::string path = dir.File("walk.col");
  WriteText(path, FileWithUserColors(1));
  ColorSet set;
  ScriptedPrompt prompt;
  ASSERT_TRUE(LoadColorSet(set, path, prompt));
  ASSERT_TRUE(AddColor(set, "NEW", 1, 2, 3));
  testing::WriteLimit full(10);
  EXPECT_FALSE(SaveColorSet(set, prompt));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(set.count, 5);
}

TEST(ColorSet, DamagedFilesStayInsideTheSlots) {
  struct Case {
    const char* what;
    std::string text;
    int count;
    std::vector<ColorEntry> first;  // expected slots from 0
  };
  const ColorEntry trans = Entry("TRANS", 120, 120, 120);
  const ColorEntry unfil = Entry("UNFIL", 0, 255, 102);
  const ColorEntry line = Entry("LINE", 255, 0, 255);
  const ColorEntry a = Entry("A", 1, 1, 1), b = Entry("B", 2, 2, 2), c = Entry("C", 3, 3, 3),
                   d = Entry("D", 4, 4, 4);
  const std::string abc = "A 1 1 1\nB 2 2 2\nC 3 3 3\n";
  const Case cases[] = {
      {"empty", "", 3, {trans, unfil, line}},
      {"header only", "Quenda\n", 3, {trans, unfil, line}},
      {"count not a number", "Quenda\nmany\nA 1 2 3\n", 3, {trans, unfil, line}},
      {"negative count", "Quenda\n-4\nA 1 2 3\n", 3, {trans, unfil, line}},
      {"count below three",
       "Quenda\n1\nZERO 1 2 3\nONE 4 5 6\n",
       3,
       {Entry("ZERO", 1, 2, 3), unfil, line}},
      {"fewer entries than count", "Quenda\n9\n" + abc + "D 4 4 4\n", 4, {a, b, c, d}},
      {"entry cut inside", "Quenda\n5\n" + abc + "D 4 4", 3, {a, b, c}},
      {"number not a number", "Quenda\n4\n" + abc + "D 4 x 4\n", 3, {a, b, c}},
      {"long name and wild numbers",
       "Quenda\n4\n" + abc + "VERYLONGNAME 300 -4 99999999999999999999\n",
       4,
       {a, b, c, Entry("VERYLONG", 255, 0, 255)}},
      {"CR LF line ends and odd spacing",
       "Quenda\r\n4\r\nA 1 1 1\r\n B\t2 2 2\r\nC 3\r\n3 3\r\nD +4 4 4\r\n",
       4,
       {a, b, c, d}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ColorSet set;
    set.entries[kAnimLineColor] = Entry("X", 9, 9, 9);  // whatever it held, a load clears it
    TempDir dir;
    WriteText(dir.File("a.col"), k.text);
    ScriptedPrompt prompt;
    ASSERT_TRUE(LoadColorSet(set, dir.File("a.col"), prompt));
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_EQ(set.count, k.count);
    for (std::size_t i = 0; i < k.first.size(); ++i) EXPECT_EQ(set.entries[i], k.first[i]) << i;
    EXPECT_EQ(set.entries[kAnimLineColor], Entry("ANIMLINE", 0, 0, 0));
    // Whatever was read writes back into a file that reads the same.
    ColorSet back;
    ApplyColorSet(back, ParseColorSet(FormatColorSet(set)));
    EXPECT_EQ(back.count, set.count);
    for (int i = 0; i < set.count; ++i) EXPECT_EQ(back.entries[i], set.entries[i]) << i;
  }
}

TEST(ColorSet, NamesThatWouldBreakTheFileAreWrittenAsOneWord) {
  ColorSet set;
  for (auto [name, kept] :
       {std::pair{"dark red", "dark_red"}, {"", "_"}, {"ABCDEFGHIJK", "ABCDEFGH"}}) {
    ASSERT_TRUE(AddColor(set, name, 4, 5, 6));
    EXPECT_EQ(set.entries[set.count - 1].name, kept);
  }
  ASSERT_TRUE(AddColor(set, "BLUE", 0, 0, 255));
  // A name changed in memory by an editor is also kept to one word on the way out.
  set.entries[6].name = "sky blue!";
  ColorSet back;
  ApplyColorSet(back, ParseColorSet(FormatColorSet(set)));
  EXPECT_EQ(std::tuple(back.count, back.entries[5], back.entries[6]),
            std::tuple(7, Entry("ABCDEFGH", 4, 5, 6), Entry("sky_blue", 0, 0, 255)));
}

}  // namespace
}  // namespace quenda

// XDTS timesheets into sheets and back: drawings found by their texts, level names, round
// trips through generated sheets, and the file written through the atomic writer.

#include <gtest/gtest.h>

#include "dopegrid/core/xdts_file.h"
#include "dopegrid/tests/exchange_test_support.h"
#include "dopegrid/tests/xdts_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(XdtsImport, NamesEveryTextThatNamesNoDrawingAndLooksInEachFolder) {
  TempDir dir, other;
  TouchSequence(dir.path(), "walk", {"1", "2", "12a"});
  TouchSequence(other.path() + "run/", "run", {"3"});  // in a folder of its own name
  // Bare texts use the track's sequence (here named as the track); "run3" names its own.
  const std::string file =
      Timesheet(4,
                Track(0, {Cell(0, "12a"), Cell(1, "7")}) + ", " +
                    Track(1, {Cell(0, "run3"), Cell(1, "x-1"), Cell(3, "jump1")}),
                ", \"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"walk\", \"top\"]}]");
  Result<XdtsColumns> read = ReadXdts(file, "x.xdts", {});
  ASSERT_TRUE(read.ok());
  Result<ExchangeImport> sheet =
      BuildImportedSheet(read->columns, read->frameCount, {{}, {dir.path(), other.path()}});
  ASSERT_TRUE(sheet.ok()) << sheet.message();
  EXPECT_EQ(sheet->missing,
            (std::vector<std::string>{
                "level \"top\": sequence jump is not found in " + dir.path() + " or " +
                    other.path() + " (--sequence chooses one) (from frame 4, 1 cell)",
                "level \"top\": \"x-1\" names no drawing (a drawing is its frame text, as 12 or "
                "12a, or its sequence's name and frame text, as walk12) (from frame 2, 2 cells)",
                "level \"walk\": \"7\" is no drawing of sequence walk (" + dir.path() +
                    ") (from frame 2, 3 cells)"}));
  const auto drawings = DrawingsOf(sheet->sheet, sheet->sequences);
  EXPECT_EQ(drawings[0], (std::vector<std::string>{other.path() + "run/run 3", "", "", ""}));
  EXPECT_EQ(drawings[1], (std::vector<std::string>{dir.path() + "walk 12a", "", "", ""}));
  EXPECT_EQ(sheet->choices[0],
            "level \"top\": sequence run (" + other.path() + "run/), named by its cells");

  // A chosen sequence serves the column's bare texts; a key that names no column is refused.
  TouchSequence(other.path(), "walk", {"7", "12a"});
  sheet = BuildImportedSheet(read->columns, read->frameCount,
                             {{{"walk", other.path() + "walk7.qds"}}, {dir.path()}});
  ASSERT_TRUE(sheet.ok()) << sheet.message();
  EXPECT_EQ(DrawingsOf(sheet->sheet, sheet->sequences)[1][1], other.path() + "walk 7");
  EXPECT_EQ(sheet->missing.size(), 3u);  // the other column's, run now out of the folders
  EXPECT_EQ(sheet->choices[1],
            "level \"walk\": sequence walk (" + other.path() + "), by --sequence");
  EXPECT_EQ(BuildImportedSheet(read->columns, 4, {{{"nothing", other.path() + "walk7.qds"}}, {}})
                .message(),
            "--sequence nothing=" + other.path() + "walk7.qds: the file has no column \"nothing\"");
  EXPECT_EQ(
      BuildImportedSheet(read->columns, 4, {{{"walk", other.path() + "none1.qds"}}, {}}).message(),
      "--sequence walk=" + other.path() + "none1.qds: no drawing sequence starts there");
}

TEST(XdtsImport, ASequenceChoiceSplitsAtItsFirstEqualsSign) {
  std::optional<SequenceChoice> choice = ParseSequenceChoice("front=/x=y/walk1.qds");
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->key, "front");
  EXPECT_EQ(choice->firstDrawing, "/x=y/walk1.qds");
  for (const char* bad : {"front", "=walk1.qds", "front="}) EXPECT_FALSE(ParseSequenceChoice(bad));
}

TEST(XdtsImport, LevelNamesAreCutAtACharacterAndKeptUnique) {
  std::vector<ExchangeColumn> columns = {{"ああああああああ", "track 1", {}},  // 24 bytes
                                         {"abcdefghijklmnopqrstu", "track 2", {}},
                                         {"abcdefghijklmnopqr", "track 3", {}},
                                         {"same", "track 4", {}},
                                         {"same", "track 5", {}}};
  std::vector<std::string> notes;
  EXPECT_EQ(LevelNamesFor(columns, notes),
            (std::vector<std::string>{"ああああああ", "abcdefghijklmnopqr", "abcdefghijklmnop~2",
                                      "same", "same~2"}));
  EXPECT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0], "track 1 became level \"ああああああ\" (a level name has at most 18 bytes)");
  EXPECT_EQ(notes[3], "track 5 became level \"same~2\" (its name was taken)");
}

class XdtsRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    sequences = {TouchSequence(dir.path(), "walk", {"1", "2", "3", "12a"}),
                 TouchSequence(dir.path(), "run", {"1", "2"}),
                 TouchSequence(dir.path() + "wave/", "wave", {"1", "5", "5b"})};
  }
  // Exports, imports with the choices the export prints, and compares every cell.
  void ExpectRoundTrip(const CSheetGrid& sheet) {
    XdtsExport written = WriteXdts(sheet, sequences, {});
    Result<XdtsColumns> read = ReadXdts(written.text, "x.xdts", {});
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->frameCount, sheet.frameCount);
    Result<ExchangeImport> back = BuildImportedSheet(read->columns, read->frameCount,
                                                     {SequenceChoicesFor(sheet, sequences), {}});
    ASSERT_TRUE(back.ok()) << back.message();
    EXPECT_TRUE(back->missing.empty()) << back->missing.front();
    EXPECT_EQ(DrawingsOf(back->sheet, back->sequences), DrawingsOf(sheet, sequences));
    for (int l = 0; l < sheet.levelCount; ++l)
      EXPECT_EQ(back->sheet.LevelName(l), sheet.LevelName(l));
    for (int l = 0; l < sheet.levelCount; ++l)
      for (int f = 0; f < sheet.frameCount; ++f)
        ASSERT_EQ(back->sheet.Cell(l, f).kind, sheet.Cell(l, f).kind) << l << " " << f;
  }
  TempDir dir;
  std::vector<DrawingSequence> sequences;
};

TEST_F(XdtsRoundTrip, GeneratedSheetsOfOneToFortyNineLevelsComeBackCellForCell) {
  const std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 2}, {3, 17}, {7, 250}, {49, 1999}};
  unsigned seed = 1;
  for (auto [levels, frames] : sizes) {
    SCOPED_TRACE(std::to_string(levels) + "x" + std::to_string(frames));
    ExpectRoundTrip(GeneratedSheet(levels, frames, sequences, seed++));
  }
}

TEST_F(XdtsRoundTrip, WritesTracksBackToFrontWithTheChangesOnly) {
  CSheetGrid sheet;
  sheet.frameCount = 4;
  sheet.AddLevel("front");
  sheet.AddLevel("back");
  sheet.AddLevel("empty");
  sheet.Cell(0, 0) = {CellKind::Key, 0, 3};
  sheet.Cell(0, 1) = {CellKind::Key, 0, 3};
  sheet.Cell(0, 3) = {CellKind::Key, 0, 0};
  sheet.Cell(1, 1) = {CellKind::Key, 1, 1};
  sheet.Cell(1, 2) = {CellKind::Key, 2, 2};
  sheet.NormaliseHolds();
  XdtsExport written = WriteXdts(sheet, sequences, {"12", "3", "shot"});
  const std::string null = "SYMBOL_NULL_CELL";
  auto entry = [](int f, const std::string& v) {
    return "{\"frame\":" + std::to_string(f) + ",\"data\":[{\"id\":0,\"values\":[\"" + v + "\"]}]}";
  };
  EXPECT_EQ(written.text,
            std::string(kXdtsFirstLine) + "\n" +
                R"({"header":{"cut":"12","scene":"3"},"timeTables":[{"name":"shot","duration":4,)" +
                R"("fields":[{"fieldId":0,"tracks":[{"trackNo":0,"frames":[)" + entry(4, null) +
                R"(]},{"trackNo":1,"frames":[)" + entry(1, "run2") + "," + entry(2, "wave5b") +
                "," + entry(3, null) + "," + entry(4, null) + R"(]},{"trackNo":2,"frames":[)" +
                entry(0, "12a") + "," + entry(2, null) + "," + entry(3, "1") + "," +
                entry(4, null) +
                R"(]}]}],"timeTableHeaders":[{"fieldId":0,"names":["empty","back","front"]}]}],)" +
                R"("version":5})" + "\n");
  EXPECT_EQ(written.notes,
            (std::vector<std::string>{"level \"back\" shows drawings of several sequences: its "
                                      "cells are written as sequence name and frame text (as "
                                      "walk12)"}));
  ExpectRoundTrip(sheet);
  EXPECT_EQ(SequenceOptionsFor(SequenceChoicesFor(sheet, sequences)),
            "--sequence front=" + dir.path() + "walk1.qds --sequence back=" + dir.path() +
                "run1.qds --sequence back=" + dir.path() + "wave/wave1.qds");
}

TEST(XdtsWrite, SavesThroughTheAtomicWriter) {
  TempDir dir;
  CSheetGrid sheet = MakeNewSheet();
  std::vector<std::string> notes;
  ASSERT_TRUE(SaveXdtsFile(dir.File("a.xdts"), sheet, {}, {}, notes).ok());
  Result<XdtsColumns> read = LoadXdtsFile(dir.File("a.xdts"), {});
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read->frameCount, 100);
  MakeReadOnly(dir.File("a.xdts"));
  EXPECT_EQ(SaveXdtsFile(dir.File("a.xdts"), sheet, {}, {}, notes).message(),
            "Could not write " + dir.File("a.xdts") + ": the file or its folder may be read only.");
  EXPECT_TRUE(IsXdtsNumber("0012"));
  EXPECT_FALSE(IsXdtsNumber("12345"));
  EXPECT_FALSE(IsXdtsNumber("1a"));
  EXPECT_FALSE(IsXdtsNumber(""));
}

}  // namespace
}  // namespace quenda

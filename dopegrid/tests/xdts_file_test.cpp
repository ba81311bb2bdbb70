// XDTS timesheets: the format note's example, files in the shapes other programs write, every
// refusal with its message, the sheet's limits, and round trips through generated sheets.

#include <gtest/gtest.h>

#include "dopegrid/core/xdts_file.h"
#include "dopegrid/tests/exchange_test_support.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// The example of the format note, as written there.
constexpr std::string_view kExample = R"(exchangeDigitalTimeSheet Save Data
{
  "header": {"cut": "1", "scene": "1"},
  "timeTables": [{
    "name": "sheet",
    "duration": 6,
    "fields": [{"fieldId": 0, "tracks": [
      {"trackNo": 0, "frames": [
        {"frame": 0, "data": [{"id": 0, "values": ["1"]}]},
        {"frame": 6, "data": [{"id": 0, "values": ["SYMBOL_NULL_CELL"]}]}]},
      {"trackNo": 1, "frames": [
        {"frame": 0, "data": [{"id": 0, "values": ["1"]}]},
        {"frame": 2, "data": [{"id": 0, "values": ["2"]}]},
        {"frame": 4, "data": [{"id": 0, "values": ["SYMBOL_NULL_CELL"]}]}]}]}],
    "timeTableHeaders": [{"fieldId": 0, "names": ["B", "A"]}]
  }],
  "version": 5
}
)";

std::string Cell(int frame, const std::string& value) {
  return R"({"frame": )" + std::to_string(frame) + R"(, "data": [{"id": 0, "values": [")" + value +
         R"("]}]})";
}

// A file of one time table: `tracks` are the field's tracks, `extra` more table members.
std::string Timesheet(int duration, const std::string& tracks, const std::string& extra = "") {
  return std::string(kXdtsFirstLine) +
         "\n{\"timeTables\": [{\"name\": \"t\", \"duration\": " + std::to_string(duration) +
         ", \"fields\": [{\"fieldId\": 0, \"tracks\": [" + tracks + "]}]" + extra +
         "}], \"version\": 5}";
}

std::string Track(int number, const std::vector<std::string>& cells) {
  std::string frames;
  for (const std::string& cell : cells) frames += (frames.empty() ? "" : ", ") + cell;
  return "{\"trackNo\": " + std::to_string(number) + ", \"frames\": [" + frames + "]}";
}

std::vector<std::string> Texts(const XdtsColumns& read) {
  std::vector<std::string> texts;
  for (const ExchangeColumn& column : read.columns)
    texts.push_back(column.name + ": " + ColumnText(column));
  return texts;
}

bool HasNote(const std::vector<std::string>& notes, const std::string& part) {
  for (const std::string& note : notes)
    if (note.find(part) != std::string::npos) return true;
  return false;
}

TEST(XdtsRead, TheFormatNotesExampleGivesTheCellsWrittenUnderItWithTheTopTrackInFront) {
  TempDir dir;
  TouchSequence(dir.path(), "A", {"1", "2"});
  TouchSequence(dir.path(), "B", {"1"});
  Result<XdtsColumns> read = ReadXdts(kExample, "x.xdts", {});
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(Texts(*read), (std::vector<std::string>{"A: 1 1 2 2 . .", "B: 1 1 1 1 1 1"}));
  EXPECT_EQ(read->notes,
            (std::vector<std::string>{"header: cut 1, scene 1 not kept in the sheet"}));

  Result<ExchangeImport> sheet =
      BuildImportedSheet(read->columns, read->frameCount, {{}, {dir.path()}});
  ASSERT_TRUE(sheet.ok()) << sheet.message();
  EXPECT_TRUE(sheet->missing.empty());
  const std::string a = dir.path() + "A ", b = dir.path() + "B ";
  EXPECT_EQ(DrawingsOf(sheet->sheet, sheet->sequences),
            (std::vector<std::vector<std::string>>{
                {a + "1", a + "1", a + "2", a + "2", "", ""},
                {b + "1", b + "1", b + "1", b + "1", b + "1", b + "1"}}));
  EXPECT_EQ(sheet->sheet.LevelName(0), "A");
  EXPECT_EQ(sheet->sheet.Cell(0, 1).kind, CellKind::Hold);
  EXPECT_EQ(sheet->choices.front(),
            "level \"A\": sequence A (" + dir.path() + "), named as the column");
}

TEST(XdtsRead, ReadsTheShapesOtherProgramsWrite) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> columns;
    std::string note;  // a part of one note, or empty for none expected
  };
  const std::string line = std::string(kXdtsFirstLine);
  const std::vector<Case> cases = {
      {"unsorted frames",
       Timesheet(5, Track(0, {Cell(3, "2"), Cell(0, "1"), Cell(5, "SYMBOL_NULL_CELL")})),
       {"track 1: 1 1 1 2 2"},
       "track 1 has no name"},
      {"extra members and CRLF",
       "  " + line + "  \r\n" +
           "{\"frameRate\": 24, \"timeTables\": [{\"duration\": 2, \"frameRate\": 24, " +
           "\"fields\": [{\"fieldId\": 0, \"tracks\": [" + Track(0, {Cell(0, "3")}) +
           "]}], \"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"A\"]}]}],\r\n \"version\": "
           "5}\r\n",
       {"A: 3 3"},
       ""},
      {"no header and a track without a name beside one with",
       Timesheet(2, Track(0, {Cell(0, "1")}) + ", " + Track(1, {Cell(1, "2")}),
                 ", \"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"\", \"top\"]}]"),
       {"top: . 2", "track 1: 1 1"},
       "track 1 has no name"},
      {"names in Japanese",
       Timesheet(1, Track(0, {Cell(0, "1")}),
                 ", \"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"口パク\"]}]"),
       {"口パク: 1"},
       ""},
      {"two entries for one frame: the later wins",
       Timesheet(3, Track(0, {Cell(0, "1"), Cell(1, "2"), Cell(1, "5")})),
       {"track 1: 1 5 5"},
       "1 frame listed twice"},
      {"an entry at the duration is past the sheet",
       Timesheet(2, Track(0, {Cell(0, "1"), Cell(2, "4")})),
       {"track 1: 1 1"},
       "1 entry at or past the duration ignored"},
      {"holds, marks and a hold on the first frame",
       Timesheet(6, Track(0, {Cell(0, "SYMBOL_HYPHEN"), Cell(1, "1"), Cell(2, "SYMBOL_TICK_1"),
                              Cell(3, "SYMBOL_TICK_2"), Cell(4, "SYMBOL_NULL_CELL"),
                              Cell(5, "SYMBOL_HYPHEN")})),
       {"track 1: . 1 1 1 . ."},
       "a hold on its first frame is an empty cell"},
      {"a track named in the headers but absent from the fields is an empty level",
       Timesheet(2, Track(0, {Cell(0, "1")}),
                 ", \"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"a\", \"b\"]}]"),
       {"b: . .", "a: 1 1"},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result<XdtsColumns> read = ReadXdts(c.file, "x.xdts", {});
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(Texts(*read), c.columns);
    if (!c.note.empty()) {
      EXPECT_TRUE(HasNote(read->notes, c.note));
    }
  }
}

TEST(XdtsRead, CountsWhatTheSheetHasNoPlaceFor) {
  const std::string file =
      std::string(kXdtsFirstLine) + "\n{\"timeTables\": [{\"duration\": 4, \"fields\": [" +
      "{\"fieldId\": 0, \"tracks\": [" +
      Track(0, {Cell(0, "1"), Cell(1, "SYMBOL_TICK_1"), Cell(2, "SYMBOL_TICK_1"),
                Cell(3, "SYMBOL_TICK_2")}) +
      "]}, {\"fieldId\": 3, \"tracks\": [{\"trackNo\": 0, \"frames\": [" +
      R"({"frame": 0, "data": [{"id": 0, "values": ["Ann", "Hello"]}]},)" +
      Cell(1, "SYMBOL_HYPHEN") + R"(, {"frame": 2, "data": [{"id": 0, "values": ["Bye"]}]}]}]}, )" +
      R"({"fieldId": 5, "tracks": [{"trackNo": 0, "frames": [)" + Cell(0, "PAN") + "]}]}, " +
      R"({"fieldId": 9, "tracks": [{"trackNo": 0, "frames": []}]}]}, )" +
      R"({"name": "other", "duration": 1}], "version": 4})";
  Result<XdtsColumns> read = ReadXdts(file, "x.xdts", {});
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(Texts(*read), (std::vector<std::string>{"track 1: 1 1 1 1"}));
  EXPECT_EQ(read->notes,
            (std::vector<std::string>{
                "version 4 read as version 5",
                "further time tables: 1 table not imported (--table chooses one)",
                "track 1 has no name: level \"track 1\"", "2 in-between marks kept as holds",
                "1 reverse-sheet mark kept as holds", "dialogue field: 2 lines not imported",
                "camera-work field: 1 instruction not imported", "field 9: 1 track not imported"}));

  Result<XdtsColumns> second = ReadXdts(file, "x.xdts", {"other", false});
  ASSERT_TRUE(second.ok()) << second.message();
  EXPECT_EQ(second->frameCount, 1);
  EXPECT_TRUE(second->columns.empty());
  EXPECT_EQ(ReadXdts(file, "x.xdts", {"2", false})->frameCount, 1);
  EXPECT_EQ(ReadXdts(file, "x.xdts", {"3", false}).message(),
            "x.xdts has no time table \"3\" (it has 1 \"\", 2 \"other\")");
}

TEST(XdtsRead, RefusesWhatTheFormatNoteListsNamingTheFile) {
  const std::string line = std::string(kXdtsFirstLine) + "\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"exchangeDigitalTimeSheet\n{}",
       "x.xdts is not an XDTS timesheet: its first line is not \"exchangeDigitalTimeSheet Save "
       "Data\""},
      {"",
       "x.xdts is not an XDTS timesheet: its first line is not \"exchangeDigitalTimeSheet Save "
       "Data\""},
      {line + "{\"timeTables\": [",
       "x.xdts: the timesheet's JSON does not parse (it must be one JSON object)"},
      {line + "[1, 2]", "x.xdts: the timesheet's JSON does not parse (it must be one JSON object)"},
      {line + "{\"version\": 5}", "x.xdts: the timesheet has no \"timeTables\""},
      {line + "{\"timeTables\": []}", "x.xdts: the timesheet has no \"timeTables\""},
      {line + "{\"timeTables\": [{\"name\": \"a\"}]}",
       "x.xdts: time table 1 has no \"duration\" of at least 1 frame"},
      {Timesheet(0, ""), "x.xdts: time table 1 has no \"duration\" of at least 1 frame"},
      {line + "{\"timeTables\": [{\"duration\": 2.5}]}",
       "x.xdts: time table 1 has no \"duration\" of at least 1 frame"},
      {Timesheet(3, Track(0, {Cell(-1, "1")})),
       "x.xdts: time table 1: a \"frame\" that is negative or not a whole number"},
      {Timesheet(3, Track(0, {R"({"frame": 1.5, "data": [{"id": 0, "values": ["1"]}]})"})),
       "x.xdts: time table 1: a \"frame\" that is negative or not a whole number"},
      {Timesheet(3, Track(0, {R"({"frame": "2", "data": [{"id": 0, "values": ["1"]}]})"})),
       "x.xdts: time table 1: a \"frame\" that is negative or not a whole number"},
      {Timesheet(3, Track(0, {R"({"frame": 1, "data": [{"id": 0, "values": []}]})"})),
       "x.xdts: time table 1, frame 1: cell \"values\" must be one or more strings"},
      {Timesheet(3, Track(0, {R"({"frame": 1, "data": [{"id": 0, "values": [3]}]})"})),
       "x.xdts: time table 1, frame 1: cell \"values\" must be one or more strings"},
      {Timesheet(3, Track(0, {R"({"frame": 1})"})),
       "x.xdts: time table 1, frame 1: cell \"values\" must be one or more strings"},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    EXPECT_EQ(ReadXdts(file, "x.xdts", {}).message(), message);
  }
  EXPECT_EQ(LoadXdtsFile("/no/such.xdts", {}).message(), "Could not open /no/such.xdts.");
}

TEST(XdtsRead, RefusesMoreThanASheetHoldsUnlessCropped) {
  const std::string wide =
      Timesheet(3, Track(0, {Cell(0, "1")}) + ", " + Track(59, {Cell(0, "2")}));
  EXPECT_EQ(
      ReadXdts(wide, "x.xdts", {}).message(),
      "x.xdts: time table 1 has 60 tracks; a sheet holds at most 49 (cropping keeps the first 49)");
  Result<XdtsColumns> cropped = ReadXdts(wide, "x.xdts", {"", true});
  ASSERT_TRUE(cropped.ok());
  EXPECT_EQ(cropped->columns.size(), 49u);
  EXPECT_EQ(ColumnText(cropped->columns.back()), "1 1 1");
  EXPECT_TRUE(HasNote(cropped->notes, "tracks 50 to 60 left out"));

  const std::string longer = Timesheet(2500, Track(0, {Cell(0, "1"), Cell(1998, "2")}));
  EXPECT_EQ(ReadXdts(longer, "x.xdts", {}).message(),
            "x.xdts: time table 1 is 2500 frames long; a sheet holds at most 1999 (cropping keeps "
            "the first 1999)");
  cropped = ReadXdts(longer, "x.xdts", {"", true});
  ASSERT_TRUE(cropped.ok());
  EXPECT_EQ(cropped->frameCount, 1999);
  EXPECT_EQ(cropped->columns[0].cells[1998], "2");
  EXPECT_TRUE(HasNote(cropped->notes, "frames 2000 to 2500 left out"));
  // A track number far beyond the limit is not a reason to allocate it.
  EXPECT_TRUE(ReadXdts(Timesheet(1, Track(2000000000, {Cell(0, "1")})), "x.xdts", {"", true}).ok());
}

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

// Reading XDTS timesheets: the format note's example, files in the shapes other programs
// write, every refusal with its message, and the sheet's limits.

#include <gtest/gtest.h>

#include "dopegrid/core/xdts_file.h"
#include "dopegrid/tests/exchange_test_support.h"
#include "dopegrid/tests/xdts_test_files.h"
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

}  // namespace
}  // namespace quenda

// The sheet as CSV: round trips through generated sheets, quoting, rows in any order, and each
// refusal with its message.

#include <gtest/gtest.h>

#include "dopegrid/core/sheet_csv.h"
#include "dopegrid/tests/exchange_test_support.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(SheetCsv, GeneratedSheetsComeBackCellForCellAndEveryRowNamesItsDrawings) {
  TempDir dir;
  std::vector<DrawingSequence> sequences = {TouchSequence(dir.path(), "walk", {"1", "2", "12a"}),
                                            TouchSequence(dir.path(), "wave", {"1", "2"})};
  for (auto [levels, frames, seed] :
       {std::tuple(1, 1, 3u), std::tuple(4, 60, 4u), std::tuple(49, 1999, 5u)}) {
    SCOPED_TRACE(levels);
    CSheetGrid sheet = GeneratedSheet(levels, frames, sequences, seed);
    Result<CsvColumns> read = ReadSheetCsv(WriteSheetCsv(sheet, sequences), "x.csv");
    ASSERT_TRUE(read.ok()) << read.message();
    // Both sequences lie in the folder, so the texts alone find them.
    Result<ExchangeImport> back =
        BuildImportedSheet(read->columns, read->frameCount, {{}, {dir.path()}});
    ASSERT_TRUE(back.ok()) << back.message();
    EXPECT_TRUE(back->missing.empty());
    EXPECT_EQ(DrawingsOf(back->sheet, back->sequences), DrawingsOf(sheet, sequences));
  }
  CSheetGrid sheet;
  sheet.frameCount = 3;
  sheet.AddLevel("a, \"b\"");
  sheet.AddLevel("w");
  sheet.Cell(0, 0) = sheet.Cell(0, 1) = {CellKind::Key, 0, 2};
  sheet.Cell(1, 2) = {CellKind::Key, 1, 0};
  sheet.NormaliseHolds();
  EXPECT_EQ(WriteSheetCsv(sheet, sequences),
            "frame,\"a, \"\"b\"\"\",w\r\n1,walk12a,\r\n2,walk12a,\r\n3,,wave1\r\n");
}

TEST(SheetCsv, ReadsRowsInAnyOrderQuotedFieldsAndEitherLineEnd) {
  Result<CsvColumns> read = ReadSheetCsv(
      "\xEF\xBB\xBF"
      "Frame,\"two\r\nlines\",,b\n3,x1,,\"y\"\"2\"\r\n1, walk1 \n\n5,,,z\n",
      "x.csv");
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_EQ(read->columns.size(), 3u);
  EXPECT_EQ(read->frameCount, 5);
  EXPECT_EQ(read->columns[0].name, "two\r\nlines");
  EXPECT_EQ(ColumnText(read->columns[0]), "walk1 . x1 . .");
  EXPECT_EQ(read->columns[1].name, "level 2");
  EXPECT_EQ(ColumnText(read->columns[2]), ". . y\"2 . z");
  EXPECT_EQ(read->notes, (std::vector<std::string>{"column 3 has no name: level \"level 2\"",
                                                   "2 frames have no row: empty cells"}));
}

TEST(SheetCsv, RefusesWhatDoesNotFitOrDoesNotParseNamingTheLine) {
  std::string wide = "frame";
  for (int l = 0; l < 50; ++l) wide += ",l";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "x.csv: no header row (frame,LEVEL,...)"},
      {"\n\n", "x.csv: no header row (frame,LEVEL,...)"},
      {"level,a\n1,x1\n", "x.csv: line 1: the header row must start with \"frame\""},
      {"frame\n1\n", "x.csv: the header row names no level"},
      {wide + "\n1\n", "x.csv has 50 level columns; a sheet holds at most 49"},
      {"frame,a\n", "x.csv: no rows of frames below the header"},
      {"frame,a\n1,x1\n0,x2\n", "x.csv: line 3: frame \"0\" is not a whole number from 1"},
      {"frame,a\n1,x1\nlast,x2\n", "x.csv: line 3: frame \"last\" is not a whole number from 1"},
      {"frame,a\n2000,x1\n", "x.csv: line 2: frame 2000 lies beyond the 1999 frames a sheet holds"},
      {"frame,a\n1,x1\n\n1,x2\n", "x.csv: line 4: frame 1 is given twice (also on line 2)"},
      {"frame,a\n1,x1,x2\n", "x.csv: line 2 has 3 fields; the header has 2"},
      {"frame,a\n1,\"x1\n2,x2\n", "x.csv: line 2: a quoted field is not closed"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadSheetCsv(text, "x.csv").message(), message);
  }
  EXPECT_EQ(LoadSheetCsv("/no/such.csv").message(), "Could not open /no/such.csv.");
}

}  // namespace
}  // namespace quenda

// `quenda sheet` import and export of XDTS timesheets and CSV, and lip-sync data: round trips
// through the printed --sequence options, refusals that save nothing, and --force.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/tests/tool_run.h"
#include "dopegrid/core/xdts_file.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

// The words after "import back with: " split at blanks (the test's paths need no quoting).
std::vector<std::string> ImportBackWords(const std::string& out) {
  const std::string marker = "import back with: quenda ";
  std::size_t at = out.find(marker);
  EXPECT_NE(at, std::string::npos) << out;
  std::istringstream line(out.substr(at + marker.size(), out.find('\n', at) - at - marker.size()));
  std::vector<std::string> words;
  for (std::string word; line >> word;) words.push_back(word);
  return words;
}

class SheetExchangeTool : public ::testing::Test {
 protected:
  // walk on twos on "default"; run on ones on "front" from frame 3 with a gap, and a walk
  // drawing, so that "front" mixes sequences; an empty level "empty".
  void SetUp() override {
    for (const char* name : {"walk", "run"})
      RunAll({{"sample", dir.File(name), "--name", name, "--frames", "4", "--size", "47x33"}});
    RunAll({{"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, dir.File("walk/walk1.qds")},
            {"sheet", "add-sequence", sheet, dir.File("run/run1.qds")},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-4", "--level", "0",
             "--frame", "1", "--on", "2"},
            {"sheet", "add-level", sheet, "empty"},
            {"sheet", "add-level", sheet, "front"},
            {"sheet", "transfer", sheet, "--sequence", "2", "--pictures", "1-3", "--level", "front",
             "--frame", "3", "--on", "1"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "2-2", "--level", "front",
             "--frame", "8", "--on", "3"},
            {"sheet", "frames", sheet, "--delete", "88"}});
    shown = RunTool({"sheet", "show", sheet}).out;
  }
  std::string Show(const std::string& path) { return RunTool({"sheet", "show", path}).out; }

  TempDir dir;
  std::string sheet = dir.File("shot.dgr");
  std::string back = dir.File("back.dgr");
  std::string shown;
};

TEST_F(SheetExchangeTool, XdtsAndCsvComeBackToTheSameSheetWithThePrintedSequences) {
  for (const std::string verb : {"xdts", "csv"}) {
    SCOPED_TRACE(verb);
    const std::string file = dir.File("shot." + verb);
    ToolOutput exported = RunTool({"sheet", "export-" + verb, sheet, "--out", file});
    ASSERT_EQ(exported.code, 0) << exported.err;
    std::vector<std::string> words = ImportBackWords(exported.out);
    ASSERT_GE(words.size(), 5u);
    EXPECT_EQ(words[1], "import-" + verb);
    words[4] = back;  // SHEET.dgr
    words.push_back("--force");
    ToolOutput imported = RunTool(words);
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(Show(back), shown);
    EXPECT_NE(imported.out.find("level \"front\": sequence run (" + dir.File("run/") +
                                "), by --sequence\n"),
              std::string::npos)
        << imported.out;
    EXPECT_NE(imported.out.find("level \"empty\": no cells\n"), std::string::npos);
  }
  // The mixed level is said to be written with sequence names.
  ToolOutput again =
      RunTool({"sheet", "export-xdts", sheet, "--out", dir.File("shot.xdts"), "--force"});
  EXPECT_EQ(again.err, "quenda sheet: " + dir.File("shot.xdts") +
                           ": level \"front\" shows drawings of several sequences: its cells are "
                           "written as sequence name and frame text (as walk12)\n");
  EXPECT_NE(ReadText(dir.File("shot.xdts")).find("\"run1\""), std::string::npos);
  EXPECT_NE(ReadText(dir.File("shot.csv")).find("frame,front,empty,default\r\n1,,,walk1\r\n"),
            std::string::npos);
}

// The demo's sheet: one walk of eight drawings on twos on two levels, a frame apart.
TEST(SheetExchangeDemo, TheDemosSheetComesBackThroughBothFormats) {
  TempDir dir;
  const std::string sheet = dir.File("walk.dgr");
  RunAll({{"sample", dir.File("walk"), "--name", "walk", "--frames", "8", "--size", "47x33"},
          {"sheet", "new", sheet},
          {"sheet", "add-sequence", sheet, dir.File("walk/walk1.qds")},
          {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-8", "--level", "default",
           "--frame", "1", "--on", "2"},
          {"sheet", "add-level", sheet, "front"},
          {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-8", "--level", "front",
           "--frame", "2", "--on", "2"}});
  const std::string shown = RunTool({"sheet", "show", sheet}).out;
  for (const std::string format : {"xdts", "csv"}) {
    const std::string file = dir.File("walk." + format), back = dir.File(format + ".dgr");
    ToolOutput exported = RunTool({"sheet", "export-" + format, sheet, "--out", file});
    ASSERT_EQ(exported.code, 0) << exported.err;
    std::vector<std::string> words = ImportBackWords(exported.out);
    ASSERT_GE(words.size(), 5u);
    words[4] = back;
    ASSERT_EQ(RunTool(words).code, 0);
    EXPECT_EQ(RunTool({"sheet", "show", back}).out, shown) << format;
  }
}

TEST_F(SheetExchangeTool, TheTopTrackBecomesTheFrontLevelAndTheFrontLevelTheTopTrack) {
  const std::string file = dir.File("order.xdts");
  WriteText(file, std::string(kXdtsFirstLine) +
                      "\n{\"timeTables\": [{\"duration\": 2, \"fields\": [{\"fieldId\": 0, "
                      "\"tracks\": [{\"trackNo\": 0, \"frames\": [{\"frame\": 0, \"data\": "
                      "[{\"id\": 0, \"values\": [\"walk1\"]}]}]}, {\"trackNo\": 1, \"frames\": "
                      "[{\"frame\": 1, \"data\": [{\"id\": 0, \"values\": [\"run2\"]}]}]}]}], "
                      "\"timeTableHeaders\": [{\"fieldId\": 0, \"names\": [\"bottom\", "
                      "\"top\"]}]}], \"version\": 5}\n");
  // The sequences are found in the file's folder, each in a folder of its name.
  ExpectRun({"sheet", "import-xdts", file, "--out", back}, 0, "",
            "level \"top\": sequence run (" + dir.File("run/") +
                "), named by its cells\nlevel \"bottom\": sequence walk (" + dir.File("walk/") +
                "), named by its cells\nwrote " + back + " (2 levels, 2 frames, 2 sequences)\n");
  EXPECT_EQ(Show(back), "frame\ttop\tbottom\n1\t\tw1\n2\tr2\t\"\n");

  ASSERT_EQ(RunTool({"sheet", "export-xdts", sheet, "--out", file, "--force"}).code, 0);
  const std::string text = ReadText(file);
  EXPECT_NE(text.find("\"names\":[\"default\",\"empty\",\"front\"]"), std::string::npos) << text;
}

TEST_F(SheetExchangeTool, AnImportThatWouldLoseCellsSavesNothingUnlessTheLossIsAccepted) {
  const std::string file = dir.File("lost.csv");
  WriteText(file, "frame,default\n1,walk1\n2,walk9\n3,jump1\n");
  WriteText(back, "old");
  ExpectRun(
      {"sheet", "import-csv", file, "--out", back}, 1,
      "quenda sheet: " + back + ": exists already; it is left as it is (--force replaces it)\n");
  ToolOutput refused = RunTool({"sheet", "import-csv", file, "--out", back, "--force"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err,
            "quenda sheet: " + file +
                ": missing: level \"default\": sequence jump is "
                "not found in " +
                dir.path() + " (--sequence chooses one) (from frame 3, 1 cell)\n" +
                "quenda sheet: " + file +
                ": missing: level \"default\": \"walk9\" is no drawing of sequence walk (" +
                dir.File("walk/") + ") (from frame 2, 1 cell)\n" + "quenda sheet: " + back +
                ": nothing saved: 2 texts name no drawing "
                "(--forget-missing leaves their cells empty)\n");
  EXPECT_EQ(ReadText(back), "old");

  ToolOutput kept =
      RunTool({"sheet", "import-csv", file, "--out", back, "--force", "--forget-missing"});
  EXPECT_EQ(kept.code, 0) << kept.err;
  EXPECT_EQ(Show(back), "frame\tdefault\n1\tw1\n2\t\n3\t\n");
}

TEST_F(SheetExchangeTool, RefusalsNameTheFileAndTheLimit) {
  const std::string xdts = dir.File("bad.xdts");
  WriteText(xdts, "exchangeDigitalTimeSheet\n{}");
  ExpectRun({"sheet", "import-xdts", xdts, "--out", back}, 1,
            "quenda sheet: " + xdts +
                " is not an XDTS timesheet: its first line is not \"exchangeDigitalTimeSheet Save "
                "Data\"\n");
  std::string header = "frame";
  for (int l = 0; l < 50; ++l) header += ",l" + std::to_string(l);
  WriteText(dir.File("wide.csv"), header + "\n1\n");
  ExpectRun({"sheet", "import-csv", dir.File("wide.csv"), "--out", back}, 1,
            "quenda sheet: " + dir.File("wide.csv") +
                " has 50 level columns; a sheet holds at most 49\n");
  EXPECT_FALSE(std::filesystem::exists(back));
  EXPECT_EQ(RunTool({"sheet", "export-csv", sheet, "--out", dir.File("a.csv"), "--crop"}).code, 2);
  EXPECT_EQ(
      RunTool({"sheet", "export-xdts", sheet, "--out", dir.File("a.xdts"), "--cut", "12345"}).code,
      2);
  EXPECT_EQ(RunTool({"sheet", "import-xdts", xdts, "--out", back, "--sequence", "nokey"}).code, 2);
}

class LipSyncTool : public SheetExchangeTool {
 protected:
  void SetUp() override {
    SheetExchangeTool::SetUp();
    RunAll({{"sample", dir.File("mouth"), "--name", "mouth", "--frames", "5", "--size", "47x33"}});
  }
  std::string Level(const std::string& path, int column) {
    std::istringstream rows(Show(path));
    std::string row, cells;
    std::getline(rows, row);
    while (std::getline(rows, row)) {
      std::istringstream fields(row);
      std::string field;
      for (int c = 0; c <= column; ++c) std::getline(fields, field, '\t');
      cells += (cells.empty() ? "" : " ") + (field.empty() ? std::string(".") : field);
    }
    return cells;
  }
};

TEST_F(LipSyncTool, SwitchDataAndTimedShapesExposeTheMappedMouths) {
  const std::string data = dir.File("talk.dat");
  WriteText(data, "MohoSwitch1\r\n1 MBP\r\n3 AI\r\n4 E\r\n6 rest\r\n");
  ExpectRun({"sheet", "lipsync", sheet, "--data", data, "--level", "empty", "--mouths",
             "MBP=1,AI=3,E=4", "--sequence", dir.File("mouth/mouth1.qds"), "--from", "2"},
            1,
            "quenda sheet: " + data +
                ": the mouth map has no drawing for rest (name each, or *=DRAWING)\n");
  ExpectRun({"sheet", "lipsync", sheet, "--data", data, "--level", "empty", "--mouths",
             "MBP=1,AI=3,E=4,*=5", "--sequence", dir.File("mouth/mouth1.qds"), "--from", "2",
             "--until", "9"},
            0, "",
            "level \"empty\": frames 2-9 from 4 mouth shapes of mouth\nwrote " + sheet + "\n");
  EXPECT_EQ(Level(sheet, 2), ". m1 \" m3 m4 \" m5 \" \" . . .");
  EXPECT_EQ(Level(sheet, 1), ". . r1 r2 r3 . . w2 \" \" . .");  // other levels untouched

  // The level now holds one sequence, so its drawings are the mouths; a map file is read.
  WriteText(dir.File("map.txt"), "# mouths\nA=2\n*=1\n");
  WriteText(dir.File("talk.tsv"), "0.00\tX\n0.12\tA\n0.2\tX\n");
  ExpectRun({"sheet", "lipsync", sheet, "--data", dir.File("talk.tsv"), "--level", "empty",
             "--mouths", dir.File("map.txt"), "--from", "11", "--rate", "10"},
            1,
            "quenda sheet: " + sheet +
                ": the lip-sync data runs to frame 13, past the sheet's 12 frames (--extend "
                "lengthens it)\n");
  ASSERT_EQ(RunTool({"sheet", "lipsync", sheet, "--data", dir.File("talk.tsv"), "--level", "empty",
                     "--mouths", dir.File("map.txt"), "--from", "11", "--rate", "10", "--extend"})
                .code,
            0);
  EXPECT_EQ(Level(sheet, 2), ". m1 \" m3 m4 \" m5 \" \" . m1 m2 m1");

  ExpectRun({"sheet", "lipsync", sheet, "--data", data, "--level", "front", "--mouths", "*=1"}, 1,
            "quenda sheet: " + sheet +
                ": level \"front\" holds drawings of several sequences (walk, run): --sequence "
                "FIRST.qds chooses the mouth drawings\n");
  WriteText(dir.File("bad.dat"), "MohoSwitch1\n1 AI\n0 E\n");
  ExpectRun({"sheet", "lipsync", sheet, "--data", dir.File("bad.dat"), "--level", "empty",
             "--mouths", "*=1"},
            1,
            "quenda sheet: " + dir.File("bad.dat") + ": line 3: 0 goes backwards (line 2 was 1)\n");
}

}  // namespace
}  // namespace quenda::cli

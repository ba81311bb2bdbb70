// `quenda sheet`, `render`, `flipbook` and `tone` over small sequences on disk.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/tests/tool_run.h"
#include "dopegrid/core/sheet_file.h"
#include "media/movie_reader.h"
#include "testing/pcm_wave.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

class SheetTool : public ::testing::Test {
 protected:
  void SetUp() override {
    RunAll({{"sample", dir.File("walk"), "--name", "walk", "--frames", "4", "--size", "47x33",
             "--dpi", "100"}});
  }
  ToolOutput Sheet(std::vector<std::string> words) {
    words.insert(words.begin(), "sheet");
    return RunTool(words);
  }
  // A sheet with the walk on twos over two levels: frames 1..8 on "back", 2..9 on "front".
  void BuildTwoLevels() {
    RunAll({{"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, dir.File("walk/walk1.qds")},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-4", "--level",
             "default", "--frame", "1", "--on", "2"},
            {"sheet", "add-level", sheet, "front"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-4", "--level", "0",
             "--frame", "2", "--on", "2"}});
  }

  TempDir dir;
  std::string sheet = dir.File("walk.dgr");
};

TEST_F(SheetTool, RefusesWhatTheSheetCannotTake) {
  auto transfer = [&](const char* pictures) {
    return Sheet({"transfer", sheet, "--sequence", "1", "--pictures", pictures, "--level", "0",
                  "--frame", "1", "--on", "2"});
  };
  ASSERT_EQ(Sheet({"new", sheet}).code, 0);
  EXPECT_EQ(transfer("1").code, 2);  // no sequence yet
  ASSERT_EQ(Sheet({"add-sequence", sheet, dir.File("walk/walk1.qds")}).code, 0);
  EXPECT_EQ(transfer("2-9").code, 2);
  const std::string named = "quenda sheet: " + sheet + ": ";
  ExpectRun({"sheet", "frames", sheet, "--delete", "99"}, 1,
            named + "There are not that many frames to delete.\n");
  ExpectRun({"sheet", "add-sequence", sheet, dir.File("walk/walk.col")}, 1,
            named + "Invalid filename format or there is no number found on filename!\n");
  EXPECT_EQ(Sheet({"frames", sheet, "--add", "50"}).code, 0);
  EXPECT_NE(Sheet({"show", sheet}).out.find("\n150\t\n"), std::string::npos);
}

// The sheet's window takes only drawings that exist and cuts a transfer off at the sheet's end;
// headless, neither may change the sheet without a word.
TEST_F(SheetTool, AMissingDrawingOrATransferPastTheEndLeavesTheSheet) {
  ASSERT_EQ(Sheet({"new", sheet}).code, 0);
  ASSERT_EQ(Sheet({"add-sequence", sheet, dir.File("walk/walk1.qds")}).code, 0);
  const std::vector<uint8_t> before = ReadBytes(sheet);
  auto transfer = [&](const char* on, std::vector<std::string> extra) {
    std::vector<std::string> words{"transfer", sheet,     "--sequence", "1", "--pictures", "1-4",
                                   "--level",  "default", "--frame",    "1", "--on",       on};
    words.insert(words.end(), extra.begin(), extra.end());
    return Sheet(words);
  };
  const std::string named = "quenda sheet: " + sheet + ": ";
  struct Refused {
    ToolOutput run;
    std::string err;
  } cases[] = {
      {Sheet({"add-sequence", sheet, dir.File("walk/walk9.qds")}),
       "quenda sheet: " + dir.File("walk/walk9.qds") +
           ": the drawing does not exist; the sheet is left as it is\n"},
      {transfer("60", {}),
       named + "2 of the 4 pictures do not fit on the sheet's 100 frames; it needs 240 "
               "(--extend lengthens it)\n"},
      {transfer("30", {}),
       named + "the last picture is not held for its 30 frames on the sheet's 100 frames; "
               "it needs 120 (--extend lengthens it)\n"},
      {transfer("600", {"--extend"}), named + "Sorry, there is a maximum of 2000 frames\n"},
  };
  for (const Refused& c : cases) {
    EXPECT_EQ(c.run.code, 1);
    EXPECT_EQ(c.run.err, c.err);
  }
  EXPECT_EQ(ReadBytes(sheet), before);

  ToolOutput extended = transfer("60", {"--extend"});
  ASSERT_EQ(extended.code, 0) << extended.err;
  std::string shown = Sheet({"show", sheet}).out;
  EXPECT_NE(shown.find("\n181\tw4\n"), std::string::npos);
  EXPECT_TRUE(shown.ends_with("\n240\t\"\n")) << shown.substr(shown.size() - 40);
  // Inserting one more cell would push the last one off the end.
  ToolOutput pushed = transfer("1", {});
  EXPECT_EQ(pushed.code, 1);
  EXPECT_EQ(pushed.err, named +
                            "cells moved down would fall off the end on the sheet's 240 frames; "
                            "it needs 244 (--extend lengthens it)\n");
}

TEST_F(SheetTool, ASheetBuiltStepByStepIsKeptWhenItsFolderMovesUnlessForgotten) {
  BuildTwoLevels();
  ToolOutput shown = Sheet({"show", sheet});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_TRUE(shown.out.starts_with(
      "frame\tfront\tdefault\n1\t\tw1\n2\tw1\t\"\n3\t\"\tw2\n4\tw2\t\"\n5\t\"\tw3\n"))
      << shown.out;
  EXPECT_NE(shown.out.find("\n9\t\"\t\n10\t\t\n"), std::string::npos);
  EXPECT_EQ(Sheet({"new", sheet}).code, 1);  // an existing sheet is kept

  std::filesystem::rename(dir.File("walk"), dir.File("moved"));
  const std::vector<uint8_t> before = ReadBytes(sheet);
  const std::string said = "quenda sheet: " + sheet +
                           ": All frames of the sequence \"walk\" have either been moved to some "
                           "place else or have been deleted\n";
  const std::string lost = said + "missing: sequence \"walk\" (" + dir.File("walk/") + ")\n";
  const std::string kept =
      "quenda sheet: " + sheet +
      ": the sheet is left as it was; --forget-missing forgets the missing sequences\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"sheet", "add-level", sheet, "x"}, lost + kept},
      {{"sheet", "print", sheet, "--pdf", dir.File("walk.pdf")}, lost + kept},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args[1]);
    ExpectRun(c.args, 1, c.err, "");
    EXPECT_EQ(ReadBytes(sheet), before);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("walk.pdf")));

  ExpectRun({"sheet", "add-level", sheet, "x", "--forget-missing"}, 0,
            said + "dropped: sequence \"walk\" (" + dir.File("walk/") + ")\n");
  std::filesystem::rename(dir.File("moved"), dir.File("walk"));
  shown = Sheet({"show", sheet});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_TRUE(shown.out.starts_with("frame\tx\tfront\tdefault\n1\t\t\t\n2\t\t\t\n")) << shown.out;
}

TEST_F(SheetTool, ToneAndFlipbookWithSoundAndTheOldMovieKeptOnAFullDiskOrABadDrawing) {
  BuildTwoLevels();
  std::string wave = dir.File("beat.wav");
  ASSERT_EQ(RunTool({"tone", wave, "--seconds", "1", "--rate", "8000"}).code, 0);

  std::string movie = dir.File("walk.avi");
  ExpectRun({"flipbook", sheet, "--out", movie, "--frames", "1-9", "--size", "100", "--sound", wave,
             "--sound-start", "3"},
            0, "", "wrote " + movie + ": 9 frames at 25 per second, with sound\n");
  EXPECT_GT(std::filesystem::file_size(movie), 1000u);

  // A 16-bit stereo file from an ordinary sound tool is converted on load (the conversion is the
  // wave reader's test), and the tool says so.
  const PcmLayout cd{16, 2, 44100};
  WriteBytes(dir.File("voice.wav"), PcmWave(cd, PcmValues(cd, 44100)));
  ExpectRun(
      {"flipbook", sheet, "--out", movie, "--frames", "1-9", "--sound", dir.File("voice.wav")}, 0,
      "quenda flipbook: " + dir.File("voice.wav") +
          ": Converted 16-bit stereo 44100 Hz sound to 8-bit mono.\n");
  Result<std::unique_ptr<MovieReader>> reader = MovieReader::Open(movie);
  ASSERT_TRUE(reader.ok()) << reader.message();
  EXPECT_EQ(std::tuple((*reader)->soundFormat().bitsPerSample, (*reader)->soundFormat().channels,
                       (*reader)->soundFormat().samplesPerSecond),
            std::tuple(8, 1, 44100u));

  // A flipbook that fails keeps the movie written before.
  RunAll({{"flipbook", sheet, "--out", movie, "--frames", "1-2", "--size", "50"}});
  const std::vector<uint8_t> old = ReadBytes(movie);
  const std::vector<std::string> listing = ListDirectory(dir.path());
  const std::string named = "quenda flipbook: " + movie + ": ";
  auto keepsTheOld = [&](const std::string& err) {
    ExpectRun({"flipbook", sheet, "--out", movie, "--frames", "1-9"}, 1, err);
    EXPECT_EQ(ReadBytes(movie), old);
    EXPECT_EQ(ListDirectory(dir.path()), listing);
  };
  {
    FileSizeLimit full(8192);
    keepsTheOld(named + "An unknown error has occured with avi file.\n" + named +
                "Problem Writing flipbook to disk\n");
  }
  // A drawing whose header reads but whose pixels do not fails the movie part way.
  std::vector<uint8_t> drawing = ReadBytes(dir.File("walk/walk3.qds"));
  drawing.pop_back();
  WriteBytes(dir.File("walk/walk3.qds"), drawing);
  keepsTheOld(named + "Error Reading drawing " + dir.File("walk/walk3.qds") +
              ": Incomplete image file\n" + named + "Could not load a scanned frame!\n" + named +
              "Problem reading a frame\n");
}

// A missing drawing or sound file stops render and flipbook before anything is written, unless
// the loss is accepted; frames of an earlier part of the job stay as they were.
TEST_F(SheetTool, MissingDrawingOrSoundStopsTheRunBeforeAnyFrame) {
  BuildTwoLevels();
  // Not analysed or painted yet: the painted render names the files that are missing.
  ToolOutput painted =
      RunTool({"render", sheet, "--out", dir.File("o/"), "--name", "walk", "--frames", "1-2"});
  EXPECT_EQ(painted.code, 1);
  EXPECT_TRUE(painted.err.starts_with("missing: " + dir.File("walk/walk1.rgn") +
                                      "\nmissing: " + dir.File("walk/walk1.pnt") + "\n"))
      << painted.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("o/")));

  std::string out = dir.File("out/"), movie = dir.File("walk.avi");
  std::vector<std::string> render{"render", sheet,      "--out", out,          "--name",
                                  "walk",   "--frames", "1-9",   "--line-test"};
  auto renderPart = [&](const char* part, bool allow) {
    std::vector<std::string> args = render;
    args.insert(args.end(), {"--write", part});
    if (allow) args.push_back("--allow-missing");
    return RunTool(args);
  };
  ASSERT_EQ(renderPart("1-4", false).code, 0);
  std::vector<uint8_t> earlier = ReadBytes(out + "walk0001.tga");
  std::filesystem::remove(dir.File("walk/walk3.qds"));
  const std::string missing = "missing: " + dir.File("walk/walk3.qds") + "\n";
  const std::string refusal =
      "nothing written, as files the frames need are missing or "
      "unreadable (--allow-missing goes on without them)\n";

  ToolOutput refused = renderPart("5-9", false);
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, missing + "quenda render: " + sheet + ": " + refusal);
  EXPECT_EQ(ListDirectory(out).size(), 4u);
  EXPECT_EQ(ReadBytes(out + "walk0001.tga"), earlier);
  ToolOutput allowed = renderPart("5-9", true);
  EXPECT_EQ(allowed.code, 0) << allowed.err;
  EXPECT_TRUE(allowed.err.starts_with(missing)) << allowed.err;
  EXPECT_EQ(allowed.out, "wrote " + out + "walk0005.tga .. " + out + "walk0009.tga\n");
  EXPECT_EQ(ListDirectory(out).size(), 9u);

  std::vector<std::string> flipbook{"flipbook", sheet, "--out",   movie,
                                    "--size",   "100", "--sound", dir.File("gone.wav")};
  ExpectRun(flipbook, 1,
            missing + "missing: " + dir.File("gone.wav") + "\nquenda flipbook: " + sheet + ": " +
                refusal);
  EXPECT_FALSE(std::filesystem::exists(movie));
  flipbook.push_back("--allow-missing");
  ToolOutput silent = RunTool(flipbook);
  EXPECT_EQ(silent.code, 0) << silent.err;
  EXPECT_EQ(silent.out, "wrote " + movie + ": 100 frames at 25 per second\n");
}

// Sequences added by relative names are stored absolute; older sheets holding relative folders
// find them beside the sheet first, then in the working directory.
TEST_F(SheetTool, SequenceFoldersAreFoundFromAnyWorkingDirectory) {
  TempDir elsewhere;
  {
    WorkingDirectory in(dir.path());
    RunAll({{"sheet", "new", "walk.dgr"},
            {"sheet", "add-sequence", "walk.dgr", "walk/../walk/walk1.qds"},
            {"sheet", "transfer", "walk.dgr", "--sequence", "1", "--pictures", "1-4", "--level",
             "0", "--frame", "1", "--on", "1"}});
  }
  std::filesystem::copy(dir.File("walk"), elsewhere.File("moved"));
  WorkingDirectory in(elsewhere.path());
  ToolOutput rendered = RunTool(
      {"render", sheet, "--out", "frames/", "--name", "walk", "--frames", "1-4", "--line-test"});
  EXPECT_EQ(rendered.code, 0) << rendered.err;
  EXPECT_EQ(ListDirectory(elsewhere.File("frames/")).size(), 4u);

  const struct {
    const char* stored;
    std::string found;
  } kCases[] = {
      {"walk/", dir.File("walk/")}, {"moved/", elsewhere.File("moved/")}, {"gone/", "gone/"}};
  for (const auto& c : kCases) {
    Result<SheetFileContents> contents = LoadSheetFile(sheet);
    ASSERT_TRUE(contents.ok()) << contents.message();
    EXPECT_EQ(contents->sequences[0].directory, dir.File("walk/"));
    contents->sequences[0].directory = c.stored;
    ASSERT_TRUE(SaveSheetFile(sheet, contents->sheet, contents->sequences).ok());
    Result<SheetFileContents> read = LoadSheetFile(sheet);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->sequences[0].directory, c.found) << c.stored;
    contents->sequences[0].directory = dir.File("walk/");
    ASSERT_TRUE(SaveSheetFile(sheet, contents->sheet, contents->sequences).ok());
  }
}

}  // namespace
}  // namespace quenda::cli

// The painter's subcommands of the quenda tool, run in-process on analyzed sample drawings.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/tests/tool_run.h"
#include "common/color_set.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

class PainterCommands : public ::testing::Test {
 protected:
  void SetUp() override { quenda::testing::WriteAnalyzedSequence(dir_.path(), "walk", 3, 120, 90); }
  RegionData RegionsOf(const std::string& base) {
    return ReadRegionFile(dir_.File(base + ".rgn"), 120, 90, RegionReader::Painter).value();
  }
  ColorSet Colours(const std::string& file) {
    ColorSet colors;
    ApplyColorSet(colors, ParseColorSet(ReadFileText(dir_.File(file)).value()));
    return colors;
  }
  quenda::testing::TempDir dir_;
};

TEST_F(PainterCommands, ListedRegionPointsLieInTheirRegionsAndPaintThem) {
  const RegionData region = RegionsOf("walk2");
  ToolOutput run = RunTool({"paint", dir_.File("walk2.qds"), "--list-regions"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::istringstream lines(run.out);
  int number = 0, x = 0, y = 0, listed = 0, inner = 0;
  long long pixels = 0, total = 0;
  char comma = 0;
  std::string colour, fill;
  while (lines >> number >> x >> comma >> y >> pixels >> colour) {
    const std::size_t i = std::size_t(y) * region.width + x;
    EXPECT_EQ(std::tuple(region.regionMap[i], region.flags[i] & kFlagRegionLine, colour),
              std::tuple(number, 0, number == 1 ? "TRANS" : "UNFIL"));
    if (number > 1 && inner == 0) {
      inner = number;
      fill = std::to_string(x) + "," + std::to_string(y) + "=shirt";
    }
    total += pixels;
    ++listed;
  }
  EXPECT_GT(listed, 3);
  EXPECT_EQ(total, std::count_if(region.flags.begin(), region.flags.end(),
                                 [](uint8_t f) { return !(f & kFlagRegionLine); }));

  run = RunTool({"paint", dir_.File("walk2.qds"), "--fill", fill});
  const int unfilled = region.regionCount - 1;  // every region but background and this one
  EXPECT_EQ(std::tie(run.code, run.err, run.out),
            std::tuple(0, "", "walk2: " + std::to_string(unfilled) + " regions not painted\n"));
  const ColorSet colors = Colours("walk.col");
  auto paint = ReadPaintFile(dir_.File("walk2.pnt"), region.regionCount, colors.count);
  ASSERT_TRUE(paint.ok());
  EXPECT_EQ(colors.entries[paint->regionColor[inner]].name, "SHIRT");
  EXPECT_FALSE(FrameExists(dir_.File("walk1.pnt")));
}

TEST_F(PainterCommands, RefusedRunsSayWhyAndWriteNothingAndColorsAddsListsAndStopsAtTheLimit) {
  const std::string walk1 = dir_.File("walk1.qds"), col = dir_.File("new.col");
  const std::string noColour = "quenda paint: " + dir_.File("walk.col") + ": no colour '";
  const std::string inSet = "' to paint with\n";
  struct Refused {
    std::vector<std::string> args;
    int code;
    std::string err;  // not compared for usage errors (code 2)
  };
  const std::vector<Refused> cases = {
      {{"paint", walk1, "--fill", "5,5=mauve"}, 1, noColour + "mauve" + inSet},
      {{"paint", walk1, "--fill", "5,5=1"}, 1, noColour + "1" + inSet},  // the unfilled colour
      {{"paint", walk1, "--fill", "5,5=0", "--fill", "120,5=skin"},
       1,
       "quenda paint: " + walk1 + ": 120,5 is outside the 120x90 picture\n"},
      {{"paint", dir_.File("walk9.qds"), "--fill", "1,1=0"},
       1,
       "quenda paint: " + dir_.File("walk9.qds") +
           ": Fatal: Image file does not exist: " + dir_.File("walk9.qds") + "\n"},
      {{"paint", walk1, "--fill", "5=skin"}, 2, ""},
      {{"paint", walk1}, 2, ""},
      {{"paint", walk1, "--list-regions", "--fill", "1,1=0"}, 2, ""},
      {{"autopaint", walk1, "--range", "2", "--from", "1"}, 2, ""},
      {{"autopaint", walk1, "--range", "2-3", "--from", "previous", "--match", "best"}, 2, ""},
      {{"autopaint", walk1, "--range", "2-3", "--from", "previous", "--specks", "0"}, 2, ""},
      {{"autopaint", walk1, "--range", "2-3", "--from", "previous", "--confidence", "101"}, 2, ""},
      {{"autopaint", walk1, "--range", "2-3", "--from", "previous", "--confidence", "-1"}, 2, ""},
      {{"paint", walk1, "--specks", "x"}, 2, ""},
      {{"paint", walk1, "--list-regions", "--specks", "10"}, 2, ""},
      {{"colors", col, "--add", "X", "1", "2"}, 2, ""},
      {{"colors", col, "--add", "X", "1", "2", "256"}, 2, ""},
      {{"colors", col}, 2, ""},
      {{"colors", col, "--add", "Ochre_red", "1", "2", "3"}, 2, ""},  // nine characters
  };
  for (const Refused& c : cases) {
    const ToolOutput run = RunTool(c.args);
    EXPECT_EQ(run.code, c.code) << c.args[0] << " " << c.args.back();
    if (c.code == 1) {
      EXPECT_EQ(run.err, c.err);
    }
  }
  for (const char* paint : {"walk1.pnt", "walk2.pnt", "walk3.pnt"})
    EXPECT_FALSE(FrameExists(dir_.File(paint))) << paint;
  // What was refused wrote no colour set: adding makes it, lists it and stops at the limit.
  ToolOutput run = RunTool({"colors", col, "--add", "Sky Blue", "10", "20", "30", "--add",
                            "Ochre_re", "200", "120", "40", "--list"});
  EXPECT_EQ(
      std::tie(run.code, run.err, run.out),
      std::tuple(0,
                 "quenda colors: " + col +
                     ": ColorSet Not Found, Creating an new Color Set File for the sequence.\n",
                 "added Sky_Blue as colour 3\nadded Ochre_re as colour 4\n0 TRANS 120 120 120\n"
                 "1 UNFIL 0 255 102\n2 LINE 255 0 255\n3 Sky_Blue 10 20 30\n"
                 "4 Ochre_re 200 120 40\n"));
  std::vector<std::string> args{"colors", col};
  for (int i = 0; i < 250; ++i)
    for (const char* word : {"--add", "C", "1", "2", "3"}) args.push_back(word);
  ToolOutput full = RunTool(args);
  EXPECT_EQ(std::tie(full.code, full.err),
            std::tuple(1, "quenda colors: " + col + ": Maximum color number reached!\n"));
  EXPECT_EQ(Colours("new.col").count, kPainterColorLimit);
}

// The writer takes a folder without write permission bits as read-only even for root.
TEST_F(PainterCommands, PaintThatCannotBeWrittenFailsTheRunAndAutopaintPaintsTheRangeAndSpecks) {
  ASSERT_EQ(RunTool({"paint", dir_.File("walk1.qds"), "--fill", "0,0=skin"}).code, 0);
  const std::vector<uint8_t> painted = quenda::testing::ReadBytes(dir_.File("walk1.pnt"));
  namespace fs = std::filesystem;
  fs::permissions(dir_.path(),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::string refused = "Fatal: Error opening paint file writing: maybe readonly?\n";
  ToolOutput paint = RunTool({"paint", dir_.File("walk1.qds"), "--fill", "0,0=shirt"});
  ToolOutput autopaint =
      RunTool({"autopaint", dir_.File("walk1.qds"), "--range", "2-3", "--from", "previous"});
  fs::permissions(dir_.path(), fs::perms::owner_write, fs::perm_options::add);
  // With nobody to answer whether to retry, discard or stay, the paint stays unsaved: the run
  // fails, naming the question.
  auto notSaved = [](const std::string& frame) {
    return "Frame Not Saved: The changes to " + frame +
           " could not be saved. [Retry] [Discard] [Stay] [no answer]\n";
  };
  const std::string painter = "quenda paint: " + dir_.File("walk1.qds") + ": ";
  EXPECT_EQ(std::tie(paint.code, paint.err, paint.out),
            std::tuple(1, painter + refused + painter + notSaved("walk1"), ""));
  const std::string named = "quenda autopaint: " + dir_.File("walk1.qds") + ": ";
  EXPECT_EQ(std::tie(autopaint.code, autopaint.err),
            std::tuple(1, named + refused + named + notSaved("walk2") + named + refused + named +
                              notSaved("walk2")));
  EXPECT_EQ(quenda::testing::ReadBytes(dir_.File("walk1.pnt")), painted);
  for (const char* paint : {"walk2.pnt", "walk3.pnt"}) EXPECT_FALSE(FrameExists(dir_.File(paint)));
  // Writable again: autopaint by vote from any frame, then by shapes with the specks painted after.
  for (const std::vector<std::string>& how :
       {std::vector<std::string>{}, {"--match", "shapes", "--specks", "10"}}) {
    std::vector<std::string> args{"autopaint", dir_.File("walk3.qds"), "--range", "2-3", "--from",
                                  "previous"};
    args.insert(args.end(), how.begin(), how.end());
    ToolOutput run = RunTool(args);
    ASSERT_EQ(run.code, 0) << run.err;
    // By shapes, the chain runs in memory first, passing every frame before any is written.
    const std::string stages = how.empty() ? "Autopainting frame 2\nAutopainting frame 3\n"
                                           : "Autopainting frame 2\nAutopainting frame 3\n"
                                             "Autopainting frame 2\nAutopainting frame 3\n";
    EXPECT_TRUE(run.out.starts_with(stages + "walk2: ")) << run.out;
    EXPECT_NE(run.out.find("\nwalk3: "), std::string::npos);
    for (const char* paint : {"walk2.pnt", "walk3.pnt"}) EXPECT_TRUE(FrameExists(dir_.File(paint)));
  }
  ToolOutput specks = RunTool({"paint", dir_.File("walk1.qds"), "--specks", "10"});
  ASSERT_EQ(specks.code, 0) << specks.err;
  EXPECT_TRUE(specks.out.starts_with("walk1: ")) << specks.out;
  EXPECT_NE(specks.out.find(" specks painted\nwalk1: "), std::string::npos) << specks.out;
}

// Both keys: the paper painted on the keys 1 and 4 reaches the in-betweens 2 and 3 through
// both chains, which run before any frame is written; a range with no key before it is refused.
TEST_F(PainterCommands, AutopaintFromBothKeysPaintsTheInBetweensOfTwoPaintedKeys) {
  quenda::testing::WriteAnalyzedSequence(dir_.path(), "jump", 4, 120, 90);
  for (const char* key : {"jump1.qds", "jump4.qds"})
    ASSERT_EQ(RunTool({"paint", dir_.File(key), "--fill", "0,0=skin"}).code, 0);
  const ToolOutput refused =
      RunTool({"autopaint", dir_.File("jump1.qds"), "--range", "1-3", "--from", "both"});
  EXPECT_EQ(
      std::tie(refused.code, refused.err),
      std::tuple(1, "quenda autopaint: " + dir_.File("jump1.qds") +
                        ": There must be a frame before start frame with auto-next paint!\n"));
  for (const std::vector<std::string>& how :
       {std::vector<std::string>{}, {"--match", "shapes", "--confidence", "80"}}) {
    std::vector<std::string> args{"autopaint", dir_.File("jump1.qds"), "--range", "2-3", "--from",
                                  "both"};
    args.insert(args.end(), how.begin(), how.end());
    const ToolOutput run = RunTool(args);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(
        run.out.starts_with("Autopainting frame 2\nAutopainting frame 3\n"
                            "Autopainting frame 3\nAutopainting frame 2\n"
                            "Autopainting frame 2\nAutopainting frame 3\njump2: "))
        << run.out;
    const ToolOutput listed = RunTool({"paint", dir_.File("jump2.qds"), "--list-regions"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    // The paper, region 1, listed first.
    const std::string paper = listed.out.substr(0, listed.out.find('\n'));
    EXPECT_TRUE(paper.starts_with("1 ") && paper.ends_with(" SKIN")) << listed.out;
  }
}

}  // namespace
}  // namespace quenda::cli

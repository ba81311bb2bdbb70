// Lip-sync data: both forms, the frames timed shapes land on, the mouth map with "*", where the
// cells go and how long the last shape holds, and each refusal with its message.

#include <gtest/gtest.h>

#include "dopegrid/core/lipsync_data.h"

namespace quenda {
namespace {

DrawingSequence Mouths() {
  DrawingSequence mouths{"/m/", "mouth", {{1}, {2}, {3}, {4, 'a'}}, 4};
  return mouths;
}

std::string Frames(const std::vector<ShapeAt>& shapes) {
  std::string text;
  for (const ShapeAt& s : shapes)
    text += (text.empty() ? "" : " ") + std::to_string(s.frame) + s.shape;
  return text;
}

TEST(LipSyncData, ReadsSwitchDataAndTimedShapes) {
  Result<LipSyncData> moho =
      ReadLipSync("\xEF\xBB\xBF MohoSwitch1 \r\n1 MBP\r\n\r\n4\tAI\r\n4 E\r\n9 rest", "a.dat");
  ASSERT_TRUE(moho.ok()) << moho.message();
  EXPECT_EQ(moho->form, LipSyncForm::Switch);
  EXPECT_EQ(Frames(ShapeFrames(*moho, 25)), "1MBP 4E 9rest");  // the later of one frame wins
  EXPECT_EQ(ShapesOf(*moho), (std::vector<std::string>{"MBP", "AI", "E", "rest"}));

  Result<LipSyncData> timed = ReadLipSync("0.00\tX\n0.05\tB\n0.50\tC\n1.02\tX\n", "a.tsv");
  ASSERT_TRUE(timed.ok()) << timed.message();
  EXPECT_EQ(timed->form, LipSyncForm::Timed);
  EXPECT_EQ(Frames(ShapeFrames(*timed, 25)), "1X 2B 14C 27X");  // round(1.25)+1, round(25.5)+1
  EXPECT_EQ(Frames(ShapeFrames(*timed, 24)), "1X 2B 13C 25X");
  // Switch data is known by its signature whatever the file is called.
  EXPECT_EQ(ReadLipSync("MohoSwitch1\n1 AI\n", "a.tsv")->form, LipSyncForm::Switch);
}

TEST(LipSyncData, RefusesNamingTheFileAndTheLine) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"a.dat", "1 AI\n", "a.dat: line 1: switch data must start with the line \"MohoSwitch1\""},
      {"a.txt", "", "a.txt: line 1: switch data must start with the line \"MohoSwitch1\""},
      {"a.dat", "MohoSwitch1\n1 AI E\n",
       "a.dat: line 2: a line is FRAME SHAPE, two fields; this one has 3"},
      {"a.tsv", "0.5\n", "a.tsv: line 1: a line is SECONDS<TAB>SHAPE, two fields; this one has 1"},
      {"a.dat", "MohoSwitch1\n1.5 AI\n", "a.dat: line 2: \"1.5\" is not a frame number"},
      {"a.dat", "MohoSwitch1\nten AI\n", "a.dat: line 2: \"ten\" is not a frame number"},
      {"a.tsv", "x\tA\n", "a.tsv: line 1: \"x\" is not a time in seconds"},
      {"a.tsv", "-0.5\tA\n", "a.tsv: line 1: -0.5 is negative"},
      {"a.tsv", "0.5\tA\n0.25\tB\n", "a.tsv: line 2: 0.25 goes backwards (line 1 was 0.5)"},
      {"a.dat", "MohoSwitch1\n", "a.dat: no mouth shapes in the file"},
  };
  for (const auto& [path, text, message] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadLipSync(text, path).message(), message);
  }
  EXPECT_EQ(LoadLipSyncFile("/no/such.dat").message(), "Could not open /no/such.dat.");
}

TEST(LipSyncData, TheMapNamesDrawingsWithAStarForTheRest) {
  Result<MouthMap> map = ParseMouthMap("AI=3, e=4a ,*=1");
  ASSERT_TRUE(map.ok()) << map.message();
  EXPECT_EQ(map->DrawingFor("ai"), "3");
  EXPECT_EQ(map->DrawingFor("E"), "4a");
  EXPECT_EQ(map->DrawingFor("rest"), "1");
  EXPECT_EQ(MouthMapText(*map), "AI=3,e=4a,*=1");
  Result<MouthMap> lines = ParseMouthMap("# mouths\nAI=3\r\n\nO=2\n");
  ASSERT_TRUE(lines.ok());
  EXPECT_EQ(lines->DrawingFor("U"), std::nullopt);
  EXPECT_EQ(ParseMouthMap("AI=3,AI=4").message(), "the mouth map names the shape AI twice");
  EXPECT_EQ(ParseMouthMap("AI").message(),
            "the mouth map's \"AI\" is not SHAPE=DRAWING (as AI=3, or *=1 for every other shape)");
  EXPECT_EQ(ParseMouthMap(" ,\n#x").message(),
            "the mouth map is empty (give SHAPE=DRAWING pairs, as AI=3,E=4,*=1)");
}

TEST(LipSyncData, ShapesHoldToTheNextAndTheLastUntilAsked) {
  LipSyncData data = *ReadLipSync("MohoSwitch1\n2 MBP\n4 AI\n5 rest\n", "a.dat");
  MouthMap map = *ParseMouthMap("MBP=1,AI=4a,rest=2");
  Result<LipSyncPlacement> placed = PlaceLipSync(data, map, Mouths(), 10, std::nullopt, 25);
  ASSERT_TRUE(placed.ok()) << placed.message();
  EXPECT_EQ(placed->firstFrame, 11);  // data frame 2 from sheet frame 10 (from 0)
  EXPECT_EQ(placed->drawings, (std::vector<int>{0, 0, 3, 1}));
  placed = PlaceLipSync(data, map, Mouths(), 0, 7, 25);
  ASSERT_TRUE(placed.ok());
  EXPECT_EQ(placed->drawings, (std::vector<int>{0, 0, 3, 1, 1, 1, 1}));

  EXPECT_EQ(PlaceLipSync(data, map, Mouths(), 0, 3, 25).message(),
            "--until 4 lies before the last shape, on frame 5");
  EXPECT_EQ(PlaceLipSync(data, *ParseMouthMap("MBP=1"), Mouths(), 0, std::nullopt, 25).message(),
            "the mouth map has no drawing for AI, rest (name each, or *=DRAWING)");
  EXPECT_EQ(
      PlaceLipSync(data, *ParseMouthMap("MBP=1,*=9"), Mouths(), 0, std::nullopt, 25).message(),
      "the mouth map's drawing 9 (for AI) is no drawing of the sequence mouth in /m/");
  LipSyncData late = *ReadLipSync("MohoSwitch1\n1 AI\n1999 rest\n", "a.dat");
  EXPECT_EQ(PlaceLipSync(late, map, Mouths(), 5, std::nullopt, 25).message(),
            "the lip-sync data runs to frame 2004; a sheet holds at most 1999 frames");
  LipSyncData far = *ReadLipSync("0\tA\n99999999\tB\n", "a.tsv");
  EXPECT_FALSE(PlaceLipSync(far, *ParseMouthMap("*=1"), Mouths(), 0, std::nullopt, 25).ok());
}

}  // namespace
}  // namespace quenda

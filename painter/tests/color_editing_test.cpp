// Colour set commands: each change saved at once, the fixed entries kept, icons marked stale
// only when a shown colour changed, import with reload of the frame, merge up to the limit.
#include <gtest/gtest.h>

#include "common/color_set.h"
#include "common/file_io.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

class ColorEditing : public testing::TwoBoxDocument {
 protected:
  void SetUp() override { Open(2); }
  ColorSet Saved() {
    ColorSet set;
    ApplyColorSet(set, ParseColorSet(ReadFileText(dir_.File("walk.col")).value_or("")));
    return set;
  }
  // Queues the confirmation and the file for a merge or import of these user colours.
  void OfferSet(std::initializer_list<ColorEntry> users) {
    ColorSet set;
    for (const ColorEntry& e : users) AddColor(set, e.name, e.red, e.green, e.blue);
    testing::WriteText(dir_.File("other.col"), FormatColorSet(set));
    prompt_.QueueAnswer(true);
    prompt_.QueuePath(dir_.File("other.col"));
  }
};

constexpr const char* kMergeQuestion = "Are you sure you want to merge colors? (NO UNDO)";

TEST_F(ColorEditing, AddSavesAtOnceAndOnlyANewColourMakesTheIconsStale) {
  doc_.AddColor("New", 40, 50, 60);
  EXPECT_EQ(doc_.colors().count, 4);
  EXPECT_EQ(doc_.currentColor(), 3);
  EXPECT_EQ(Saved().count, 4);
  EXPECT_EQ(Saved().entries[3], (ColorEntry{40, 50, 60, "New"}));
  doc_.EditColor("Skin", 40, 50, 60);
  EXPECT_FALSE(doc_.iconsStale());
  EXPECT_EQ(Saved().entries[3].name, "Skin");
  doc_.EditColor("Skin", 41, 50, 60);
  EXPECT_TRUE(doc_.iconsStale());
}

TEST_F(ColorEditing, TheFixedEntriesKeepTheirNames) {
  const ColorEntry line{1, 2, 3, "ignored"}, unfilled = doc_.colors().entries[kUnfilledColor];
  doc_.EditLineAndUnfilledColors(line, unfilled);
  EXPECT_FALSE(doc_.iconsStale());
  EXPECT_EQ(Saved().entries[kLineColor], (ColorEntry{1, 2, 3, "LINE"}));
  doc_.EditLineAndUnfilledColors(line, {200, 0, 0, ""});
  EXPECT_TRUE(doc_.iconsStale());
  EXPECT_EQ(Saved().entries[kUnfilledColor], (ColorEntry{200, 0, 0, "UNFIL"}));
  doc_.EditColor("CLEAR", 10, 20, 30);  // the current colour is the transparent one
  EXPECT_EQ(Saved().entries[0], (ColorEntry{10, 20, 30, "TRANS"}));
}

TEST_F(ColorEditing, MergeStopsAtTheLimitWithItsMessageAndAddThenAddsNothing) {
  while (doc_.colors().count < kPainterColorLimit - 1) doc_.AddColor("C", 1, 2, 3);
  OfferSet({{255, 0, 0, "red"}, {0, 0, 255, "blue"}});
  ASSERT_TRUE(doc_.MergeColors());
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{kMergeQuestion, "Maximum color number reached!"}));
  EXPECT_EQ(doc_.colors().count, kPainterColorLimit);
  EXPECT_EQ(Saved().entries[kPainterColorLimit - 1].name, "red");
  EXPECT_EQ(Saved().count, kPainterColorLimit);
  // Adding to the full set appends nothing, silently, and selects the last entry.
  doc_.SetCurrentColor(5);
  doc_.AddColor("LATE", 9, 9, 9);
  EXPECT_EQ(doc_.colors().count, kPainterColorLimit);
  EXPECT_EQ(doc_.currentColor(), kPainterColorLimit - 1);
  EXPECT_EQ(doc_.colors().entries[kPainterColorLimit - 1].name, "red");
  EXPECT_EQ(prompt_.Texts().size(), 2u);
}

TEST_F(ColorEditing, MergeOfAFileWithoutUserColoursOrDeclinedChangesNothing) {
  OfferSet({});
  EXPECT_FALSE(doc_.MergeColors());
  prompt_.QueueAnswer(false);
  EXPECT_FALSE(doc_.MergeColors());
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{
                kMergeQuestion, "There are no colors in the given colorset file", kMergeQuestion}));
  EXPECT_EQ(doc_.colors().count, 3);
  EXPECT_TRUE(prompt_.AllAnswersUsed());
}

TEST_F(ColorEditing, ImportReplacesTheSequenceSetAndReloadsTheFrame) {
  for (int i = 0; i < 5; ++i) doc_.AddColor("C", 10 * i, 0, 0);
  ClickFill(3, 2);  // colour 7
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.PreviousFrame());
  const int box = testing::RegionAtText(doc_.frame().region, 3, 2);
  ASSERT_EQ(doc_.frame().regionColor[box], 7);
  OfferSet({{1, 1, 1, "ONE"}});
  ASSERT_TRUE(doc_.ImportColors());
  EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{
                                 "Are you sure you want to discard current colors?  (NO UNDO)"});
  EXPECT_EQ(doc_.colors().path, dir_.File("walk.col"));
  EXPECT_EQ(Saved().count, 4);
  EXPECT_EQ(Saved().entries[3].name, "ONE");
  EXPECT_EQ(doc_.frame().regionColor[box], kUnfilledColor);  // index 7 has vanished
  EXPECT_EQ(doc_.currentColor(), 0);
}

// Loading a good picture, and letting it go on the next frame, are the window tests' part.
TEST_F(ColorEditing, AnUnreadableReferencePictureIsRefusedWithOneMessage) {
  testing::WriteText(dir_.File("bad.tga"), "x");
  prompt_.QueuePath(dir_.File("bad.tga"));
  EXPECT_FALSE(doc_.LoadReferencePicture());
  EXPECT_FALSE(doc_.referenceLoaded());
  EXPECT_EQ(prompt_.Texts().size(), 1u);
}

}  // namespace
}  // namespace quenda

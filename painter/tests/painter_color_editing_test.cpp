// The document's colour set commands.
#include "painter/core/painter_doc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <tuple>

#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_frame.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Colour set commands: each change saved at once, the fixed entries kept, icons marked stale
// only when a shown colour changed, import with reload of the frame, merge up to the limit.
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
  EXPECT_EQ(std::tuple(doc_.colors().count, doc_.currentColor(), Saved().count),
            std::tuple(4, 3, 4));
  EXPECT_EQ(Saved().entries[3], (ColorEntry{40, 50, 60, "New"}));
  doc_.EditColor("Skin", 40, 50, 60);
  EXPECT_EQ(std::tuple(doc_.iconsStale(), Saved().entries[3].name), std::tuple(false, "Skin"));
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

TEST_F(ColorEditing, MergeOfNoUserColoursOrDeclinedChangesNothingAndAFullOneStopsAtTheLimit) {
  OfferSet({});
  EXPECT_FALSE(doc_.MergeColors());
  prompt_.QueueAnswer(false);
  EXPECT_FALSE(doc_.MergeColors());
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{
                kMergeQuestion, "There are no colors in the given colorset file", kMergeQuestion}));
  EXPECT_EQ(std::tuple(doc_.colors().count, prompt_.AllAnswersUsed()), std::tuple(3, true));
  prompt_.Clear();
  while (doc_.colors().count < kPainterColorLimit - 1) doc_.AddColor("C", 1, 2, 3);
  OfferSet({{255, 0, 0, "red"}, {0, 0, 255, "blue"}});
  ASSERT_TRUE(doc_.MergeColors());
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{kMergeQuestion, "Maximum color number reached!"}));
  EXPECT_EQ(
      std::tuple(doc_.colors().count, Saved().count, Saved().entries[kPainterColorLimit - 1].name),
      std::tuple(kPainterColorLimit, kPainterColorLimit, "red"));
  // Adding to the full set appends nothing, silently, and selects the last entry.
  doc_.SetCurrentColor(5);
  doc_.AddColor("LATE", 9, 9, 9);
  EXPECT_EQ(std::tuple(doc_.colors().count, doc_.currentColor(),
                       doc_.colors().entries[kPainterColorLimit - 1].name, prompt_.Texts().size()),
            std::tuple(kPainterColorLimit, kPainterColorLimit - 1, "red", 2u));
}

TEST_F(ColorEditing, ImportReplacesTheSetAndReloadsTheFrameAndABadReferencePictureIsRefused) {
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
  // Index 7 has vanished: the box is unfilled again.
  EXPECT_EQ(std::tuple(doc_.colors().path, Saved().count, Saved().entries[3].name,
                       doc_.frame().regionColor[box], doc_.currentColor()),
            std::tuple(dir_.File("walk.col"), 4, "ONE", kUnfilledColor, 0));
  // An unreadable reference picture is refused with one message of its own.
  testing::WriteText(dir_.File("bad.tga"), "x");
  prompt_.QueuePath(dir_.File("bad.tga"));
  EXPECT_FALSE(doc_.LoadReferencePicture());
  EXPECT_EQ(std::tuple(doc_.referenceLoaded(), prompt_.Texts().size()), std::tuple(false, 2u));
}

// Loading a good picture, and letting it go on the next frame, are the window tests' part.

}  // namespace
}  // namespace quenda

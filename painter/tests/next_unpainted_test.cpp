// Next Unpainted: which region of a drawing it picks (the largest unfilled one that is no
// speck), the order it looks through the drawings, and the document going through a sequence
// from the keyboard until only specks are left.

#include "painter/core/next_unpainted.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "common/color_set.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

using testing::At;
using testing::FrameFromPicture;
using testing::RegionAtText;

// Boxes of 10, 8 and 2 pixels inside their lines, beside the background.
const std::vector<std::string> kThreeBoxes = {
    "................",  //
    ".##############.",  //
    ".#.....#....#.#.",  //
    ".#.....#....#.#.",  //
    ".##############.",  //
    "................",  //
};

TEST(NextUnpainted, TheLargestUnfilledRegionThatIsNoSpeck) {
  const PainterFrame plain = FrameFromPicture(kThreeBoxes);
  const int a = RegionAtText(plain.region, 3, 2), b = RegionAtText(plain.region, 9, 2),
            c = RegionAtText(plain.region, 13, 2);
  struct Case {
    const char* what;
    std::vector<int> painted;
    int speckSize;
    int region;
    int64_t pixels;
  };
  const Case cases[] = {
      {"all unfilled: the largest", {}, 3, a, 10},
      {"the largest painted: the next", {a}, 3, b, 8},
      {"only a speck left", {a, b}, 3, 0, 0},
      {"a speck at 3 is none at 2", {a, b}, 2, c, 2},
      {"everything a speck", {}, 11, 0, 0},
      {"exactly the speck size is no speck", {}, 10, a, 10},
      {"all painted", {a, b, c}, 1, 0, 0},
  };
  for (const Case& k : cases) {
    PainterFrame frame = plain;
    for (int r : k.painted) frame.regionColor[std::size_t(r)] = kFirstUserColor;
    const UnpaintedRegion found = LargestUnpaintedRegion(frame, k.speckSize);
    EXPECT_EQ(std::pair(found.region, found.pixels), std::pair(k.region, k.pixels)) << k.what;
  }
  // An unfilled background counts as any region; equal sizes go to the lower number.
  PainterFrame boxes = FrameFromPicture(testing::kTwoBoxes);
  const int left = RegionAtText(boxes.region, 3, 2), right = RegionAtText(boxes.region, 9, 2);
  EXPECT_EQ(LargestUnpaintedRegion(boxes, 3).region, std::min(left, right));
  boxes.regionColor[std::size_t(std::min(left, right))] = kFirstUserColor;
  boxes.regionColor[std::size_t(std::max(left, right))] = kFirstUserColor;
  boxes.regionColor[kBackgroundRegion] = kUnfilledColor;
  EXPECT_EQ(LargestUnpaintedRegion(boxes, 3).region, kBackgroundRegion);
}

TEST(NextUnpainted, LooksOnFromTheNextDrawingRoundToTheCurrentOne) {
  struct Case {
    int current, count;
    std::vector<int> order;
  };
  const Case cases[] = {
      {0, 3, {1, 2, 0}}, {1, 3, {2, 0, 1}}, {2, 3, {0, 1, 2}},
      {0, 1, {0}},       {0, 0, {}},        {5, 3, {0, 1, 2}},  // beyond the last: clamped
  };
  for (const Case& k : cases)
    EXPECT_EQ(NextUnpaintedOrder(k.current, k.count), k.order) << k.current << " of " << k.count;
}

class NextUnpaintedDoc : public testing::TwoBoxDocument {
 protected:
  // Fills both boxes of the current frame but those named, by their text columns.
  void FillBoxesBut(std::vector<int> leave) {
    for (int column : {3, 9})
      if (std::find(leave.begin(), leave.end(), column) == leave.end()) ClickFill(column, 2);
  }
  int Box(int column) const { return RegionAtText(doc_.frame().region, column, 2); }
};

TEST_F(NextUnpaintedDoc, GoesThroughTheSequenceSavingEachFrameUntilOnlySpecksAreLeft) {
  Open(4);
  // Frame 1 keeps box A unfilled, frame 3 box B; 2 and 4 are painted and saved.
  FillBoxesBut({3});
  for (int frame = 1; frame < 4; ++frame) {
    ASSERT_TRUE(doc_.NextFrame());
    FillBoxesBut(frame == 2 ? std::vector<int>{9} : std::vector<int>{});
  }
  ASSERT_TRUE(doc_.SelectFrame(1));
  ASSERT_NE(doc_.frame().regionColor[std::size_t(Box(3))], kUnfilledColor) << "the fill took";

  ASSERT_TRUE(doc_.NextUnpainted());
  EXPECT_EQ(std::pair(doc_.currentFrame(), doc_.selectedRegion()), std::pair(2, Box(9)));
  // On past the last drawing to the first; frame 3 was saved as it was left.
  ASSERT_TRUE(doc_.NextUnpainted());
  EXPECT_EQ(std::pair(doc_.currentFrame(), doc_.selectedRegion()), std::pair(0, Box(3)));
  EXPECT_TRUE(FrameExists(dir_.File("walk3.pnt")));
  ClickFill(3, 2);
  ASSERT_TRUE(doc_.NextUnpainted());
  EXPECT_EQ(std::pair(doc_.currentFrame(), doc_.selectedRegion()), std::pair(2, Box(9)));
  // Only the current frame has one left: it stays, and the region is selected.
  ASSERT_TRUE(doc_.NextUnpainted());
  EXPECT_EQ(std::pair(doc_.currentFrame(), doc_.selectedRegion()), std::pair(2, Box(9)));
  // At a speck size above the boxes they are specks, left to Paint Specks.
  doc_.SetSpeckSize(11);
  prompt_.Clear();
  EXPECT_FALSE(doc_.NextUnpainted());
  EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{std::string(kNothingUnpaintedText)});
  EXPECT_EQ(doc_.currentFrame(), 2);
  doc_.SetSpeckSize(3);
  // The current frame is looked at from memory: its unsaved fill counts.
  ClickFill(9, 2);
  prompt_.Clear();
  EXPECT_FALSE(doc_.NextUnpainted());
  EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{std::string(kNothingUnpaintedText)});
  // Going to another frame drops the selection.
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(doc_.selectedRegion(), 0);
}

TEST_F(NextUnpaintedDoc, ADrawingNeverPaintedIsUnpaintedAndOneThatDoesNotReadIsPassedOver) {
  Open(3);
  FillBoxesBut({});
  ASSERT_TRUE(doc_.NextFrame());
  FillBoxesBut({});
  ASSERT_TRUE(doc_.FirstFrame());
  // Frame 2 has lost its region file: passed over silently; frame 3 has no paint file.
  ASSERT_EQ(std::remove(dir_.File("walk2.rgn").c_str()), 0);
  prompt_.Clear();
  ASSERT_TRUE(doc_.NextUnpainted());
  EXPECT_EQ(std::pair(doc_.currentFrame(), doc_.selectedRegion()),
            std::pair(2, std::min(Box(3), Box(9))));
  EXPECT_TRUE(prompt_.Texts().empty());
}

}  // namespace
}  // namespace quenda

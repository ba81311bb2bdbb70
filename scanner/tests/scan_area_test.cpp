#include <gtest/gtest.h>

#include <tuple>

#include "common/drawing_scan.h"
#include "scanner/core/calibration.h"
#include "scanner/core/scan_area.h"
#include "scanner/core/scan_processing.h"

namespace quenda::scanner {
namespace {

// A selection of 10..40 by 20..60 preview pixels at 10 dpi on an 8 x 10 inch bed.
TEST(ScanArea, SelectionLiesOnTheBedByThePegTable) {
  const Selection selection{10, 40, 60, 20};  // l 1, r 4, u 6, d 2 inches
  // Peg position and the frame on the bed.
  const std::vector<std::pair<int, twain::BedFrame>> cases{
      {kPegLeft, {2, 6, 6, 9}},    // W-u, H-r, W-d, H-l
      {kPegRight, {2, 1, 6, 4}},   // d, l, u, r
      {kPegBottom, {1, 4, 4, 8}},  // l, H-u, r, H-d: flipped top to bottom
      {kPegTop, {4, 2, 7, 6}},     // W-r, d, W-l, u: half a turn
  };
  // Whole inches, so the sides come out exact.
  auto sides = [](const twain::BedFrame& f) {
    return std::tuple(f.left, f.top, f.right, f.bottom);
  };
  for (const auto& [peg, expected] : cases)
    EXPECT_EQ(sides(BedFrameOfSelection(selection, 10, peg, 8, 10)), sides(expected)) << peg;
  // Reaching past the bed is clamped to it.
  EXPECT_EQ(sides(BedFrameOfSelection({-20, 120, 130, 20}, 10, kPegBottom, 8, 10)),
            std::tuple(0.0, 0.0, 8.0, 8.0));
}

// The first preview's selection, then its handles: the last match wins, narrow moves are refused.
TEST(ScanArea, FirstSelectionAndItsHandles) {
  const Selection s = InitialSelection(400, 300);
  EXPECT_EQ(s, (Selection{100, 300, 225, 75}));
  EXPECT_EQ(InitialSelection(30, 41), (Selection{5, 25, 30, 10}));
  EXPECT_EQ(InitialSelection(10, 10), (Selection{0, 9, 9, 0}));
  EXPECT_EQ(PickHandle(s, 105, 220), Handle::TopLeft);
  EXPECT_EQ(PickHandle(s, 295, 80), Handle::BottomRight);
  EXPECT_EQ(PickHandle(s, 91, 150), Handle::Left);
  EXPECT_EQ(PickHandle(s, 200, 234), Handle::Top);
  EXPECT_EQ(PickHandle(s, 200, 150), Handle::Whole);
  // A tiny rectangle: the edge tests come later and win over the corners.
  EXPECT_EQ(PickHandle({0, 20, 20, 0}, 5, 15), Handle::Top);

  Selection moved = s;
  EXPECT_FALSE(MoveHandle(moved, Handle::Left, 181, 0));  // 19 wide
  EXPECT_EQ(moved, s);
  EXPECT_TRUE(MoveHandle(moved, Handle::Left, 180, 0));
  EXPECT_EQ(moved.left, 280);
  EXPECT_FALSE(MoveHandle(moved, Handle::TopRight, 5, -131));
  EXPECT_TRUE(MoveHandle(moved, Handle::Whole, -1000, -1000));
  EXPECT_EQ(moved, (Selection{-720, -700, -775, -925}));
}

TEST(Calibration, GainAndOffset) {
  // Brightness, contrast, grey and what the table makes of it.
  const std::tuple<int, int, int, int> cases[] = {
      {0, 100, 255, 255},  {0, 100, 100, 0},  {0, 0, 77, 77},   {20, 0, 100, 120},
      {0, -100, 255, 254}, {-300, 0, 200, 0}, {0, 255, 254, 0}, {0, 255, 255, 255},
  };
  for (auto [brightness, contrast, grey, expected] : cases)
    EXPECT_EQ(CalibrationTable({brightness, contrast})[grey], expected)
        << brightness << " " << contrast << " " << grey;
}

TEST(ProcessBitmap, ChecksInOrderWithTheirMessages) {
  twain::DeviceBitmap ok{4, 2, 8, twain::GreyPalette(), std::vector<uint8_t>(8, 7)};
  twain::DeviceBitmap wide = ok;
  wide.width = 10001;
  twain::DeviceBitmap empty = ok;
  empty.height = 0;
  // The bitmap, x, y, dpi, peg position and the message.
  const std::tuple<const twain::DeviceBitmap*, int, int, int, int, const char*> cases[] = {
      {&wide, -1, -1, 0, 9, "Internal error in scan: invalid x-size (0-10000)"},
      {&empty, -1, -1, 0, 9, "Internal error in scan: invalid y-size (0-10000)"},
      {&ok, -1, -1, 0, 9, "Internal error in scan: invalid x-pos (0-10000)"},
      {&ok, 0, 10001, 0, 9, "Internal error in scan: invalid y-pos (0-10000)"},
      {&ok, 0, 0, 1201, 9, "Internal error in scan: invalid dpi (1-1200)"},
      {&ok, 0, 0, 1200, 4, "Internal error in scan: invalid pegpos (0-3)"},
  };
  for (auto [bitmap, x, y, dpi, peg, message] : cases)
    EXPECT_EQ(ProcessBitmap(*bitmap, x, y, dpi, peg, {}).message(), message);
}

}  // namespace
}  // namespace quenda::scanner

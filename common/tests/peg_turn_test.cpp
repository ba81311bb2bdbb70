// Turning scans for the peg position, the corner offsets of each position and the peg buttons.
#include "common/peg_turn.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "common/drawing_scan.h"

namespace quenda {
namespace {

// A Ws x Hs scan, rows from the top, every pixel distinct: value 10 * column + row + 1.
Raster MakeScanned(int ws, int hs, int channels = 1) {
  Raster scanned(ws, hs, channels);
  for (int r = 0; r < hs; ++r)
    for (int c = 0; c < ws; ++c)
      for (int k = 0; k < channels; ++k) scanned.At(c, r)[k] = uint8_t(10 * c + r + 1 + 100 * k);
  return scanned;
}

// D(c, r) with rows counted from the top, read from the bottom-first result.
uint8_t TopDown(const Raster& stored, int c, int r, int k = 0) {
  return stored.At(c, stored.height() - 1 - r)[k];
}

TEST(TurnForPeg, EveryPositionFollowsItsFormulaAndAnUnknownOneTurnsNothing) {
  const int ws = 5, hs = 3;
  Raster s = MakeScanned(ws, hs);
  auto S = [&](int c, int r) { return s.At(c, r)[0]; };
  struct Expect {
    int peg;
    int width, height;
    uint8_t (*formula)(decltype(S)&, int, int, int, int);
  };
  const Expect table[] = {
      {kPegLeft, hs, ws, [](decltype(S)& f, int c, int r, int, int h) { return f(r, h - 1 - c); }},
      {kPegRight, hs, ws, [](decltype(S)& f, int c, int r, int w, int) { return f(w - 1 - r, c); }},
      {kPegBottom, ws, hs, [](decltype(S)& f, int c, int r, int, int) { return f(c, r); }},
      {kPegTop, ws, hs,
       [](decltype(S)& f, int c, int r, int w, int h) { return f(w - 1 - c, h - 1 - r); }},
  };
  for (const Expect& e : table) {
    Raster d = TurnForPeg(s, e.peg);
    ASSERT_EQ(std::pair(d.width(), d.height()), std::pair(e.width, e.height)) << e.peg;
    EXPECT_EQ(d.stride(), e.width) << "stored rows are packed";
    for (int r = 0; r < d.height(); ++r)
      for (int c = 0; c < d.width(); ++c)
        EXPECT_EQ(TopDown(d, c, r), e.formula(S, c, r, ws, hs)) << e.peg << " " << c << "," << r;
  }
  // An unknown peg leaves the picture unturned.
  EXPECT_EQ(TurnForPeg(s, 7), TurnForPeg(s, kPegBottom));
  EXPECT_EQ(TurnForPeg(s, -1), TurnForPeg(s, kPegBottom));
}

TEST(TurnForPeg, BottomUpPaddedInputAndWholePixels) {
  // A bottom-up bitmap with rows padded to 4 bytes, viewed from its last row upwards.
  const int ws = 3, hs = 2, channels = 3, stride = 12;
  Raster top = MakeScanned(ws, hs, channels);
  std::vector<uint8_t> bitmap(std::size_t(stride * hs), 0xEE);
  for (int r = 0; r < hs; ++r)
    for (int c = 0; c < ws; ++c)
      for (int k = 0; k < channels; ++k)
        bitmap[std::size_t((hs - 1 - r) * stride + c * channels + k)] = top.At(c, r)[k];
  ConstRasterView view{bitmap.data() + (hs - 1) * stride, ws, hs, channels, -stride};
  Raster fromBitmap = TurnForPeg(view, kPegRight);
  EXPECT_EQ(fromBitmap, TurnForPeg(top, kPegRight));
  EXPECT_EQ(TopDown(fromBitmap, 1, 0, 2), top.At(ws - 1, 1)[2]);
}

TEST(PegOffsetFor, EveryPositionMovesTheCornerItsOwnWay) {
  // A drawing 10 wide and 20 high at bed position (3, 4): width, height, x and y all differ.
  struct Row {
    int peg, width, height, x, y;
    PegOffset offset;
  };
  const Row table[] = {{kPegLeft, 10, 20, 3, 4, {-14, -23}},
                       {kPegRight, 10, 20, 3, 4, {4, 3}},
                       {kPegBottom, 10, 20, 3, 4, {3, -24}},
                       {kPegTop, 10, 20, 3, 4, {-13, 4}},
                       {4, 10, 20, 3, 4, {3, 4}},
                       {-1, 100, 80, 10, 20, {10, 20}},
                       {kPegBottom, 1, 1, 0, 0, {0, -1}}};
  for (const Row& r : table)
    EXPECT_EQ(PegOffsetFor(r.peg, r.width, r.height, r.x, r.y), r.offset)
        << r.peg << " " << r.width << "x" << r.height;
}

TEST(PegButtons, PegButtonsMapToStoredPositions) {
  const int stored[] = {2, 0, 1, 3};
  for (int button = 0; button < 4; ++button)
    EXPECT_EQ(std::pair(PegPositionOfButton(button), PegButtonOfPosition(stored[button])),
              std::pair(stored[button], button));
  EXPECT_EQ(std::tuple(PegPositionOfButton(-1), PegPositionOfButton(4), PegButtonOfPosition(7)),
            std::tuple(-1, -1, -1));
}

}  // namespace
}  // namespace quenda

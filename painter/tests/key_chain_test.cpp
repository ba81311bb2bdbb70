// Chains of auto paint by shapes through a run of constructed frames: the chain's memory, and
// how sure each chain is of a colour from its key on.
#include <gtest/gtest.h>

#include <vector>

#include "autopaint/tests/constructed_map.h"
#include "common/color_set.h"
#include "painter/core/key_chain.h"
#include "painter/tests/constructed_frame.h"

namespace quenda {
namespace {

constexpr int kW = 160, kH = 120;
constexpr int kSquash = 2;

// A body (2) with an eye (3) in it and a limb crossing it, at `limbY`; with `eyeHidden` the limb
// lies over the eye. Regions are numbered in that order, those present only.
PainterFrame Crossed(int limbY, bool eyeHidden, int dx = 0, int grow = 0, int squash = 0) {
  return testing::MakeFrameOf(
      kW, kH,
      [=](int x, int y) {
        const bool body = x >= 20 + dx && x <= 80 + dx && y >= 20 && y <= 100;
        const bool eye = x >= 34 + dx - squash && x <= 48 + dx + grow + squash &&
                         y >= 32 + squash && y <= 46 + grow - squash;
        const bool limb = x >= 26 + dx && x <= 140 + dx && y >= limbY && y <= limbY + 22 + grow;
        if (limb) return eyeHidden ? 3 : 4;
        if (eye && !eyeHidden) return 3;
        return body ? 2 : 1;
      },
      {});
}

// Frames as a chain asks for them, from a list kept by the test.
ChainFrames FramesOf(std::vector<PainterFrame>& run) {
  return [&run](int index, int) -> PainterFrame* {
    return index >= 0 && index < int(run.size()) ? &run[std::size_t(index)] : nullptr;
  };
}

const AutoPaintOptions kShapes{AutoPaintMatch::Shapes, false, 10, kDefaultConfidence};

// The eye, hidden behind the limb for longer than the chain remembers drawings, takes its colour
// back from the key when it reappears: the key stays in the chain's memory however long the run.
TEST(KeyChain, ARegionHiddenLongerThanTheMemoryTakesItsColourBackFromTheKey) {
  std::vector<PainterFrame> run;
  run.push_back(Crossed(70, false));
  run[0].regionColor = {0, 0, 5, 6, 7};
  const int hidden = kChainMemory + 2;
  for (int k = 0; k < hidden; ++k) run.push_back(Crossed(28, true));
  run.push_back(Crossed(70, false));
  ChainColours chain;
  ASSERT_TRUE(PaintChain(FramesOf(run), 1, int(run.size()) - 1, kShapes, chain));
  ASSERT_EQ(chain.colour.size(), run.size() - 1);
  // Hidden: the body and the limb, never the eye's colour on the limb; then the eye again,
  // which lies on the limb in the drawing before.
  for (std::size_t k = 0; k + 1 < chain.colour.size(); ++k)
    EXPECT_EQ(chain.colour[k][3], 7) << "hidden, drawing " << k;
  EXPECT_EQ(chain.colour.back()[2], 5);
  EXPECT_EQ(chain.colour.back()[3], 6) << "reappeared";
  EXPECT_EQ(chain.colour.back()[4], 7);
  EXPECT_GE(chain.confidence.back()[3], kDefaultConfidence);
}

// A chain is no surer of a colour than the step where it was least sure: the figure moves once,
// after which the drawings are alike, and each stays as unsure as that one step.
TEST(KeyChain, AChainIsNoSurerOfAColourThanItsLeastSureStep) {
  std::vector<PainterFrame> run;
  run.push_back(Crossed(70, false));
  run[0].regionColor = {0, 0, 5, 6, 7};
  for (int k = 0; k < 4; ++k) run.push_back(Crossed(70, false, 14, 6));
  ChainColours chain;
  ASSERT_TRUE(PaintChain(FramesOf(run), 1, 4, kShapes, chain));
  ASSERT_EQ(chain.colour.size(), 4u);
  for (std::size_t r = 2; r <= 4; ++r) {
    const int moved = chain.confidence[0][r];
    EXPECT_LT(moved, kMaxConfidence) << "region " << r;
    for (std::size_t k = 1; k < 4; ++k)
      EXPECT_EQ(std::pair(chain.colour[k][r], chain.confidence[k][r]),
                std::pair(run[0].regionColor[r], moved))
          << "region " << r << ", drawing " << k;
  }
}

// The eye painted one colour in the first key and another in the last, squashed twice on the
// way: the body's colour, which both chains give, is taken however far from the
// keys; the eye takes the colour of the chain that has not yet passed a squash, surer by a clear
// margin, and stays unfilled between the squashes, where each chain has passed one.
TEST(KeyChain, BothKeysAgreeOrTheSurerChainWinsByAClearMarginOrTheRegionStaysUnfilled) {
  constexpr int kInBetweens = 7;
  std::vector<PainterFrame> run;
  for (int k = 0; k <= kInBetweens + 1; ++k)
    run.push_back(Crossed(70, false, 0, 0, k < 3 ? 0 : k < 6 ? kSquash : 2 * kSquash));
  run.front().regionColor = {0, 0, 5, 6, 7};
  run.back().regionColor = {0, 0, 5, 8, 7};
  // A squash costs the chain that passes it about a tenth of its confidence.
  constexpr int kMargin = 10;
  const auto colours = PaintFromBothKeys(FramesOf(run), 1, kInBetweens, kShapes, {}, kMargin);
  ASSERT_EQ(colours.size(), std::size_t(kInBetweens));
  std::vector<int32_t> eye;
  for (const auto& c : colours) {
    EXPECT_EQ(std::pair(c[2], c[4]), std::pair(5, 7));
    eye.push_back(c[3]);
  }
  const int32_t u = kUnfilledColor;
  EXPECT_EQ(eye, (std::vector<int32_t>{6, 6, u, u, u, 8, 8}));
}

}  // namespace
}  // namespace quenda

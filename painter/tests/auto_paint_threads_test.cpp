// Auto paint by shapes inside one frame runs on the inner threads: whatever their number, a
// chain from one key and the in-betweens of two keys paint every region alike, byte for byte,
// and are as sure of each. Small generated drawings of several figure kinds, so that the
// thread sanitizer gets through them in reasonable time.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "common/color_set.h"
#include "painter/core/key_chain.h"
#include "painter/tests/analyzed_drawing.h"
#include "samples/figure_kinds/figure_drawing.h"
#include "testing/inner_threads.h"

namespace quenda {
namespace {

using samples::FigureKind;

constexpr int kDrawings = 5;

// Drawing `k` of a figure's run, A4 at 50 dpi; the first and last painted from the generator's
// truth, the rest unfilled.
std::vector<PainterFrame> DrawRun(FigureKind kind) {
  samples::SampleOptions sheet;
  sheet.figure = kind;
  sheet.dpi = 50;
  sheet.width = 1240 / 3, sheet.height = 1754 / 3;
  std::vector<PainterFrame> frames;
  for (int k = 0; k < kDrawings; ++k) {
    testing::AnalyzedDrawing drawing =
        testing::AnalyzeDrawing(samples::RenderFigureDrawing(sheet, k - 2.0));
    if (k == 0 || k + 1 == kDrawings) testing::PaintFromTruth(drawing);
    frames.push_back(std::move(drawing.frame));
  }
  return frames;
}

struct Painted {
  ChainColours chain;                      // drawings 1 .. last from drawing 0
  std::vector<std::vector<int32_t>> keys;  // drawings 1 .. last - 1 from both keys
};

// What auto paint by shapes (Paint Specks on) makes of the run on `threads` inner threads, each
// way on fresh copies of the drawings.
Painted PaintOn(const std::vector<PainterFrame>& drawings, int threads) {
  const testing::InnerThreadsSetTo set(threads);
  const AutoPaintOptions shapes{AutoPaintMatch::Shapes, true, kDefaultSpeckSize};
  Painted painted;
  std::vector<PainterFrame> frames = drawings;
  auto at = [&](int index, int) {
    return index >= 0 && index < int(frames.size()) ? &frames[std::size_t(index)] : nullptr;
  };
  EXPECT_TRUE(PaintChain(at, 1, kDrawings - 1, shapes, painted.chain));
  frames = drawings;
  painted.keys = PaintFromBothKeys(at, 1, kDrawings - 2, shapes);
  return painted;
}

// Regions of the drawings given a colour of the figure: a run painted all unfilled would be
// the same on any number of threads and show nothing.
int64_t FigurePainted(const std::vector<std::vector<int32_t>>& colours) {
  int64_t painted = 0;
  for (const auto& drawing : colours)
    for (const int32_t c : drawing) painted += c >= kFirstUserColor;
  return painted;
}

class AutoPaintThreads : public ::testing::TestWithParam<FigureKind> {};

TEST_P(AutoPaintThreads, PaintTheSameOnOneTwoAndSevenThreads) {
  const std::vector<PainterFrame> drawings = DrawRun(GetParam());
  const Painted one = PaintOn(drawings, 1);
  ASSERT_EQ(one.chain.colour.size(), std::size_t(kDrawings - 1));
  ASSERT_EQ(one.keys.size(), std::size_t(kDrawings - 2));
  EXPECT_GT(FigurePainted(one.chain.colour), 10);
  EXPECT_GT(FigurePainted(one.keys), 10);
  for (int threads : {2, 7}) {
    const Painted many = PaintOn(drawings, threads);
    EXPECT_EQ(many.chain.colour, one.chain.colour) << threads << " threads, chain";
    EXPECT_EQ(many.chain.confidence, one.chain.confidence) << threads << " threads, chain";
    EXPECT_EQ(many.keys, one.keys) << threads << " threads, both keys";
  }
}

INSTANTIATE_TEST_SUITE_P(FigureKinds, AutoPaintThreads,
                         ::testing::Values(FigureKind::Walk, FigureKind::Limbs, FigureKind::Animal,
                                           FigureKind::Cross, FigureKind::Soft),
                         [](const auto& info) {
                           std::string name(samples::FigureKindName(info.param));
                           std::erase_if(name, [](char c) { return !std::isalnum(c); });
                           return name;
                         });

}  // namespace
}  // namespace quenda

// Auto paint by shapes on the sample walk, scored against the generator's ground truth: a
// guard against matching faults that the constructed cases do not reach (a foot, a hand and
// the regions where limbs cross).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/color_set.h"
#include "painter/core/auto_paint.h"
#include "painter/tests/analyzed_drawing.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using samples::FigurePart;

using testing::AnalyzedDrawing;
using testing::ColorOfPart;
using testing::PaintFromTruth;

// Drawing `index` of a walk of `count`, A4 at 150 dpi.
AnalyzedDrawing AnalyzeSample(int index, int count) {
  return testing::AnalyzeDrawing(samples::RenderSampleDrawing({}, index, count));
}

// Shares of the figure's area, in percent, that auto paint by shapes paints right and wrongly.
std::pair<double, double> RightAndWrong(const AnalyzedDrawing& painted) {
  int64_t figure = 0, right = 0, wrong = 0;
  const samples::RegionTruth& truth = painted.truth;
  for (std::size_t r = kBackgroundRegion; r < truth.part.size(); ++r) {
    if (truth.part[r] == FigurePart::Paper) continue;
    const int colour = painted.frame.regionColor[r];
    figure += truth.area[r];
    if (colour == ColorOfPart(truth.part[r]))
      right += truth.area[r];
    else if (colour != kUnfilledColor)
      wrong += truth.area[r];
  }
  EXPECT_GT(figure, 50000);
  return {100.0 * double(right) / double(figure), 100.0 * double(wrong) / double(figure)};
}

TEST(ShapeMatchOnTheSampleWalk, EachDrawingTakesTheTrueColoursOfTheOneBefore) {
  std::vector<AnalyzedDrawing> walk;
  for (int k = 0; k < 3; ++k) walk.push_back(AnalyzeSample(k, samples::kWalkCycleFrames));
  // At double pace, drawing 3 of a walk twice as long follows drawing 1.
  AnalyzedDrawing doubleFirst = AnalyzeSample(0, 2 * samples::kWalkCycleFrames);
  AnalyzedDrawing doublePace = AnalyzeSample(2, 2 * samples::kWalkCycleFrames);
  PaintFromTruth(walk[0]), PaintFromTruth(walk[1]), PaintFromTruth(doubleFirst);
  const AutoPaintOptions shapes{AutoPaintMatch::Shapes, true, kDefaultSpeckSize};
  AnalyzedDrawing second = walk[1];
  AutoPaintFrom(second.frame, walk[0].frame, shapes);
  AutoPaintFrom(walk[2].frame, walk[1].frame, shapes,
                [&](int depth) { return depth == 0 ? &walk[0].frame : nullptr; });
  AutoPaintFrom(doublePace.frame, doubleFirst.frame, shapes);
  // Drawing 2: the front foot's toe had no closed outline in drawing 1 and must not take the
  // colour of the leg it swings past. Drawing 3: the far hand crosses the hip, and its small
  // pieces keep the hand's colour though the body lies under them. At double pace, the front
  // arm swings out in more pieces than it had and lies on the paper where it was.
  const std::pair<const AnalyzedDrawing*, const char*> cases[] = {
      {&second, "drawing 2"}, {&walk[2], "drawing 3"}, {&doublePace, "double pace"}};
  for (const auto& [painted, name] : cases) {
    const auto [right, wrong] = RightAndWrong(*painted);
    EXPECT_LT(wrong, 0.8) << name;
    EXPECT_GT(right, 98.0) << name;
  }
}

}  // namespace
}  // namespace quenda

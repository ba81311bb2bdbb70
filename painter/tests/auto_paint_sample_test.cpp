// Auto paint by shapes on the sample walk, scored against the generator's ground truth: a
// guard against matching faults that the constructed cases do not reach (a foot, a hand and
// the regions where limbs cross).

#include <gtest/gtest.h>

#include <cstdint>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/color_set.h"
#include "painter/core/auto_paint.h"
#include "painter/tests/painter_test_frames.h"
#include "samples/figure_parts.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using samples::FigurePart;

struct TruthFrame {
  PainterFrame frame;
  samples::RegionTruth truth;
};

int ColorOfPart(FigurePart part) {
  return part == FigurePart::Paper ? kTransparentColor : kFirstUserColor + int(part) - 1;
}

// Drawing `index` of a walk of `count`, A4 at 150 dpi, analyzed with the default settings.
TruthFrame AnalyzeSample(int index, int count) {
  const samples::SampleDrawing drawing = samples::RenderSampleDrawing({}, index, count);
  const Raster& picture = drawing.scan.picture;
  WorkingImage image = MakeWorkingImage(picture.width(), picture.height(), picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, picture.width(), 0, picture.height(), progress);
  EXPECT_TRUE(ExtractRegions(image, RedlineSettings{}, progress).ok());
  PainterFrame frame = testing::FrameFromRegions(std::move(image.regions));
  samples::RegionTruth truth = samples::TrueRegionParts(
      samples::RenderPartMap(drawing.parts, frame.width, frame.height), frame.region);
  return {std::move(frame), std::move(truth)};
}

TEST(ShapeMatchOnTheSampleWalk, TheSecondDrawingTakesTheFirstsTrueColours) {
  TruthFrame first = AnalyzeSample(0, samples::kWalkCycleFrames);
  TruthFrame second = AnalyzeSample(1, samples::kWalkCycleFrames);
  for (std::size_t r = kBackgroundRegion; r < first.truth.part.size(); ++r)
    first.frame.regionColor[r] = ColorOfPart(first.truth.part[r]);
  AutoPaintFrom(second.frame, first.frame, {AutoPaintMatch::Shapes, true, kDefaultSpeckSize});
  int64_t figure = 0, right = 0, wrong = 0;
  const samples::RegionTruth& truth = second.truth;
  for (std::size_t r = kBackgroundRegion; r < truth.part.size(); ++r) {
    if (truth.part[r] == FigurePart::Paper) continue;
    const int colour = second.frame.regionColor[r];
    figure += truth.area[r];
    if (colour == ColorOfPart(truth.part[r]))
      right += truth.area[r];
    else if (colour != kUnfilledColor)
      wrong += truth.area[r];
  }
  ASSERT_GT(figure, 50000);
  // The front foot's toe had no closed outline in the first drawing: it must not take the
  // colour of the leg it swings past (three points of the figure).
  EXPECT_LT(100.0 * double(wrong) / double(figure), 1.0);
  EXPECT_GT(100.0 * double(right) / double(figure), 98.0);
}

}  // namespace
}  // namespace quenda

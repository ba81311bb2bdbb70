#include "painter/tests/analyzed_drawing.h"

#include <gtest/gtest.h>

#include <utility>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda::testing {

AnalyzedDrawing AnalyzeDrawing(const samples::SampleDrawing& drawing) {
  const Raster& picture = drawing.scan.picture;
  WorkingImage image = MakeWorkingImage(picture.width(), picture.height(), picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, picture.width(), 0, picture.height(), progress);
  EXPECT_TRUE(ExtractRegions(image, RedlineSettings{}, progress).ok());
  PainterFrame frame = FrameFromRegions(std::move(image.regions));
  samples::RegionTruth truth = samples::TrueRegionParts(
      samples::RenderPartMap(drawing.parts, frame.width, frame.height), frame.region);
  return {std::move(frame), std::move(truth)};
}

void PaintFromTruth(AnalyzedDrawing& drawing) {
  for (std::size_t r = kBackgroundRegion; r < drawing.truth.part.size(); ++r)
    drawing.frame.regionColor[r] = ColorOfPart(drawing.truth.part[r]);
}

}  // namespace quenda::testing

// The sample walking figure under the default line settings: the faint stretches of its head
// and back outlines are grown over, so head and body are closed regions that can be painted,
// while the bare gaps of the number circle are left open.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analyzer/core/region_extraction.h"
#include "common/progress.h"
#include "common/region_data.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using samples::Point;

WorkingImage Analyse(const DrawingScan& scan, const RedlineSettings& settings) {
  WorkingImage image =
      MakeWorkingImage(scan.picture.width(), scan.picture.height(), scan.picture.bytes());
  NullProgress progress;
  Status status = MarkRegions(image, settings, progress);
  EXPECT_TRUE(status) << status.message();
  return image;
}

// The region under a point, which must lie off every line.
int RegionAt(const WorkingImage& image, Point p) {
  const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
    ADD_FAILURE() << x << "," << y << " is off the picture";
    return -1;
  }
  const std::size_t i = std::size_t(y) * std::size_t(image.width()) + std::size_t(x);
  EXPECT_EQ(image.regions.flags[i] & kFlagRegionLine, 0) << x << "," << y << " is on a line";
  return image.regions.regionMap[i];
}

// Inside the number circle: below its top gap and level with its side gap.
Point CircleInside(const samples::SampleDrawing& drawing) {
  const samples::LineGap& top = drawing.gaps[2];
  const samples::LineGap& side = drawing.gaps[3];
  return {double(top.x0), double(side.y0)};
}

TEST(SampleRegions, HeadAndBodyCloseOnlyThroughGrowthAndTheCircleStaysOpen) {
  RedlineSettings noGrowth;
  noGrowth.lineGrowth = noGrowth.linePickUp;
  for (auto [width, height] : {std::pair{1240, 1754}, {320, 452}}) {
    for (int frame : {0, 3, 6}) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " frame " +
                   std::to_string(frame));
      samples::SampleOptions options;
      options.width = width;
      options.height = height;
      samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, frame, 8);
      ASSERT_EQ(drawing.gaps.size(), 4u);

      WorkingImage image = Analyse(drawing.scan, RedlineSettings{});
      const int face = RegionAt(image, drawing.face);
      const int back = RegionAt(image, drawing.back);
      EXPECT_NE(face, kBackgroundRegion);
      EXPECT_NE(back, kBackgroundRegion);
      EXPECT_NE(face, back);
      EXPECT_EQ(RegionAt(image, CircleInside(drawing)), kBackgroundRegion);

      // Without growth the faint stretches are gaps, and both run out into the background.
      WorkingImage open = Analyse(drawing.scan, noGrowth);
      EXPECT_EQ(RegionAt(open, drawing.face), kBackgroundRegion);
      EXPECT_EQ(RegionAt(open, drawing.back), kBackgroundRegion);
    }
  }
}

}  // namespace
}  // namespace quenda

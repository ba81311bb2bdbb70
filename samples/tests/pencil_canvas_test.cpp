#include "samples/pencil_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "samples/pencil_shapes.h"

namespace quenda::samples {
namespace {

TEST(PencilCanvas, StrokeCoversItsWidthAntiAliasesItsEdgeAndFadesInItsBox) {
  PencilCanvas canvas(40, 21);
  std::vector<StrokePoint> line{{5, 10, 1}, {34, 10, 1}};
  canvas.DrawStroke(line, {2.0, 1.0});
  for (int x = 8; x <= 31; ++x) {
    EXPECT_EQ(canvas.InkAt(x, 10), 255);  // full pressure, full darkness at the core
    EXPECT_EQ(canvas.InkAt(x, 12), 128);  // half a pixel of the edge's pixel is covered
    EXPECT_EQ(canvas.InkAt(x, 13), 0);
    EXPECT_EQ(canvas.InkAt(x, 7), 0);
  }
  EXPECT_EQ(canvas.InkAt(1, 10), 0);  // beyond the round end
  EXPECT_EQ(canvas.InkAt(38, 10), 0);

  // Fading lightens only its box, and only what is darker than the fade.
  canvas.FadeBox(15, 0, 16, 20, kFaintInk);
  for (int x : {15, 16}) {
    EXPECT_EQ(canvas.InkAt(x, 10), kFaintInk);
    EXPECT_EQ(canvas.InkAt(x, 12), 128);  // the lighter edge keeps its anti-aliasing
  }
  EXPECT_EQ(canvas.InkAt(14, 10), 255);
  EXPECT_EQ(canvas.InkAt(17, 10), 255);
  canvas.FadeBox(30, 9, 31, 9, 0);
  EXPECT_EQ(canvas.InkAt(30, 9), 0);
  EXPECT_EQ(canvas.InkAt(30, 10), 255);
}

TEST(PencilCanvas, LightPressureDrawsPalerAndThinnerAndCrossingsKeepTheDarkest) {
  PencilCanvas canvas(30, 30);
  std::vector<StrokePoint> light{{2, 15, 0}, {27, 15, 0}};
  std::vector<StrokePoint> firm{{15, 2, 1}, {15, 27, 1}};
  canvas.DrawStroke(light, {2.0, 1.0});
  const int lightCore = canvas.InkAt(5, 15);
  EXPECT_LT(lightCore, 160);
  EXPECT_GT(lightCore, 120);
  EXPECT_EQ(canvas.InkAt(5, 17), 0);  // radius 1.4 at no pressure
  canvas.DrawStroke(firm, {2.0, 1.0});
  EXPECT_EQ(canvas.InkAt(15, 15), 255);
  canvas.DrawStroke(light, {2.0, 1.0});  // drawing again over a line changes nothing
  EXPECT_EQ(canvas.InkAt(15, 15), 255);
  EXPECT_EQ(canvas.InkAt(5, 15), lightCore);
}

TEST(PencilCanvas, StrokesAndErasingOffTheSheetAreClipped) {
  PencilCanvas canvas(10, 8);
  std::vector<StrokePoint> across{{-50, -20, 1}, {60, 30, 1}};
  canvas.DrawStroke(across, {3.0, 1.0});
  std::vector<StrokePoint> dot{{4, 4, 1}};
  canvas.DrawStroke(dot, {1.0, 1.0});
  EXPECT_EQ(canvas.InkAt(4, 4), 255);
  canvas.EraseBox(-100, -100, 100, 2);
  canvas.EraseBox(8, 6, 400, 400);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.InkAt(x, 1), 0);
  EXPECT_EQ(canvas.InkAt(9, 7), 0);
  EXPECT_EQ(canvas.InkAt(4, 4), 255);
  PencilCanvas empty(0, 0);
  empty.DrawStroke(dot, {1.0, 1.0});
  EXPECT_TRUE(empty.Compose(1).empty());
}

// Faint ink must never be taken as line (grey below 100) yet always be grown over (below 150),
// whatever the paper and its tooth beneath.
TEST(PencilCanvas, FaintInkComposesBetweenLinePickUpAndGrowthOnAnyPaper) {
  PencilCanvas canvas(160, 120);
  std::vector<StrokePoint> everywhere{{80, 60, 1}};
  canvas.DrawStroke(everywhere, {200.0, 1.0});
  canvas.FadeBox(0, 0, 159, 119, kFaintInk);
  int lightest = 0, darkest = 255;
  for (uint32_t seed = 1; seed <= 12; ++seed)
    for (uint8_t v : canvas.Compose(seed)) {
      lightest = std::max<int>(lightest, v);
      darkest = std::min<int>(darkest, v);
    }
  EXPECT_GE(darkest, 100);
  EXPECT_LT(lightest, 150);
  EXPECT_LT(darkest + 20, lightest);  // still grainy, not a flat grey
}

TEST(PencilCanvas, BarePaperStaysInItsRangeAndGraphiteDarkensIt) {
  PencilCanvas canvas(64, 48);
  std::vector<StrokePoint> line{{10, 24, 1}, {54, 24, 1}};
  canvas.DrawStroke(line, {2.5, 1.0});
  std::vector<uint8_t> grey = canvas.Compose(9);
  ASSERT_EQ(grey.size(), 64u * 48u);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t v = grey[std::size_t(y) * 64 + x];
      if (canvas.InkAt(x, y) == 0) {
        EXPECT_GE(v, 235);
        EXPECT_LE(v, 250);
      } else if (canvas.InkAt(x, y) == 255) {
        EXPECT_LE(v, 105);  // full graphite, whatever the tooth
      }
    }
  EXPECT_EQ(grey, canvas.Compose(9));
  EXPECT_NE(grey, canvas.Compose(10));
}

TEST(PencilShapes, ClosedStrokesCloseAndLimbOutlinesSurroundTheirPath) {
  SampleRandom random(4);
  Wobble wobble = MakeWobble(random, 0.5);
  std::vector<StrokePoint> ring = ClosedStroke(EllipseOutline({50, 40}, 20, 10, 0.3), 1.0, wobble);
  ASSERT_GT(ring.size(), 90u);  // about one point per pixel of a 97 pixel outline
  ASSERT_LT(ring.size(), 110u);
  EXPECT_EQ(ring.front().x, ring.back().x);
  EXPECT_EQ(ring.front().y, ring.back().y);
  for (const StrokePoint& p : ring) EXPECT_GE(p.pressure, 0.8);  // dark enough to pick up
  for (std::size_t i = 1; i < ring.size(); ++i)
    EXPECT_LT(std::hypot(ring[i].x - ring[i - 1].x, ring[i].y - ring[i - 1].y), 1.5);

  // A bent limb: every outline point lies at its half width from the joint path.
  std::vector<Point> limb = LimbOutline({0, 0}, {0, -20}, {10, -35}, 4, 2);
  for (const Point& p : limb) {
    double nearest = 1e9;
    for (double t = 0; t <= 1.0; t += 0.001) {
      nearest = std::min(
          {nearest, std::hypot(p.x, p.y + 20 * t), std::hypot(p.x - 10 * t, p.y + 20 + 15 * t)});
    }
    EXPECT_GT(nearest, 1.5);
    EXPECT_LT(nearest, 4.5);
  }

  std::vector<StrokePoint> open = OpenStroke(CurveThrough({0, 0}, {5, 5}, {10, 0}), 1.0, {});
  EXPECT_LT(open.front().pressure, 0.3);  // tapers in and out
  EXPECT_LT(open.back().pressure, 0.3);
  EXPECT_GT(open[open.size() / 2].pressure, 0.65);
  EXPECT_NEAR(open[open.size() / 2].y, 5, 0.2);  // passes through its middle point
}

}  // namespace
}  // namespace quenda::samples

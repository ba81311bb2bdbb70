// The view's pixels composed on a sample grid against the whole-size picture the view once kept:
// every view mode, the pen, each preview, grids of every zoom and scroll, byte for byte.
#include "painter/core/shown_frame.h"

#include <gtest/gtest.h>

#include "painter/core/preview_composition.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

using namespace testing;

// A pencil drawing at an odd size, its regions in several colours (some left unfilled), line
// colours painted along a band and a patch rubbed out, so every branch of every mode shows.
struct DrawnFrame {
  static constexpr int kWidth = 97, kHeight = 71;
  DrawnFrame() {
    WriteAnalyzedSequence(dir.path(), "walk", 1, kWidth, kHeight);
    ScriptedPrompt prompt;
    AddColor(colors, "SKIN", 250, 205, 170);
    AddColor(colors, "INK", 10, 20, 200);
    AddColor(colors, "SHOE", 90, 60, 30);
    EXPECT_TRUE(LoadPainterFrame(
        frame, {dir.File("walk1.qds"), dir.File("walk1.rgn"), dir.File("walk1.pnt")}, colors.count,
        prompt));
    for (std::size_t r = 2; r < frame.regionColor.size(); ++r)
      frame.regionColor[r] = r % 4 == 0 ? kUnfilledColor : int(3 + r % 3);
    for (int y = 20; y < 30; ++y)
      for (int x = 0; x < kWidth; ++x) frame.region.animColor[frame.Index(x, y)] = 4;
    for (int y = 40; y < 48; ++y)
      for (int x = 30; x < 50; ++x) frame.region.flags[frame.Index(x, y)] |= kFlagRubbedOut;
  }
  TempDir dir;
  ColorSet colors;
  PainterFrame frame;
};

// Grids as the view asks them: 1:1 and enlarged views take every pixel of an area, reduced
// ones every second or third pixel from a scrolled start.
const SampleGrid kGrids[] = {
    {0, 0, DrawnFrame::kWidth, DrawnFrame::kHeight, 1},
    {13, 7, 40, 33, 1},
    {96, 70, 1, 1, 1},
    {0, 1, 48, 35, 2},
    {5, 12, 20, 9, 2},
    {2, 0, 32, 23, 3},
    {1, 4, 3, 22, 3},
};

void ExpectSameAsWhole(const DrawnFrame& d, const Raster& whole, ViewMode mode, PenComposition pen,
                       const FramePreview& preview, const char* what) {
  for (const SampleGrid& grid : kGrids) {
    Raster expected(grid.columns, grid.rows, 3, 7), sampled(grid.columns, grid.rows, 3, 9);
    SamplePicture(whole, grid, expected.view());
    SampleShownFrame(d.frame, d.colors, mode, pen, preview, grid, sampled.view());
    ASSERT_TRUE(sampled == expected) << what << " mode " << int(mode) << " grid " << grid.x0 << ","
                                     << grid.y0 << " step " << grid.step;
  }
}

TEST(ShownFrame, EveryModeAndPreviewSampledEqualsTheWholePictureOnEveryGrid) {
  DrawnFrame d;
  ASSERT_FALSE(d.frame.empty());
  const int region = d.frame.region.regionMap[d.frame.Index(48, 35)];
  // A pixel of an animator line, for the line fill's hover.
  ImagePoint onLine{-1, -1};
  for (std::size_t i = 0; i < d.frame.PixelCount() && onLine.x < 0; ++i)
    if (d.frame.region.flags[i] & kFlagAnimatorLine)
      onLine = {int(i % DrawnFrame::kWidth), int(i / DrawnFrame::kWidth)};
  ASSERT_GE(onLine.x, 0);
  for (ViewMode mode :
       {ViewMode::RegionLine, ViewMode::RegionsPainted, ViewMode::Composited, ViewMode::XRay}) {
    for (PenComposition pen : {PenComposition::Off, PenComposition::On}) {
      const Raster plain = ComposeWholeFrame(d.frame, d.colors, mode, pen);
      ExpectSameAsWhole(d, plain, mode, pen, {}, "plain");

      Raster hover = plain;
      ASSERT_FALSE(
          ComposeRegionFillPreview(d.frame, d.colors, mode, pen, region, 5, hover).IsEmpty());
      const FramePreview fill = RegionFillPreview(d.frame, region, 5);
      ExpectSameAsWhole(d, hover, mode, pen, fill, "region fill hover");

      Raster line = plain;
      const ImageRect lineBox = ComposeAnimFillPreview(d.frame, d.colors, onLine, 3, line);
      const FramePreview lineFill = LineFillPreview(d.frame, onLine, 3);
      EXPECT_EQ(lineFill.box, lineBox);
      ExpectSameAsWhole(d, line, mode, pen, lineFill, "line fill hover");

      Raster split = plain;
      ComposeSplitHighlight(d.frame, d.colors, region, split);
      ExpectSameAsWhole(d, split, mode, pen, SplitPreview(d.frame, region), "split");
    }
  }
}

TEST(ShownFrame, NothingIsComposedOutsideTheFrameOrWithoutOne) {
  DrawnFrame d;
  const Raster untouched(4, 4, 3, 77);
  for (const SampleGrid& grid : {SampleGrid{96, 0, 2, 2, 1}, SampleGrid{0, 69, 2, 2, 2},
                                 SampleGrid{-1, 0, 2, 2, 1}, SampleGrid{0, 0, 0, 2, 1}}) {
    Raster out = untouched;
    SampleShownFrame(d.frame, d.colors, ViewMode::Composited, PenComposition::Off, {}, grid,
                     out.view());
    EXPECT_TRUE(out == untouched) << grid.x0 << "," << grid.y0;
  }
  Raster out = untouched;
  SampleShownFrame(PainterFrame{}, d.colors, ViewMode::RegionsPainted, PenComposition::Off, {},
                   {0, 0, 2, 2, 1}, out.view());
  EXPECT_TRUE(out == untouched);
}

}  // namespace
}  // namespace quenda

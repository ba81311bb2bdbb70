// Composing frames in the four view modes, the pen variant, partial redraws, frame icons, and
// the zoom, scroll and mouse arithmetic of the panes.
#include "painter/core/frame_composition.h"

#include <gtest/gtest.h>

#include "common/zoom_level.h"

#include "painter/core/painter_texts.h"
#include "painter/core/preview_composition.h"
#include "painter/core/view_geometry.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

const std::vector<std::string> kBox = {
    "...............",  //
    "..#########....",  //
    "..#.......#....",  //
    "..#.......#....",  //
    "..#########....",  //
    "...............",  //
};

struct Colour {
  int blue, green, red;
  bool operator==(const Colour&) const = default;
};

Colour PixelAt(const Raster& picture, ImagePoint p) {
  const uint8_t* px = picture.At(p.x, p.y);
  return {px[0], px[1], px[2]};
}

Colour EntryColour(const ColorSet& colors, int index) {
  const ColorEntry& e = colors.entries[index];
  return {e.blue, e.green, e.red};
}

ImagePoint At(int column, int rowFromTop) {
  return {column, int(kBox.size()) - 1 - rowFromTop};
}

ColorSet TestColours() {
  ColorSet colors;
  AddColor(colors, "SKIN", 250, 205, 170);
  AddColor(colors, "INK", 10, 20, 200);
  return colors;
}

TEST(Composition, XRayOnAFreshFrame) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  const Raster picture = ComposeWholeFrame(frame, colors, ViewMode::XRay);
  EXPECT_EQ(picture.width(), 16);
  EXPECT_EQ(PixelAt(picture, At(5, 2)), (Colour{255, 255, 255}));  // unfilled box
  EXPECT_EQ(PixelAt(picture, At(0, 0)), (Colour{0, 0, 0}));        // region 1
  // A line pixel that belongs to region 1 shows in the line colour.
  bool sawLine = false;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const std::size_t i = frame.Index(x, y);
      if ((frame.region.flags[i] & kFlagRegionLine) && frame.region.regionMap[i] == 1) {
        EXPECT_EQ(PixelAt(picture, {x, y}), EntryColour(colors, kLineColor));
        sawLine = true;
      }
    }
  }
  EXPECT_TRUE(sawLine);
  // Once painted the box shows black in X-Ray.
  frame.regionColor[testing::RegionAtText(frame.region, 5, 2)] = 3;
  EXPECT_EQ(PixelAt(ComposeWholeFrame(frame, colors, ViewMode::XRay), At(5, 2)), (Colour{0, 0, 0}));
}

TEST(Composition, RegionLineAndRegionsPainted) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  frame.regionColor[testing::RegionAtText(frame.region, 5, 2)] = 3;
  const Raster lines = ComposeWholeFrame(frame, colors, ViewMode::RegionLine);
  const Raster painted = ComposeWholeFrame(frame, colors, ViewMode::RegionsPainted);
  EXPECT_EQ(PixelAt(lines, At(2, 1)), EntryColour(colors, kLineColor));
  EXPECT_EQ(PixelAt(lines, At(5, 2)), (Colour{255, 255, 255}));
  EXPECT_EQ(PixelAt(painted, At(2, 1)), EntryColour(colors, kLineColor));
  EXPECT_EQ(PixelAt(painted, At(5, 2)), EntryColour(colors, 3));
  EXPECT_EQ(PixelAt(painted, At(0, 0)), EntryColour(colors, kTransparentColor));
}

TEST(Composition, CompositedBlendsByGreyAndRubbedOutShowsThePureRegionColour) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  const int box = testing::RegionAtText(frame.region, 5, 2);
  frame.regionColor[box] = 3;
  const std::size_t black = frame.Index(At(4, 2).x, At(4, 2).y);
  const std::size_t grey = frame.Index(At(5, 2).x, At(5, 2).y);
  const std::size_t rubbed = frame.Index(At(6, 2).x, At(6, 2).y);
  frame.scan[black] = 0;
  frame.scan[grey] = 128;
  frame.scan[rubbed] = 0;
  frame.region.animColor[black] = 4;
  frame.region.animColor[grey] = 4;
  frame.region.animColor[rubbed] = 4;
  frame.region.flags[rubbed] |= kFlagRubbedOut;
  const Raster picture = ComposeWholeFrame(frame, colors, ViewMode::Composited);
  const Colour skin = EntryColour(colors, 3), ink = EntryColour(colors, 4);
  EXPECT_EQ(PixelAt(picture, At(4, 2)), ink);
  EXPECT_EQ(PixelAt(picture, At(6, 2)), skin);
  EXPECT_EQ(PixelAt(picture, At(7, 2)), skin);  // white paper
  const Colour mid = PixelAt(picture, At(5, 2));
  EXPECT_EQ(mid.red, (128 * 250 + 127 * 10) / 255);
  EXPECT_EQ(mid.green, (128 * 205 + 127 * 20) / 255);
  EXPECT_EQ(mid.blue, (128 * 170 + 127 * 200) / 255);

  const Raster pen = ComposeWholeFrame(frame, colors, ViewMode::Composited, PenComposition::On);
  EXPECT_EQ(PixelAt(pen, At(2, 1)), EntryColour(colors, kLineColor));
  EXPECT_EQ(PixelAt(pen, At(6, 2)), (Colour{255, 255, 255}));
  EXPECT_EQ(PixelAt(pen, At(5, 2)), (Colour{128, 128, 128}));
}

TEST(Composition, APartialRedrawTouchesOnlyItsRectangleAndTheSpareColumns) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  Raster picture = MakeFramePicture(frame);
  std::fill(picture.bytes().begin(), picture.bytes().end(), 77);
  ComposeFrame(frame, colors, ViewMode::RegionLine, PenComposition::Off, {3, 6, 1, 3}, picture);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const bool inside = x >= 3 && x < 6 && y >= 1 && y < 3;
      EXPECT_EQ(picture.At(x, y)[0] == 77, !inside) << x << "," << y;
    }
  }
  // A picture of the wrong size is left alone.
  Raster wrong(15, 6, 3, 77);
  ComposeFrame(frame, colors, ViewMode::RegionLine, PenComposition::Off, {0, 15, 0, 6}, wrong);
  EXPECT_EQ(wrong, Raster(15, 6, 3, 77));
}

TEST(Composition, IconsScaleByNearestNeighbourAndFillBeyondThePictureWithGrey) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  ColorSet colors = TestColours();
  const int box = testing::RegionAtText(frame.region, 5, 2);
  frame.regionColor[box] = 3;
  const Raster icon = ComposeFrameIcon(frame.region, frame.regionColor, colors, 8);
  ASSERT_EQ(icon.width(), 8);
  // scale 15 / 8: icon row j shows image row trunc(j * 1.875); rows from 4 on are past it.
  for (int j = 0; j < 8; ++j) {
    for (int i = 0; i < 8; ++i) {
      const int x = int(i * 1.875), y = int(j * 1.875);
      Colour expected{kStripGrey, kStripGrey, kStripGrey};
      if (y < frame.height) {
        const std::size_t p = frame.Index(x, y);
        expected = (frame.region.flags[p] & kFlagRegionLine)
                       ? EntryColour(colors, kLineColor)
                       : EntryColour(colors, frame.regionColor[frame.region.regionMap[p]]);
      }
      EXPECT_EQ(PixelAt(icon, {i, j}), expected) << i << "," << j;
    }
  }
  // An unreadable frame gives a grey icon.
  EXPECT_EQ(ComposeFrameIcon(RegionData{}, {}, colors, 4), Raster(4, 4, 3, kStripGrey));
}

TEST(Previews, RegionFillHoverShowsTheColourOnEvenRowsOfTheRegionOnly) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  const int box = testing::RegionAtText(frame.region, 5, 2);
  const Raster plain = ComposeWholeFrame(frame, colors, ViewMode::RegionsPainted);
  Raster picture = plain;
  const ImageRect touched = ComposeRegionFillPreview(frame, colors, ViewMode::RegionsPainted,
                                                     PenComposition::Off, box, 4, picture);
  EXPECT_FALSE(touched.IsEmpty());
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const bool shows = y % 2 == 0 && frame.region.regionMap[frame.Index(x, y)] == box;
      EXPECT_EQ(PixelAt(picture, {x, y}), shows ? EntryColour(colors, 4) : PixelAt(plain, {x, y}))
          << x << "," << y;
    }
  }
  EXPECT_EQ(frame.regionColor[box], kUnfilledColor);  // the frame itself is untouched
}

TEST(Previews, AnimFillHoverRecoloursTheConnectedLineAsTheFillWould) {
  PainterFrame frame = testing::FrameFromPicture({"*..*", "*..*", "*...", "...."});
  std::fill(frame.scan.begin(), frame.scan.end(), 0);
  const ColorSet colors = TestColours();
  Raster picture = ComposeWholeFrame(frame, colors, ViewMode::Composited);
  const ImageRect touched = ComposeAnimFillPreview(frame, colors, {0, 3}, 4, picture);
  // The right column joins through the row end (neighbours by pixel index).
  EXPECT_EQ(touched, (ImageRect{0, 4, 1, 4}));
  PainterFrame filled = frame;
  AnimFillAt(filled, {0, 3}, 4);
  EXPECT_EQ(picture, ComposeWholeFrame(filled, colors, ViewMode::Composited));
  EXPECT_TRUE(ComposeAnimFillPreview(frame, colors, {1, 1}, 4, picture).IsEmpty());
}

TEST(Previews, ASplitShowsOneRegionBlackAndTheRestWhite) {
  PainterFrame frame = testing::FrameFromPicture(kBox);
  const ColorSet colors = TestColours();
  const int box = testing::RegionAtText(frame.region, 5, 2);
  Raster picture = MakeFramePicture(frame);
  ComposeSplitHighlight(frame, colors, box, picture);
  EXPECT_EQ(PixelAt(picture, At(5, 2)), (Colour{0, 0, 0}));
  EXPECT_EQ(PixelAt(picture, At(0, 0)), (Colour{255, 255, 255}));
  EXPECT_EQ(PixelAt(picture, At(2, 1)), EntryColour(colors, kLineColor));
}

TEST(ViewGeometry, ZoomStatusShowsTheTruncatedPercent) {
  EXPECT_EQ(ZoomStatusText(ZoomLevelPercent(-1)), "zoom: 33%");
  EXPECT_EQ(ZoomStatusText(ZoomLevelPercent(17)), "zoom: 1700%");
}

TEST(ViewGeometry, StripAndColourList) {
  EXPECT_EQ(VisibleStripCells(500, 100), 5);
  EXPECT_EQ(StripScrollMaximum(3, 5), 1);
  EXPECT_EQ(StripScrollMaximum(30, 5), 25);
  EXPECT_EQ(StripIconSide(100), 80);
  EXPECT_EQ(StripIconSide(103), 80);
  EXPECT_EQ(StripIconSide(10), 0);
  EXPECT_EQ(ListPositionToEntry(0), 0);
  EXPECT_EQ(ListPositionToEntry(1), 3);
  EXPECT_EQ(EntryToListPosition(5), 3);
  EXPECT_EQ(EntryToListPosition(1), -1);
  EXPECT_EQ(EntryToListPosition(2), -1);
  EXPECT_EQ(VisibleColorRows(95), 3);
  EXPECT_EQ(ColorListScrollMaximum(3, 3), 1);
  EXPECT_EQ(ColorListScrollMaximum(40, 10), 28);
}

}  // namespace
}  // namespace quenda

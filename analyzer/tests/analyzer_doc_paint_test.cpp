// Single-frame paint in the analyzer document: the fill, the paint tools with their undo, X-ray
// and the filtered composite.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "analyzer/core/analyzer_doc.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/paint_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

// A drawing marked and in paint mode, for the tools and the composite.
struct PaintingDoc {
  PaintingDoc() {
    samples::SampleOptions options{.width = 160, .height = 226};
    drawing = samples::RenderSampleDrawing(options, 0, 1);
    EXPECT_TRUE(WriteDrawingScan(dir.File("walk1.qds"), drawing.scan, ScanWriter::Scanner).ok());
    NullProgress progress;
    EXPECT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
    EXPECT_TRUE(doc.MarkRegions(progress).ok());
    EXPECT_TRUE(doc.AddColor("red", 200, 30, 40).ok());
    EXPECT_TRUE(doc.EnterPaint().ok());
  }
  void Drag(PaintTool tool, ImagePoint from, ImagePoint to,
            PaintButton button = PaintButton::Left) {
    doc.SetPaintTool(tool);
    doc.PaintPress(from, from, button);
    doc.PaintMove(to);
    doc.PaintRelease(to, to);
  }
  ImagePoint Corner() const { return {doc.image().width() - 1, doc.image().height() - 1}; }

  testing::TempDir dir;
  samples::SampleDrawing drawing;
  ScriptedPrompt prompt;
  CAnalyzerDoc doc{prompt};
};

// A pixel of `region` inside its paper, or nullopt.
std::optional<std::pair<int, int>> UniformPixelOf(const WorkingImage& image, int region) {
  for (int y = 2; y + 2 < image.height(); ++y)
    for (int x = 2; x + 2 < image.width(); ++x)
      if (image.regions.regionMap[std::size_t(y) * image.width() + x] == region &&
          testing::InsidePaper(image, x, y))
        return std::pair{x, y};
  return std::nullopt;
}

TEST(AnalyzerDocPaint, SingleFramePaintFillsRegionsAndSavesTheFilteredComposite) {
  PaintingDoc p;
  NullProgress progress;
  CAnalyzerDoc& doc = p.doc;
  ASSERT_TRUE(doc.AddColor("blue", 10, 20, 250).ok());
  const WorkingImage& image = doc.image();
  const int regions = image.regions.regionCount;
  ASSERT_GE(regions, 2);
  const std::string title = "Compatible Scanner :: Quenda Animation Paint System PAINT MODE: ";
  EXPECT_EQ(doc.title(), title + std::to_string(regions) + " Unfilled regions");

  // One pixel of every paintable region (the background, region 1, stays transparent).
  std::map<int, std::pair<int, int>> pixelOf;
  const int width = image.width();
  for (std::size_t i = 0; i < image.PixelCount(); ++i)
    if (!(image.regions.flags[i] & kFlagRegionLine) && image.regions.regionMap[i] > 1)
      pixelOf.emplace(image.regions.regionMap[i], std::pair{int(i) % width, int(i) / width});
  ASSERT_EQ(int(pixelOf.size()), regions);
  // A click inside the face.
  const std::pair at{int(std::lround(p.drawing.face.x)), int(std::lround(p.drawing.face.y))};
  const int first = image.regions.regionMap[std::size_t(at.second) * width + at.first];
  ASSERT_GT(first, kBackgroundRegion);
  doc.SetCurrentColor(3);
  doc.FillRegionAt(at.first, at.second);
  EXPECT_EQ(doc.title(), title + std::to_string(regions - 1) + " Unfilled regions");
  const Raster picture = testing::ShownPicture(doc);
  for (std::size_t i = 0; i < image.PixelCount(); ++i) {
    if (image.regions.regionMap[i] != first || (image.regions.flags[i] & kFlagRegionLine)) continue;
    const uint8_t* shown = picture.Row(int(i) / width) + 3 * (int(i) % width);
    ASSERT_EQ((std::array{shown[0], shown[1], shown[2]}), (std::array<uint8_t, 3>{40, 30, 200}));
  }
  // Another colour on a filled region leaves the count.
  doc.SetCurrentColor(4);
  doc.FillRegionAt(at.first, at.second);
  EXPECT_EQ(doc.title(), title + std::to_string(regions - 1) + " Unfilled regions");

  p.prompt.Clear();
  EXPECT_EQ(doc.SaveComposite(p.dir.File("walk1.tga"), progress).message(),
            "You have to fill all unfilled regions.");
  EXPECT_EQ(p.prompt.Texts(), std::vector<std::string>{"You have to fill all unfilled regions."});
  EXPECT_FALSE(std::filesystem::exists(p.dir.File("walk1.tga")));

  doc.SetCurrentColor(3);
  for (const auto& [region, xy] : pixelOf) doc.FillRegionAt(xy.first, xy.second);
  EXPECT_EQ(doc.title(), title + "0 Unfilled regions");
  ASSERT_TRUE(doc.SaveComposite(p.dir.File("walk1.tga"), progress).ok());
  const std::vector<uint8_t> bytes = testing::ReadBytes(p.dir.File("walk1.tga"));
  ASSERT_EQ(bytes.size(), 18u + 4u * image.PixelCount());
  EXPECT_EQ(bytes[2], 2);
  EXPECT_EQ(bytes[16], 32);
  auto pixel = [&](std::pair<int, int> xy) {
    const uint8_t* b = bytes.data() + 18 + 4 * (std::size_t(xy.second) * width + xy.first);
    return std::array{b[0], b[1], b[2], b[3]};
  };
  // Inside a uniform area the filter keeps the colour: paper of a painted region is its fill,
  // opaque; paper of the transparent background has no alpha.
  const auto painted = UniformPixelOf(image, first);
  ASSERT_TRUE(painted.has_value());
  EXPECT_EQ(pixel(*painted), (std::array<uint8_t, 4>{40, 30, 200, 255}));
  const auto background = UniformPixelOf(image, kBackgroundRegion);
  ASSERT_TRUE(background.has_value());
  EXPECT_EQ(pixel(*background)[3], 0);

  // Filling with the unfilled colour makes a region unfilled again, for the count and the check.
  doc.SetCurrentColor(kUnfilledColor);
  doc.FillRegionAt(at.first, at.second);
  EXPECT_EQ(std::tuple(doc.title(), doc.unfilledCount()),
            std::tuple(title + "1 Unfilled regions", 1));
  p.prompt.Clear();
  EXPECT_EQ(doc.CheckComposite().message(), "You have to fill all unfilled regions.");
}

TEST(AnalyzerDocPaint, EachPaintToolChangesItsLayerAndOneUndoPutsItBack) {
  struct Case {
    const char* name;
    PaintTool tool;
    PaintButton button;
  };
  const Case cases[] = {{"rubber rectangle", PaintTool::RubberRect, PaintButton::Left},
                        {"line brush rectangle", PaintTool::AnimBrushRect, PaintButton::Left},
                        {"line brush", PaintTool::AnimBrush, PaintButton::Left},
                        {"rubber", PaintTool::Rubber, PaintButton::Left},
                        {"regions inside a drag", PaintTool::RegionFill, PaintButton::Left},
                        {"line fill", PaintTool::AnimFill, PaintButton::Left}};
  for (const Case& c : cases) {
    PaintingDoc p;
    const WorkingImage before = p.doc.image();
    const std::string title = p.doc.title();
    if (c.tool == PaintTool::AnimFill) {
      // Clicked on a drawn line, whose whole length takes the colour.
      const auto& flags = before.regions.flags;
      const auto ink = std::find_if(flags.begin(), flags.end(),
                                    [](uint8_t f) { return (f & kFlagAnimatorLine) != 0; });
      ASSERT_NE(ink, flags.end());
      const int i = int(ink - flags.begin());
      const ImagePoint at{i % before.width(), i / before.width()};
      p.Drag(c.tool, at, at, c.button);
    } else {
      p.Drag(c.tool, {0, 0}, p.Corner(), c.button);
    }
    const WorkingImage& image = p.doc.image();
    EXPECT_TRUE(image.regions.flags != before.regions.flags ||
                image.regions.animColor != before.regions.animColor ||
                image.regionColor != before.regionColor)
        << c.name;
    ASSERT_TRUE(p.doc.CanUndoPaint()) << c.name;
    ASSERT_TRUE(p.doc.UndoPaint());
    EXPECT_EQ(image.regions, before.regions) << c.name;
    EXPECT_EQ(image.regionColor, before.regionColor) << c.name;
    EXPECT_EQ(image.filledCount, before.filledCount) << c.name;
    EXPECT_EQ(p.doc.title(), title) << c.name;
    EXPECT_FALSE(p.doc.UndoPaint()) << c.name;  // one level
  }
}

// The undo between gestures holds what the last one changed, not copies of the drawing's maps:
// a short stroke costs a few kilobytes on a drawing whose line colours alone take 72.
TEST(AnalyzerDocPaint, UndoKeepsOnlyWhatTheLastGestureChangedAndPutsBackTheExactBuffers) {
  enum class Size { Small, Whole };
  struct Gesture {
    PaintTool tool;
    ImagePoint from, to;
  };
  struct Case {
    const char* name;
    std::vector<Gesture> gestures;  // the last is the one undone
    Size held;
  };
  const ImagePoint c{80, 113};
  const ImagePoint top{159, 225};
  const Case cases[] = {
      {"a short line stroke", {{PaintTool::AnimBrush, c, {c.x + 12, c.y + 3}}}, Size::Small},
      {"a short rub", {{PaintTool::Rubber, c, {c.x, c.y + 9}}}, Size::Small},
      {"an unrub over a rub",
       {{PaintTool::Rubber, c, {c.x + 9, c.y}}, {PaintTool::UnRubber, c, {c.x + 4, c.y}}},
       Size::Small},
      {"a second stroke over the first",
       {{PaintTool::AnimBrush, c, {c.x + 9, c.y}}, {PaintTool::AnimBrush, c, {c.x, c.y + 9}}},
       Size::Small},
      {"a small line rectangle", {{PaintTool::AnimBrushRect, c, {c.x + 6, c.y + 5}}}, Size::Small},
      {"a fill of one region", {{PaintTool::RegionFill, c, c}}, Size::Small},
      {"a line rectangle over everything", {{PaintTool::AnimBrushRect, {0, 0}, top}}, Size::Whole},
      {"a rub over everything", {{PaintTool::RubberRect, {0, 0}, top}}, Size::Whole},
  };
  for (const Case& k : cases) {
    PaintingDoc p;
    p.doc.SetCurrentColor(3);
    for (std::size_t g = 0; g + 1 < k.gestures.size(); ++g)
      p.Drag(k.gestures[g].tool, k.gestures[g].from, k.gestures[g].to);
    const Gesture& last = k.gestures.back();
    p.doc.SetPaintTool(last.tool);  // and its view mode, before the picture is kept
    const WorkingImage before = p.doc.image();
    const Raster shownBefore = testing::ShownPicture(p.doc);
    p.Drag(last.tool, last.from, last.to);
    const WorkingImage& image = p.doc.image();
    ASSERT_TRUE(image.regions.flags != before.regions.flags ||
                image.regions.animColor != before.regions.animColor ||
                image.regionColor != before.regionColor)
        << k.name;
    const std::size_t table = image.regionColor.size() * sizeof(int32_t);
    const std::size_t pixels = image.PixelCount();
    if (k.held == Size::Small)
      EXPECT_LE(p.doc.undoBytes(), table + 4096) << k.name << " of " << pixels << " pixels";
    else
      EXPECT_GE(p.doc.undoBytes(), pixels * 9 / 10) << k.name;  // a byte a pixel at least
    ASSERT_TRUE(p.doc.UndoPaint()) << k.name;
    EXPECT_EQ(image.regions, before.regions) << k.name;
    EXPECT_EQ(image.regionColor, before.regionColor) << k.name;
    EXPECT_EQ(image.filledCount, before.filledCount) << k.name;
    EXPECT_TRUE(testing::ShownPicture(p.doc) == shownBefore)
        << k.name << ": the picture shows the undo";
    EXPECT_EQ(p.doc.undoBytes(), 0u) << k.name;
    EXPECT_FALSE(p.doc.UndoPaint()) << k.name;
  }
}

// While a stroke goes on its undo holds the old values of the tiles it crossed, never a copy of
// the drawing's map; undone before the button is let go, it puts back the maps before it.
TEST(AnalyzerDocPaint, AStrokeInHandHoldsOnlyWhatItCrossedAndUndoesMidway) {
  for (const PaintTool tool : {PaintTool::AnimBrush, PaintTool::Rubber}) {
    PaintingDoc p;
    p.doc.SetCurrentColor(3);
    p.doc.SetPaintTool(tool);
    const WorkingImage before = p.doc.image();
    const Raster shownBefore = testing::ShownPicture(p.doc);
    const ImagePoint c{80, 113};
    p.doc.PaintPress(c, c, PaintButton::Left);
    p.doc.PaintMove({c.x + 6, c.y + 2});
    p.doc.PaintMove({c.x + 10, c.y + 6});
    const WorkingImage& image = p.doc.image();
    ASSERT_TRUE(image.regions != before.regions) << int(tool);
    // Two tiles of 64 x 64 at most for a stroke this short, of a map of 160 x 226.
    const std::size_t perPixel = tool == PaintTool::AnimBrush ? sizeof(uint16_t) : 1;
    EXPECT_LE(p.doc.undoBytes(),
              image.regionColor.size() * sizeof(int32_t) + 2 * 64 * 64 * perPixel)
        << int(tool);
    EXPECT_LT(p.doc.undoBytes(), image.PixelCount() * perPixel) << int(tool);
    ASSERT_TRUE(p.doc.UndoPaint()) << int(tool);
    EXPECT_EQ(image.regions, before.regions) << int(tool);
    EXPECT_TRUE(testing::ShownPicture(p.doc) == shownBefore) << int(tool);
    p.doc.PaintRelease({c.x + 10, c.y + 6}, {c.x + 10, c.y + 6});
    EXPECT_EQ(image.regions, before.regions) << int(tool) << ": the release changes nothing";
    EXPECT_FALSE(p.doc.CanUndoPaint()) << int(tool);
  }
}

TEST(AnalyzerDocPaint, XrayFillsOnlyUnfilledRegionsTheLineBrushRefusesTransparentAndAPenSplits) {
  PaintingDoc p;
  const ImagePoint face{int(std::lround(p.drawing.face.x)), int(std::lround(p.drawing.face.y))};
  const WorkingImage& image = p.doc.image();
  const std::size_t at = std::size_t(face.y) * image.width() + face.x;
  const int region = image.regions.regionMap[at];
  p.doc.SetPaintTool(PaintTool::RegionFill);
  p.doc.SetViewMode(ViewMode::XRay);
  p.doc.FillRegionAt(face.x, face.y);
  EXPECT_EQ(image.regionColor[region], 3);
  p.doc.SetCurrentColor(kLineColor);
  p.doc.FillRegionAt(face.x, face.y);
  EXPECT_EQ(image.regionColor[region], 3);
  EXPECT_EQ(image.filledCount, 1);

  p.doc.SetCurrentColor(kTransparentColor);
  const std::vector<uint16_t> lines = image.regions.animColor;
  p.doc.SetPaintTool(PaintTool::AnimBrush);
  p.doc.PaintPress(face, face, PaintButton::Left);
  p.doc.PaintMove({face.x + 5, face.y});
  p.doc.PaintMove({face.x + 9, face.y});
  p.doc.PaintRelease({face.x + 9, face.y}, {});
  EXPECT_EQ(image.regions.animColor, lines);
  EXPECT_EQ(p.prompt.Texts(),
            std::vector<std::string>{"Can not paint animators lines with transparent color, "
                                     "please select rubber to remove animators lines"});

  // A pen stroke across the whole drawing at the face's height cuts every region it crosses.
  const int regions = image.regions.regionCount;
  p.Drag(PaintTool::RegionPen, {-5, face.y}, {image.width() + 5, face.y});
  EXPECT_EQ(p.doc.viewMode(), ViewMode::RegionLine);
  ASSERT_GT(image.regions.regionCount, regions);
  EXPECT_FALSE(p.doc.CanUndoPaint());
  // The pieces keep their colours: the face's piece is filled, the others' are unfilled.
  int unfilledNow = 0;
  for (int r = kBackgroundRegion + 1; r <= image.regions.RegionTotal(); ++r)
    unfilledNow += image.regionColor[std::size_t(r)] == kUnfilledColor;
  EXPECT_EQ(p.doc.unfilledCount(), unfilledNow);
}

}  // namespace
}  // namespace quenda

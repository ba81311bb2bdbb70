// The analyzer document's commands without a window: their refusals, the settings dialog's
// linked values and test rectangle, and the region file read path.
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

// A fresh document with scripted messages, and a folder for its files.
class AnalyzerDoc : public ::testing::Test {
 protected:
  testing::TempDir dir;
  ScriptedPrompt prompt;
  CAnalyzerDoc doc{prompt};
  NullProgress progress;
};

TEST_F(AnalyzerDoc, CommandsWithoutTheirPictureOrRegionsSayWhatIsMissing) {
  ASSERT_TRUE(
      WriteDrawingScan(dir.File("walk1.qds"), samples::MakeDrawing(47, 33), ScanWriter::Scanner)
          .ok());
  const std::pair<std::function<Status()>, const char*> refused[] = {
      {[&] { return doc.OpenLineSettings(); }, "Please do this after loading an image."},
      {[&] { return doc.MarkRegions(progress); }, "Can not mark regions without a picture"},
      {[&] { return doc.SaveRegions(dir.File("a.rgn")); }, "Please process the regions."},
      {[&] { return doc.LoadRegionsFile(dir.File("a.rgn")); }, "Please load a picture."},
      {[&] { return doc.EnterPaint(); }, "Please do this after loading or marking regions"},
      {[&] { return doc.CheckComposite(); }, "Please paint the image first."},
  };
  for (const auto& [command, message] : refused) {
    EXPECT_EQ(command().message(), message);
    EXPECT_EQ(prompt.Texts().back(), message);
  }
  EXPECT_EQ(testing::ListDirectory(dir.path()), std::vector<std::string>{"walk1.qds"});

  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  // A loaded drawing asks before a batch run throws it away.
  EXPECT_FALSE(doc.ConfirmLoseDrawing());
}

TEST_F(AnalyzerDoc, BrushSizeEntryTakesOneToSixAndRefusesTheRest) {
  doc.SetBrushSize(2);
  for (const char* refused : {"0", "7", "-1", "x", "3x", "3.5", "", " "}) {
    EXPECT_EQ(doc.BrushSizeEntry(refused).message(), "Brush Size must be between 1 and 6")
        << refused;
    EXPECT_EQ(doc.brushSize(), 2) << refused;
  }
  EXPECT_EQ(prompt.Texts().size(), 8u);
  prompt.Clear();
  for (const auto& [text, size] : {std::pair{"1", 1}, {"6", 6}, {" 4 ", 4}}) {
    EXPECT_TRUE(doc.BrushSizeEntry(text).ok()) << text;
    EXPECT_EQ(doc.brushSize(), size);
  }
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(AnalyzerDoc, ScrollBarsKeepGrowthOverPickUpAndWhiteOverBlack) {
  struct Case {
    LineSetting which;
    int value;
    RedlineSettings expected;
  };
  const Case cases[] = {{LineSetting::PickUp, 160, {160, 160, 220, 50}},
                        {LineSetting::PickUp, 300, {254, 254, 220, 50}},
                        {LineSetting::Growth, 90, {90, 90, 220, 50}},
                        {LineSetting::WhiteClamp, 40, {100, 150, 40, 40}},
                        {LineSetting::BlackClamp, 230, {100, 150, 230, 230}},
                        {LineSetting::BlackClamp, -5, {100, 150, 220, 0}}};
  for (const Case& c : cases) {
    RedlineSettings s;
    SetLinkedLineSetting(s, c.which, c.value);
    EXPECT_EQ(s, c.expected) << int(c.which) << " " << c.value;
  }
}

TEST_F(AnalyzerDoc, TestRectangleStartsCentredAndDragsWithinTheDrawing) {
  EXPECT_EQ(CentredTestRectangle(301, 201), (TestRectangle{100, 50, 200, 150}));
  EXPECT_EQ(CentredTestRectangle(47, 33), (TestRectangle{0, 0, 46, 32}));
  // Rows turned over for line generation: an odd height shifts them by one.
  EXPECT_EQ(TestRectanglePixels({100, 50, 200, 150}, 201), (PixelRect{100, 200, 51, 151}));

  const TestRectangle start{100, 50, 200, 150};
  struct Case {
    ScreenPoint press, to;
    TestRectangle expected;
  };
  const Case cases[] = {
      {{150, 100}, {170, 90}, {120, 40, 220, 140}},   // whole, by the drag
      {{150, 100}, {400, -80}, {201, 0, 301, 100}},   // whole, stopped at the edges
      {{195, 145}, {250, 180}, {100, 50, 250, 180}},  // bottom-right corner
      {{105, 55}, {260, 170}, {200, 150, 260, 170}},  // top-left past the opposite edges: swapped
  };
  for (const Case& c : cases) {
    TestRectangleDrag drag(301, 201);
    drag.Press(start, c.press);
    EXPECT_EQ(drag.MoveTo(start, c.to), c.expected) << c.to.x << "," << c.to.y;
  }
  // The swapped corner goes on as the one under the cursor.
  TestRectangleDrag drag(301, 201);
  drag.Press(start, {105, 55});
  const TestRectangle swapped = drag.MoveTo(start, {260, 170});
  EXPECT_EQ(drag.MoveTo(swapped, {250, 160}), (TestRectangle{200, 150, 250, 160}));
}

// Save Regions over a region file that has paint beside it: the paint is carried to the new
// regions and written with them, and the message says what became of it.
TEST_F(AnalyzerDoc, SaveRegionsOverAPaintedFrameKeepsItsPaint) {
  const DrawingScan scan = samples::MakeDrawing(61, 43);
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk1.qds"), scan, ScanWriter::Scanner).ok());
  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  ASSERT_TRUE(doc.MarkRegions(progress).ok());
  ASSERT_TRUE(doc.SaveRegions(dir.File("walk1.rgn")).ok());
  std::vector<int32_t> paint = DefaultPaint(doc.image().regions.regionCount);
  for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = 3;
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), paint).ok());
  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  ASSERT_TRUE(doc.OpenLineSettings().ok());
  ASSERT_TRUE(doc.AcceptLineSettings({60, 120, 230, 60}).ok());
  ASSERT_TRUE(doc.MarkRegions(progress).ok());
  const int regions = doc.image().regions.regionCount;
  ASSERT_NE(regions + 2, int(paint.size()));
  prompt.Clear();
  ASSERT_TRUE(doc.SaveRegions(dir.File("walk1.rgn")).ok());
  ASSERT_EQ(prompt.Texts().size(), 1u);
  EXPECT_TRUE(prompt.Texts()[0].starts_with("walk1.rgn: paint kept: ")) << prompt.Texts()[0];
  Result<PaintFile> kept = ReadPaintFile(dir.File("walk1.pnt"), regions, 0);
  ASSERT_TRUE(kept.ok());
  EXPECT_FALSE(kept->stale);
  EXPECT_GT(std::count(kept->regionColor.begin(), kept->regionColor.end(), 3), regions / 2);
}

TEST_F(AnalyzerDoc, LoadRegionsTakesTheFilesSettingsStretchesOnceAndLinesTakeTheSetsColour) {
  const DrawingScan scan = samples::MakeDrawing(61, 43);
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk1.qds"), scan, ScanWriter::Scanner).ok());
  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  ASSERT_TRUE(doc.OpenLineSettings().ok());
  ASSERT_TRUE(doc.AcceptLineSettings({90, 140, 200, 60}).ok());
  ASSERT_TRUE(doc.MarkRegions(progress).ok());
  ASSERT_TRUE(doc.SaveRegions(dir.File("one.rgn")).ok());
  // Marking again starts from the drawing as scanned, so the file does not change.
  ASSERT_TRUE(doc.MarkRegions(progress).ok());
  ASSERT_TRUE(doc.SaveRegions(dir.File("two.rgn")).ok());
  EXPECT_EQ(testing::ReadBytes(dir.File("two.rgn")), testing::ReadBytes(dir.File("one.rgn")));

  // Regions loaded twice over the same drawing, with other settings current meanwhile.
  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  ASSERT_TRUE(doc.OpenLineSettings().ok());
  doc.CancelLineSettings();
  ASSERT_TRUE(doc.OpenLineSettings().ok());
  ASSERT_TRUE(doc.AcceptLineSettings({100, 150, 255, 0}).ok());
  ASSERT_TRUE(doc.LoadRegionsFile(dir.File("one.rgn")).ok());
  ASSERT_TRUE(doc.LoadRegionsFile(dir.File("one.rgn")).ok());
  EXPECT_EQ(doc.settings(), (RedlineSettings{90, 140, 200, 60}));
  EXPECT_TRUE(doc.regionsMarked());
  const auto stretch = StretchTable(200, 60);
  for (std::size_t i = 0; i < doc.image().grey.size(); ++i)
    ASSERT_EQ(doc.image().grey[i], stretch[scan.picture.bytes()[i]]) << i;
  EXPECT_EQ(doc.image().regionColor[1], kTransparentColor);
  EXPECT_TRUE(prompt.Texts().empty());

  // Lines show in the line colour of the set in hand, whenever the set is loaded or edited.
  testing::WriteText(dir.File("ink.col"),
                     "Quenda\n3\nTRANS 120 120 120\nUNFIL 0 255 102\nLINE 10 128 250\n");
  ASSERT_TRUE(doc.LoadImageFile(dir.File("walk1.qds")).ok());
  const WorkingImage& image = doc.image();
  using Colours = std::set<std::array<int, 3>>;
  auto shownLineColours = [&] {
    Colours colours;
    const Raster shown = testing::ShownPicture(doc);
    for (std::size_t i = 0; i < image.PixelCount(); ++i) {
      if (!(image.regions.flags[i] & kFlagRegionLine)) continue;
      const uint8_t* p = shown.Row(int(i) / image.width()) + 3 * (int(i) % image.width());
      colours.insert({p[0], p[1], p[2]});
    }
    return colours;
  };
  ASSERT_TRUE(doc.LoadColorSetFile(dir.File("ink.col")).ok());
  ASSERT_TRUE(doc.OpenLineSettings().ok());
  doc.TestSettings(true, progress);
  EXPECT_EQ(shownLineColours(), (Colours{{250, 128, 10}})) << "test settings";
  doc.CancelLineSettings();
  ASSERT_TRUE(doc.MarkRegions(progress).ok());
  EXPECT_EQ(shownLineColours(), (Colours{{250, 128, 10}})) << "mark regions";
  ASSERT_TRUE(doc.EditColor(kLineColor, "LINE", 1, 2, 3).ok());
  EXPECT_EQ(shownLineColours(), (Colours{{3, 2, 1}}));
  ASSERT_TRUE(doc.LoadColorSetFile(dir.File("ink.col")).ok());
  EXPECT_EQ(shownLineColours(), (Colours{{250, 128, 10}})) << "set loaded after marking";
}

TEST_F(AnalyzerDoc, ColorSetHoldsFortyColorsOfEightCharsIsWrittenAsTextAndRefusesABiggerSet) {
  EXPECT_EQ(doc.AddColor("Ochre_red", 200, 120, 40).message(), "Maximum 8 chars!");
  EXPECT_EQ(doc.EditColor(kLineColor, "MagentaXL", 1, 2, 3).message(), "Maximum 8 chars!");
  // Eight characters are the most a name holds, and are taken whole.
  ASSERT_TRUE(doc.AddColor("Umber_dk", 200, 120, 40).ok());
  EXPECT_EQ(doc.colors().entries[3].name, "Umber_dk");
  ASSERT_TRUE(doc.EditColor(3, "Ochre_re", 200, 120, 40).ok());
  EXPECT_EQ(doc.colors().entries[3].name, "Ochre_re");
  ASSERT_TRUE(doc.EditColor(kTransparentColor, "CLEAR", 10, 20, 30).ok());
  for (int i = doc.colors().count; i < 40; ++i)
    ASSERT_TRUE(doc.AddColor("c" + std::to_string(i), i, 2 * i, 300).ok()) << i;
  EXPECT_EQ(doc.AddColor("skin", 1, 2, 3).message(), "Sorry, currently only 40 colors are allowed");
  EXPECT_EQ(doc.currentColor(), 39);
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Maximum 8 chars!", "Maximum 8 chars!",
                                      "Sorry, currently only 40 colors are allowed"}));

  ASSERT_TRUE(doc.SaveColorSetFile(dir.File("walk.col")).ok());
  const std::string saved = testing::ReadText(dir.File("walk.col"));
  EXPECT_TRUE(saved.starts_with("Quenda\n40\nTRANS 10 20 30\nUNFIL 0 255 102\nLINE 255 0 255\n"))
      << saved;
  EXPECT_NE(saved.find("\nc39 39 78 255\n"), std::string::npos);

  // A painter's set with more colours than the analyzer takes is refused, not cut short.
  const auto entries = doc.colors().entries;
  ColorSet big;
  for (int i = 0; i < 38; ++i) quenda::AddColor(big, "p", i, i, i);
  testing::WriteText(dir.File("big.col"), FormatColorSet(big));
  prompt.Clear();
  EXPECT_EQ(doc.LoadColorSetFile(dir.File("big.col")).message(),
            "Sorry, currently only 40 colors are allowed");
  EXPECT_EQ(doc.LoadColorSetFile(dir.File("none.col")).message(), "Error opening colors file");
  EXPECT_EQ(doc.colors().entries, entries);
  EXPECT_EQ(prompt.Texts().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.col")));
}

}  // namespace
}  // namespace quenda

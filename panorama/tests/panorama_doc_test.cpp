#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "common/scripted_prompt.h"
#include "common/studio_picture.h"
#include "common/targa.h"
#include "panorama/core/panorama_doc.h"
#include "panorama/tests/panorama_fixtures.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

class PanoramaDocTest : public ::testing::Test {
 protected:
  void Load(int width = 47, int height = 33) {
    image = MakeImage(width, height);
    mask = MakeMask(width, height, MaskPattern::Random);
    path = WriteBackground(dir, "back.tga", image, mask);
    ASSERT_TRUE(doc.OpenFile(path));
  }

  TempDir dir;
  ScriptedPrompt prompt;
  CPanoramaDoc doc{prompt};
  Raster image, mask;
  std::string path;
};

TEST_F(PanoramaDocTest, SavedBackgroundsReadBackWithTheirMask) {
  Load();
  EXPECT_EQ(std::tuple(doc.image(), doc.mask()), std::tuple(image, mask));
  doc.InvertMask();
  const std::string copy = dir.File("copy.tga");
  ASSERT_TRUE(doc.SaveAs(copy));
  EXPECT_FALSE(doc.modified());
  const Raster saved = doc.mask();
  ASSERT_TRUE(doc.OpenFile(path));
  ASSERT_TRUE(doc.OpenFile(copy));
  EXPECT_EQ(std::tuple(doc.image(), doc.mask()), std::tuple(image, saved));
  EXPECT_EQ(ReadBytes(copy).size(), 18u + 47 * 33 * 4);
}

TEST_F(PanoramaDocTest, PngTiffAndExrBackgroundsOpenWithTheirAlphaAsMaskAndSaveOnlyAsTarga) {
  Load();
  Raster bgra(47, 33, 4);
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) {
      std::copy_n(image.At(x, y), 3, bgra.At(x, y));
      bgra.At(x, y)[3] = mask.At(x, y)[0];
    }
  for (PictureFormat format : {PictureFormat::Png, PictureFormat::Tiff}) {
    const std::string file = dir.File("paint" + std::string(PictureFormatExtension(format)));
    ASSERT_TRUE(WriteStudioPicture(file, bgra, {format}, WriteMessages("x")).ok());
    ASSERT_TRUE(doc.OpenFile(file)) << ::testing::PrintToString(prompt.Texts());
    EXPECT_EQ(std::tuple(doc.image(), doc.mask()), std::tuple(image, mask));
    // Save writes no other format: the window asks for a Targa name instead.
    EXPECT_FALSE(doc.SavesInPlace());
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(doc.SaveAsName(), "paint.tga");
    const auto before = ReadBytes(file);
    doc.InvertMask();
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(ReadBytes(file), before);
    ASSERT_TRUE(doc.SaveAs(dir.File("paint.tga")));
    EXPECT_TRUE(doc.SavesInPlace());
  }
  // An OpenEXR opaque picture comes back to its 8-bit values.
  ASSERT_TRUE(
      WriteStudioPicture(dir.File("sky.exr"), image, {PictureFormat::Exr}, WriteMessages("x"))
          .ok());
  ASSERT_TRUE(doc.OpenFile(dir.File("sky.exr")));
  EXPECT_EQ(doc.image(), image);
  EXPECT_EQ(doc.mask(), Raster(47, 33, 1, 255));
  // A damaged one says the reader's reason and loads nothing.
  prompt.Clear();
  WriteText(dir.File("bad.png"), "not a picture");
  EXPECT_FALSE(doc.OpenFile(dir.File("bad.png")));
  EXPECT_FALSE(doc.loaded());
  ASSERT_EQ(prompt.Texts().size(), 1u);
  EXPECT_EQ(prompt.Texts()[0].rfind("Cannot read picture " + dir.File("bad.png") + ": ", 0), 0u);
}

TEST_F(PanoramaDocTest, AReadOnlyTargetIsKeptAndATruncatedFileLoadsNothing) {
  Load();
  std::vector<uint8_t> bytes = ReadBytes(path);
  MakeReadOnly(path);
  doc.InvertMask();
  EXPECT_FALSE(doc.Save());
  EXPECT_EQ(std::tuple(doc.modified(), ReadBytes(path)), std::tuple(true, bytes));
  MakeWritable(path);
  bytes.pop_back();
  WriteBytes(dir.File("short.tga"), bytes);
  EXPECT_FALSE(doc.OpenFile(dir.File("short.tga")));
  EXPECT_FALSE(doc.loaded());
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Could not write " + path + ", disk full or read only?",
                                      "Truncated image file!"}));
}

TEST_F(PanoramaDocTest, ScannedBitmapsAreTakenOverOrRefused) {
  ScanBitmap colour{3, 2, 24, {}, {}};  // rows of 9 bytes padded to 12
  for (int i = 0; i < 24; ++i) colour.bits.push_back(uint8_t(i));
  ASSERT_TRUE(doc.TakeOverScan(&colour));
  EXPECT_EQ(doc.image().bytes(), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8,  //
                                                       12, 13, 14, 15, 16, 17, 18, 19, 20}));
  EXPECT_EQ(std::tuple(doc.mask(), doc.modified()),
            std::tuple(MakeMask(3, 2, MaskPattern::Opaque), true));

  ScanBitmap grey{2, 1, 8, {{10, 20, 30, 0}, {40, 50, 60, 0}}, {1, 0, 0, 0}};
  ASSERT_TRUE(doc.TakeOverScan(&grey));
  EXPECT_EQ(doc.image().bytes(), (std::vector<uint8_t>{40, 50, 60, 10, 20, 30}));

  ScanBitmap lineArt{8, 1, 1, {}, {0, 0, 0, 0}};
  EXPECT_FALSE(doc.TakeOverScan(&lineArt));
  EXPECT_FALSE(doc.TakeOverScan(nullptr));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                "Only grayscale (8bit) and color (24bit) images are allowed for backgrounds.\n"
                "Please do not scan black and white (1 bit) images for backgrounds.",
                "Could Not Lock Bitmap Memory"}));
  EXPECT_EQ(doc.width(), 2);
}

TEST_F(PanoramaDocTest, UndoReversesEachKindOnceAndZoomStepsThroughScalesAndFractions) {
  Load();
  using Command = void (CPanoramaDoc::*)();
  const std::pair<Command, PanoramaUndo> commands[] = {
      {&CPanoramaDoc::RotateClockwise, PanoramaUndo::RotateClockwise},
      {&CPanoramaDoc::RotateCounterClockwise, PanoramaUndo::RotateCounterClockwise},
      {&CPanoramaDoc::FlipHorizontal, PanoramaUndo::FlipHorizontal},
      {&CPanoramaDoc::FlipVertical, PanoramaUndo::FlipVertical},
      {&CPanoramaDoc::GrowMask, PanoramaUndo::Mask},
      {&CPanoramaDoc::SmoothMask, PanoramaUndo::Mask},
  };
  for (const auto& [command, kind] : commands) {
    (doc.*command)();
    EXPECT_EQ(doc.undoKind(), kind);
    EXPECT_TRUE(doc.image() != image || doc.mask() != mask);
    doc.Undo();
    EXPECT_EQ(std::tuple(doc.undoKind(), doc.image(), doc.mask()),
              std::tuple(PanoramaUndo::None, image, mask));
  }
  // Zoom steps through whole scales and their fractions.
  doc.ZoomOut();
  doc.ZoomOut();
  EXPECT_EQ(doc.zoom(), 1.0 / 3);
  int steps = 0;
  while (doc.CanZoomIn()) doc.ZoomIn(), ++steps;
  EXPECT_EQ(std::tuple(doc.zoom(), steps), std::tuple(11.0, 12));
}

TEST_F(PanoramaDocTest, WholeMaskCommandsAskAndReport) {
  Load(5, 40);
  std::vector<std::string> status;
  doc.SetStatusSink([&](std::string_view text) { status.emplace_back(text); });
  prompt.QueueAnswer(false);
  EXPECT_FALSE(doc.ClearMask());
  EXPECT_EQ(std::tuple(doc.mask(), status), std::tuple(mask, std::vector<std::string>{}));
  prompt.QueueAnswer(true);
  EXPECT_TRUE(doc.FillMask());
  EXPECT_EQ(doc.mask(), MakeMask(5, 40, MaskPattern::Opaque));
  status.clear();
  doc.InvertMask();
  ASSERT_EQ(status.size(), 22u);
  EXPECT_EQ(std::tuple(status.front(), status[1], status.back()),
            std::tuple("Inverting mask...", "Percent Complete 5 %", "Done Invert Mask."));
}

TEST_F(PanoramaDocTest, PolygonClicksAddIgnoreCloseAndStopAtCapacity) {
  Load(100, 100);
  doc.SetRevealMode(true);
  doc.SetTool(PanoramaTool::Polygon);
  const std::tuple<int, int, PolygonClick> clicks[] = {
      {10, 10, PolygonClick::Added},  {10, 10, PolygonClick::Ignored},
      {-1, 5, PolygonClick::Ignored}, {30, 10, PolygonClick::Added},
      {30, 30, PolygonClick::Added},  {30, 10, PolygonClick::Ignored},
      {12, 12, PolygonClick::Closed}};
  for (auto [x, y, result] : clicks) {
    EXPECT_EQ(doc.WouldClosePolygon(x, y), result == PolygonClick::Closed);
    EXPECT_EQ(doc.AddPolygonPoint(x, y), result) << x << "," << y;
  }
  EXPECT_EQ(std::tuple(doc.polygon().size(), *doc.mask().At(25, 12), doc.undoKind()),
            std::tuple(0u, 255, PanoramaUndo::Mask));

  doc.Undo();
  ASSERT_EQ(doc.AddPolygonPoint(0, 0), PolygonClick::Added);
  for (int i = 1; i < kPolygonCapacity; ++i)
    ASSERT_EQ(doc.AddPolygonPoint(10 + i % 50, 10 + i / 50), PolygonClick::Added) << i;
  EXPECT_EQ(doc.AddPolygonPoint(90, 90), PolygonClick::Full);
  EXPECT_EQ(doc.polygon().size(), 500u);
  EXPECT_EQ(doc.AddPolygonPoint(1, 2), PolygonClick::Closed);
}

}  // namespace
}  // namespace quenda

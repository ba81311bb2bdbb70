// The document: opening a sequence, navigation that saves only what changed, the painted
// state, undo through the commands, and what happens around a frame that does not load.
#include "painter/core/painter_doc.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/paint_file.h"
#include "painter/tests/painter_fixtures.h"

namespace quenda {
namespace {

using PainterDoc = testing::TwoBoxDocument;

// Records every hint, in order.
struct HintLog final : PainterListener {
  void OnUpdate(const PainterUpdate& update) override { hints.push_back(update.hint); }
  std::vector<PainterHint> hints;
};

TEST_F(PainterDoc, PickingTheSeventhDrawingShowsTheFirstFrame) {
  testing::WriteTwoBoxes(dir_, "walk", 9);
  prompt_.QueuePath(dir_.File("walk7.qds"));
  ASSERT_TRUE(doc_.OpenSequence());
  EXPECT_EQ(std::tuple(doc_.frameCount(), doc_.currentFrame(), doc_.frameLoaded(), doc_.name()),
            std::tuple(9, 0, true, "walk"));
  EXPECT_EQ(doc_.directory(), dir_.path());
  EXPECT_EQ(doc_.recentFilePath(), dir_.File("walk7.qds"));
  // The missing colour set was made with its message.
  EXPECT_EQ(prompt_.Texts(),
            std::vector<std::string>{"ColorSet Not Found, Creating an new Color Set File for the "
                                     "sequence."});
  EXPECT_TRUE(FrameExists(dir_.File("walk.col")));
}

TEST_F(PainterDoc, RefusedSequencesLeaveTheOpenOneUntouched) {
  Open(3);
  testing::WriteTwoBoxes(dir_, "run", 3);
  std::remove(dir_.File("run2.rgn").c_str());
  ASSERT_TRUE(doc_.NextFrame());
  ClickFill(3, 2);
  EXPECT_FALSE(doc_.OpenSequenceFile(dir_.File("run1.qds")));
  EXPECT_FALSE(doc_.OpenSequenceFile(dir_.File("walk.qds")));
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{
                "The sequence contains one or more unprocessed frames.\nPlease process all "
                "frames of the sequence in Analyzer.\nCan not continue with paint!",
                std::string(kInvalidSequenceFileName)}));
  EXPECT_EQ(doc_.name(), "walk");
  EXPECT_EQ(doc_.currentFrame(), 1);
  EXPECT_EQ(doc_.colors().path, dir_.File("walk.col"));
  EXPECT_FALSE(FrameExists(dir_.File("run.col")));
  EXPECT_TRUE(doc_.frame().paintChanged);  // the unsaved fill is still there to be saved
  EXPECT_FALSE(FrameExists(dir_.File("walk2.pnt")));
}

TEST_F(PainterDoc, BrowsingWritesNoFilesAndShowsNoPaintInfo) {
  Open(4);
  const auto files = testing::ListDirectory(dir_.path());
  EXPECT_FALSE(doc_.CanGoBack());
  EXPECT_FALSE(doc_.PreviousFrame());
  while (doc_.NextFrame()) EXPECT_EQ(doc_.PaintedStateText(), "No Paint Info");
  EXPECT_EQ(doc_.currentFrame(), 3);
  EXPECT_FALSE(doc_.LastFrame());
  ASSERT_TRUE(doc_.FirstFrame());
  ASSERT_TRUE(doc_.LastFrame());
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_EQ(doc_.currentFrame(), 2);
  doc_.Close();
  EXPECT_EQ(testing::ListDirectory(dir_.path()), files);
}

TEST_F(PainterDoc, PaintLeaveAndReloadGivesTheSameFrame) {
  Open(2);
  doc_.AddColor("RED", 200, 0, 0);
  const int red = doc_.currentColor();
  doc_.RegionFillRelease({0, 0}, {1, 1}, testing::At(3, 2), testing::At(3, 2));
  doc_.SetTool(PainterTool::AnimBrush);
  doc_.BrushPress(testing::At(2, 2));
  doc_.BrushMove(testing::At(2, 2), testing::At(5, 3));
  const PainterFrame painted = doc_.frame();
  EXPECT_EQ(doc_.PaintedStateText(), "No Paint Info");  // nothing on disk yet
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_EQ(doc_.frame().regionColor, painted.regionColor);
  EXPECT_EQ(doc_.frame().region, painted.region);
  EXPECT_EQ(doc_.frame().regionColor[testing::RegionAtText(painted.region, 3, 2)], red);
  EXPECT_EQ(doc_.PaintedStateText(), "1 regions not painted");
  ClickFill(10, 2);  // ignored: not the fill tool
  EXPECT_EQ(doc_.PaintedStateText(), "1 regions not painted");
  doc_.SetTool(PainterTool::RegionFill);
  ClickFill(10, 2);
  EXPECT_EQ(doc_.PaintedStateText(), "All regions painted");
  EXPECT_EQ(doc_.FramePaintState(1), PaintState::NoPaintFile);
  EXPECT_EQ(doc_.FramePaintState(0), PaintState::AllPainted);
}

TEST_F(PainterDoc, IconsAndPaintStatesOfOtherFramesComeFromTheirFiles) {
  testing::WriteText(dir_.File("walk3.qds"), "not a drawing");
  testing::WriteText(dir_.File("walk3.rgn"), "nor a region file");
  const int regions = testing::RegionsFromPicture(testing::kTwoBoxes).regionCount;
  const std::vector<int32_t> unfilled(std::size_t(regions) + 2, kUnfilledColor);
  ASSERT_TRUE(WritePaintFile(dir_.File("walk2.pnt"), unfilled).ok());
  Open(2);
  doc_.AddColor("RED", 200, 0, 0);
  ClickFill(3, 2);
  const Raster current = doc_.FrameIcon(0, 8);
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(doc_.PaintedStateText(), "No regions painted");
  EXPECT_EQ(doc_.FramePaintState(1), PaintState::SomeUnpainted);
  EXPECT_EQ(doc_.FrameIcon(0, 8), current);  // now read back from walk1's files
  EXPECT_NE(doc_.FrameIcon(1, 8), current);
  EXPECT_EQ(doc_.FrameIcon(2, 8), Raster(8, 8, 3, 128));
  EXPECT_EQ(doc_.FramePaintState(2), PaintState::NoPaintFile);
}

// Undoing a fill once and only once is the tools' test; the document forgets it on moving on.
TEST_F(PainterDoc, MovingToAnotherFrameForgetsTheUndo) {
  Open(2);
  doc_.AddColor("A", 1, 2, 3);
  ClickFill(3, 2);
  ASSERT_TRUE(doc_.frame().undoAvailable());
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_FALSE(doc_.Undo());
}

TEST_F(PainterDoc, ChangedColoursRedrawAllIconsOnceBeforeTheFrameIsSaved) {
  Open(3);
  HintLog log;
  doc_.AddListener(&log);
  doc_.EditColor("TRANS", 9, 9, 9);
  EXPECT_TRUE(doc_.iconsStale());
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(std::count(log.hints.begin(), log.hints.end(), PainterHint::RedrawIcons), 1);
  const auto icons = std::find(log.hints.begin(), log.hints.end(), PainterHint::RedrawIcons);
  EXPECT_LT(icons, std::find(log.hints.begin(), log.hints.end(), PainterHint::FrameSaved));
  EXPECT_FALSE(doc_.iconsStale());
  EXPECT_EQ(doc_.colors().entries[0].name, "TRANS");
  doc_.RemoveListener(&log);
}

TEST_F(PainterDoc, AFrameThatFailsToLoadTakesNoEditsAndWritesNothing) {
  Open(3);
  testing::WriteText(dir_.File("walk2.rgn"), "garbage");
  doc_.AddColor("RED", 200, 0, 0);
  ClickFill(3, 2);
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(prompt_.Texts().size(), 2u);             // the frame's load messages
  EXPECT_TRUE(FrameExists(dir_.File("walk1.pnt")));  // the frame left was saved
  EXPECT_FALSE(doc_.frameLoaded());
  ClickFill(3, 2);
  doc_.SetTool(PainterTool::RubberRect);
  doc_.RectangleRelease({0, 0}, {10, 5});
  EXPECT_FALSE(doc_.Undo());
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_TRUE(doc_.frameLoaded());
  EXPECT_FALSE(FrameExists(dir_.File("walk2.pnt")));
  EXPECT_EQ(testing::ReadText(dir_.File("walk2.rgn")), "garbage");
}

}  // namespace
}  // namespace quenda

// The document: opening a sequence, navigation that saves only what changed, the painted
// state, undo through the commands, and what happens around a frame that does not load.
#include "painter/core/painter_doc.h"

#include <gtest/gtest.h>

#include "common/paint_file.h"
#include "common/scripted_prompt.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

const std::vector<std::string> kTwoBoxes = {
    "...............",  //
    ".#############.",  //
    ".#.....#.....#.",  //
    ".#.....#.....#.",  //
    ".#############.",  //
    "...............",  //
};

// Records every hint, in order.
struct HintLog final : PainterListener {
  void OnUpdate(const PainterUpdate& update) override { hints.push_back(update.hint); }
  int Count(PainterHint hint) const { return int(std::count(hints.begin(), hints.end(), hint)); }
  std::vector<PainterHint> hints;
};

// walk1 .. walkN from the two-box picture.
void WriteBoxes(const TempDir& dir, const std::string& name, int frames) {
  const RegionData region = testing::RegionsFromPicture(kTwoBoxes);
  for (int i = 1; i <= frames; ++i)
    testing::WriteFrameFiles(dir.path(), name, std::to_string(i), region);
}

// The image point of a picture text position.
ImagePoint At(int column, int rowFromTop) {
  return {column, int(kTwoBoxes.size()) - 1 - rowFromTop};
}

TEST(PainterDocOpen, PickingTheSeventhDrawingShowsTheFirstFrame) {
  TempDir dir;
  WriteBoxes(dir, "walk", 9);
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  prompt.QueuePath(dir.File("walk7.qds"));
  ASSERT_TRUE(doc.OpenSequence());
  EXPECT_TRUE(doc.sequenceOpen());
  EXPECT_EQ(doc.frameCount(), 9);
  EXPECT_EQ(doc.currentFrame(), 0);
  EXPECT_EQ(doc.name(), "walk");
  EXPECT_EQ(doc.directory(), dir.path());
  EXPECT_EQ(doc.recentFilePath(), dir.File("walk7.qds"));
  EXPECT_EQ(doc.viewMode(), ViewMode::RegionsPainted);
  EXPECT_EQ(doc.tool(), PainterTool::RegionFill);
  EXPECT_EQ(doc.brushSize(), 4);
  EXPECT_TRUE(doc.frameLoaded());
  // The missing colour set was made with its message.
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{std::string(kColorSetNotFoundMessage)});
  EXPECT_TRUE(FrameExists(dir.File("walk.col")));
}

TEST(PainterDocOpen, RefusedSequencesLeaveTheOpenOneUntouched) {
  TempDir dir;
  WriteBoxes(dir, "walk", 3);
  WriteBoxes(dir, "run", 3);
  std::remove(dir.File("run2.rgn").c_str());
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  ASSERT_TRUE(doc.NextFrame());
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  prompt.Clear();

  EXPECT_FALSE(doc.OpenSequenceFile(dir.File("run1.qds")));
  EXPECT_FALSE(doc.OpenSequenceFile(dir.File("walk.qds")));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{std::string(kUnprocessedFrames),
                                                      std::string(kInvalidSequenceFileName)}));
  EXPECT_EQ(doc.name(), "walk");
  EXPECT_EQ(doc.currentFrame(), 1);
  EXPECT_EQ(doc.colors().path, dir.File("walk.col"));
  EXPECT_FALSE(FrameExists(dir.File("run.col")));
  EXPECT_TRUE(doc.frame().paintChanged);  // the unsaved fill is still there to be saved
  EXPECT_FALSE(FrameExists(dir.File("walk2.pnt")));
}

TEST(PainterDocNavigation, BrowsingWritesNoFilesAndShowsNoPaintInfo) {
  TempDir dir;
  WriteBoxes(dir, "walk", 4);
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  const auto files = testing::ListDirectory(dir.path());
  EXPECT_FALSE(doc.CanGoBack());
  EXPECT_FALSE(doc.PreviousFrame());
  while (doc.NextFrame()) EXPECT_EQ(doc.PaintedStateText(), std::string(kNoPaintInfo));
  EXPECT_EQ(doc.currentFrame(), 3);
  EXPECT_FALSE(doc.LastFrame());
  ASSERT_TRUE(doc.FirstFrame());
  ASSERT_TRUE(doc.LastFrame());
  ASSERT_TRUE(doc.PreviousFrame());
  EXPECT_EQ(doc.currentFrame(), 2);
  doc.Close();
  EXPECT_EQ(testing::ListDirectory(dir.path()), files);
}

TEST(PainterDocNavigation, PaintLeaveAndReloadGivesTheSameFrame) {
  TempDir dir;
  WriteBoxes(dir, "walk", 2);
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  doc.AddColor("RED", 200, 0, 0);
  const int red = doc.currentColor();
  doc.RegionFillRelease({0, 0}, {1, 1}, At(3, 2), At(3, 2));
  doc.SetTool(PainterTool::AnimBrush);
  doc.BrushPress(At(2, 2));
  doc.BrushMove(At(2, 2), At(5, 3));
  const PainterFrame painted = doc.frame();
  EXPECT_EQ(doc.PaintedStateText(), std::string(kNoPaintInfo));  // nothing on disk yet
  ASSERT_TRUE(doc.NextFrame());
  ASSERT_TRUE(doc.PreviousFrame());
  EXPECT_EQ(doc.frame().regionColor, painted.regionColor);
  EXPECT_EQ(doc.frame().region, painted.region);
  EXPECT_EQ(doc.frame().regionColor[testing::RegionAtText(painted.region, 3, 2)], red);
  EXPECT_EQ(doc.PaintedStateText(), "1 regions not painted");
  doc.RegionFillRelease({0, 0}, {0, 0}, At(10, 2), At(10, 2));  // ignored: not the fill tool
  EXPECT_EQ(doc.PaintedStateText(), "1 regions not painted");
  doc.SetTool(PainterTool::RegionFill);
  doc.RegionFillRelease({0, 0}, {0, 0}, At(10, 2), At(10, 2));
  EXPECT_EQ(doc.PaintedStateText(), std::string(kAllRegionsPainted));
  EXPECT_EQ(doc.FramePaintState(1), PaintState::NoPaintFile);
  EXPECT_EQ(doc.FramePaintState(0), PaintState::AllPainted);
}

TEST(PainterDocNavigation, IconsOfOtherFramesComeFromTheirFiles) {
  TempDir dir;
  WriteBoxes(dir, "walk", 2);
  testing::WriteText(dir.File("walk3.qds"), "not a drawing");
  testing::WriteText(dir.File("walk3.rgn"), "nor a region file");
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  doc.AddColor("RED", 200, 0, 0);
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  const Raster current = doc.FrameIcon(0, 8);
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_EQ(doc.FrameIcon(0, 8), current);  // now read back from walk1's files
  EXPECT_NE(doc.FrameIcon(1, 8), current);
  EXPECT_EQ(doc.FrameIcon(2, 8), Raster(8, 8, 3, 128));
  EXPECT_EQ(doc.FramePaintState(2), PaintState::NoPaintFile);
}

TEST(PainterDocNavigation, EveryRegionUnfilledHasItsOwnWording) {
  TempDir dir;
  WriteBoxes(dir, "walk", 1);
  const RegionData region = testing::RegionsFromPicture(kTwoBoxes);
  std::vector<int32_t> unfilled(std::size_t(region.regionCount) + 2, kUnfilledColor);
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), unfilled).ok());
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  EXPECT_EQ(doc.PaintedStateText(), std::string(kNoRegionPainted));
  EXPECT_EQ(doc.FramePaintState(0), PaintState::SomeUnpainted);
}

TEST(PainterDocUndo, UndoRevertsExactlyTheLastFill) {
  TempDir dir;
  WriteBoxes(dir, "walk", 2);
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  EXPECT_FALSE(doc.Undo());
  doc.AddColor("A", 1, 2, 3);
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  const auto afterFirst = doc.frame().regionColor;
  doc.AddColor("B", 4, 5, 6);
  doc.RegionFillRelease({0, 0}, {0, 0}, At(10, 2), At(10, 2));
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.frame().regionColor, afterFirst);
  EXPECT_FALSE(doc.Undo());
  // Undo is per frame: moving on forgets it.
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_FALSE(doc.Undo());
}

TEST(PainterDocNavigation, ChangedColoursRedrawAllIconsOnceBeforeTheFrameIsSaved) {
  TempDir dir;
  WriteBoxes(dir, "walk", 3);
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  HintLog log;
  doc.AddListener(&log);
  doc.EditColor("TRANS", 9, 9, 9);
  EXPECT_TRUE(doc.iconsStale());
  ASSERT_TRUE(doc.NextFrame());
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_EQ(log.Count(PainterHint::RedrawIcons), 1);
  const auto icons = std::find(log.hints.begin(), log.hints.end(), PainterHint::RedrawIcons);
  const auto saved = std::find(log.hints.begin(), log.hints.end(), PainterHint::FrameSaved);
  EXPECT_LT(icons - log.hints.begin(), saved - log.hints.begin());
  EXPECT_FALSE(doc.iconsStale());
  EXPECT_EQ(doc.colors().entries[0].name, "TRANS");
  doc.RemoveListener(&log);
}

TEST(PainterDocNavigation, AFrameThatFailsToLoadTakesNoEditsAndWritesNothing) {
  TempDir dir;
  WriteBoxes(dir, "walk", 3);
  testing::WriteText(dir.File("walk2.rgn"), "garbage");
  ScriptedPrompt prompt;
  CPainterDoc doc(prompt);
  ASSERT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
  doc.AddColor("RED", 200, 0, 0);
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  prompt.Clear();
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Incorrect region file version :" + dir.File("walk2.rgn"),
                                      "Fatal: Region file invalid: " + dir.File("walk2.qds")}));
  EXPECT_TRUE(FrameExists(dir.File("walk1.pnt")));  // the frame left was saved
  EXPECT_FALSE(doc.frameLoaded());
  doc.RegionFillRelease({0, 0}, {0, 0}, At(3, 2), At(3, 2));
  doc.SetTool(PainterTool::RubberRect);
  doc.RectangleRelease({0, 0}, {10, 5});
  EXPECT_FALSE(doc.Undo());
  ASSERT_TRUE(doc.NextFrame());
  EXPECT_TRUE(doc.frameLoaded());
  EXPECT_FALSE(FrameExists(dir.File("walk2.pnt")));
  EXPECT_EQ(testing::ReadText(dir.File("walk2.rgn")), "garbage");
}

}  // namespace
}  // namespace quenda

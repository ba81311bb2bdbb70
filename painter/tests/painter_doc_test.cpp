// The document: opening a sequence, navigation that saves only what changed, the painted
// state, undo through the commands, and what happens around a frame that does not load.
#include "painter/core/painter_doc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <tuple>

#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_frame.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;
using PainterDoc = TwoBoxDocument;

// Records every hint, in order.
struct HintLog final : PainterListener {
  void OnUpdate(const PainterUpdate& update) override { hints.push_back(update.hint); }
  std::vector<PainterHint> hints;
};

TEST_F(PainterDoc, PickingTheSeventhDrawingShowsTheFirstFrameAndRefusedSequencesLeaveItOpen) {
  testing::WriteTwoBoxes(dir_, "walk", 9);
  prompt_.QueuePath(dir_.File("walk7.qds"));
  ASSERT_TRUE(doc_.OpenSequence());
  EXPECT_EQ(std::tuple(doc_.frameCount(), doc_.currentFrame(), doc_.frameLoaded(), doc_.name(),
                       doc_.directory(), doc_.recentFilePath()),
            std::tuple(9, 0, true, "walk", dir_.path(), dir_.File("walk7.qds")));
  // The missing colour set was made with its message.
  EXPECT_EQ(prompt_.Texts(),
            std::vector<std::string>{"ColorSet Not Found, Creating an new Color Set File for the "
                                     "sequence."});
  EXPECT_TRUE(FrameExists(dir_.File("walk.col")));
  // Sequences refused afterwards leave the open one untouched.
  prompt_.Clear();
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
                "Invalid filename format or there is no number found on filename!"}));
  // The unsaved fill is still there to be saved.
  EXPECT_EQ(
      std::tuple(doc_.name(), doc_.currentFrame(), doc_.colors().path, doc_.frame().paintChanged),
      std::tuple("walk", 1, dir_.File("walk.col"), true));
  EXPECT_FALSE(FrameExists(dir_.File("run.col")) || FrameExists(dir_.File("walk2.pnt")));
}

TEST_F(PainterDoc, BrowsingWritesNoFilesAndPaintLeaveAndReloadGiveTheSameFrame) {
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
  // Opened again: paint, leave and reload give the same frame.
  ASSERT_TRUE(doc_.OpenSequenceFile(dir_.File("walk1.qds")));
  doc_.AddColor("RED", 200, 0, 0);
  const int red = doc_.currentColor();
  doc_.RegionFillRelease({0, 0}, {1, 1}, testing::At(3, 2), testing::At(3, 2));
  doc_.SetTool(PainterTool::AnimBrush);
  doc_.BrushPress(testing::At(2, 2));
  doc_.BrushMove(testing::At(2, 2), testing::At(5, 3));
  const PainterFrame painted = doc_.frame();
  EXPECT_EQ(doc_.PaintedStateText(), "No Paint Info");  // nothing on disk yet
  ASSERT_TRUE(doc_.frame().undoAvailable());
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_FALSE(doc_.Undo());  // moving to another frame forgets it
  EXPECT_EQ(std::tie(doc_.frame().regionColor, doc_.frame().region),
            std::tie(painted.regionColor, painted.region));
  EXPECT_EQ(doc_.frame().regionColor[testing::RegionAtText(painted.region, 3, 2)], red);
  EXPECT_EQ(doc_.PaintedStateText(), "1 regions not painted");
  ClickFill(10, 2);  // ignored: not the fill tool
  EXPECT_EQ(doc_.PaintedStateText(), "1 regions not painted");
  doc_.SetTool(PainterTool::RegionFill);
  ClickFill(10, 2);
  // The status pane tells the frame in hand; the strip what its files hold until it is left.
  EXPECT_EQ(std::tuple(doc_.PaintedStateText(), doc_.FramePaintState(1), doc_.FramePaintState(0)),
            std::tuple("All regions painted", PaintState::NoPaintFile, PaintState::SomeUnpainted));
  ASSERT_TRUE(doc_.NextFrame());
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
  const Raster unpainted = doc_.FrameIcon(0, 8);
  ClickFill(3, 2);
  // Until the frame is left its files hold no paint, and its icon says so.
  const Raster current =
      ComposeFrameIcon(doc_.frame().region, doc_.frame().regionColor, doc_.colors(), 8);
  EXPECT_EQ(doc_.FrameIcon(0, 8), unpainted);
  EXPECT_NE(current, unpainted);
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(std::tuple(doc_.PaintedStateText(), doc_.FramePaintState(1), doc_.FramePaintState(2)),
            std::tuple("No regions painted", PaintState::SomeUnpainted, PaintState::NoPaintFile));
  EXPECT_EQ(doc_.FrameIcon(0, 8), current);  // now read back from walk1's files
  EXPECT_NE(doc_.FrameIcon(1, 8), current);
  EXPECT_EQ(doc_.FrameIcon(2, 8), Raster(8, 8, 3, 128));
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
  EXPECT_EQ(std::tuple(doc_.iconsStale(), doc_.colors().entries[0].name),
            std::tuple(false, "TRANS"));
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
  EXPECT_EQ(std::tuple(doc_.frameLoaded(), FrameExists(dir_.File("walk2.pnt")),
                       testing::ReadText(dir_.File("walk2.rgn"))),
            std::tuple(true, false, "garbage"));
}

// A paint file that cannot be written: the paint stays marked, the strip shows the file, and
// leaving asks. Stay keeps the frame, Retry writes once the file can be, Discard lets it go.
TEST_F(PainterDoc, PaintThatFailedToSaveIsKeptAndLeavingAsksToRetryDiscardOrStay) {
  const std::string question =
      "Frame Not Saved\nThe changes to walk1 could not be saved.\n[Retry] [Discard] [Stay]";
  const std::string refused = "Fatal: Error opening paint file writing: maybe readonly?";
  const auto defaults = DefaultPaint(testing::RegionsFromPicture(kTwoBoxes).regionCount);
  ASSERT_TRUE(WritePaintFile(dir_.File("walk1.pnt"), defaults).ok());
  ASSERT_TRUE(WritePaintFile(dir_.File("walk2.pnt"), defaults).ok());
  Open(3);
  const Raster onDisk = doc_.FrameIcon(0, 8);
  testing::MakeReadOnly(dir_.File("walk1.pnt"));
  doc_.AddColor("RED", 200, 0, 0);
  prompt_.Clear();
  ClickFill(3, 2);
  const auto painted = doc_.frame().regionColor;

  // Stay, and the same with nobody to answer: nothing moves and nothing is forgotten.
  prompt_.QueueChoice(kStayOnFrame);
  EXPECT_FALSE(doc_.NextFrame());
  EXPECT_FALSE(doc_.LastFrame());
  EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{refused, question, refused, question}));
  EXPECT_EQ(std::tuple(doc_.currentFrame(), doc_.frame().paintChanged, doc_.frame().regionColor,
                       doc_.frameModified()),
            std::tuple(0, true, painted, true));
  EXPECT_EQ(doc_.FrameIcon(0, 8), onDisk);
  EXPECT_EQ(doc_.FramePaintState(0), PaintState::SomeUnpainted);
  EXPECT_EQ(testing::ReadBytes(dir_.File("walk1.pnt")), EncodePaintFile(defaults));
  prompt_.QueueChoice(kStayOnFrame);
  EXPECT_FALSE(doc_.Close());

  // Retry writes again (and asks again while it fails); once the file can be written the
  // paint reaches it and the move goes on.
  prompt_.Clear();
  prompt_.QueueChoice(kRetrySave);
  prompt_.QueueChoice(kStayOnFrame);
  EXPECT_FALSE(doc_.SelectFrame(1));
  EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{refused, question, refused, question}));
  testing::MakeWritable(dir_.File("walk1.pnt"));
  EXPECT_TRUE(doc_.SelectFrame(1));
  EXPECT_EQ(testing::ReadBytes(dir_.File("walk1.pnt")), EncodePaintFile(painted));
  EXPECT_TRUE(prompt_.AllAnswersUsed());

  // Discard: the frame is left and its file keeps what it held.
  testing::MakeReadOnly(dir_.File("walk2.pnt"));
  ClickFill(3, 2);
  prompt_.Clear();
  prompt_.QueueChoice(kDiscardChanges);
  EXPECT_TRUE(doc_.NextFrame());
  EXPECT_EQ(prompt_.Texts(),
            (std::vector<std::string>{refused,
                                      "Frame Not Saved\nThe changes to walk2 could not be "
                                      "saved.\n[Retry] [Discard] [Stay]"}));
  EXPECT_EQ(std::tuple(doc_.currentFrame(), testing::ReadBytes(dir_.File("walk2.pnt"))),
            std::tuple(2, EncodePaintFile(defaults)));
  EXPECT_TRUE(doc_.Close());
}

// A paint file made for other regions (the drawing was analyzed again): it is told, naming both
// files, the frame shows unpainted, and the first new paint sets the old file aside.
TEST_F(PainterDoc, APaintFileThatDoesNotFitItsRegionsIsToldShownUnpaintedAndSetAside) {
  const std::vector<uint8_t> stale{0, 0, 5, 0, 6, 0};  // two regions: the frame has more
  testing::WriteBytes(dir_.File("walk1.pnt"), stale);
  testing::WriteBytes(dir_.File("walk1.pnt.stale"), {7});  // an older one, kept too
  Open(2);  // the prompt is cleared by Open; load again to see the message
  ASSERT_TRUE(doc_.OpenSequenceFile(dir_.File("walk1.qds")));
  EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{StalePaintWarning(dir_.File("walk1.pnt"),
                                                                        dir_.File("walk1.rgn"))});
  EXPECT_EQ(doc_.frame().regionColor, DefaultPaint(doc_.frame().regionCount()));
  // Looking on writes nothing and moves nothing.
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.PreviousFrame());
  EXPECT_EQ(testing::ReadBytes(dir_.File("walk1.pnt")), stale);
  doc_.AddColor("RED", 200, 0, 0);
  ClickFill(3, 2);
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_EQ(std::tuple(testing::ReadBytes(dir_.File("walk1.pnt.stale")),
                       testing::ReadBytes(dir_.File("walk1.pnt.stale2")),
                       testing::ReadBytes(dir_.File("walk1.pnt")).size()),
            std::tuple(std::vector<uint8_t>{7}, stale,
                       std::size_t(PaintFileSize(doc_.frame().regionCount()))));
}

}  // namespace
}  // namespace quenda

// Editing commands: transfer, clipboard, timing changes, levels, frames, undo and the clicks
// of the sheet view.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/sheet_view_geometry.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

class SheetCommands : public SheetDocument {
 protected:
  void SetUp() override { AddSequences(doc, dir, {"Ann", "Bob"}, 8); }
  void Select(int firstLevel, int firstFrame, int lastLevel, int lastFrame) {
    doc.SetSelection({firstLevel, firstFrame, lastLevel, lastFrame});
  }
};

struct Transfer {
  int sequence;
  std::vector<int> pictures;
  int frame, spacing;
};
enum class Mode { Insert, Overwrite };
using Command = void (CDopegridDoc::*)();

// Transfers on level 0, then `command` on its frames first..last; level 0 from frame `shown`.
void ExpectLevelAfter(const char* what, Mode mode, const std::vector<Transfer>& transfers,
                      Command command, int first, int last, int shown,
                      const std::string& expected) {
  SCOPED_TRACE(what);
  TempDir dir;
  ScriptedPrompt prompt;
  CDopegridDoc doc(prompt);
  AddSequences(doc, dir, {"Ann", "Bob"}, 8);
  if (mode == Mode::Overwrite) doc.ToggleInsertMode();
  for (const Transfer& t : transfers)
    TransferAt(doc, t.sequence, t.pictures, 0, t.frame, t.spacing);
  doc.SetSelection({0, first, 0, last});
  if (command) (doc.*command)();
  int count = int(std::count(expected.begin(), expected.end(), ' ')) + 1;
  EXPECT_EQ(LevelText(doc, 0, shown, count), expected);
  EXPECT_EQ(doc.sheet().frameCount, 100);
}

TEST(SheetTiming, TransferCondenseExpandAndReverse) {
  const Mode I = Mode::Insert;
  ExpectLevelAfter("insert pushes the level down", I,
                   {{1, {0, 1, 2, 3, 4, 5, 6, 7}, 0, 1}, {1, {0, 1}, 10, 1}, {0, {2, 3, 4}, 10, 2}},
                   nullptr, 0, 0, 7, "B8 . . A3 \" A4 \" A5 \" B1 B2 .");
  ExpectLevelAfter("transfer stops at the last frame", I, {{0, {0, 1, 2}, 97, 2}}, nullptr, 0, 0,
                   96, ". A1 \" A2 .");
  ExpectLevelAfter("overwrite moves nothing", Mode::Overwrite,
                   {{0, {0, 1, 2, 3}, 0, 1}, {1, {5}, 1, 2}}, nullptr, 0, 0, 0, "A1 B6 \" A4 .");
  ExpectLevelAfter("the same drawing again is a hold", I, {{0, {2}, 0, 1}, {0, {2}, 1, 1}}, nullptr,
                   0, 0, 0, "A3 \"");
  ExpectLevelAfter("condense drops the last hold of each exposure", I,
                   {{0, {0}, 0, 3}, {1, {0}, 3, 1}}, &CDopegridDoc::Condense, 0, 3, 0,
                   "A1 \" B1 .");
  ExpectLevelAfter("condense empties the cell left at the bottom", Mode::Overwrite,
                   {{0, {1}, 95, 5}, {1, {0}, 93, 2}}, &CDopegridDoc::Condense, 93, 99, 93,
                   "B1 A2 \" \" \" \" .");
  ExpectLevelAfter("expand adds one hold per exposure", I, {{0, {0}, 0, 2}, {1, {0}, 2, 1}},
                   &CDopegridDoc::Expand, 0, 2, 0, "A1 \" \" B1 \" .");
  ExpectLevelAfter("expand pushes nothing off the sheet unasked", I, {{0, {0, 1, 2}, 97, 1}},
                   &CDopegridDoc::Expand, 0, 99, 97, "A1 A2 A3");
  ExpectLevelAfter("reverse turns keys around", I, {{0, {0, 1, 2, 3}, 0, 1}},
                   &CDopegridDoc::Reverse, 0, 3, 0, "A4 A3 A2 A1");
  ExpectLevelAfter("reverse rederives holds", I, {{1, {0}, 10, 2}, {1, {1}, 12, 1}},
                   &CDopegridDoc::Reverse, 10, 12, 10, "B2 B1 \"");
}

TEST_F(SheetCommands, ExpandAsksBeforeItPushesCellsOffTheEndAndYesLetsThemGo) {
  doc.AddLevel("b");
  TransferAt(doc, 0, {0, 1, 2}, 0, 97, 1);  // A1 A2 A3 on the last three frames
  TransferAt(doc, 1, {0}, 1, 99, 1);        // B1 on the last frame of the other level
  Select(0, 90, 1, 99);
  // A3 falls off; kept, the exposures would run to frame 103.
  EXPECT_EQ(std::tuple(doc.ExpandLostCells(), doc.FramesExpandNeeds()), std::tuple(1, 103));
  const CSheetGrid before = doc.sheet();
  for (bool yes : {false, true}) {
    prompt.Clear();
    prompt.QueueAnswer(yes);
    doc.Expand();
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{"Expanding pushes 1 cell past the last frame of the "
                                       "sheet, where it is lost.\nExpand anyway?"});
    if (!yes) {
      EXPECT_EQ(doc.sheet(), before);
    }
  }
  EXPECT_EQ(std::tuple(LevelText(doc, 0, 96, 4), LevelText(doc, 1, 99, 1)),
            std::tuple(". A1 \" A2", "B1"));
  doc.Undo();
  EXPECT_EQ(doc.sheet(), before);

  // Room for every pushed cell: nothing is lost, so nothing is asked.
  prompt.Clear();
  doc.AddFrames(3);
  EXPECT_EQ(doc.ExpandLostCells(), 0);
  doc.Expand();
  EXPECT_TRUE(prompt.Texts().empty());
  EXPECT_EQ(std::tuple(LevelText(doc, 0, 97, 6), LevelText(doc, 1, 99, 3)),
            std::tuple("A1 \" A2 \" A3 \"", "B1 \" ."));
  EXPECT_EQ(ExpandLossQuestion(3),
            "Expanding pushes 3 cells past the last frame of the sheet, where they are lost.\n"
            "Expand anyway?");
}

TEST_F(SheetCommands, PasteIsClippedToTheLevelsAndFramesInUse) {
  doc.AddLevel("b");
  doc.AddLevel("c");
  for (int l = 0; l < 3; ++l) TransferAt(doc, 0, {l, l + 3, l}, l, 0, 1);
  Select(0, 0, 2, 2);
  doc.Copy();
  EXPECT_EQ(std::tuple(doc.clipboard().levelCount, doc.clipboard().frameCount), std::tuple(3, 3));
  doc.SetCurrentCell(2, 98);
  doc.Paste();
  EXPECT_EQ(std::tuple(LevelText(doc, 2, 97, 3), LevelText(doc, 1, 97, 3)),
            std::tuple(". A1 A4", ". . ."));
}

TEST_F(SheetCommands, UndoAfterCutRestoresTheCellsOnce) {
  TransferAt(doc, 0, {0, 1}, 0, 0, 2);
  Select(0, 1, 0, 2);
  doc.Cut();
  EXPECT_EQ(std::tuple(LevelText(doc, 0, 0, 4), doc.sheet().Cell(0, 3).kind),
            std::tuple("A1 . . A2", CellKind::Key));
  doc.Undo();
  EXPECT_EQ(LevelText(doc, 0, 0, 4), "A1 \" A2 \"");
  EXPECT_FALSE(doc.undoAvailable());
  doc.Undo();
  EXPECT_EQ(LevelText(doc, 0, 0, 4), "A1 \" A2 \"");
}

TEST_F(SheetCommands, NewLevelsGoInFrontAndACancelledOneStillTakesTheUndoCopy) {
  TransferAt(doc, 0, {0}, 0, 0, 1);
  doc.AddLevel(std::nullopt);
  doc.Undo();
  EXPECT_EQ(LevelText(doc, 0, 0, 1), "A1");
  doc.AddLevel("second");
  doc.AddLevel("third");
  EXPECT_EQ(std::tuple(doc.sheet().LevelName(0), doc.sheet().LevelName(1), LevelText(doc, 2, 0, 1),
                       LevelText(doc, 0, 0, 1)),
            std::tuple("third", "second", "A1", "."));
}

TEST_F(SheetCommands, LevelLimitAndLevelMessages) {
  for (int i = 1; i < kMaxLevels; ++i) doc.AddLevel("x");
  doc.AddLevel("more");
  EXPECT_EQ(std::tuple(prompt.Texts().back(), doc.sheet().levelCount),
            std::tuple("Sorry, Maximum Level Number Reached!", 49));

  EXPECT_FALSE(doc.SwapLevels(std::vector<int>{1, 2, 3}));
  EXPECT_EQ(prompt.Texts().back(), "You must select exactly two levels to swap their places.");

  CDopegridDoc single(prompt);
  EXPECT_FALSE(single.CanDeleteLevelOrSay());
  EXPECT_FALSE(single.CanSwapLevelsOrSay());
  EXPECT_EQ(prompt.Texts().back(), "There is only one level, Cannot swap levels");
}

TEST_F(SheetCommands, DeleteLevelAsksAndClampsTheCursor) {
  doc.AddLevel("front");
  doc.SetCurrentCell(1, 5);
  prompt.QueueAnswer(false);
  doc.DeleteLevel(1);
  EXPECT_EQ(doc.sheet().levelCount, 2);
  prompt.QueueAnswer(true);
  doc.DeleteLevel(1);
  EXPECT_EQ(std::tuple(prompt.Texts().back(), doc.sheet().levelCount, doc.currentLevel()),
            std::tuple("Are you sure you want to delete level \"default\"", 1, 0));
}

TEST_F(SheetCommands, DeletingFramesPullsTheSoundStartBackAndBadNamesAreNoSequence) {
  ASSERT_TRUE(doc.SetSoundSettings(25, 15));
  doc.DeleteFrames(90);
  EXPECT_EQ(std::tuple(doc.sheet().frameCount, doc.sound().startFrame), std::tuple(10, 9));
  EXPECT_FALSE(doc.SetSoundSettings(25, 10));
  EXPECT_EQ(prompt.Texts().back(), "The start frame must be between 1 and 9.");

  EXPECT_FALSE(doc.AddSequenceFile(dir.File("1234.qds")));
  EXPECT_EQ(prompt.Texts().back(),
            "Invalid filename format or there is no number found on filename!");
  prompt.QueuePath(std::nullopt);
  EXPECT_FALSE(doc.AddSequence());
  EXPECT_EQ(doc.sequenceCount(), 2);
}

TEST_F(SheetCommands, RemovingASequenceRenumbersSheetUndoAndClipboard) {
  TransferAt(doc, 0, {0}, 0, 0, 1);
  TransferAt(doc, 1, {1}, 0, 1, 1);
  Select(0, 0, 0, 1);
  doc.Copy();
  TransferAt(doc, 1, {2}, 0, 2, 1);  // the undo copy holds A1 B2
  doc.SelectSequence(0);
  prompt.QueueAnswer(true);
  doc.RemoveSequence();
  EXPECT_EQ(
      std::tuple(prompt.Texts().back(), doc.sequenceCount(), LevelText(doc, 0, 0, 3)),
      std::tuple("All cells from this sequence will be removed!\nAre You Sure?", 1, ". B2 B3"));
  doc.Undo();
  EXPECT_EQ(LevelText(doc, 0, 0, 3), ". B2 .");
  doc.SetCurrentCell(0, 10);
  doc.Paste();
  EXPECT_EQ(LevelText(doc, 0, 10, 2), ". B2");
}

TEST_F(SheetCommands, ClicksSetCurrentCellAndSelectionAndListenersHearHints) {
  doc.AddLevel("front");
  // Level 1, frame 3 with the view scrolled by one frame.
  auto hit = HitTest(doc.sheet(), 35 + 75 + 10, 50 + 2 * 25 + 3, 0, 1);
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (SheetHit{1, 3, false}));
  ClickSheet(doc, *hit, 1);
  EXPECT_EQ(doc.selection(), (SheetSelection{1, 3, 1, 3}));
  ShiftClickSheet(doc, *HitTest(doc.sheet(), 40, 50 + 25 * 8, 0, 0));
  EXPECT_EQ(std::tuple(doc.selection(), doc.currentFrame()),
            std::tuple(SheetSelection{0, 3, 1, 8}, 3));

  auto heading = HitTest(doc.sheet(), 35 + 75, 30, 0, 4);
  ASSERT_TRUE(heading && heading->inHeading);
  ClickSheet(doc, *heading, 4);
  EXPECT_EQ(std::tuple(doc.selection(), doc.currentFrame()),
            std::tuple(SheetSelection{1, 0, 1, 99}, 4));
  EXPECT_FALSE(HitTest(doc.sheet(), 100, 10, 0, 0));
  EXPECT_EQ(HitTest(doc.sheet(), 5000, 99999, 0, 0), (SheetHit{1, 99, false}));  // clamped

  ClickSheet(doc, *HitTest(doc.sheet(), 40, 60, 0, 0), 0);
  DragSheet(doc, *HitTest(doc.sheet(), 120, 50 + 25 * 5, 0, 0), false);
  EXPECT_EQ(doc.selection(), (SheetSelection{0, 0, 1, 5}));

  struct Recorder final : SheetListener {
    void OnUpdate(const SheetHint& hint) override { hints.push_back(hint); }
    std::vector<SheetHint> hints;
  } recorder;
  doc.AddListener(&recorder);
  TransferAt(doc, 0, {0}, 0, 0, 1);
  doc.SelectAll();
  doc.Undo();
  doc.RemoveListener(&recorder);
  doc.Undo();
  EXPECT_EQ(recorder.hints, (std::vector<SheetHint>{SheetHint::Pictures, SheetHint::Sheet,
                                                    SheetHint::SelectAllPictures, SheetHint::All}));
  EXPECT_EQ(doc.selectedPictures().size(), 8u);
}

}  // namespace
}  // namespace quenda

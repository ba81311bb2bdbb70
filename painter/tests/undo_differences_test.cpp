// The painter's undo of line colours and flags kept as differences once a stroke, rectangle or
// fill is done: undo gives back exactly the drawing before it, also after changes that touch the
// whole drawing, and never reaches past a load or an older edit.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "painter/core/painter_doc.h"
#include "painter/tests/painter_test_frames.h"

namespace quenda {
namespace {

using namespace testing;

struct Lines {
  std::vector<uint16_t> animColor;
  std::vector<uint8_t> flags;
  bool operator==(const Lines&) const = default;
};
Lines LinesOf(const CPainterDoc& doc) {
  return {doc.frame().region.animColor, doc.frame().region.flags};
}

struct OpenDrawing {
  TempDir dir;
  ScriptedPrompt prompt;
  CPainterDoc doc{prompt};
  explicit OpenDrawing(int width = 121, int height = 87) {
    WriteAnalyzedSequence(dir.path(), "walk", 1, width, height);
    EXPECT_TRUE(doc.OpenSequenceFile(dir.File("walk1.qds")));
    doc.SetCurrentColor(kFirstUserColor);
  }
  void Stroke(PainterTool tool, ImagePoint from, ImagePoint to, bool release = true) {
    doc.SetTool(tool);
    doc.BrushPress(from);
    doc.BrushMove(from, {(from.x + to.x) / 2, to.y});
    doc.BrushMove({(from.x + to.x) / 2, to.y}, to);
    if (release) doc.BrushRelease();
  }
  void Rectangle(PainterTool tool, ImagePoint press, ImagePoint release) {
    doc.SetTool(tool);
    doc.RectangleRelease(press, release);
  }
};

TEST(UndoAsDifferences, EachEditUndoesToTheDrawingBeforeIt) {
  OpenDrawing d;
  const std::vector<std::pair<const char*, std::function<void()>>> edits{
      {"a line stroke",
       [&] {
         d.Stroke(PainterTool::AnimBrush, {5, 5}, {90, 60});
       }},
      {"a rubber stroke",
       [&] {
         d.Stroke(PainterTool::Rubber, {0, 40}, {120, 45});
       }},
      {"a stroke still held",
       [&] {
         d.Stroke(PainterTool::AnimBrush, {3, 80}, {60, 2}, false);
       }},
      {"a line rectangle over the whole drawing",
       [&] {
         d.Rectangle(PainterTool::AnimBrushRect, {0, 0}, {121, 87});
       }},
      {"a rubber rectangle over the whole drawing",
       [&] {
         d.Rectangle(PainterTool::RubberRect, {0, 0}, {121, 87});
       }},
      {"a rubber rectangle in a corner",
       [&] {
         d.Rectangle(PainterTool::RubberRect, {0, 0}, {30, 20});
       }},
      {"a fill of a line",
       [&] {
         // On a line not yet in the current colour.
         const RegionData& region = d.doc.frame().region;
         int i = 0;
         while (i < int(region.PixelCount()) &&
                (!(region.flags[i] & kFlagAnimatorLine) || region.animColor[i] == kFirstUserColor))
           ++i;
         ASSERT_LT(i, int(region.PixelCount()));
         d.doc.SetTool(PainterTool::AnimFill);
         d.doc.AnimFill({i % region.width, i / region.width});
       }},
  };
  for (const auto& [what, edit] : edits) {
    SCOPED_TRACE(what);
    const Lines before = LinesOf(d.doc);
    edit();
    ASSERT_NE(LinesOf(d.doc), before);  // the edit changed something to undo
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(LinesOf(d.doc), before);
    d.Stroke(PainterTool::AnimBrush, {10, 10}, {20, 30});  // the next edit starts from here
  }
}

TEST(UndoAsDifferences, UndoReachesOneEditBackAndNotPastAReload) {
  OpenDrawing d;
  const Lines onDisk = LinesOf(d.doc);
  d.Stroke(PainterTool::AnimBrush, {5, 5}, {90, 60});
  const Lines afterFirst = LinesOf(d.doc);
  d.Stroke(PainterTool::AnimBrush, {100, 5}, {10, 80});
  ASSERT_TRUE(d.doc.Undo());
  EXPECT_EQ(LinesOf(d.doc), afterFirst);  // the newer edit's copy replaced the older one
  EXPECT_FALSE(d.doc.Undo());
  EXPECT_EQ(LinesOf(d.doc), afterFirst);

  d.Stroke(PainterTool::Rubber, {0, 40}, {120, 45});
  d.doc.ReloadFromDisk();  // the unsaved strokes are dropped with their undo
  EXPECT_EQ(LinesOf(d.doc), onDisk);
  EXPECT_FALSE(d.doc.CanUndo());
  EXPECT_FALSE(d.doc.Undo());
  EXPECT_EQ(LinesOf(d.doc), onDisk);
}

// Every per-pixel tool driven as a gesture: while a stroke goes on its undo holds the old values
// of the 64 x 64 tiles it crossed and nothing else; undone midway or once done, the drawing is
// the one before it, byte for byte.
TEST(UndoAsDifferences, AStrokeInHandHoldsOnlyTheTilesItCrossed) {
  struct Gesture {
    PainterTool tool;
    std::size_t perPixel;  // bytes a pixel of the map the tool changes
    int y;                 // the stroke's height: row 1 of tiles, or row 2 where it is rubbed out
  };
  // The brush (size 4) reaches 6 pixels left and down, 7 right and up: the first two points
  // stay inside tile (1, y / 64), the third reaches into the tile right of it.
  const Gesture strokes[]{{PainterTool::AnimBrush, sizeof(uint16_t), 80},
                          {PainterTool::Rubber, 1, 80},
                          {PainterTool::UnRubber, 1, 160}};
  for (const Gesture& g : strokes) {
    for (const bool undoMidway : {false, true}) {
      SCOPED_TRACE(std::to_string(int(g.tool)) + (undoMidway ? " undone midway" : " released"));
      OpenDrawing d(300, 230);
      d.Rectangle(PainterTool::RubberRect, {60, 140}, {220, 200});  // something to bring back
      const std::size_t tile = 64 * 64 * g.perPixel;
      const std::size_t map = d.doc.frame().PixelCount() * g.perPixel;
      ASSERT_GT(map, 8 * tile);  // a copy of the map would show
      const Lines before = LinesOf(d.doc);
      d.doc.SetTool(g.tool);
      d.doc.BrushPress({80, g.y});
      EXPECT_EQ(d.doc.frame().undoBytes(), 0u) << "a press copies nothing";
      d.doc.BrushMove({80, g.y}, {100, g.y + 10});
      ASSERT_NE(LinesOf(d.doc), before);
      EXPECT_EQ(d.doc.frame().undoBytes(), tile);
      d.doc.BrushMove({100, g.y + 10}, {150, g.y + 10});
      EXPECT_EQ(d.doc.frame().undoBytes(), 2 * tile);
      d.doc.BrushMove({150, g.y + 10}, {80, g.y});  // back over tiles already kept
      EXPECT_EQ(d.doc.frame().undoBytes(), 2 * tile);
      if (undoMidway) {
        ASSERT_TRUE(d.doc.Undo());
        EXPECT_EQ(LinesOf(d.doc), before);
        d.doc.BrushRelease();
        EXPECT_EQ(LinesOf(d.doc), before) << "the release changes nothing";
        EXPECT_FALSE(d.doc.CanUndo());
        continue;
      }
      d.doc.BrushRelease();
      EXPECT_GT(d.doc.frame().undoBytes(), 0u);
      EXPECT_LT(d.doc.frame().undoBytes(), 2 * tile) << "only the pixels it changed";
      ASSERT_TRUE(d.doc.Undo());
      EXPECT_EQ(LinesOf(d.doc), before);
      EXPECT_FALSE(d.doc.Undo());
    }
  }

  // A rectangle is known at release: its tiles are kept just before it changes them.
  const Gesture rectangles[]{{PainterTool::AnimBrushRect, sizeof(uint16_t), 0},
                             {PainterTool::RubberRect, 1, 0},
                             {PainterTool::UnRubberRect, 1, 0}};
  OpenDrawing d(300, 230);
  d.Rectangle(PainterTool::RubberRect, {0, 100}, {300, 160});  // a band to bring back
  for (const Gesture& g : rectangles) {
    SCOPED_TRACE(int(g.tool));
    for (const auto& [press, release] : std::vector<std::pair<ImagePoint, ImagePoint>>{
             {{70, 90}, {120, 130}}, {{299, 0}, {250, 229}}, {{-5, 240}, {310, -9}}}) {
      const Lines before = LinesOf(d.doc);
      d.Rectangle(g.tool, press, release);
      ASSERT_NE(LinesOf(d.doc), before);
      EXPECT_LE(d.doc.frame().undoBytes(), d.doc.frame().PixelCount() * g.perPixel + 4096);
      ASSERT_TRUE(d.doc.Undo());
      EXPECT_EQ(LinesOf(d.doc), before);
    }
  }
}

}  // namespace
}  // namespace quenda

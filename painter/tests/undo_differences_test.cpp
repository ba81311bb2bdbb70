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
  OpenDrawing() {
    WriteAnalyzedSequence(dir.path(), "walk", 1, 121, 87);
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

}  // namespace
}  // namespace quenda

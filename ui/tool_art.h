#pragma once
// Toolbar pictures and mouse cursors drawn in code (no image files to ship): a bucket for
// fills, a brush, a pen, an eraser, a picker, rectangles and so on, in one consistent style.
// Each cursor's hot spot sits where the tool touches the picture.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace quenda {

enum class ToolArt {
  Bucket,          // region fill
  LineBucket,      // fill of a drawn line
  Pen,             // drawing region lines
  Eraser,          // rubbing lines out
  Unerase,         // bringing them back
  Brush,           // painting lines
  BrushRectangle,  // painting lines inside a rectangle
  EraserRectangle,
  UneraseRectangle,
  Picker,  // taking a colour
  Hand,    // panning
  ZoomIn,
  ZoomOut,
  ZoomOneToOne,
  Undo,
  New,  // a fresh document
  Open,
  PreviousFrame,
  NextFrame,
  FirstFrame,
  LastFrame,
  AutoPaint,
  Colours,
};

// The picture at `side` pixels square on a transparent ground.
QPixmap ToolPixmap(ToolArt art, int side);
// Toolbar and menu icon, at the usual small sizes.
QIcon ToolIcon(ToolArt art);
// A 32 x 32 cursor with its hot spot on the tool's tip.
QCursor ToolCursor(ToolArt art);
// The hot spot ToolCursor uses, in a 32 x 32 picture.
QPoint ToolHotSpot(ToolArt art);

}  // namespace quenda

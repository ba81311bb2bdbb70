#pragma once
// The figure kinds, one file each; only figure_drawing.cpp calls them.

#include <cstdint>

#include "samples/pencil_canvas.h"
#include "samples/walking_figure.h"

namespace quenda::samples {

// Where and when a figure kind is drawn.
struct FigureStage {
  double sheetWidth = 0;  // pixels
  double sheetHeight = 0;
  double unit = 1;     // pixels per figure unit; a standing figure is about 100 units tall
  double centreX = 0;  // pixels: the sheet's middle
  double groundY = 0;  // pixels: the ground line figures stand on
  double time = 0;     // drawings of the natural pace from the middle of the motion
  uint64_t seed = 0;   // the hand's wobble
  ScanPencil pencil;   // off: the plain strokes
};

DrawnFigure DrawWalkKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawLimbsKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawHeadKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawAnimalKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawCrossKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawSoftKind(PencilCanvas& canvas, const FigureStage& stage);
DrawnFigure DrawTravelKind(PencilCanvas& canvas, const FigureStage& stage);

}  // namespace quenda::samples

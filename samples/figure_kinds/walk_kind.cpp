// The walk at any moment: the sample walk's stride and pace, placed by time instead of by frame
// number, so that it can be drawn at half or three times its pace.

#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/sample_drawing.h"

namespace quenda::samples {

namespace {
constexpr double kStepOfWidth = 0.015;  // as the sample walk's longest step
}  // namespace

DrawnFigure DrawWalkKind(PencilCanvas& canvas, const FigureStage& stage) {
  FigurePlacement placement;
  placement.unit = stage.unit;
  placement.groundY = stage.groundY;
  placement.hipX = stage.centreX + kStepOfWidth * stage.sheetWidth * stage.time;
  placement.phase = 2 * std::numbers::pi * stage.time / kWalkCycleFrames;
  placement.seed = stage.seed;
  return DrawWalkingFigure(canvas, placement, stage.pencil);
}

}  // namespace quenda::samples

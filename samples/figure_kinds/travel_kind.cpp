// A walker coming across the sheet and towards the camera and away again: its width is crossed
// in a few drawings, and it grows and shrinks by 15 %, nearer lower on the sheet.

#include <cmath>
#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/sample_drawing.h"

namespace quenda::samples {

namespace {
constexpr double kStepOfWidth = 0.032;  // across, a drawing at the middle (the walk: 0.015)
constexpr double kReach = 0.27;         // of the sheet's width each side of the middle, slowing
constexpr double kNearer = 0.15;        // scale to and from the camera
constexpr double kDepthPeriod = 22;     // drawings from near to far and back
constexpr double kWalkStride = 0.015 * kWalkCycleFrames;  // of the width, as the walk's
constexpr double kDropOfNearer = 0.35;  // the ground line's fall, in figure heights, per scale
}  // namespace

DrawnFigure DrawTravelKind(PencilCanvas& canvas, const FigureStage& stage) {
  const double scale = 1 + kNearer * std::sin(2 * std::numbers::pi * stage.time / kDepthPeriod);
  FigurePlacement placement;
  placement.unit = stage.unit * scale;
  placement.groundY = stage.groundY - kDropOfNearer * 100 * stage.unit * (scale - 1);
  // Across at kStepOfWidth a drawing in the middle, slowing towards the sheet's sides so that
  // a run at three times the pace stays on the sheet; the stride keeps pace with the ground.
  const double across = kReach * std::tanh(stage.time * kStepOfWidth / kReach);
  placement.hipX = stage.centreX + across * stage.sheetWidth;
  placement.phase = 2 * std::numbers::pi * across / kWalkStride;
  placement.seed = stage.seed;
  return DrawWalkingFigure(canvas, placement, stage.pencil);
}

}  // namespace quenda::samples

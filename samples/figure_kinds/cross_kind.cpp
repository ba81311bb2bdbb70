// Two walkers, the near one overtaking the far one: as it passes, the far walker's parts go
// behind it one by one and come out again on the other side. The far walker's lines behind the
// near one are rubbed out, as an animator leaves them out.

#include <numbers>

#include "samples/figure_kinds/figure_kinds.h"
#include "samples/sample_drawing.h"

namespace quenda::samples {

namespace {
constexpr double kNearStep = 0.02;  // parts of the sheet's width a drawing
constexpr double kFarStep = 0.003;
constexpr double kNearScale = 0.85;  // both a little smaller than the walk, to pass on the sheet
constexpr double kFarScale = 0.8;    // further from the camera: smaller
constexpr double kFarRaise = 9;      // and standing higher, in figure units
constexpr double kFarPhase = 2.1;    // radians: not in step with the near one

FigurePart FarColour(FigurePart part) {
  if (part == FigurePart::Shirt) return FigurePart::Coat;
  if (part == FigurePart::Pants) return FigurePart::Jeans;
  return part;
}

}  // namespace

DrawnFigure DrawCrossKind(PencilCanvas& canvas, const FigureStage& stage) {
  const double phase = 2 * std::numbers::pi * stage.time / kWalkCycleFrames;
  FigurePlacement far;
  far.unit = kFarScale * kNearScale * stage.unit;
  far.groundY = stage.groundY + kFarRaise * stage.unit;
  far.hipX = stage.centreX + kFarStep * stage.sheetWidth * stage.time;
  far.phase = phase * kFarStep / kNearStep * 2 + kFarPhase;  // a slower stride
  far.seed = stage.seed ^ 0xFA5ULL;
  FigurePlacement near = far;
  near.unit = kNearScale * stage.unit;
  near.groundY = stage.groundY;
  near.hipX = stage.centreX + kNearStep * stage.sheetWidth * stage.time;
  near.phase = phase;
  near.seed = stage.seed;

  DrawnFigure drawn = DrawWalkingFigure(canvas, far, stage.pencil);
  for (PartShape& shape : drawn.parts) shape.part = FarColour(shape.part);

  // Where the near walker will cover the far one, its lines go.
  PencilCanvas scratch(canvas.width(), canvas.height());
  const DrawnFigure outline = DrawWalkingFigure(scratch, near);
  const std::vector<FigurePart> covered =
      RenderPartMap(outline.parts, canvas.width(), canvas.height());
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (covered[std::size_t(y) * std::size_t(canvas.width()) + std::size_t(x)] !=
          FigurePart::Paper)
        canvas.EraseBox(x, y, x, y);

  DrawnFigure front = DrawWalkingFigure(canvas, near, stage.pencil);
  drawn.parts.insert(drawn.parts.end(), front.parts.begin(), front.parts.end());
  drawn.pencilGaps.insert(drawn.pencilGaps.end(), front.pencilGaps.begin(), front.pencilGaps.end());
  drawn.gaps = std::move(front.gaps);
  drawn.face = front.face;
  drawn.back = front.back;
  return drawn;
}

}  // namespace quenda::samples

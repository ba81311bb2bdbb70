#include "samples/figure_kinds/figure_drawing.h"

#include <algorithm>
#include <cmath>

#include "samples/figure_kinds/figure_kinds.h"

namespace quenda::samples {
namespace {

constexpr double kFigureOfHeight = 0.62;  // as the walk: the figure's height of the sheet's
constexpr double kFigureOfWidth = 1.1;

uint64_t DrawingSeed(uint32_t seed, FigureKind kind, double time) {
  SampleRandom random(uint64_t(seed) << 20 ^ uint64_t(std::llround(time * 64)) ^
                      uint64_t(kind) << 48);
  return random.Next();
}

DrawnFigure DrawKind(FigureKind kind, PencilCanvas& canvas, const FigureStage& stage) {
  switch (kind) {
    case FigureKind::Walk:
      return DrawWalkKind(canvas, stage);
    case FigureKind::Limbs:
      return DrawLimbsKind(canvas, stage);
    case FigureKind::Head:
      return DrawHeadKind(canvas, stage);
    case FigureKind::Animal:
      return DrawAnimalKind(canvas, stage);
    case FigureKind::Cross:
      return DrawCrossKind(canvas, stage);
    case FigureKind::Soft:
      return DrawSoftKind(canvas, stage);
    case FigureKind::Travel:
      return DrawTravelKind(canvas, stage);
  }
  return {};
}

}  // namespace

SampleDrawing RenderFigureDrawing(const SampleOptions& options, double time) {
  const int width = std::max(options.width, 1), height = std::max(options.height, 1);
  PencilCanvas canvas(width, height);
  const double figureHeight = std::min(kFigureOfHeight * height, kFigureOfWidth * width);
  FigureStage stage;
  stage.sheetWidth = width;
  stage.sheetHeight = height;
  stage.unit = figureHeight / 100;
  stage.centreX = 0.5 * width;
  stage.groundY = 0.5 * (height - figureHeight) + 0.02 * height;
  stage.time = time;
  stage.seed = DrawingSeed(options.seed, options.figure, time);
  stage.pencil = options.pencil;
  stage.pencil.dpi = std::max(options.dpi, 1);

  SampleRandom random(stage.seed ^ 0x5DEECE66DULL);
  // A head alone stands on nothing; walkers at other distances from the camera stand on
  // other lines, which would run through their legs.
  const FigureKind kind = options.figure;
  if (kind != FigureKind::Head && kind != FigureKind::Cross && kind != FigureKind::Travel)
    DrawGround(canvas, stage.groundY - 0.4 * stage.unit, stage.unit, random);
  DrawnFigure figure = DrawKind(options.figure, canvas, stage);
  SampleDrawing drawing;
  drawing.gaps = std::move(figure.gaps);
  drawing.pencilGaps = std::move(figure.pencilGaps);
  drawing.face = figure.face;
  drawing.back = figure.back;
  drawing.parts = std::move(figure.parts);
  for (const LineGap& gap : DrawNumberCircle(canvas, stage.unit, random))
    drawing.gaps.push_back(gap);

  DrawingScan& scan = drawing.scan;
  scan.dpi = options.dpi;
  scan.pegPosition = options.pegPosition;
  scan.xPosition = options.xPosition;
  scan.yPosition = options.yPosition;
  scan.picture =
      Raster(width, height, 1,
             canvas.Compose(uint32_t(stage.seed),
                            stage.pencil.enabled ? ToothGrain::AtPaleInk : ToothGrain::Even));
  return drawing;
}

}  // namespace quenda::samples

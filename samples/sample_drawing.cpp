#include "samples/sample_drawing.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>
#include <utility>

#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "samples/figure_kinds/figure_drawing.h"
#include "samples/pencil_shapes.h"

namespace quenda::samples {
namespace {

constexpr double kFigureOfHeight = 0.62;  // the figure's height as a part of the sheet's
constexpr double kFigureOfWidth = 1.1;    // ... unless the sheet is too narrow for that
constexpr double kTravel = 0.4;           // part of the width walked over a whole sequence
constexpr double kLongestStep = 0.015;    // part of the width walked from frame to frame
constexpr double kCircleOfSheet = 0.03;   // the number circle's radius as a part of the sheet's
constexpr double kMinCircleRadius = 4;    // pixels, so that its gaps stay between line ends

uint64_t FrameSeed(uint32_t seed, int frameIndex) {
  SampleRandom random(uint64_t(seed) << 20 ^ uint64_t(uint32_t(frameIndex)));
  return random.Next();
}

}  // namespace

void DrawGround(PencilCanvas& canvas, double y, double unit, SampleRandom& random) {
  const double w = canvas.width();
  std::vector<Point> line{{0.06 * w, y + random.Between(-0.4, 0.4) * unit},
                          {0.5 * w, y + random.Between(-0.3, 0.3) * unit},
                          {0.94 * w, y + random.Between(-0.4, 0.4) * unit}};
  LineWeights weights = LineWeightsFor(unit);
  PencilStyle style = weights.thin;
  style.darkness = 0.8;
  Wobble wobble = MakeWobble(random, 0.15 * unit);
  canvas.DrawStroke(OpenStroke(line, std::max(0.75, 0.7 * style.radius), wobble), style);
}

// The circle in the sheet's top right corner that an animator numbers the drawing in (left
// unnumbered here). Its bare gaps, one pixel across the top and two in the left side, are ones
// that nothing bridges, and it lies clear of the figure so they open no part of it.
std::vector<LineGap> DrawNumberCircle(PencilCanvas& canvas, double unit, SampleRandom& random) {
  const double radius =
      std::max(kMinCircleRadius, kCircleOfSheet * std::min(canvas.width(), canvas.height()));
  const Point centre{canvas.width() - 2.5 * radius, canvas.height() - 2.5 * radius};
  const PencilStyle style = LineWeightsFor(unit).thick;
  const std::vector<StrokePoint> ring =
      ClosedStroke(EllipseOutline(centre, radius, radius, 0), std::max(0.75, 0.7 * style.radius),
                   MakeWobble(random, 0.1 * unit));
  canvas.DrawStroke(ring, style);
  const StrokePoint top = ring[ExtremePoint(ring, [](const StrokePoint& p) { return p.y; })];
  const StrokePoint left = ring[ExtremePoint(ring, [](const StrokePoint& p) { return -p.x; })];
  return {CutGap(canvas, top, 1, true, style.radius, GapKind::Bare),
          CutGap(canvas, left, 2, false, style.radius, GapKind::Bare)};
}

SampleDrawing RenderSampleDrawing(const SampleOptions& options, int frameIndex, int frameCount) {
  if (options.figure != FigureKind::Walk)
    return RenderFigureDrawing(options, frameIndex - 0.5 * (std::max(frameCount, 1) - 1));
  const int width = std::max(options.width, 1), height = std::max(options.height, 1);
  frameCount = std::max(frameCount, 1);
  PencilCanvas canvas(width, height);

  const double figureHeight = std::min(kFigureOfHeight * height, kFigureOfWidth * width);
  const double step =
      frameCount > 1 ? std::min(kLongestStep * width, kTravel * width / (frameCount - 1)) : 0.0;
  FigurePlacement placement;
  placement.unit = figureHeight / 100;
  placement.groundY = 0.5 * (height - figureHeight) + 0.02 * height;
  placement.hipX = 0.5 * width + step * (frameIndex - 0.5 * (frameCount - 1));
  placement.phase = 2 * std::numbers::pi * frameIndex / kWalkCycleFrames;
  placement.seed = FrameSeed(options.seed, frameIndex);

  SampleRandom random(placement.seed ^ 0x5DEECE66DULL);
  DrawGround(canvas, placement.groundY - 0.4 * placement.unit, placement.unit, random);
  SampleDrawing drawing;
  ScanPencil pencil = options.pencil;
  pencil.dpi = std::max(options.dpi, 1);
  DrawnFigure figure = DrawWalkingFigure(canvas, placement, pencil);
  drawing.pencilGaps = std::move(figure.pencilGaps);
  drawing.gaps = std::move(figure.gaps);
  drawing.face = figure.face;
  drawing.back = figure.back;
  drawing.parts = std::move(figure.parts);
  for (const LineGap& gap : DrawNumberCircle(canvas, placement.unit, random))
    drawing.gaps.push_back(gap);

  DrawingScan& scan = drawing.scan;
  scan.dpi = options.dpi;
  scan.pegPosition = options.pegPosition;
  scan.xPosition = options.xPosition;
  scan.yPosition = options.yPosition;
  scan.picture = Raster(width, height, 1,
                        canvas.Compose(uint32_t(placement.seed),
                                       pencil.enabled ? ToothGrain::AtPaleInk : ToothGrain::Even));
  return drawing;
}

DrawingScan MakeSampleDrawing(const SampleOptions& options, int frameIndex, int frameCount) {
  return RenderSampleDrawing(options, frameIndex, frameCount).scan;
}

DrawingScan MakeDrawing(int width, int height, uint32_t seed) {
  SampleOptions options;
  options.width = width;
  options.height = height;
  options.dpi = 100;
  options.seed = seed;
  return MakeSampleDrawing(options, 0, 1);
}

bool IsSequenceName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

Status WriteSampleSequence(std::string directory, std::string_view name, int frameCount,
                           const SampleOptions& options, Prompt& prompt,
                           const std::function<void(const std::string&)>& written) {
  if (!IsSequenceName(name)) return Error{std::string(kOnlyLettersMessage)};
  if (frameCount < 1 || frameCount > kMaxSampleFrames)
    return Error{"The number of frames must be between 1 and " + std::to_string(kMaxSampleFrames)};
  if (directory.empty()) directory = "./";
  if (directory.back() != '/') directory += '/';
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (!std::filesystem::is_directory(directory)) return Error{"Cannot create folder " + directory};

  const std::string stem = directory + std::string(name);
  for (int i = 0; i < frameCount; ++i) {
    std::string path = stem + FormatFrameTag({i + 1, kNoLetter}) + ".qds";
    Status status =
        WriteDrawingScan(path, MakeSampleDrawing(options, i, frameCount), ScanWriter::Scanner);
    if (!status) return status;
    if (written) written(path);
  }

  ColorSet colors;
  colors.path = stem + ".col";
  for (const FigurePart part : FigureKindParts(options.figure)) {
    const PartPaint paint = PartPaintColor(part);
    AddColor(colors, PartColorName(part), paint.red, paint.green, paint.blue);
  }
  if (!SaveColorSet(colors, prompt)) return Error{std::string(kColorSetWriteErrorMessage)};
  if (written) written(colors.path);
  return Status::Ok();
}

}  // namespace quenda::samples

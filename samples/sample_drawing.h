#pragma once
// Sample pencil drawings: a walking figure on grainy paper, made from a seed, for tests, the
// demo and benchmarks. The same options, frame and seed always give the same bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/drawing_scan.h"
#include "common/prompt.h"
#include "common/result.h"
#include "samples/figure_kinds/figure_kind.h"
#include "samples/walking_figure.h"

namespace quenda::samples {

inline constexpr int kMaxSampleFrames = 3000;
inline constexpr int kWalkCycleFrames = 12;  // frames of one full stride
inline constexpr std::string_view kOnlyLettersMessage = "Only letters are allowed for the name";

struct SampleOptions {
  int width = 1240;  // A4 at 150 dpi
  int height = 1754;
  int dpi = 150;
  int pegPosition = kPegBottom;
  int xPosition = 0;
  int yPosition = 0;
  uint32_t seed = 1;
  // Pencil like a real scan's (off: the plain strokes); its dpi is taken from `dpi` above.
  ScanPencil pencil{};
  FigureKind figure = FigureKind::Walk;  // the walk; other kinds: samples/figure_kinds
};

// A drawing with the gaps left in its outlines, for tests that look for them: the figure's
// faint ones first (the crown, then the back; the near walker's for the kinds of walkers, none
// for the others), then the bare ones of the number circle in the sheet's top right corner (one
// pixel, then two).
struct SampleDrawing {
  DrawingScan scan;
  std::vector<LineGap> gaps;
  Point face;  // pixels inside the head and inside the body, clear of every line (other kinds:
  Point back;  // points inside the figure, only as a guide)
  std::vector<PartShape> parts;       // the figure's shapes, for RenderPartMap
  std::vector<PencilGap> pencilGaps;  // where a scan-like pencil's strokes stop short
};

// Frame `frameIndex` (from 0) of `frameCount`. For the walk, the figure walks a little to the right
// from frame to frame, across at most four tenths of the sheet over the whole sequence, so that
// neighbouring frames overlap as in-betweens do; the other kinds move as
// RenderFigureDrawing says, the sequence's middle at time 0. Sizes are taken as given (at
// least 1 x 1).
SampleDrawing RenderSampleDrawing(const SampleOptions& options, int frameIndex, int frameCount);
DrawingScan MakeSampleDrawing(const SampleOptions& options, int frameIndex, int frameCount);

// A small single drawing for tests: 100 dpi, peg bottom, bed origin 0, 0.
DrawingScan MakeDrawing(int width, int height, uint32_t seed = 1);

// The colour set of a sample sequence: the fixed entries and these user colours.
struct SampleColor {
  std::string_view name;
  int red, green, blue;
};
inline constexpr SampleColor kSampleColors[] = {
    {"SKIN", 250, 205, 170}, {"SHIRT", 60, 110, 200}, {"PANTS", 70, 62, 52},
    {"HAIR", 95, 55, 25},    {"SHOES", 40, 30, 30},
};

// The sheet around a figure: a ground line at height `y`, and the circle in the top right
// corner an animator numbers the drawing in, with its bare gaps (see SampleDrawing).
void DrawGround(PencilCanvas& canvas, double y, double unit, SampleRandom& random);
std::vector<LineGap> DrawNumberCircle(PencilCanvas& canvas, double unit, SampleRandom& random);

// True when `name` is one or more ASCII letters, as sequence names must be.
bool IsSequenceName(std::string_view name);

// Writes name1.qds .. nameN.qds and name.col (the colours of the figure kind's parts) into
// `directory` (made if missing; a missing trailing '/' is added), calling `written` with each path
// once the file is complete. Stops at the first failure and returns its message; a colour set that
// cannot be written has also been shown through `prompt`, as saving a colour set does.
Status WriteSampleSequence(std::string directory, std::string_view name, int frameCount,
                           const SampleOptions& options, Prompt& prompt,
                           const std::function<void(const std::string&)>& written = {});

}  // namespace quenda::samples

#pragma once
// Drawings of every figure kind at any moment of its motion, for the benchmark of auto paint
// and `quenda sample --figure`.

#include "samples/sample_drawing.h"

namespace quenda::samples {

// The drawing of `options.figure` at `time`, counted in drawings of the figure's natural pace
// from the middle of its motion (half a drawing is an in-between at double the drawings; 3
// drawings on is three times the pace). Each kind's natural pace is brisk but drawable:
//   walk    a stride in 12 drawings, 1.5 % of the sheet's width a drawing, as RenderSampleDrawing
//   limbs   an arm swinging up to 20 degrees a drawing about its shoulder, a leg kicking
//   head    a head turning from one side to the other, brows, eyes and mouth moving on it
//   animal  a dog of spots, a striped tail and teeth, trotting, wagging and barking
//   cross   a walker overtaking a slower one in front of it, hiding and showing its parts
//   soft    a jelly squashing and stretching by 30 % (keeping its area) and bending
//   travel  a walker coming across, 3.2 % of the sheet's width a drawing in the middle of
//           the sheet and slowing towards its sides, and towards the camera and away (15 %
//           larger and smaller)
// The same options and time always give the same bytes.
SampleDrawing RenderFigureDrawing(const SampleOptions& options, double time);

}  // namespace quenda::samples

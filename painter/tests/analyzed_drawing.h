#pragma once
// A generated drawing as the painter's tests use it: analyzed with the default line settings,
// with the part of the figure each region truly shows, so auto paint can be painted from the
// truth and scored against it.

#include "common/color_set.h"
#include "painter/core/painter_frame.h"
#include "samples/figure_parts.h"
#include "samples/sample_drawing.h"

namespace quenda::testing {

struct AnalyzedDrawing {
  PainterFrame frame;
  samples::RegionTruth truth;
};

AnalyzedDrawing AnalyzeDrawing(const samples::SampleDrawing& drawing);

// The colour a part is painted in: paper stays clear, the figure's parts take the first user
// colours in order.
inline int ColorOfPart(samples::FigurePart part) {
  return part == samples::FigurePart::Paper ? kTransparentColor : kFirstUserColor + int(part) - 1;
}

// Paints every region of the drawing its true colour.
void PaintFromTruth(AnalyzedDrawing& drawing);

}  // namespace quenda::testing

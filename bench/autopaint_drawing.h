#pragma once
// The figure drawings of bench_autopaint, analyzed, with their ground truth per region: how a
// drawing's region colours score against it, and a picture of the outcome.

#include <cstdint>
#include <string>
#include <vector>

#include "common/color_set.h"
#include "common/redline_settings.h"
#include "painter/core/painter_frame.h"
#include "samples/figure_kinds/figure_kind.h"
#include "samples/sample_drawing.h"

namespace quenda {

// The colour set of a figure kind: its parts' colours after the fixed entries.
int ColorOfPart(samples::FigureKind kind, samples::FigurePart part);
ColorSet ColorsOf(samples::FigureKind kind);

struct Drawing {
  PainterFrame frame;
  std::vector<int> trueColor;  // per region: the colour of the part covering most of its pixels
  std::vector<bool> paper;     // per region: truly the paper
  std::vector<int64_t> area;   // per region: pixels off the lines
  // Pixels of the figure off the lines, and those of them in regions that are truly the paper:
  // where an outline opened onto the paper, no auto paint can give them a figure colour.
  int64_t figurePixels = 0, openPixels = 0;
};

// Writes the drawing to `base`.qds, analyzes it as `quenda analyze` does, with `lines` and
// gaps of up to `closeGaps` pixels closed, into `base`.rgn and loads it as the painter does,
// with the truth of every region. Exits on a failure.
Drawing Analyze(const std::string& base, const samples::SampleDrawing& drawing,
                const ColorSet& colors, samples::FigureKind kind, const RedlineSettings& lines,
                int closeGaps);

struct Score {
  int64_t figure = 0, right = 0, wrong = 0, unfilled = 0, paperPainted = 0;

  void Add(const Score& o) {
    figure += o.figure, right += o.right, wrong += o.wrong, unfilled += o.unfilled;
    paperPainted += o.paperPainted;
  }
  double Share(int64_t part) const {
    return figure > 0 ? 100.0 * double(part) / double(figure) : 0;
  }
};

// Over the figure's regions (true part not the paper): area painted right, wrongly and left
// unfilled; apart, the paper's area given a figure colour.
Score Measure(const Drawing& d, const std::vector<int32_t>& colors);

// Region by region, what became of a drawing, as a Targa picture at 75 dpi, the worst outcome
// of each block kept: red painted wrongly, magenta paper given a figure colour, yellow left
// unfilled, green painted right.
void WriteOutcome(const Drawing& d, const std::vector<int32_t>& colors, int dpi,
                  const std::string& path);

}  // namespace quenda

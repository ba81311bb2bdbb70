#pragma once
// The tables bench_autopaint prints: per figure, pace and way of working, what the vote and
// shapes made of the drawings, and the means of each way.

#include <string>
#include <vector>

#include "bench/autopaint_drawing.h"
#include "common/redline_settings.h"

namespace quenda {

struct Outcome {
  Score total;
  double worst = 0;  // the wrong share of the worst drawing
  int worstDrawing = 0;
};

struct Row {
  std::string label;
  int closeGaps = 0;
  double open = 0;  // percent of the figure in regions that are truly the paper
  Outcome vote, shapes, bare;
  bool atZero = false;  // the same drawings analyzed at Close Gaps 0, when closeGaps is not 0
  double openAtZero = 0;
  Outcome shapesAtZero;
};

// The three tables (shapes as the painter runs them, without Paint Specks, at Close Gaps 0)
// and the means of every way of working, at line settings `lines` and `confidence`.
void PrintTables(const std::vector<Row>& rows, const RedlineSettings& lines, int confidence);

}  // namespace quenda

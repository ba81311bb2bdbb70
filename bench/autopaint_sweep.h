#pragma once
// bench_autopaint --sweep: by shapes as the painter runs them, both ways of working at every
// confidence asked, and the in-betweens at every margin of both keys too, so that the defaults
// can be chosen again after the matcher changes.

#include <string>
#include <vector>

#include "bench/autopaint_ways.h"

namespace quenda {

struct SweepCell {
  std::string way;
  int confidence = 0, margin = -1;            // margin -1: the chain from one key, which has none
  double right = 0, wrong = 0, unfilled = 0;  // sums of the rows' shares
  int rows = 0, withinWrong = 0;              // rows at 1 % wrong or below
  double worstRow = 0, worstDrawing = 0;      // wrong shares
  std::string worstRowLabel;
};

struct Sweep {
  std::vector<int> confidences{30, 50, 60, 70, 80};
  std::vector<int> margins{0, 10, 20, 30, 40};
  std::vector<SweepCell> cells;  // found by way, confidence and margin
};

// Adds one figure's rows (`label`: figure, pace and dpi) to every cell of the sweep.
void SweepFigure(std::vector<Drawing>& drawings, const std::string& label, Sweep& sweep);

void PrintSweep(const Sweep& sweep);

}  // namespace quenda

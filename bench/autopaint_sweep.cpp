#include "bench/autopaint_sweep.h"

#include <algorithm>
#include <cstdio>

namespace quenda {
namespace {

SweepCell& CellOf(Sweep& sweep, const char* way, int confidence, int margin) {
  for (SweepCell& cell : sweep.cells)
    if (cell.way == way && cell.confidence == confidence && cell.margin == margin) return cell;
  SweepCell& cell = sweep.cells.emplace_back();
  cell.way = way, cell.confidence = confidence, cell.margin = margin;
  return cell;
}

void Add(SweepCell& cell, const Outcome& outcome, const std::string& label) {
  const Score& s = outcome.total;
  const double wrong = s.Share(s.wrong);
  cell.right += s.Share(s.right), cell.wrong += wrong, cell.unfilled += s.Share(s.unfilled);
  ++cell.rows;
  cell.withinWrong += wrong <= 1.0;
  if (wrong >= cell.worstRow) cell.worstRow = wrong, cell.worstRowLabel = label;
  cell.worstDrawing = std::max(cell.worstDrawing, outcome.worst);
}

}  // namespace

void SweepFigure(std::vector<Drawing>& drawings, const std::string& label, Sweep& sweep) {
  const std::vector<Step> chain = ChainSteps(), inBetween = InBetweenSteps();
  for (int confidence : sweep.confidences) {
    const AutoPaintOptions shapes = Shapes(true, confidence);
    Add(CellOf(sweep, "chain", confidence, -1),
        Judge(drawings, chain, PaintChainFromKey(drawings, shapes)), label);
    // Both chains once, combined at every margin.
    const KeyChains chains = PaintKeyChains(drawings, shapes);
    for (int margin : sweep.margins)
      Add(CellOf(sweep, "in-betw", confidence, margin),
          Judge(drawings, inBetween, CombineKeyChains(drawings, chains, shapes, margin)), label);
  }
}

void PrintSweep(const Sweep& sweep) {
  std::printf(
      "\nSweep of shapes (Paint Specks on): means of the rows' shares of the figure's area; rows "
      "at <= 1 %% wrong; the worst row's wrong share and the worst drawing's\n");
  std::printf("%-8s | %3s | %3s | %5s %5s %5s | %-9s | %-32s | %s\n", "way", "C", "M", "right",
              "wrong", "unfil", "<= 1 %", "worst row", "drawing");
  for (const SweepCell& c : sweep.cells) {
    char margin[16] = "-";
    if (c.margin >= 0) std::snprintf(margin, sizeof margin, "%d", c.margin);
    char within[32];
    std::snprintf(within, sizeof within, "%d of %d", c.withinWrong, c.rows);
    std::printf("%-8s | %3d | %3s | %5.1f %5.1f %5.1f | %-9s | %5.1f %-26s | %5.1f\n",
                c.way.c_str(), c.confidence, margin, c.right / c.rows, c.wrong / c.rows,
                c.unfilled / c.rows, within, c.worstRow, c.worstRowLabel.c_str(), c.worstDrawing);
  }
}

}  // namespace quenda

#include "bench/autopaint_tables.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "autopaint/shape_match.h"

namespace quenda {
namespace {

void PrintScore(const Score& s) {
  std::printf(" %5.1f %5.1f %5.1f %7lld", s.Share(s.right), s.Share(s.wrong), s.Share(s.unfilled),
              (long long)s.paperPainted);
}

// The mean shares of every way of working over the rows, for each of vote, shapes and shapes
// without Paint Specks, and how many rows keep wrong paint by shapes at 1 % or below.
void PrintMeans(const std::vector<Row>& rows) {
  struct Sum {
    double share[3][3] = {};
    int rows = 0, withinWrong = 0;
  };
  std::map<std::string, Sum> ways;
  for (const Row& r : rows) {
    Sum& sum = ways[r.label.substr(r.label.rfind(' ') + 1)];
    const Score* scores[3] = {&r.vote.total, &r.shapes.total, &r.bare.total};
    for (int k = 0; k < 3; ++k) {
      const Score& s = *scores[k];
      sum.share[k][0] += s.Share(s.right), sum.share[k][1] += s.Share(s.wrong);
      sum.share[k][2] += s.Share(s.unfilled);
    }
    ++sum.rows;
    sum.withinWrong += r.shapes.total.Share(r.shapes.total.wrong) <= 1.0;
  }
  std::printf("\nMeans of the rows of each way (right wrong unfilled)\n");
  std::printf("%-8s | %-17s | %-17s | %-17s | rows shapes wrong <= 1 %%\n", "way", "vote", "shapes",
              "shapes, no specks");
  for (const auto& [way, sum] : ways) {
    std::printf("%-8s |", way.c_str());
    for (const auto& share : sum.share)
      std::printf(" %5.1f %5.1f %5.1f |", share[0] / sum.rows, share[1] / sum.rows,
                  share[2] / sum.rows);
    std::printf(" %d of %d\n", sum.withinWrong, sum.rows);
  }
}

}  // namespace

void PrintTables(const std::vector<Row>& rows, const RedlineSettings& lines, int confidence) {
  std::printf(
      "\nShares of the figure's area in percent; paperpx: paper pixels given a figure colour; "
      "worst: the wrong share of the worst drawing (its number); open: the figure's pixels in "
      "regions that are the paper (outlines open at line pick-up %d, growth %d, and the row's "
      "Close Gaps gaps), counted in no other column.\n"
      "chain: 1 from the truth, 2..12 each from the one before. in-betw: 1 and 12 from the "
      "truth, 2..11 from both keys. Confidence %d.\n",
      lines.linePickUp, lines.lineGrowth, confidence);
  std::printf("\nShapes as the painter runs them (Paint Specks %d)\n", kDefaultSpeckSize);
  std::printf("%-26s | %-2s | %-4s | %-29s | %-29s | %s\n", "figure pace dpi way", "cg", "open",
              "vote:  true wrong unfil paperpx", "shapes: true wrong unfil paperpx",
              "worst: vote  shapes");
  for (const Row& r : rows) {
    std::printf("%-26s | %2d | %4.1f |", r.label.c_str(), r.closeGaps, r.open);
    PrintScore(r.vote.total);
    std::printf(" |");
    PrintScore(r.shapes.total);
    std::printf(" | %5.1f (%2d) %5.1f (%2d)\n", r.vote.worst, r.vote.worstDrawing, r.shapes.worst,
                r.shapes.worstDrawing);
  }
  std::printf("\nShapes without Paint Specks\n");
  std::printf("%-26s | %-29s | %s\n", "figure pace dpi way", "shapes: true wrong unfil paperpx",
              "worst");
  for (const Row& r : rows) {
    std::printf("%-26s |", r.label.c_str());
    PrintScore(r.bare.total);
    std::printf(" | %5.1f (%2d)\n", r.bare.worst, r.bare.worstDrawing);
  }
  PrintMeans(rows);
  if (std::none_of(rows.begin(), rows.end(), [](const Row& r) { return r.atZero; })) return;
  std::printf("\nShapes at Close Gaps 0 (Paint Specks %d)\n", kDefaultSpeckSize);
  std::printf("%-26s | %-4s | %-29s | %s\n", "figure pace dpi way", "open",
              "shapes: true wrong unfil paperpx", "worst");
  for (const Row& r : rows) {
    if (!r.atZero) continue;
    std::printf("%-26s | %4.1f |", r.label.c_str(), r.openAtZero);
    PrintScore(r.shapesAtZero.total);
    std::printf(" | %5.1f (%2d)\n", r.shapesAtZero.worst, r.shapesAtZero.worstDrawing);
  }
}

}  // namespace quenda

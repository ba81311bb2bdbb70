#pragma once
// A region's own motion, fitted to the source's lines: from a first guess (its neighbourhood's
// motion, its pair's, the whole figure's), the outline is slid coarse to fine to where it lies
// nearest the source's lines (chamfer matching), so each part of a figure follows its own
// lines rather than one motion for all. How well it lands there is part of how sure the match
// is: a region squashed or new has an outline that lands on no source line.

#include <utility>
#include <vector>

#include "autopaint/line_distance.h"

namespace quenda {

struct OutlineFit {
  int x = 0, y = 0;   // target pixel p lies on source pixel p + (x, y)
  double landed = 0;  // share of the outline within the tolerance of a source line
};

// The outline's points are target pixels; `lines` is the source's distance field. The search
// keeps within `reach` pixels of (x, y); `tolerance` (pixels) is how near a line a point must
// lie to have landed. An empty outline lands nowhere.
OutlineFit FitOutline(const std::vector<std::pair<int, int>>& outline, const LineDistance& lines,
                      int x, int y, int reach, int tolerance);

// How well the outline lands at (x, y), as FitOutline says it.
double OutlineLanded(const std::vector<std::pair<int, int>>& outline, const LineDistance& lines,
                     int x, int y, int tolerance);

// How near a source line an outline point must lie for drawings of this size (pixels): about a
// third of a millimetre on a sheet of A4, at any resolution.
int OutlineTolerance(int width, int height);

}  // namespace quenda

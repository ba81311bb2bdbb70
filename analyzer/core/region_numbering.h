#pragma once
// Region numbers from merged run labels: each pixel of an area takes its area's number, each
// line pixel the number of a neighbouring area (or of the label it carries when it has none),
// numbers 1, 2, ... in order of first appearance in pixel order, with label 1 always number 1.
// Done in bands of rows: each band numbers what it sees in its own order, and the bands'
// numbers are then put in the order of the bands, so the result is that of one band.

#include <cstdint>
#include <functional>
#include <vector>

#include "analyzer/core/run_labelling.h"
#include "common/stripes.h"
#include "common/region_data.h"

namespace quenda {

struct RegionNumbering {
  uint32_t total = 0;     // numbers given, the unwritten ones beyond kMaxRegions included
  bool overflow = false;  // total > kMaxRegions: the map and boxes are not complete
};

// Fills `regionMap` with width * height numbers (bands write over a map of that size already
// rather than fill it first) and `bounds` with total + 1 boxes (entry 0 unused), the labels' rows
// in `bands`. `rows(y0, y1)` is called once for every band's rows, on its thread, for other per-row
// work of the same pass.
RegionNumbering NumberRegions(const RunLabeller& labeller, int width, int height,
                              const Stripes& bands, std::vector<uint16_t>& regionMap,
                              std::vector<RegionBox>& bounds,
                              const std::function<void(int, int)>& rows);

}  // namespace quenda

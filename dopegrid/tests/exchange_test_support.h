#pragma once
// Helpers for the timesheet, CSV and lip-sync tests: sequences as bare files on disk, sheets
// generated over them, and cells compared by the drawing they show.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/frame_sequence.h"
#include "dopegrid/core/sheet_exchange.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda::testing {

// Empty files name1.qds .. (tags as "1", "2a") in `folder`; answers the sequence as a sheet
// would hold it.
DrawingSequence TouchSequence(const std::string& folder, const std::string& name,
                              const std::vector<std::string>& tags);

// Per level and frame, the drawing a cell shows as "FOLDER/NAME TAG", or "" when empty.
std::vector<std::vector<std::string>> DrawingsOf(const CSheetGrid& sheet,
                                                 const std::vector<DrawingSequence>& sequences);

// A sheet of `levels` levels and `frames` frames over `sequences`, its cells drawn from `seed`:
// runs of holds, empty stretches, empty levels, and levels mixing sequences.
CSheetGrid GeneratedSheet(int levels, int frames, const std::vector<DrawingSequence>& sequences,
                          unsigned seed);

// A column's texts, blank-separated, "." for an empty cell.
std::string ColumnText(const ExchangeColumn& column);

}  // namespace quenda::testing

#pragma once
// The assignment of auto paint by shapes: every target region paired with a distinct source
// region (or with its own "leave unmatched" column) so that the pairs cost least in all.

#include <vector>

namespace quenda {

// Cost of a pair that may not be made.
inline constexpr double kNoPair = 1e9;

// Minimum-cost assignment of every row to a distinct column (rows <= columns), by shortest
// augmenting paths with potentials. `cost` is rows x columns, row major. The column of each
// row, -1 for none.
std::vector<int> Assign(const std::vector<double>& cost, int rows, int cols);

}  // namespace quenda

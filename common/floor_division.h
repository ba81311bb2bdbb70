#pragma once
// Whole-number division rounded down or up rather than towards zero, for a numerator of either
// sign and a positive divisor: the grid cell of a position left of or above the grid's origin.

namespace quenda {

constexpr int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
constexpr int CeilDiv(int a, int b) {
  return -FloorDiv(-a, b);
}

}  // namespace quenda

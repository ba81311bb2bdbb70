#include "autopaint/assignment.h"

#include <algorithm>
#include <cstddef>

namespace quenda {

std::vector<int> Assign(const std::vector<double>& cost, int rows, int cols) {
  std::vector<double> u(std::size_t(rows) + 1, 0), v(std::size_t(cols) + 1, 0);
  std::vector<int> owner(std::size_t(cols) + 1, 0), way(std::size_t(cols) + 1, 0);
  std::vector<double> least(std::size_t(cols) + 1);
  std::vector<char> used(std::size_t(cols) + 1);
  for (int i = 1; i <= rows; ++i) {
    owner[0] = i;
    int j0 = 0;
    std::fill(least.begin(), least.end(), 4 * kNoPair);
    std::fill(used.begin(), used.end(), 0);
    do {
      used[std::size_t(j0)] = 1;
      const int i0 = owner[std::size_t(j0)];
      double delta = 8 * kNoPair;
      int j1 = 0;
      const double* row = &cost[std::size_t(i0 - 1) * std::size_t(cols)];
      for (int j = 1; j <= cols; ++j) {
        if (used[std::size_t(j)]) continue;
        const double reduced = row[j - 1] - u[std::size_t(i0)] - v[std::size_t(j)];
        if (reduced < least[std::size_t(j)]) {
          least[std::size_t(j)] = reduced;
          way[std::size_t(j)] = j0;
        }
        if (least[std::size_t(j)] < delta) {
          delta = least[std::size_t(j)];
          j1 = j;
        }
      }
      for (int j = 0; j <= cols; ++j) {
        if (used[std::size_t(j)]) {
          u[std::size_t(owner[std::size_t(j)])] += delta;
          v[std::size_t(j)] -= delta;
        } else {
          least[std::size_t(j)] -= delta;
        }
      }
      j0 = j1;
    } while (owner[std::size_t(j0)] != 0);
    do {
      const int j1 = way[std::size_t(j0)];
      owner[std::size_t(j0)] = owner[std::size_t(j1)];
      j0 = j1;
    } while (j0 != 0);
  }
  std::vector<int> columnOf(std::size_t(rows), -1);
  for (int j = 1; j <= cols; ++j)
    if (owner[std::size_t(j)] != 0) columnOf[std::size_t(owner[std::size_t(j)] - 1)] = j - 1;
  return columnOf;
}

}  // namespace quenda

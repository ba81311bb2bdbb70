#include "common/undo_differences.h"

#include <algorithm>

namespace quenda {
namespace {

// Unchanged pixels shorter than this between two changed ones are kept inside one run: a run
// record costs eight bytes.
constexpr std::size_t kJoinGap = 8;

}  // namespace

template <typename T>
std::optional<ChangedRuns<T>> DifferencesOf(const std::vector<T>& before,
                                            const std::vector<T>& after) {
  if (before.size() != after.size() || before.size() > UINT32_MAX) return std::nullopt;
  ChangedRuns<T> changes;
  const std::size_t n = before.size();
  const std::size_t wholeCopy = n * sizeof(T);
  std::size_t i = 0;
  while (i < n) {
    while (i < n && before[i] == after[i]) ++i;
    if (i == n) break;
    const std::size_t start = i;
    std::size_t end = i + 1;  // one past the last changed pixel of the run
    for (std::size_t gap = 0; end + gap < n && gap < kJoinGap;) {
      if (before[end + gap] != after[end + gap]) {
        end += gap + 1;
        gap = 0;
      } else {
        ++gap;
      }
    }
    changes.runs.push_back({uint32_t(start), uint32_t(end - start)});
    changes.old.insert(changes.old.end(), before.begin() + std::ptrdiff_t(start),
                       before.begin() + std::ptrdiff_t(end));
    if (changes.old.size() * sizeof(T) +
            changes.runs.size() * sizeof(typename ChangedRuns<T>::Run) >=
        wholeCopy)
      return std::nullopt;
    i = end;
  }
  changes.runs.shrink_to_fit();
  changes.old.shrink_to_fit();
  return changes;
}

template <typename T>
void RestoreDifferences(const ChangedRuns<T>& changes, std::vector<T>& map) {
  std::size_t at = 0;
  for (const auto& run : changes.runs) {
    if (std::size_t(run.start) + run.count > map.size()) break;
    std::copy_n(changes.old.begin() + std::ptrdiff_t(at), run.count,
                map.begin() + std::ptrdiff_t(run.start));
    at += run.count;
  }
}

template std::optional<ChangedRuns<uint8_t>> DifferencesOf(const std::vector<uint8_t>&,
                                                           const std::vector<uint8_t>&);
template std::optional<ChangedRuns<uint16_t>> DifferencesOf(const std::vector<uint16_t>&,
                                                            const std::vector<uint16_t>&);
template void RestoreDifferences(const ChangedRuns<uint8_t>&, std::vector<uint8_t>&);
template void RestoreDifferences(const ChangedRuns<uint16_t>&, std::vector<uint16_t>&);

}  // namespace quenda

#pragma once
// An undo copy of a per-pixel map kept as its differences: once a change is complete, only the
// runs of pixels it changed keep their old values, so an undo held between commands costs what
// the change touched rather than a copy of the whole drawing. Close changed pixels share a run,
// so a scattered change does not cost a record per pixel; a change that touched about
// everything stays a whole copy.

#include <cstdint>
#include <optional>
#include <vector>

namespace quenda {

template <typename T>
struct ChangedRuns {
  struct Run {
    uint32_t start = 0;
    uint32_t count = 0;
  };
  std::vector<Run> runs;  // ascending, apart
  std::vector<T> old;     // the runs' old values, one after another
};

// The runs where `before` and `after` (of one size) differ; nothing when a whole copy would be
// no larger.
template <typename T>
std::optional<ChangedRuns<T>> DifferencesOf(const std::vector<T>& before,
                                            const std::vector<T>& after);
// Puts the old values back into `map` (the state the differences were taken against, or a
// later one that changed nothing outside the runs).
template <typename T>
void RestoreDifferences(const ChangedRuns<T>& changes, std::vector<T>& map);

}  // namespace quenda

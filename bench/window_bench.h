#pragma once
// What the benchmarks of the windowed programs share: the resident memory of the process, the
// median of timed runs, the "--runs N" option and the offscreen application they run in.

#include <functional>

namespace quenda::bench {

// Resident bytes of this process, once freed memory has gone back to the system.
double TrimmedResidentBytes();

// The median milliseconds of `runs` calls of `work` (given the run's index).
double MedianMs(int runs, const std::function<void(int)>& work);

// N of "--runs N" (at least 1), else `fallback`.
int RunsOption(int argc, char** argv, int fallback);

// The benchmark's main: `run` with the runs asked for, in an application whose windows are
// offscreen unless QT_QPA_PLATFORM says otherwise.
int RunOffscreen(int argc, char** argv, int defaultRuns, int (*run)(int runs));

}  // namespace quenda::bench

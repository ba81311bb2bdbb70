#pragma once
// What the benchmarks of the windowed programs share: the resident memory of the process, the
// median of timed runs, the "--runs N" option and the offscreen application they run in.

#include <functional>
#include <string_view>

namespace quenda::bench {

// Resident bytes of this process, once freed memory has gone back to the system.
double TrimmedResidentBytes();

// The median milliseconds of `runs` calls of `work` (given the run's index).
double MedianMs(int runs, const std::function<void(int)>& work);

// N of "--runs N" (at least 1), else `fallback`.
int RunsOption(int argc, char** argv, int fallback);

// Three colours to paint with: a new colour set has only the fixed entries, which no tool
// paints with, so entries 3, 4 and 5 are these.
struct BenchColour {
  std::string_view name;
  int red, green, blue;
};
inline constexpr BenchColour kBenchColours[] = {
    {"SKIN", 250, 205, 170}, {"SHIRT", 40, 90, 200}, {"HAIR", 120, 70, 30}};

// The benchmark's main: `run` with the runs asked for, in an application whose windows are
// offscreen unless QT_QPA_PLATFORM says otherwise.
int RunOffscreen(int argc, char** argv, int defaultRuns, int (*run)(int runs));

}  // namespace quenda::bench

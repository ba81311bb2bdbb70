#include "window_bench.h"

#include <malloc.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace quenda::bench {

double TrimmedResidentBytes() {
  malloc_trim(0);
  double bytes = 0;
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return bytes;
  char line[256];
  while (std::fgets(line, sizeof line, status)) {
    double kb = 0;
    if (std::sscanf(line, "VmRSS: %lf kB", &kb) == 1) bytes = kb * 1024;
  }
  std::fclose(status);
  return bytes;
}

double MedianMs(int runs, const std::function<void(int)>& work) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work(i);
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times.empty() ? 0 : times[times.size() / 2];
}

int RunsOption(int argc, char** argv, int fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) return std::max(1, std::atoi(argv[i + 1]));
  return fallback;
}

int RunOffscreen(int argc, char** argv, int defaultRuns, int (*run)(int runs)) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return run(RunsOption(argc, argv, defaultRuns));
}

}  // namespace quenda::bench

#include "bench/analyze_scaling.h"

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/thread_pool.h"
#include "samples/sample_drawing.h"
#include "testing/spawned_process.h"

namespace quenda::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct A4 {
  int dpi, width, height;
};
constexpr A4 kSizes[] = {{150, 1240, 1754}, {300, 2480, 3508}, {600, 4960, 7016}};

std::vector<uint8_t> SampleGrey(const A4& size) {
  samples::SampleOptions options;
  options.width = size.width, options.height = size.height, options.dpi = size.dpi;
  options.seed = 7;
  return samples::MakeSampleDrawing(options, 3, 12).picture.bytes();
}

template <class T>
std::size_t Held(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

// The tool's peak resident size as its parent's wait4 reports it counts the memory of the
// process that started it too (the kernel keeps the larger across exec), so the tool is started
// by a helper forked before this benchmark grew: it reads a drawing's path from one pipe and
// answers the peak bytes on the other.
struct Spawner {
  int request = -1;
  int answer = -1;
};
Spawner gSpawner;

// The tool measured: this build's, or another given with --tool (an older build, for the figures
// before a change).
std::string gToolPath = QUENDA_TOOL_PATH;

long long RunTool(const std::string& scanPath) {
  const pid_t child =
      testing::SpawnProcess({gToolPath, "analyze", scanPath, "--yes", "--jobs", "1"}, "/dev/null");
  int status = 0;
  rusage usage{};
  const bool ran = child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status) &&
                   WEXITSTATUS(status) == 0;
  return ran ? (long long)usage.ru_maxrss * 1024 : -1;
}

[[noreturn]] void ServeSpawns(int requests, int answers) {
  char path[4096];
  for (;;) {
    std::size_t length = 0;
    if (read(requests, &length, sizeof length) != sizeof length || length >= sizeof path ||
        read(requests, path, length) != ssize_t(length))
      _exit(0);
    const long long peak = RunTool(std::string(path, length));
    if (write(answers, &peak, sizeof peak) != sizeof peak) _exit(0);
  }
}

// The process's resident bytes now, or at their peak since ResetPeakResident ("VmRSS" or
// "VmHWM"); -1 where the kernel does not tell.
long long ResidentBytes(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long long kilobytes = -1;
  const std::size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, field, length) == 0 && line[length] == ':')
      kilobytes = std::atoll(line + length + 1);
  std::fclose(status);
  return kilobytes < 0 ? -1 : kilobytes * 1024;
}

// Starts the peak resident size afresh from the size now.
bool ResetPeakResident() {
  std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
  if (!refs) return false;
  const bool reset = std::fputs("5", refs) >= 0;
  return std::fclose(refs) == 0 && reset;
}

long long ToolPeak(const std::string& scan) {
  const std::size_t length = scan.size();
  long long peak = -1;
  if (gSpawner.request < 0 || write(gSpawner.request, &length, sizeof length) != sizeof length ||
      write(gSpawner.request, scan.data(), length) != ssize_t(length) ||
      read(gSpawner.answer, &peak, sizeof peak) != sizeof peak)
    peak = -1;
  return peak;
}

// Peak resident bytes of `quenda analyze` over a one-drawing sequence of this size: the first
// analysis, and one again over its regions painted (the old regions are read to carry the paint).
struct ToolPeaks {
  long long first = -1;
  long long painted = -1;
};

ToolPeaks AnalyzePeakBytes(const A4& size) {
  const std::string dir = "/tmp/bench_analyze_rss_" + std::to_string(getpid()) + "/";
  samples::SampleOptions options;
  options.width = size.width, options.height = size.height, options.dpi = size.dpi;
  options.seed = 7;
  ScriptedPrompt prompt;
  if (!samples::WriteSampleSequence(dir, "walk", 1, options, prompt)) return {};
  ToolPeaks peaks;
  peaks.first = ToolPeak(dir + "walk1.qds");
  Result<RegionFileStretches> regions =
      RegionFileStretches::Read(dir + "walk1.rgn", size.width, size.height, RegionReader::Analyzer);
  if (regions) {
    std::vector<int32_t> paint = DefaultPaint(regions->regionCount());
    for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = int32_t(3 + r % 5);
    if (WritePaintFile(dir + "walk1.pnt", paint, regions->regionCount()))
      peaks.painted = ToolPeak(dir + "walk1.qds");
  }
  std::filesystem::remove_all(dir);
  return peaks;
}

}  // namespace

double LinesAndRegionsMs(const std::vector<uint8_t>& grey, int width, int height,
                         const RedlineSettings& settings, int threads, int runs) {
  const int before = InnerThreads();
  SetInnerThreads(threads);
  WorkingImage image = MakeWorkingImage(width, height, grey, Display::None);
  NullProgress progress;
  std::vector<double> times;
  // One untimed run first, so the region maps hold their memory as in a batch run's later frames.
  for (int r = 0; r <= runs; ++r) {
    std::copy(grey.begin(), grey.end(), image.grey.begin());  // region extraction stretches it
    const auto a = Clock::now();
    GenerateLines(image, settings, 0, width, 0, height, progress);
    if (!ExtractRegions(image, settings, progress)) return -1;
    const auto b = Clock::now();
    if (r > 0) times.push_back(std::chrono::duration<double, std::milli>(b - a).count());
  }
  SetInnerThreads(before);
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void PrintLinesAndRegionsRows(double openCvMs, double boundMs, int runs) {
  const RedlineSettings settings;
  std::printf("\nLines + regions (GenerateLines + ExtractRegions, buffers reused), median of %d:\n",
              runs);
  double oneThread300 = 0;
  std::vector<uint8_t> grey300;
  for (const A4& size : kSizes) {
    const std::vector<uint8_t> grey = SampleGrey(size);
    const double ms = LinesAndRegionsMs(grey, size.width, size.height, settings, 1, runs);
    const double megapixels = double(size.width) * size.height / 1e6;
    std::printf("  A4 %3d dpi, %4d x %4d, one thread  %8.1f ms  %6.2f ms per megapixel\n", size.dpi,
                size.width, size.height, ms, ms / megapixels);
    if (size.dpi == 300) oneThread300 = ms, grey300 = grey;
  }
  const double twoThreads = LinesAndRegionsMs(grey300, 2480, 3508, settings, 2, runs);
  // Other work on the machine takes the second thread's core, so its load goes with the ratio.
  double load[3] = {};
  getloadavg(load, 3);
  std::printf(
      "  A4 300 dpi, two threads            %8.1f ms  (%.2fx of one thread; load average "
      "%.2f)\n",
      twoThreads, twoThreads / oneThread300, load[0]);
  if (openCvMs > 0)
    std::printf("  / OpenCV labelling (reused)      %6.2fx one thread, %.2fx two threads\n",
                oneThread300 / openCvMs, twoThreads / openCvMs);
  std::printf("  / memory-traffic bound (%.1f ms) %6.2fx one thread, %.2fx two threads\n", boundMs,
              oneThread300 / boundMs, twoThreads / boundMs);
}

void StartToolSpawner() {
  int requests[2], answers[2];
  if (pipe(requests) != 0 || pipe(answers) != 0) return;
  const pid_t helper = fork();
  if (helper == 0) {
    close(requests[1]), close(answers[0]);
    ServeSpawns(requests[0], answers[1]);
  }
  close(requests[0]), close(answers[1]);
  if (helper > 0) gSpawner = {requests[1], answers[0]};
}

void SetToolPath(const std::string& path) {
  gToolPath = path;
}

void PrintMemoryRows() {
  // What the tool takes whatever the drawing (its libraries' pages, mostly), from a drawing of
  // a few pixels: the figures per pixel are of the memory above it, and of all of it.
  const long long own = AnalyzePeakBytes({150, 64, 64}).first;
  std::printf(
      "\nPeak memory per pixel, one drawing (quenda analyze --jobs 1 of %s: resident above the "
      "%.0f MB it takes for a 64 x 64 drawing, and in all):\n",
      gToolPath == QUENDA_TOOL_PATH ? "this build" : gToolPath.c_str(), double(own) / 1e6);
  // The three A4 sizes, and the 10000 x 10000 drawing the tool is held to.
  constexpr A4 kToolSizes[] = {kSizes[0], kSizes[1], kSizes[2], {1000, 10000, 10000}};
  for (const A4& size : kToolSizes) {
    const double pixels = double(size.width) * size.height;
    const ToolPeaks peaks = AnalyzePeakBytes(size);
    for (const bool painted : {false, true}) {
      const long long peak = painted ? peaks.painted : peaks.first;
      std::printf(
          "  %4d dpi %5d x %5d%s: quenda analyze %5.2f bytes/pixel peak resident above (%4.0f "
          "MB), %5.2f in all\n",
          size.dpi, size.width, size.height, painted ? ", painted" : "         ",
          double(peak - own) / pixels, double(peak - own) / 1e6, double(peak) / pixels);
    }
  }
  PrintWorkingSetRows();
}

void PrintWorkingSetRows() {
  std::printf(
      "\nThe analyzer's working set per pixel (a drawing's buffers from its grey picture "
      "through Mark Regions):\n");
  for (const A4& size : kSizes) {
    const double pixels = double(size.width) * size.height;
    const std::vector<uint8_t> grey = SampleGrey(size);
    // Memory the drawing's making freed goes back first, so what the analysis touches counts.
    malloc_trim(0);
    const bool peakKnown = ResetPeakResident();
    const long long before = ResidentBytes("VmRSS");
    // The document's grey picture is a copy made inside the measure, as loading makes one; the
    // window composes what it shows, so the document holds no display picture.
    WorkingImage image = MakeWorkingImage(size.width, size.height, grey, Display::None);
    NullProgress progress;
    (void)MarkRegions(image, {}, progress);
    const long long peak = peakKnown ? ResidentBytes("VmHWM") - before : -1;
    // What the document keeps for the display and the paint tools.
    const std::size_t held = Held(image.grey) + Held(image.display.bytes()) +
                             Held(image.regions.flags) + Held(image.regions.regionMap) +
                             Held(image.regions.animColor) + Held(image.regions.regionBounds) +
                             Held(image.regionColor) + Held(image.regionColorUndo);
    std::printf(
        "  A4 %3d dpi: %5.2f bytes/pixel peak resident (%4.0f MB), %5.2f bytes/pixel held after\n",
        size.dpi, double(peak) / pixels, double(peak) / 1e6, double(held) / pixels);
  }
}

}  // namespace quenda::bench

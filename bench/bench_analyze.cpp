// How fast the analyzer turns an A4 300 dpi drawing into lines, regions and a region file, how
// much faster that is than the plain loops it must match, and how much memory it takes.
//
//   bench_analyze [--runs N] [--literal-crop SIDE] [--tool PATH]
//   bench_analyze --frames N
//   bench_analyze --working-set
//
// The literal loops run on a centred crop of SIDE x SIDE pixels (default: the whole drawing
// for region extraction, 1200 for line generation, whose loops are the slower ones).
// --tool measures the peak memory of another build of `quenda` (an older one, for figures
// before a change) instead of this build's.
// With --frames the figure is the batch run instead: N drawings of A4 at 300 dpi analyzed and
// written with one job and with two, as `quenda analyze --jobs` does.

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/core/batch_process.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_lines.h"
#include "analyzer/oracle/literal_regions.h"
#include "bench/analyze_scaling.h"
#include "common/heap_reuse.h"
#include "common/large_pages.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/thread_pool.h"
#include "samples/sample_drawing.h"

#ifdef QUENDA_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

// Heap accounting, so the peak working memory can be told apart from the generator's.
namespace {
std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};
void Count(long long bytes) {
  long long now = gLive += bytes;
  long long peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
}
}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size + 16);
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  Count((long long)size);
  return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* base = static_cast<char*>(p) - 16;
  Count(-(long long)*reinterpret_cast<std::size_t*>(base));
  std::free(base);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::vector<uint8_t> Crop(const std::vector<uint8_t>& grey, int w, int h, int side) {
  side = std::min({side, w, h});
  int x0 = (w - side) / 2, y0 = (h - side) / 2;
  std::vector<uint8_t> out(std::size_t(side) * side);
  for (int y = 0; y < side; ++y)
    std::memcpy(out.data() + std::size_t(y) * side, grey.data() + std::size_t(y + y0) * w + x0,
                std::size_t(side));
  return out;
}

RegionData TakeRegionData(WorkingImage& image) {
  return std::move(image.regions);
}

// Bytes per pixel each stage must at least read and write once: GenerateLines reads the grey
// picture and writes flags (no program makes the display picture any more); ExtractRegions reads
// flags, stretches the grey in place and writes the 2-byte region and line-colour maps; the file
// reads the three maps. OpenCV's labelling reads the map and writes 4-byte labels.
constexpr double kLinesBytes = 1 + 1;
constexpr double kRegionsBytes = 1 + 2 + 2 + 2;
constexpr double kFileBytes = 1 + 2 + 2;
constexpr double kLabelBytes = 1 + 4;

// Memory bandwidth as a copy between two warm buffers as large as a region map sees it, in
// bytes moved (read plus written) per millisecond.
double CopyBandwidth(std::size_t bytes, int runs) {
  std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
  std::vector<double> times;
  for (int r = 0; r < std::max(runs, 3); ++r) {
    auto a = Clock::now();
    std::memcpy(to.data(), from.data(), bytes);
    auto b = Clock::now();
    times.push_back(Ms(a, b));
    from[std::size_t(r) % bytes] = to[bytes / 2];  // keeps the copy from being dropped
  }
  return 2.0 * double(bytes) / Median(times);
}

// OpenCV's labelling of the same line map, 4-connected, one thread, 32-bit labels. Like each
// frame's analysis, every run writes fresh labels: in memory OpenCV allocates itself, in
// memory advised for large pages as the analysis's own buffers are, and (its best case) in
// labels reused from the run before. Zeros when OpenCV is not built in.
struct OpenCvTimes {
  double ownMemory = 0;
  double largePages = 0;
  double reused = 0;
};

OpenCvTimes OpenCvLabelling(const std::vector<uint8_t>& flags, int w, int h, int runs) {
  OpenCvTimes times;
#ifdef QUENDA_HAVE_OPENCV
  cv::setNumThreads(1);
  cv::Mat map(h, w, CV_8U);
  for (std::size_t i = 0; i < flags.size(); ++i) map.data[i] = (flags[i] & 1) ? 0 : 255;
  std::vector<double> own, large, reused;
  cv::Mat kept;
  for (int r = 0; r < runs; ++r) {
    {
      cv::Mat labels;
      auto a = Clock::now();
      cv::connectedComponents(map, labels, 4, CV_32S);
      own.push_back(Ms(a, Clock::now()));
    }
    {
      std::vector<int32_t> memory;
      auto a = Clock::now();
      ReserveLarge(memory, std::size_t(w) * h);
      cv::Mat labels(h, w, CV_32S, memory.data());
      cv::connectedComponents(map, labels, 4, CV_32S);
      large.push_back(Ms(a, Clock::now()));
    }
    auto a = Clock::now();
    cv::connectedComponents(map, kept, 4, CV_32S);
    reused.push_back(Ms(a, Clock::now()));
  }
  times = {Median(own), Median(large), Median(reused)};
#else
  (void)flags, (void)w, (void)h, (void)runs;
#endif
  return times;
}

int Run(int runs, int lineCrop, int regionCrop) {
  const int w = 2480, h = 3508;
  samples::SampleOptions options;
  options.width = w, options.height = h, options.dpi = 300, options.seed = 7;
  const std::vector<uint8_t> grey = samples::MakeSampleDrawing(options, 3, 12).picture.bytes();
  const double pixels = double(w) * h;
  const RedlineSettings settings;
  const std::string path = "/tmp/bench_analyze_" + std::to_string(getpid()) + ".rgn";

  std::vector<double> lines, regions, file, total;
  double peakPerPixel = 0;
  int regionCount = 0;
  std::vector<uint8_t> lineMap;
  for (int r = 0; r < runs; ++r) {
    gPeak = gLive.load();
    const long long before = gLive;
    NullProgress progress;
    auto t0 = Clock::now();
    WorkingImage image = MakeWorkingImage(w, h, grey, Display::None);
    GenerateLines(image, settings, 0, w, 0, h, progress);
    auto t1 = Clock::now();
    if (!ExtractRegions(image, settings, progress)) return 1;
    ResetRegionColours(image);
    auto t2 = Clock::now();
    Status written = WriteRegionFile(path, image.regions, RegionWriter::Analyzer);
    auto t3 = Clock::now();
    if (!written) {
      std::printf("region file: %s\n", written.message().c_str());
      return 1;
    }
    lines.push_back(Ms(t0, t1));
    regions.push_back(Ms(t1, t2));
    file.push_back(Ms(t2, t3));
    total.push_back(Ms(t0, t3));
    peakPerPixel = double(gPeak - before) / pixels;
    regionCount = image.regions.regionCount + 1;
    if (lineMap.empty()) lineMap = image.regions.flags;
  }
  std::remove(path.c_str());

  std::printf("A4 300 dpi sample drawing, %d x %d, %d regions, median of %d runs, %d threads\n", w,
              h, regionCount, runs, InnerThreads());
  std::printf("  GenerateLines (incl. buffers)  %8.1f ms\n", Median(lines));
  std::printf("  ExtractRegions + colours       %8.1f ms\n", Median(regions));
  std::printf("  region file write              %8.1f ms\n", Median(file));
  std::printf("  all three                      %8.1f ms\n", Median(total));
  std::printf("  peak heap of the pipeline      %8.2f bytes per pixel\n", peakPerPixel);

  const double bandwidth = CopyBandwidth(std::size_t(pixels) * 4, runs);
  auto floor = [&](double bytesPerPixel) { return bytesPerPixel * pixels / bandwidth; };
  std::printf("\nMemory traffic lower bound at %.1f GB/s (memcpy of %.0f MB):\n", bandwidth / 1e6,
              pixels * 4 / 1e6);
  std::printf("  GenerateLines  %2.0f bytes/pixel %8.1f ms\n", kLinesBytes, floor(kLinesBytes));
  std::printf("  ExtractRegions %2.0f bytes/pixel %8.1f ms\n", kRegionsBytes, floor(kRegionsBytes));
  std::printf("  region file    %2.0f bytes/pixel %8.1f ms\n", kFileBytes, floor(kFileBytes));
  std::printf("  all three      %2.0f bytes/pixel %8.1f ms\n",
              kLinesBytes + kRegionsBytes + kFileBytes,
              floor(kLinesBytes + kRegionsBytes + kFileBytes));

  const OpenCvTimes opencv = OpenCvLabelling(lineMap, w, h, runs);
  if (opencv.largePages > 0) {
    std::printf("\nOpenCV connectedComponents on the same line map (4-connected, one thread):\n");
    std::printf("  fresh labels, OpenCV's memory  %8.1f ms\n", opencv.ownMemory);
    std::printf("  fresh labels, large pages      %8.1f ms (floor %.1f ms)\n", opencv.largePages,
                floor(kLabelBytes));
    std::printf("  labels reused between runs     %8.1f ms\n", opencv.reused);
    std::printf("  ExtractRegions / OpenCV        %8.2f x fresh, %.2f x reused\n",
                Median(regions) / opencv.largePages, Median(regions) / opencv.reused);
    std::printf("  all three / OpenCV             %8.2f x fresh, %.2f x reused\n",
                Median(total) / opencv.largePages, Median(total) / opencv.reused);
  } else {
    std::printf("\nOpenCV not found\n");
  }
  bench::PrintLinesAndRegionsRows(opencv.reused, floor(kLinesBytes + kRegionsBytes), runs);
  bench::PrintMemoryRows();

  // Against the literal loops, on the same pixels.
  auto compare = [&](int side, bool withLines) {
    const int cw = std::min(side, w), ch = std::min(side, h);
    std::vector<uint8_t> cropped = side >= std::max(w, h) ? grey : Crop(grey, w, h, side);
    NullProgress progress;
    WorkingImage fast = MakeWorkingImage(cw, ch, cropped);
    WorkingImage literal = MakeWorkingImage(cw, ch, cropped);
    double fastLines = 0, literalLines = 0;
    if (withLines) {
      auto a = Clock::now();
      GenerateLines(fast, settings, 0, cw, 0, ch, progress);
      auto b = Clock::now();
      GenerateLinesLiteral(literal, settings, 0, cw, 0, ch, progress);
      auto c = Clock::now();
      fastLines = Ms(a, b), literalLines = Ms(b, c);
    } else {
      GenerateLines(fast, settings, 0, cw, 0, ch, progress);
      literal.regions.flags = fast.regions.flags;
      literal.display = fast.display;
    }
    auto a = Clock::now();
    Status fastStatus = ExtractRegions(fast, settings, progress);
    auto b = Clock::now();
    Status literalStatus = ExtractRegionsLiteral(literal, settings, progress);
    auto c = Clock::now();
    bool same = fastStatus.ok() && literalStatus.ok() &&
                fast.regions.flags == literal.regions.flags && fast.display == literal.display &&
                fast.grey == literal.grey && TakeRegionData(fast) == TakeRegionData(literal);
    std::printf("\nLiteral loops on %d x %d pixels (results %s):\n", cw, ch,
                same ? "identical" : "DIFFERENT");
    if (withLines)
      std::printf("  GenerateLines   %9.1f ms literal, %7.1f ms here: %6.0fx\n", literalLines,
                  fastLines, literalLines / fastLines);
    std::printf("  ExtractRegions  %9.1f ms literal, %7.1f ms here: %6.0fx\n", Ms(b, c), Ms(a, b),
                Ms(b, c) / Ms(a, b));
    return same;
  };
  bool same = compare(lineCrop, true);
  same &= compare(regionCrop, false);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("\nprocess peak resident size %.0f MB\n", usage.ru_maxrss / 1024.0);
  return same ? 0 : 1;
}

// The batch run over `frames` A4 300 dpi drawings with one job and with two, best of three; the
// machine's load is printed too, since other work on it takes cores from the second job.
int BatchFrames(int frames) {
  const std::string dir = "/tmp/bench_analyze_batch_" + std::to_string(getpid()) + "/";
  samples::SampleOptions options;
  options.width = 2480, options.height = 3508, options.dpi = 300, options.seed = 7;
  ScriptedPrompt prompt;
  if (!samples::WriteSampleSequence(dir, "walk", frames, options, prompt)) return 1;
  const DrawingSequence sequence = OpenSequence(dir + "walk1.qds", "walk1.qds");
  // Best of three rounds, one job and two taking turns, so that the disk's writing back of
  // earlier files falls on both alike.
  double seconds[3] = {0, 1e9, 1e9};
  for (int round = 0; round < 3; ++round)
    for (int jobs : {1, 2}) {
      NullProgress progress;
      const auto t0 = Clock::now();
      BatchResult result = RunBatchProcess(sequence, AllFrames(sequence), RedlineSettings{}, prompt,
                                           progress, {}, jobs);
      seconds[jobs] = std::min(seconds[jobs], Ms(t0, Clock::now()) / 1000);
      if (result.WrittenCount() != frames) return 1;
    }
  double load[3] = {};
  getloadavg(load, 3);
  std::printf(
      "batch of %d A4 300 dpi drawings: --jobs 1 %.2f s, --jobs 2 %.2f s (%.2fx of one job)\n",
      frames, seconds[1], seconds[2], seconds[2] / seconds[1]);
  std::printf("cores %u, load average %.2f %.2f %.2f\n", std::thread::hardware_concurrency(),
              load[0], load[1], load[2]);
  std::filesystem::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  int runs = 5, lineCrop = 1200, regionCrop = 1 << 20, frames = 0;
  // The document's working set alone, the figure of the window's memory.
  if (argc == 2 && std::strcmp(argv[1], "--working-set") == 0) {
    quenda::bench::PrintWorkingSetRows();
    return 0;
  }
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--tool") == 0) quenda::bench::SetToolPath(argv[i + 1]);
    if (std::strcmp(argv[i], "--literal-crop") == 0)
      lineCrop = regionCrop = std::max(1, std::atoi(argv[i + 1]));
  }
  if (frames > 0) {
    quenda::KeepFreedBuffersForReuse();  // as the tool does
    return quenda::BatchFrames(frames);
  }
  // The helper that starts the tool takes the tool's path with it.
  quenda::bench::StartToolSpawner();
  return quenda::Run(runs, lineCrop, regionCrop);
}

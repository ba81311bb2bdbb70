// How fast the painter opens a long sequence: the time from opening an A4 150 dpi sequence
// (500 painted frames by default) to its first frame on screen, and until every frame icon of
// the strip is in, with the icon cache empty (cold) and filled by the run before (warm).
//
//   bench_painter_open [--frames N] [--unpainted] [--dir DIR]
//
// --unpainted leaves the frames without paint files, as a sequence fresh from the analyzer: the
// painter then looks for thousands of files that are not there. The analyzed sequence is made
// once into DIR (default /tmp/bench_painter_open/, with -unpainted for the second kind) and
// reused by later runs; only the opening is timed. The window runs offscreen with its cache
// under DIR, and the process's CPU time is printed beside each wall time.

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/app/main_frame.h"
#include "painter/app/painter_view.h"
#include "painter/app/time_view.h"
#include "samples/sample_drawing.h"
#include "ui/settings.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The CPU time of the whole process, every thread.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// Every region but the paper painted with one of the sample's colours.
bool Paint(const std::string& drawing, int regionCount) {
  std::vector<int32_t> paint = DefaultPaint(regionCount);
  for (std::size_t r = 2; r < paint.size(); ++r)
    paint[r] = kFirstUserColor + int(r % std::size(samples::kSampleColors));
  return WritePaintFile(drawing.substr(0, drawing.size() - 4) + ".pnt", paint).ok();
}

bool Analyze(const std::string& drawing, bool painted) {
  auto scan = ReadDrawingScan(drawing, ScanReader::Analyzer);
  if (!scan) return false;
  WorkingImage image = MakeWorkingImage(scan->scan.picture.width(), scan->scan.picture.height(),
                                        scan->scan.picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, scan->scan.picture.width(), 0,
                scan->scan.picture.height(), progress);
  if (!ExtractRegions(image, RedlineSettings{}, progress).ok()) return false;
  std::string region = drawing.substr(0, drawing.size() - 4) + ".rgn";
  if (!WriteRegionFile(region, image.regions, RegionWriter::Analyzer).ok()) return false;
  return !painted || Paint(drawing, image.regions.regionCount);
}

// Drawings, region files and (when painted) paint files of walk1 .. walkN, made on every core
// unless already there.
bool PrepareSequence(const std::string& directory, int frames, bool painted) {
  const std::string last = directory + "walk" + std::to_string(frames);
  if (FileOpensForReading(last + ".rgn") && FileOpensForReading(last + ".pnt") == painted)
    return true;
  std::printf("Preparing %d analyzed%s A4 150 dpi frames in %s (once)...\n", frames,
              painted ? " and painted" : "", directory.c_str());
  ScriptedPrompt prompt;
  if (!samples::WriteSampleSequence(directory, "walk", frames, samples::SampleOptions{}, prompt)
           .ok())
    return false;
  std::atomic<int> next{1};
  std::atomic<bool> failed{false};
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
    workers.emplace_back([&] {
      for (int i = next++; i <= frames && !failed; i = next++)
        if (!Analyze(directory + "walk" + std::to_string(i) + ".qds", painted)) failed = true;
    });
  }
  for (std::thread& worker : workers) worker.join();
  return !failed;
}

struct OpenTimes {
  double firstFrameMs = 0, firstFrameCpuMs = 0;
  double allIconsMs = 0, allIconsCpuMs = 0;
  int visibleCells = 0;
};

OpenTimes TimeOpening(const std::string& directory) {
  ScriptedPrompt prompt;
  Settings settings(QStringLiteral("painter"), QString::fromStdString(directory));
  CMainFrame frame(&prompt, &settings);
  frame.resize(1280, 960);
  frame.show();
  QApplication::processEvents();
  OpenTimes times;
  const auto start = Clock::now();
  const double startCpu = CpuMs();
  if (!frame.OpenFile(QString::fromStdString(directory + "walk1.qds"))) std::exit(1);
  frame.repaint();  // the first frame drawn, with the strip
  times.firstFrameMs = MsSince(start);
  times.firstFrameCpuMs = CpuMs() - startCpu;
  CTimeView& strip = *frame.timeView();
  // Sleeps until the next icon arrives (the timer only bounds the wait): a loop that polls
  // would take a core from the workers.
  QTimer tick;
  tick.start(100);
  while (!strip.iconsComplete()) {
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (MsSince(start) > 600000) std::exit(1);
  }
  times.allIconsMs = MsSince(start);
  times.allIconsCpuMs = CpuMs() - startCpu;
  times.visibleCells = strip.visibleCells();
  return times;
}

int Run(int frames, bool painted, std::string directory) {
  if (directory.back() != '/') directory += '/';
  std::filesystem::create_directories(directory);
  if (!PrepareSequence(directory, frames, painted)) return 1;
  const std::string cache = directory + "cache";
  qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache));
  std::filesystem::remove_all(cache);
  std::printf("%d %s frames of %d x %d; times from opening (CPU of the process)\n", frames,
              painted ? "painted" : "unpainted", samples::SampleOptions{}.width,
              samples::SampleOptions{}.height);
  {
    // The document alone: listing, checks, colour set and the first frame's files.
    ScriptedPrompt prompt;
    CPainterDoc doc(prompt);
    const auto start = Clock::now();
    const double startCpu = CpuMs();
    if (!doc.OpenSequenceFile(directory + "walk1.qds")) return 1;
    std::printf("  document alone: sequence open with its first frame %7.1f ms (CPU %7.1f)\n",
                MsSince(start), CpuMs() - startCpu);
  }
  for (const char* run : {"cold cache", "warm cache"}) {
    const OpenTimes times = TimeOpening(directory);
    std::printf(
        "  %s: first frame shown %7.1f ms (CPU %7.1f), every icon in %8.1f ms (CPU %8.1f) (%d "
        "cells on show)\n",
        run, times.firstFrameMs, times.firstFrameCpuMs, times.allIconsMs, times.allIconsCpuMs,
        times.visibleCells);
  }
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  int frames = 500;
  bool painted = true;
  std::string directory;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--unpainted") == 0) painted = false;
    if (i + 1 == argc) break;
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--dir") == 0) directory = argv[i + 1];
  }
  if (directory.empty())
    directory = painted ? "/tmp/bench_painter_open/" : "/tmp/bench_painter_open-unpainted/";
  return quenda::Run(frames, painted, directory);
}

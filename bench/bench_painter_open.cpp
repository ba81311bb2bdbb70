// How fast the painter opens a long sequence: the time from opening a 500-frame A4 150 dpi
// sequence to its first frame on screen, and until every frame icon of the strip is in, with
// the icon cache empty (cold) and filled by the run before (warm).
//
//   bench_painter_open [--frames N] [--dir DIR]
//
// The analyzed sequence is made once into DIR (default /tmp/bench_painter_open/) and reused by
// later runs; only the opening is timed. The window runs offscreen with its cache under DIR.

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/file_io.h"
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

bool Analyze(const std::string& drawing) {
  auto scan = ReadDrawingScan(drawing, ScanReader::Analyzer);
  if (!scan) return false;
  WorkingImage image = MakeWorkingImage(scan->scan.picture.width(), scan->scan.picture.height(),
                                        scan->scan.picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, scan->scan.picture.width(), 0,
                scan->scan.picture.height(), progress);
  if (!ExtractRegions(image, RedlineSettings{}, progress).ok()) return false;
  std::string region = drawing.substr(0, drawing.size() - 4) + ".rgn";
  return WriteRegionFile(region, image.regions, RegionWriter::Analyzer).ok();
}

// Drawings and region files of walk1 .. walkN, made on every core unless already there.
bool PrepareSequence(const std::string& directory, int frames) {
  if (FileOpensForReading(directory + "walk" + std::to_string(frames) + ".rgn")) return true;
  std::printf("Preparing %d analyzed A4 150 dpi frames in %s (once)...\n", frames,
              directory.c_str());
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
        if (!Analyze(directory + "walk" + std::to_string(i) + ".qds")) failed = true;
    });
  }
  for (std::thread& worker : workers) worker.join();
  return !failed;
}

struct OpenTimes {
  double firstFrameMs = 0;
  double allIconsMs = 0;
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
  if (!frame.OpenFile(QString::fromStdString(directory + "walk1.qds"))) std::exit(1);
  frame.repaint();  // the first frame drawn, with the strip
  times.firstFrameMs = MsSince(start);
  CTimeView& strip = *frame.timeView();
  while (!strip.iconsComplete()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (MsSince(start) > 600000) std::exit(1);
  }
  times.allIconsMs = MsSince(start);
  times.visibleCells = strip.visibleCells();
  return times;
}

int Run(int frames, std::string directory) {
  if (directory.back() != '/') directory += '/';
  std::filesystem::create_directories(directory);
  if (!PrepareSequence(directory, frames)) return 1;
  const std::string cache = directory + "cache";
  qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache));
  std::filesystem::remove_all(cache);
  std::printf("%d frames of %d x %d; times from opening\n", frames, samples::SampleOptions{}.width,
              samples::SampleOptions{}.height);
  {
    // The document alone: listing, checks, colour set and the first frame's files.
    ScriptedPrompt prompt;
    CPainterDoc doc(prompt);
    const auto start = Clock::now();
    if (!doc.OpenSequenceFile(directory + "walk1.qds")) return 1;
    std::printf("  document alone: sequence open with its first frame %7.1f ms\n", MsSince(start));
  }
  for (const char* run : {"cold cache", "warm cache"}) {
    const OpenTimes times = TimeOpening(directory);
    std::printf("  %s: first frame shown %7.1f ms, every icon in %8.1f ms (%d cells on show)\n",
                run, times.firstFrameMs, times.allIconsMs, times.visibleCells);
  }
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  int frames = 500;
  std::string directory = "/tmp/bench_painter_open/";
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--dir") == 0) directory = argv[i + 1];
  }
  return quenda::Run(frames, directory);
}

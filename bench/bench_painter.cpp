// How fast the painter works on A4 300 dpi frames: reading a frame's files, auto paint of one
// frame from its neighbour, composing the whole frame in every view mode, and a region pen
// stroke that splits a large region.
//
//   bench_painter [--runs N]
//
// The frames are sample drawings analyzed by the analyzer core and written to a temporary
// folder, so the painter reads exactly what it reads in production.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/color_set.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/auto_paint.h"
#include "painter/core/frame_composition.h"
#include "painter/core/region_pen.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

// Median milliseconds of `runs` calls of `work`, each after an untimed `prepare`.
double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

FramePaths WriteAnalyzedFrame(const std::string& directory, int index, int count) {
  samples::SampleOptions options;
  options.width = 2480;
  options.height = 3508;
  options.dpi = 300;
  const DrawingScan scan = samples::MakeSampleDrawing(options, index, count);
  const std::string base = directory + "walk" + std::to_string(index + 1);
  FramePaths paths{base + ".qds", base + ".rgn", base + ".pnt"};
  if (!WriteDrawingScan(paths.scan, scan, ScanWriter::Scanner).ok()) std::exit(1);
  WorkingImage image =
      MakeWorkingImage(scan.picture.width(), scan.picture.height(), scan.picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, scan.picture.width(), 0, scan.picture.height(),
                progress);
  if (!ExtractRegions(image, RedlineSettings{}, progress).ok()) std::exit(1);
  if (!WriteRegionFile(paths.region, image.regions, RegionWriter::Analyzer).ok()) std::exit(1);
  return paths;
}

int Run(int runs) {
  char pattern[] = "/tmp/bench_painter_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string directory = std::string(pattern) + "/";
  std::printf("Preparing two analyzed A4 300 dpi frames (2480 x 3508)...\n");
  const FramePaths first = WriteAnalyzedFrame(directory, 0, 8);
  const FramePaths second = WriteAnalyzedFrame(directory, 1, 8);

  ScriptedPrompt prompt;
  ColorSet colors;
  for (const auto& c : samples::kSampleColors) AddColor(colors, c.name, c.red, c.green, c.blue);
  PainterFrame source, target;
  const double loadMs = MedianMs(
      runs, [] {}, [&] { LoadPainterFrame(target, second, colors.count, prompt); });
  if (!LoadPainterFrame(source, first, colors.count, prompt)) return 1;
  for (std::size_t r = 2; r < source.regionColor.size(); ++r)
    source.regionColor[r] = int32_t(3 + r % 5);
  std::printf("regions: source %d, target %d; %d runs, median times\n", source.region.RegionTotal(),
              target.region.RegionTotal(), runs);
  std::printf("  load frame (scan, region file, default paint)   %8.2f ms\n", loadMs);

  const PainterFrame fresh = target;
  const double autoMs = MedianMs(
      runs, [&] { target = fresh; }, [&] { AutoPaintFrom(target, source); });
  std::printf("  auto paint one frame from its neighbour         %8.2f ms\n", autoMs);
  std::printf("    unfilled after auto paint: %d of %d\n", CountUnfilledRegions(target),
              target.region.RegionTotal());

  Raster picture = MakeFramePicture(target);
  const struct {
    const char* name;
    ViewMode mode;
    PenComposition pen;
  } modes[] = {{"Region Line", ViewMode::RegionLine, PenComposition::Off},
               {"Regions Painted", ViewMode::RegionsPainted, PenComposition::Off},
               {"Composited", ViewMode::Composited, PenComposition::Off},
               {"Composited, region pen", ViewMode::Composited, PenComposition::On},
               {"X-Ray", ViewMode::XRay, PenComposition::Off}};
  for (const auto& m : modes) {
    const double ms = MedianMs(
        runs, [] {},
        [&] {
          ComposeFrame(target, colors, m.mode, m.pen, WholeImage(target.width, target.height),
                       picture);
        });
    std::printf("  compose whole frame, %-26s %8.2f ms\n", m.name, ms);
  }

  // A stroke right across the picture through the middle: it cuts the background and every
  // region of the figure on its way.
  const ImagePoint from{0, target.height / 2}, to{target.width - 1, target.height / 2 + 40};
  SplitResult split;
  const double splitMs = MedianMs(
      runs,
      [&] {
        target = fresh;
        DrawPenLine(target, from, to);
      },
      [&] {
        StrokeBox box = StrokeBox::At(from);
        box.Extend(to);
        split = SplitRegions(target, box);
      });
  std::printf("  split along a stroke across the picture         %8.2f ms (%d regions added)\n",
              splitMs, split.regionsAdded);
  std::filesystem::remove_all(directory);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  int runs = 7;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  return quenda::Run(runs);
}

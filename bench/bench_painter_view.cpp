// How fast the painter's window answers on an A4 300 dpi frame: the time from a brush segment,
// a single region fill or a scroll to the repainted picture view, at 100 % and 800 %; and the
// window's working set (resident bytes per pixel of the frame) once the frame is open and after
// brush strokes and fills that leave their undo.
//
//   bench_painter_view [--runs N]
//
// The window runs offscreen; a repaint is forced synchronously after each command so the
// figure covers composing the changed box (or what a scroll brings into sight) and drawing the
// window.

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/app/main_frame.h"
#include "painter/app/painter_view.h"
#include "samples/sample_drawing.h"
#include "ui/settings.h"
#include "window_bench.h"

namespace quenda {
namespace {

void PrintResident(const char* when, double pixels) {
  const double bytes = bench::TrimmedResidentBytes();
  std::printf("  working set %-36s %7.1f MB, %5.2f bytes/pixel\n", when, bytes / 1e6,
              bytes / pixels);
}

std::string WriteAnalyzedFrame(const std::string& directory) {
  samples::SampleOptions options;
  options.width = 2480;
  options.height = 3508;
  options.dpi = 300;
  const DrawingScan scan = samples::MakeSampleDrawing(options, 0, 8);
  const std::string base = directory + "walk1";
  if (!WriteDrawingScan(base + ".qds", scan, ScanWriter::Scanner).ok()) std::exit(1);
  WorkingImage image =
      MakeWorkingImage(scan.picture.width(), scan.picture.height(), scan.picture.bytes());
  NullProgress progress;
  GenerateLines(image, RedlineSettings{}, 0, scan.picture.width(), 0, scan.picture.height(),
                progress);
  if (!ExtractRegions(image, RedlineSettings{}, progress).ok()) std::exit(1);
  if (!WriteRegionFile(base + ".rgn", image.regions, RegionWriter::Analyzer).ok()) std::exit(1);
  return base + ".qds";
}

// The region with the largest box, and a point in it that is no line.
ImagePoint PointInLargeRegion(const PainterFrame& frame) {
  std::vector<int> area(frame.regionColor.size(), 0);
  for (std::size_t i = 0; i < frame.PixelCount(); ++i) {
    if ((frame.region.flags[i] & kFlagRegionLine) == 0) ++area[frame.region.regionMap[i]];
  }
  int best = 2;
  for (int r = 2; r < int(area.size()); ++r) {
    if (area[std::size_t(r)] > area[std::size_t(best)]) best = r;
  }
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const std::size_t i = frame.Index(x, y);
      if (frame.region.regionMap[i] == best && (frame.region.flags[i] & kFlagRegionLine) == 0) {
        return {x, y};
      }
    }
  }
  return {frame.width / 2, frame.height / 2};
}

int Run(int runs) {
  char pattern[] = "/tmp/bench_painter_view_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string directory = std::string(pattern) + "/";
  std::printf("Preparing an analyzed A4 300 dpi frame (2480 x 3508)...\n");
  const std::string drawing = WriteAnalyzedFrame(directory);

  ScriptedPrompt prompt;
  Settings settings(QStringLiteral("painter"), QString::fromStdString(directory));
  CMainFrame frame(&prompt, &settings);
  frame.resize(1280, 960);
  frame.show();
  if (!frame.OpenFile(QString::fromStdString(drawing))) return 1;
  QApplication::processEvents();
  CPainterDoc& doc = frame.document();
  CPainterView& view = *frame.pictureView();
  const ImagePoint inside = PointInLargeRegion(doc.frame());
  for (const bench::BenchColour& c : bench::kBenchColours)
    doc.AddColor(c.name, c.red, c.green, c.blue);
  std::printf("regions: %d; view %d x %d; %d runs, median times\n", doc.frame().regionCount(),
              view.viewport()->width(), view.viewport()->height(), runs);
  const double pixels = double(doc.frame().PixelCount());
  PrintResident("with the frame open:", pixels);

  for (int level : {1, 8}) {
    view.SetZoomLevel(level);
    // Centre the view on the region the commands change.
    const QRect target = view.ImageToWindow(QRect(inside.x, inside.y, 1, 1));
    view.SetScrollPosition(view.scrollPosition() + target.center() -
                           view.viewport()->rect().center());
    QApplication::processEvents();

    doc.SetTool(PainterTool::AnimBrush);
    doc.SetCurrentColor(3);
    doc.BrushPress(inside);
    const double brushMs = bench::MedianMs(runs, [&](int i) {
      const int step = (i % 2 == 0) ? 12 : -12;
      doc.BrushMove(inside, {inside.x + step, inside.y + step / 2});
      view.viewport()->repaint();
    });
    doc.BrushRelease();
    if (doc.frame().region.animColor[doc.frame().Index(inside.x, inside.y)] != 3) {
      std::fprintf(stderr, "the brush painted nothing\n");
      return 1;
    }
    if (level == 1) PrintResident("after a brush stroke (its undo held):", pixels);
    doc.SetTool(PainterTool::RegionFill);
    const double fillMs = bench::MedianMs(runs, [&](int i) {
      doc.SetCurrentColor(3 + i % 3);
      doc.RegionFillRelease({0, 0}, {0, 0}, inside, inside);
      view.viewport()->repaint();
    });
    // A scroll of 40 window pixels each way: what comes into sight is composed.
    const double scrollMs = bench::MedianMs(runs, [&](int i) {
      view.SetScrollPosition(view.scrollPosition() + QPoint(0, i % 2 == 0 ? 40 : -40));
      view.viewport()->repaint();
    });
    std::printf("  zoom %4d %%: brush segment %7.2f ms, region fill %7.2f ms, scroll %7.2f ms\n",
                view.zoomPercent(), brushMs, fillMs, scrollMs);
  }
  PrintResident("after a fill (its undo held):", pixels);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  return quenda::bench::RunOffscreen(argc, argv, 15, quenda::Run);
}

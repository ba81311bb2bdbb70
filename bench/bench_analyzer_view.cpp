// How the analyzer's window answers on an A4 300 dpi drawing, and what it holds: the window's
// working set (resident bytes per pixel of the drawing) with the drawing open, after Mark
// Regions and in paint mode, and the time from a command to the repainted picture view at 100 %
// and 800 %: a scroll, Test Settings, a paint mode view change, a region fill and a brush
// segment.
//
//   bench_analyzer_view [--runs N]
//
// The window runs offscreen; a repaint is forced synchronously after each command so the
// figure covers composing what changed (or what a scroll brings into sight) and drawing it.

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

#include "analyzer/app/analyzer_frame.h"
#include "analyzer/app/analyzer_view.h"
#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "ui/settings.h"
#include "window_bench.h"

namespace quenda {
namespace {

// Above what the window took before the drawing was opened.
void PrintResident(const char* when, double empty, double pixels) {
  const double bytes = bench::TrimmedResidentBytes() - empty;
  std::printf("  working set %-28s %7.1f MB, %5.2f bytes/pixel\n", when, bytes / 1e6,
              bytes / pixels);
}

// The region with the most pixels clear of lines, and one of its pixels.
ImagePoint PointInLargeRegion(const WorkingImage& image) {
  const RegionData& regions = image.regions;
  std::vector<int> area(std::size_t(regions.regionCount) + 2, 0);
  for (std::size_t i = 0; i < regions.PixelCount(); ++i)
    if ((regions.flags[i] & kFlagRegionLine) == 0) ++area[std::size_t(regions.regionMap[i])];
  int best = 2;
  for (int r = 2; r < int(area.size()); ++r)
    if (area[std::size_t(r)] > area[std::size_t(best)]) best = r;
  for (std::size_t i = 0; i < regions.PixelCount(); ++i)
    if (regions.regionMap[i] == best && (regions.flags[i] & kFlagRegionLine) == 0)
      return {int(i % std::size_t(image.width())), int(i / std::size_t(image.width()))};
  return {image.width() / 2, image.height() / 2};
}

void CentreOn(CAnalyzerView& view, ImagePoint at) {
  const QRect target = view.ImageToWindow(QRect(at.x, at.y, 1, 1));
  view.SetScrollPosition(view.scrollPosition() + target.center() -
                         view.viewport()->rect().center());
  QApplication::processEvents();
}

int Run(int runs) {
  char pattern[] = "/tmp/bench_analyzer_view_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string directory = std::string(pattern) + "/";
  std::printf("Preparing an A4 300 dpi drawing (2480 x 3508)...\n");
  samples::SampleOptions options;
  options.width = 2480;
  options.height = 3508;
  options.dpi = 300;
  const std::string drawing = directory + "walk1.qds";
  {
    const DrawingScan scan = samples::MakeSampleDrawing(options, 0, 8);
    if (!WriteDrawingScan(drawing, scan, ScanWriter::Scanner).ok()) return 1;
  }

  ScriptedPrompt prompt;
  Settings settings(QStringLiteral("analyzer"), QString::fromStdString(directory));
  CAnalyzerFrame frame(&prompt, {}, nullptr, &settings);
  frame.resize(1280, 960);
  frame.show();
  QApplication::processEvents();
  const double empty = bench::TrimmedResidentBytes();
  if (!frame.OpenFile(QString::fromStdString(drawing))) return 1;
  QApplication::processEvents();
  CAnalyzerDoc& doc = frame.document();
  CAnalyzerView& view = *frame.pictureView();
  const double pixels = double(doc.image().PixelCount());
  std::printf("view %d x %d; %d runs, median times\n", view.viewport()->width(),
              view.viewport()->height(), runs);
  PrintResident("with the drawing open:", empty, pixels);

  NullProgress progress;
  const ImagePoint middle{doc.image().width() / 2, doc.image().height() / 2};
  for (int level : {1, 8}) {
    view.SetZoomLevel(level);
    CentreOn(view, middle);
    const double scrollMs = bench::MedianMs(runs, [&](int i) {
      view.SetScrollPosition(view.scrollPosition() + QPoint(0, i % 2 == 0 ? 40 : -40));
      view.viewport()->repaint();
    });
    if (!doc.OpenLineSettings().ok()) return 1;
    const double testMs = bench::MedianMs(runs, [&](int i) {
      doc.TestSettings(i % 2 == 0, progress);
      view.viewport()->repaint();
    });
    doc.CancelLineSettings();
    QApplication::processEvents();
    std::printf("  drawing, zoom %4d %%: scroll %7.2f ms, Test Settings %7.2f ms\n",
                view.zoomPercent(), scrollMs, testMs);
  }
  if (!doc.MarkRegions(progress).ok()) return 1;
  QApplication::processEvents();
  std::printf("regions: %d\n", doc.image().regions.regionCount);
  PrintResident("after Mark Regions:", empty, pixels);
  for (const bench::BenchColour& c : bench::kBenchColours)
    if (!doc.AddColor(c.name, c.red, c.green, c.blue).ok()) return 1;
  if (!doc.EnterPaint().ok()) return 1;
  QApplication::processEvents();
  PrintResident("in paint mode:", empty, pixels);

  const ImagePoint inside = PointInLargeRegion(doc.image());
  for (int level : {1, 8}) {
    view.SetZoomLevel(level);
    CentreOn(view, inside);
    const ViewMode modes[] = {ViewMode::RegionLine, ViewMode::RegionsPainted, ViewMode::Composited};
    const double viewMs = bench::MedianMs(runs, [&](int i) {
      doc.SetViewMode(modes[i % 3]);
      view.viewport()->repaint();
    });
    doc.SetViewMode(ViewMode::RegionsPainted);
    doc.SetPaintTool(PaintTool::RegionFill);
    const double fillMs = bench::MedianMs(runs, [&](int i) {
      doc.SetCurrentColor(3 + i % 3);
      doc.FillRegionAt(inside.x, inside.y);
      view.viewport()->repaint();
    });
    doc.SetPaintTool(PaintTool::AnimBrush);
    doc.SetCurrentColor(3);
    doc.PaintPress(inside, {0, 0}, PaintButton::Left);
    const double brushMs = bench::MedianMs(runs, [&](int i) {
      const int step = (i % 2 == 0) ? 12 : -12;
      doc.PaintMove({inside.x + step, inside.y + step / 2});
      view.viewport()->repaint();
    });
    doc.PaintRelease(inside, {0, 0});
    const RegionData& painted = doc.image().regions;
    if (painted.animColor[std::size_t(inside.y) * std::size_t(painted.width) + inside.x] != 3) {
      std::fprintf(stderr, "the brush painted nothing\n");
      return 1;
    }
    QApplication::processEvents();
    std::printf(
        "  paint, zoom %4d %%: view change %7.2f ms, region fill %7.2f ms, brush segment "
        "%7.2f ms\n",
        view.zoomPercent(), viewMs, fillMs, brushMs);
  }
  PrintResident("after a stroke (its undo held):", empty, pixels);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  return quenda::bench::RunOffscreen(argc, argv, 15, quenda::Run);
}

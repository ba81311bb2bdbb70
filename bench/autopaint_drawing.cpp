#include "bench/autopaint_drawing.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/raster.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "samples/figure_parts.h"

namespace quenda {

using samples::FigureKind;
using samples::FigurePart;

int ColorOfPart(FigureKind kind, FigurePart part) {
  const auto parts = samples::FigureKindParts(kind);
  const auto at = std::find(parts.begin(), parts.end(), part);
  return at == parts.end() ? kTransparentColor : kFirstUserColor + int(at - parts.begin());
}

ColorSet ColorsOf(FigureKind kind) {
  ColorSet colors;
  for (FigurePart part : samples::FigureKindParts(kind)) {
    const samples::PartPaint paint = samples::PartPaintColor(part);
    AddColor(colors, samples::PartColorName(part), paint.red, paint.green, paint.blue);
  }
  return colors;
}

Drawing Analyze(const std::string& base, const samples::SampleDrawing& drawing,
                const ColorSet& colors, FigureKind kind, const RedlineSettings& lines,
                int closeGaps) {
  const DrawingScan& scan = drawing.scan;
  FramePaths paths{base + ".qds", base + ".rgn", base + ".pnt"};
  if (!WriteDrawingScan(paths.scan, scan, ScanWriter::Scanner).ok()) std::exit(1);
  WorkingImage image =
      MakeWorkingImage(scan.picture.width(), scan.picture.height(), scan.picture.bytes());
  NullProgress progress;
  GenerateLines(image, lines, 0, scan.picture.width(), 0, scan.picture.height(), progress);
  (void)CloseGapsOfDrawing(image, closeGaps, progress);
  if (!ExtractRegions(image, lines, progress).ok()) std::exit(1);
  if (!WriteRegionFile(paths.region, image.regions, RegionWriter::Analyzer).ok()) std::exit(1);
  ScriptedPrompt prompt;
  Drawing d;
  if (!LoadPainterFrame(d.frame, paths, colors.count, prompt)) std::exit(1);
  const std::vector<FigurePart> partMap =
      samples::RenderPartMap(drawing.parts, d.frame.width, d.frame.height);
  const samples::RegionTruth truth = samples::TrueRegionParts(partMap, d.frame.region);
  for (std::size_t i = 0; i < partMap.size(); ++i) {
    if (partMap[i] == FigurePart::Paper || (d.frame.region.flags[i] & kFlagRegionLine)) continue;
    ++d.figurePixels;
    const std::size_t r = d.frame.region.regionMap[i];
    if (r < truth.part.size() && truth.part[r] == FigurePart::Paper) ++d.openPixels;
  }
  for (FigurePart part : truth.part) {
    d.trueColor.push_back(ColorOfPart(kind, part));
    d.paper.push_back(part == FigurePart::Paper);
  }
  d.area = truth.area;
  return d;
}

Score Measure(const Drawing& d, const std::vector<int32_t>& colors) {
  Score score;
  for (std::size_t r = kBackgroundRegion; r < d.trueColor.size() && r < colors.size(); ++r) {
    if (d.paper[r]) {
      if (colors[r] >= kFirstUserColor) score.paperPainted += d.area[r];
      continue;
    }
    score.figure += d.area[r];
    if (colors[r] == kUnfilledColor)
      score.unfilled += d.area[r];
    else if (colors[r] == d.trueColor[r])
      score.right += d.area[r];
    else
      score.wrong += d.area[r];
  }
  return score;
}

void WriteOutcome(const Drawing& d, const std::vector<int32_t>& colors, int dpi,
                  const std::string& path) {
  const PainterFrame& f = d.frame;
  const int step = std::max(1, dpi / 75);
  // Worst first: red, magenta, yellow, green, line, paper.
  constexpr std::array<std::array<uint8_t, 3>, 6> kBgr{
      {{0, 0, 230}, {255, 0, 255}, {0, 230, 255}, {150, 230, 150}, {0, 0, 0}, {255, 255, 255}}};
  auto outcome = [&](int x, int y) {
    const std::size_t i = f.Index(x, y), r = f.region.regionMap[i];
    if (f.region.flags[i] & kFlagRegionLine) return 4;
    if (r >= d.trueColor.size() || r >= colors.size()) return 5;
    if (d.paper[r]) return colors[r] >= kFirstUserColor ? 1 : 5;
    if (colors[r] == kUnfilledColor) return 2;
    return colors[r] == d.trueColor[r] ? 3 : 0;
  };
  Raster picture(f.width / step, f.height / step, 3, 255);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      int worst = 5;
      for (int dy = 0; dy < step; ++dy)
        for (int dx = 0; dx < step; ++dx)
          worst = std::min(worst, outcome(x * step + dx, y * step + dy));
      // Targa rows run from the top, the drawing's from the bottom.
      std::copy(kBgr[worst].begin(), kBgr[worst].end(), picture.At(x, picture.height() - 1 - y));
    }
  if (!WriteTarga(path, picture, WriteMessages("Cannot write " + path)).ok())
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

}  // namespace quenda

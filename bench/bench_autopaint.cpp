// How well auto paint follows the sample walk, measured against the generator's ground truth.
//
//   bench_autopaint [--runs N] [--pictures DIR]
//
// For the walk at its pace and at double pace (every other drawing of a walk twice as long),
// 12 drawings each at A4 150 dpi: analyze, paint drawing 1 from the truth, then auto paint
// drawings 2..12 each from the one before, once by the vote and once by shapes (with Paint
// Specks, and the drawing before the source to look further into, as the painter does). Per drawing
// and overall, over the figure's regions (true part not the paper, line pixels not counted): the
// share of area painted with the true colour, painted wrongly and left unfilled; and apart, the
// paper's pixels painted with a figure colour; then the same for every step taken alone, from a
// drawing painted from the truth. The last lines time auto paint of one A4 300 dpi drawing in each
// mode, from a painted drawing with the one before it to look further into. With --pictures, every
// drawing the shapes mode painted in the chain is written to DIR as a Targa picture of its outcome:
// green painted right, red wrongly, yellow left unfilled, magenta paper given a figure colour.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/color_set.h"
#include "common/raster.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "painter/core/auto_paint.h"
#include "samples/figure_parts.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;
using samples::FigurePart;

constexpr int kDrawings = 12;

// Part p is painted with the colour set's entry kFirstUserColor + p - 1 (kSampleColors order).
int ColorOfPart(FigurePart part) {
  return part == FigurePart::Paper ? kTransparentColor : kFirstUserColor + int(part) - 1;
}

struct Analyzed {
  PainterFrame frame;
  std::vector<FigurePart> truth;  // per region: the part covering most of its pixels
  std::vector<int64_t> area;      // per region: pixels off the lines
};

Analyzed Analyze(const std::string& directory, const samples::SampleOptions& options, int index,
                 int count, const ColorSet& colors) {
  const samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, index, count);
  const DrawingScan& scan = drawing.scan;
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
  ScriptedPrompt prompt;
  Analyzed a;
  if (!LoadPainterFrame(a.frame, paths, colors.count, prompt)) std::exit(1);

  samples::RegionTruth truth = samples::TrueRegionParts(
      samples::RenderPartMap(drawing.parts, a.frame.width, a.frame.height), a.frame.region);
  a.truth = std::move(truth.part);
  a.area = std::move(truth.area);
  return a;
}

struct Score {
  int64_t figure = 0, right = 0, wrong = 0, unfilled = 0, paperPainted = 0;

  void Add(const Score& o) {
    figure += o.figure, right += o.right, wrong += o.wrong, unfilled += o.unfilled;
    paperPainted += o.paperPainted;
  }
  double Share(int64_t part) const {
    return figure > 0 ? 100.0 * double(part) / double(figure) : 0;
  }
};

Analyzed PaintedFromTruth(Analyzed a) {
  for (std::size_t r = kBackgroundRegion; r < a.truth.size(); ++r)
    a.frame.regionColor[r] = ColorOfPart(a.truth[r]);
  return a;
}

Score Measure(const Analyzed& a) {
  Score score;
  for (std::size_t r = kBackgroundRegion; r < a.truth.size(); ++r) {
    const int colour = a.frame.regionColor[r];
    if (a.truth[r] == FigurePart::Paper) {
      if (colour >= kFirstUserColor) score.paperPainted += a.area[r];
      continue;
    }
    score.figure += a.area[r];
    if (colour == kUnfilledColor)
      score.unfilled += a.area[r];
    else if (colour == ColorOfPart(a.truth[r]))
      score.right += a.area[r];
    else
      score.wrong += a.area[r];
  }
  return score;
}

std::string gPictures;  // where --pictures writes, empty for none

// Region by region, what became of the drawing: see the file's head for the colours.
void WriteOutcome(const Analyzed& a, const std::string& name) {
  const PainterFrame& f = a.frame;
  Raster picture(f.width, f.height, 3, 255);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const std::size_t i = f.Index(x, y);
      const std::size_t r = f.region.regionMap[i];
      std::array<uint8_t, 3> bgr{255, 255, 255};
      if (f.region.flags[i] & kFlagRegionLine)
        bgr = {0, 0, 0};
      else if (r < a.truth.size()) {
        const int colour = f.regionColor[r];
        if (a.truth[r] == FigurePart::Paper)
          bgr = colour >= kFirstUserColor ? std::array<uint8_t, 3>{255, 0, 255} : bgr;
        else if (colour == kUnfilledColor)
          bgr = {0, 230, 255};
        else if (colour == ColorOfPart(a.truth[r]))
          bgr = {150, 230, 150};
        else
          bgr = {0, 0, 230};
      }
      std::copy(bgr.begin(), bgr.end(), picture.At(x, y));
    }
  const std::string path = gPictures + "/" + name + ".tga";
  if (!WriteTarga(path, picture, WriteMessages("Cannot write " + path)).ok())
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

void PrintRow(const char* label, const Score& vote, const Score& shapes) {
  std::printf("  %-8s %6.1f %6.1f %6.1f %8lld   %6.1f %6.1f %6.1f %8lld\n", label,
              vote.Share(vote.right), vote.Share(vote.wrong), vote.Share(vote.unfilled),
              (long long)vote.paperPainted, shapes.Share(shapes.right), shapes.Share(shapes.wrong),
              shapes.Share(shapes.unfilled), (long long)shapes.paperPainted);
}

const AutoPaintOptions kVote{};
const AutoPaintOptions kShapes{AutoPaintMatch::Shapes, true, kDefaultSpeckSize};

void RunPace(const std::string& directory, int pace, const ColorSet& colors) {
  samples::SampleOptions options;  // A4 at 150 dpi
  std::vector<Analyzed> frames;
  for (int k = 0; k < kDrawings; ++k)
    frames.push_back(Analyze(directory, options, pace * k, pace * kDrawings, colors));
  std::printf("\n%s pace: %d drawings of a %d-drawing walk, A4 150 dpi\n",
              pace == 1 ? "Walk at its" : "Walk at double", kDrawings, pace * kDrawings);
  std::printf("  %-8s %-29s   %-29s\n", "", "vote: true  wrong unfill  paperpx",
              "shapes: true wrong unfill paperpx");
  frames[0] = PaintedFromTruth(frames[0]);

  std::vector<Analyzed> byVote = frames, byShapes = frames;
  Score voteAll, shapesAll;
  double worstGap = 0;
  for (int k = 1; k < kDrawings; ++k) {
    AutoPaintFrom(byVote[k].frame, byVote[k - 1].frame, kVote);
    AutoPaintFrom(byShapes[k].frame, byShapes[k - 1].frame, kShapes,
                  [&] { return k >= 2 ? &byShapes[k - 2].frame : nullptr; });
    const Score v = Measure(byVote[k]), s = Measure(byShapes[k]);
    voteAll.Add(v), shapesAll.Add(s);
    worstGap = std::max(worstGap, v.Share(v.right) - s.Share(s.right));
    char label[16];
    std::snprintf(label, sizeof label, "walk%d", k + 1);
    PrintRow(label, v, s);
    if (!gPictures.empty()) WriteOutcome(byShapes[k], "pace" + std::to_string(pace) + "_" + label);
  }
  PrintRow("overall", voteAll, shapesAll);
  // The same steps each from a drawing painted right, to tell one step's faults from the
  // chain's: a region left unfilled or painted wrongly stays so in every drawing after it.
  Score voteStep, shapesStep;
  for (int k = 1; k < kDrawings; ++k) {
    const Analyzed source = PaintedFromTruth(frames[std::size_t(k - 1)]);
    const Analyzed beyond = PaintedFromTruth(frames[std::size_t(std::max(k - 2, 0))]);
    Analyzed v = frames[std::size_t(k)], s = frames[std::size_t(k)];
    AutoPaintFrom(v.frame, source.frame, kVote);
    AutoPaintFrom(s.frame, source.frame, kShapes, [&] { return k >= 2 ? &beyond.frame : nullptr; });
    voteStep.Add(Measure(v)), shapesStep.Add(Measure(s));
  }
  PrintRow("one step", voteStep, shapesStep);
  std::printf("  shapes behind the vote on a drawing by at most %.1f points\n",
              std::max(0.0, worstGap));
}

void TimeLargeFrame(const std::string& directory, const ColorSet& colors, int runs) {
  samples::SampleOptions options;
  options.width = 2480, options.height = 3508, options.dpi = 300;
  const Analyzed beyond =
      PaintedFromTruth(Analyze(directory + "big", options, 0, kDrawings, colors));
  const Analyzed source =
      PaintedFromTruth(Analyze(directory + "big", options, 1, kDrawings, colors));
  const Analyzed target = Analyze(directory + "big", options, 2, kDrawings, colors);
  for (const auto& [name, mode] : {std::pair{"vote", kVote}, std::pair{"shapes", kShapes}}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      PainterFrame frame = target.frame;
      const auto start = Clock::now();
      AutoPaintFrom(frame, source.frame, mode, [&] { return &beyond.frame; });
      times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("A4 300 dpi drawing (%d regions), auto paint by %-6s %8.1f ms (median of %d)\n",
                target.frame.region.RegionTotal(), name, times[times.size() / 2], runs);
  }
}

int Run(int runs) {
  char pattern[] = "/tmp/bench_autopaint_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string directory = std::string(pattern) + "/";
  ColorSet colors;
  for (const auto& c : samples::kSampleColors) AddColor(colors, c.name, c.red, c.green, c.blue);
  std::printf(
      "Shares of the figure's area in percent; paperpx: paper pixels given a figure "
      "colour. Shapes with Paint Specks (%d).\n",
      kDefaultSpeckSize);
  RunPace(directory, 1, colors);
  RunPace(directory, 2, colors);
  std::printf("\n");
  TimeLargeFrame(directory, colors, runs);
  std::filesystem::remove_all(directory);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--pictures") == 0) quenda::gPictures = argv[i + 1];
  }
  return quenda::Run(runs);
}

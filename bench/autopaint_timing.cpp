#include "bench/autopaint_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench/autopaint_drawing.h"
#include "painter/core/key_chain.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;
using samples::FigureKind;

// The drawings of the walk's cycle the three timed are taken from.
constexpr int kDrawings = 12;

}  // namespace

void Digest(uint64_t& hash, const std::vector<std::vector<int32_t>>& colors) {
  for (const auto& drawing : colors)
    for (const int32_t c : drawing)
      for (int b = 0; b < 4; ++b)
        hash = (hash ^ ((uint32_t(c) >> (8 * b)) & 0xFF)) * 1099511628211u;
}

void TimeLargeFrame(const std::string& directory, const TimingOptions& bench) {
  const int runs = bench.runs;
  samples::SampleOptions options;
  options.width = 2480, options.height = 3508, options.dpi = 300;
  const ColorSet colors = ColorsOf(FigureKind::Walk);
  std::vector<Drawing> d;
  for (int k = 0; k < 3; ++k)
    d.push_back(Analyze(directory + "big" + std::to_string(k),
                        samples::RenderSampleDrawing(options, k, kDrawings), colors,
                        FigureKind::Walk, RedlineSettings{}, bench.closeGaps));
  // Each drawing's colours as analyzed, for when it is the target; the truth, for a source.
  std::vector<std::vector<int32_t>> analyzed;
  for (Drawing& drawing : d) {
    analyzed.push_back(drawing.frame.regionColor);
    drawing.frame.regionColor.assign(drawing.trueColor.begin(), drawing.trueColor.end());
  }
  // Timed: the third drawing painted from the two before it, by the vote and by shapes, and the
  // second from both keys, the first and third.
  const AutoPaintOptions& shapes = bench.shapes;
  for (const char* name : {"vote", "shapes", "both keys"}) {
    const bool fromKeys = name[0] == 'b';
    const int target = fromKeys ? 1 : 2;
    std::vector<double> times;
    uint64_t digest = kDigestStart;
    for (int i = 0; i < runs; ++i) {
      std::vector<PainterFrame> frames = {d[0].frame, d[1].frame, d[2].frame};
      frames[std::size_t(target)].regionColor = analyzed[std::size_t(target)];
      std::vector<int32_t> painted;
      const auto start = Clock::now();
      if (fromKeys) {
        painted = PaintFromBothKeys(
            [&](int k, int) { return k >= 0 && k < 3 ? &frames[std::size_t(k)] : nullptr; }, 1, 1,
            shapes, {}, bench.margin)[0];
      } else {
        AutoPaintFrom(frames[2], frames[1], name[0] == 'v' ? AutoPaintOptions{} : shapes,
                      [&](int depth) { return depth == 0 ? &frames[0] : nullptr; });
        painted = frames[2].regionColor;
      }
      times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      if (i == 0) Digest(digest, {painted});
    }
    if (bench.digest)
      std::printf("digest timed by %-9s %016llx\n", name, (unsigned long long)digest);
    std::sort(times.begin(), times.end());
    std::printf("A4 300 dpi drawing (%d regions), auto paint by %-9s %8.1f ms (median of %d)\n",
                d[std::size_t(target)].frame.region.RegionTotal(), name, times[times.size() / 2],
                runs);
  }
}

}  // namespace quenda

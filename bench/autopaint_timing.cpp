#include "bench/autopaint_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench/autopaint_drawing.h"
#include "common/thread_pool.h"
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
  const int before = InnerThreads();
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
  auto paintOnce = [&](const char* name, uint64_t* digest) {
    const bool fromKeys = name[0] == 'b';
    const int target = fromKeys ? 1 : 2;
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
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (digest) Digest(*digest, {painted});
    return ms;
  };
  for (const char* name : {"vote", "shapes", "both keys"}) {
    std::vector<double> times;
    uint64_t digest = kDigestStart;
    for (int i = 0; i < runs; ++i) times.push_back(paintOnce(name, i == 0 ? &digest : nullptr));
    if (bench.digest)
      std::printf("digest timed by %-9s %016llx\n", name, (unsigned long long)digest);
    std::sort(times.begin(), times.end());
    const int target = name[0] == 'b' ? 1 : 2;
    std::printf("A4 300 dpi drawing (%d regions), auto paint by %-9s %8.1f ms (median of %d)\n",
                d[std::size_t(target)].frame.region.RegionTotal(), name, times[times.size() / 2],
                runs);
  }
  // Threads inside the frame: one against two, each the best of the runs, taken in turn so that
  // the load of the machine falls on both alike. What either painted must be the same.
  for (const char* name : {"shapes", "both keys"}) {
    double best[2] = {1e30, 1e30};
    uint64_t digest[2] = {kDigestStart, kDigestStart};
    for (int i = 0; i < std::max(runs, 3); ++i)
      for (int threads = 1; threads <= 2; ++threads) {
        SetInnerThreads(threads);
        const double ms = paintOnce(name, i == 0 ? &digest[threads - 1] : nullptr);
        best[threads - 1] = std::min(best[threads - 1], ms);
      }
    SetInnerThreads(before);
    std::printf("%s: 1 thread %.1f ms, 2 threads %.1f ms, ratio %.2f%s\n", name, best[0], best[1],
                best[1] / best[0], digest[0] == digest[1] ? "" : " (PAINTED DIFFERENTLY)");
  }
}

}  // namespace quenda

// The background maker's whole-mask operations on a 6000 x 4000 background, one core: five
// steps each of grow, shrink and smooth, and one colour keyer pass, beside the plain per-pixel
// loops they are checked against.
//
//   bench_panorama [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include "panorama/core/mask_ops.h"
#include "panorama/oracle/literal_mask.h"

namespace quenda {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;

struct Background {
  Raster image{kWidth, kHeight, 3};
  Raster mask{kWidth, kHeight, 1};
  Background() {
    uint32_t state = 12345;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        state = state * 1664525u + 1013904223u;
        uint8_t* p = image.At(x, y);
        p[0] = uint8_t(x * 255 / kWidth);
        p[1] = uint8_t(y * 255 / kHeight);
        p[2] = uint8_t(state >> 24);
        *mask.At(x, y) = ((x / 97 + y / 61) % 3 == 0) ? 0 : uint8_t(255 - (state >> 29));
      }
  }
};

Background& Shared() {
  static Background background;
  return background;
}

using Fast = void (*)(RasterView, RowProgress&);
using Literal = void (*)(RasterView);

void FiveSteps(benchmark::State& state, Fast fast) {
  Raster mask = Shared().mask;
  const MaskStatus silent;
  for (auto _ : state)
    for (int step = 0; step < 5; ++step) {
      RowProgress progress(silent, kHeight);
      fast(mask.view(), progress);
    }
  benchmark::DoNotOptimize(mask.data());
}

void FiveLiteralSteps(benchmark::State& state, Literal literal) {
  Raster mask = Shared().mask;
  for (auto _ : state)
    for (int step = 0; step < 5; ++step) literal(mask.view());
  benchmark::DoNotOptimize(mask.data());
}

const KeyerSettings kKey{200, 120, 40, 40, KeyerOperation::Add};

void Keyer(benchmark::State& state) {
  Raster mask = Shared().mask;
  const MaskStatus silent;
  for (auto _ : state) {
    RowProgress progress(silent, kHeight);
    ApplyKeyer(Shared().image, mask.view(), kKey, progress);
  }
  benchmark::DoNotOptimize(mask.data());
}

void LiteralKeyer(benchmark::State& state) {
  Raster mask = Shared().mask;
  for (auto _ : state) literal::ApplyKeyer(Shared().image, mask.view(), kKey);
  benchmark::DoNotOptimize(mask.data());
}

BENCHMARK_CAPTURE(FiveSteps, grow, GrowMask)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK_CAPTURE(FiveSteps, shrink, ShrinkMask)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK_CAPTURE(FiveSteps, smooth, SmoothMask)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(Keyer)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK_CAPTURE(FiveLiteralSteps, grow, literal::GrowMask)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(FiveLiteralSteps, shrink, literal::ShrinkMask)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(FiveLiteralSteps, smooth, literal::SmoothMask)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(LiteralKeyer)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quenda

BENCHMARK_MAIN();

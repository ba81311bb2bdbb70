// How long the composition view takes to redraw after a one-clip drag step: a 1920 x 1080
// movie of ten 1280 x 720 32-bit Targa clips, one behind a 15 x 15 Blur and one behind Hue &
// Saturation, best quality (bilinear), zoom 100 %. Each iteration moves the dragged clip by one
// pixel and asks the view's frame for the result; a whole composite is printed for comparison.
//
//   bench_composer_drag [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <thread>

#include "common/targa.h"
#include "composer/core/clip_image_cache.h"
#include "composer/core/compose_frame.h"
#include "composer/core/view_frame.h"

namespace quenda {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kClipWidth = 1280, kClipHeight = 720;
constexpr int kClips = 10;

void WriteClip(const std::string& path, int seed) {
  ClipImage image(kClipWidth, kClipHeight, 4);
  uint32_t state = uint32_t(seed) * 2654435761u + 1;
  for (int y = 0; y < kClipHeight; ++y)
    for (int x = 0; x < kClipWidth; ++x) {
      state = state * 1664525u + 1013904223u;
      uint8_t* p = image.At(x, y);
      p[0] = uint8_t(x * 255 / kClipWidth + seed * 20);
      p[1] = uint8_t(y * 255 / kClipHeight);
      p[2] = uint8_t(state >> 24);
      p[3] = ((x / 64 + y / 64 + seed) % 5 == 0) ? 0 : uint8_t(160 + (state >> 26));
    }
  (void)WriteTarga32(path, image.width(), image.height(), image.data(),
                     WriteMessages("clip not written"));
}

struct Scene {
  std::string directory;
  Composition composition;
  Scene() {
    directory = (std::filesystem::temp_directory_path() / "quenda-bench-composer-drag/").string();
    std::filesystem::create_directories(directory);
    for (int i = 0; i < kClips; ++i) WriteClip(directory + "clip" + std::to_string(i) + ".tga", i);
    // The engine keeps a decoded picture once its file has settled, as real clip files have.
    std::this_thread::sleep_for(kClipImageSettle + std::chrono::milliseconds(100));
    composition.width = kWidth;
    composition.height = kHeight;
    for (int i = 0; i < kClips; ++i) {
      ClipRecord c = FreshClipRecord();
      c.directory = directory;
      c.name = "clip" + std::to_string(i);
      c.singleImage = 1;
      c.imageWidth = kClipWidth;
      c.imageHeight = kClipHeight;
      c.tracks[kPositionX] = KeyTrack({{0, 640.0 + (i % 5) * 160, 0, 0}});
      c.tracks[kPositionY] = KeyTrack({{0, 360.0 + (i / 5) * 360, 0, 0}});
      composition.clips.push_back(c);
    }
    ClipRecord blur = MakeEffectClip(ClipKind::Blur);
    blur.tracks[kPositionX] = KeyTrack({{0, 15, 0, 0}});
    blur.tracks[kPositionY] = KeyTrack({{0, 15, 0, 0}});
    ClipRecord hue = MakeEffectClip(ClipKind::HueSaturation);
    hue.tracks[kPositionX] = KeyTrack({{0, 40, 0, 0}});
    hue.tracks[kPositionY] = KeyTrack({{0, -20, 0, 0}});
    // Hue & Saturation in front of clip 2, Blur in front of clip 6.
    composition.clips.insert(composition.clips.begin() + 6, blur);
    composition.clips.insert(composition.clips.begin() + 2, hue);
  }
  ~Scene() { std::filesystem::remove_all(directory); }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

const ComposeOptions kBest{0, true, false, 0};

// One drag step of the clip at `index` (0 is the front layer), after the drag has begun.
void BM_DragRedraw(benchmark::State& state) {
  Composition c = TheScene().composition;
  const int index = int(state.range(0));
  ViewFrameCache cache;
  cache.Update(c, 0, kBest);
  KeyTrack& x = c.clips[std::size_t(index)].tracks[kPositionX];
  double start = x.Evaluate(0);
  int step = 0;
  (void)x.SetKey(0, start + 1);
  cache.Update(c, 0, kBest);  // the first move keeps the layers behind the clip
  for (auto _ : state) {
    (void)x.SetKey(0, start + (++step % 2 == 0 ? 1 : 3));
    benchmark::DoNotOptimize(cache.Update(c, 0, kBest).bgr.data());
  }
}
// The front clip, the clip behind Hue & Saturation, the one behind Blur, the back clip.
BENCHMARK(BM_DragRedraw)
    ->Arg(0)
    ->Arg(3)
    ->Arg(8)
    ->Arg(11)
    ->ArgName("clip")
    ->Unit(benchmark::kMillisecond);

void BM_WholeFrame(benchmark::State& state) {
  const Composition& c = TheScene().composition;
  for (auto _ : state) benchmark::DoNotOptimize(ComposeFrame(c, 0, kBest).bgr.data());
}
BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quenda

BENCHMARK_MAIN();

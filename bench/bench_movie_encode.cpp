// What writing a movie straight from the composer adds to composing alone: 1920 x 1080 frames of
// two moving 32-bit clips composed one after another, alone, then each handed to the H.264
// (veryfast, CRF 18) and the ProRes 4444 encoders as compose --movie does, on every core and on
// one inner thread. Prints milliseconds per frame and the share each encoder adds.
//
//   bench_movie_encode [FRAMES]   (default 48)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "common/targa.h"
#include "common/thread_pool.h"
#include "composer/core/clip_image_cache.h"
#include "composer/core/compose_frame.h"
#include "composer/core/render_output.h"
#include "media/movie_encoder.h"

namespace quenda {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kClipWidth = 1280, kClipHeight = 720;

// A painted-looking clip: flat colours in soft-edged bands with holes of transparency.
Raster MakeClip(int seed) {
  Raster image(kClipWidth, kClipHeight, 4);
  for (int y = 0; y < kClipHeight; ++y)
    for (int x = 0; x < kClipWidth; ++x) {
      uint8_t* p = image.At(x, y);
      const int band = (x / 160 + y / 90 + seed) % 5;
      p[0] = uint8_t(40 + band * 40);
      p[1] = uint8_t(200 - band * 30);
      p[2] = uint8_t(90 + seed * 50);
      p[3] = ((x / 64 + y / 64) % 4 == 0) ? 0 : 255;
    }
  return image;
}

struct Scene {
  std::string directory;
  Composition composition;
  explicit Scene(int frames) {
    directory = (std::filesystem::temp_directory_path() / "quenda-bench-movie/").string();
    std::filesystem::create_directories(directory);
    for (int i = 1; i <= 2; ++i)
      (void)WriteTarga(directory + "clip" + std::to_string(i) + ".tga", MakeClip(i),
                       WriteMessages("clip not written"));
    std::this_thread::sleep_for(kClipImageSettle + std::chrono::milliseconds(100));
    composition.width = kWidth;
    composition.height = kHeight;
    composition.frames = frames;
    auto clip = [&](int i, double fromX, double toX, double y) {
      ClipRecord c = FreshClipRecord();
      c.directory = directory;
      c.name = "clip" + std::to_string(i);
      c.singleImage = 1;
      c.tracks[kPositionX] = KeyTrack({{0, fromX, 0, 0}, {frames - 1, toX, 0, 0}});
      c.tracks[kPositionY] = KeyTrack({{0, y, 0, 0}});
      return c;
    };
    composition.clips = {clip(2, 1400, 600, 600), clip(1, 500, 1300, 450)};
  }
  ~Scene() { std::filesystem::remove_all(directory); }
};

using Clock = std::chrono::steady_clock;

struct Timing {
  double wall = 0;
  double processor = 0;  // of every thread of the process, so others' load on the machine drops out
};

// Seconds for composing every frame, each handed to `encoder` when one is given.
Timing Run(const Scene& scene, const MovieEncoderSettings* encoder, const std::string& path) {
  RenderOutputSettings settings = DefaultRenderOutputSettings(scene.composition);
  MovieEncoder movie;
  const Clock::time_point start = Clock::now();
  const std::clock_t processorStart = std::clock();
  if (encoder && !movie.Open(path, *encoder).ok()) std::exit(1);
  for (int frame = 1; frame <= scene.composition.frames; ++frame) {
    Raster picture = RenderPicture(scene.composition, settings, frame);
    if (encoder && !movie.WriteFrame(picture).ok()) std::exit(1);
  }
  if (encoder && !movie.Finish().ok()) std::exit(1);
  return {std::chrono::duration<double>(Clock::now() - start).count(),
          double(std::clock() - processorStart) / CLOCKS_PER_SEC};
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  using namespace quenda;
  const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 48;
  Scene scene(frames);
  const std::string movies = scene.directory;
  Run(scene, nullptr, {});  // the clips decoded and cached, as in a long run
  const Timing alone = Run(scene, nullptr, {});
  MovieEncoderSettings h264{MovieCodec::H264, kWidth, kHeight, {25, 1}};
  MovieEncoderSettings prores{MovieCodec::ProRes4444, kWidth, kHeight, {25, 1}};
  const Timing withH264 = Run(scene, &h264, movies + "bench.mp4");
  const Timing withProRes = Run(scene, &prores, movies + "bench.mov");
  // The same on one inner thread, as each of --jobs 2 on two cores gets it (or --threads 1):
  // composing and the codecs then keep to that share.
  const int inner = InnerThreads();
  SetInnerThreads(1);
  const Timing aloneOne = Run(scene, nullptr, {});
  const Timing withH264One = Run(scene, &h264, movies + "bench1.mp4");
  const Timing withProResOne = Run(scene, &prores, movies + "bench1.mov");
  const unsigned cores = std::thread::hardware_concurrency();
  std::printf("%d frames of %dx%d on %u cores (wall clock; processor time of all threads)\n",
              frames, kWidth, kHeight, cores);
  auto line = [&](const char* name, const Timing& t, const Timing& base) {
    std::printf("%-40s %7.1f ms per frame", name, t.wall * 1000 / frames);
    if (&t != &base)
      std::printf(", adds %5.1f %% (processor %5.1f %%)", (t.wall - base.wall) * 100 / base.wall,
                  (t.processor - base.processor) * 100 / base.processor);
    std::printf("\n");
  };
  const std::string threads = " (" + std::to_string(inner) + " threads):";
  line(("compose alone" + threads).c_str(), alone, alone);
  line(("compose + H.264 veryfast" + threads).c_str(), withH264, alone);
  line(("compose + ProRes 4444" + threads).c_str(), withProRes, alone);
  line("compose alone (1 thread):", aloneOne, aloneOne);
  line("compose + H.264 veryfast (1 thread):", withH264One, aloneOne);
  line("compose + ProRes 4444 (1 thread):", withProResOne, aloneOne);
  return 0;
}

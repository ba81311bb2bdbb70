// Feeds arbitrary bytes to the movie reader as the player uses it: open, then every frame (up to
// a few) and the whole sound. Frames must come back whole or be refused.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/movie_reader.h"

namespace {
constexpr long long kMaxPixels = 1 << 20;  // keeps each input's picture buffer small
constexpr int kMaxFrames = 8;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  auto opened = quenda::MovieReader::OpenBytes(std::vector<uint8_t>(data, data + size));
  if (!opened) return 0;
  quenda::MovieReader& movie = **opened;
  if (movie.width() < 1 || movie.height() < 1 || movie.frameCount() < 0) __builtin_trap();
  if (movie.rate() < 1 || movie.scale() < 1) __builtin_trap();
  (void)movie.ReadSound();
  if ((long long)movie.width() * movie.height() > kMaxPixels || !movie.OpenDecoder().ok()) return 0;
  std::vector<uint8_t> frame(std::size_t(movie.width()) * std::size_t(movie.height()) * 3);
  for (int i = 0; i < movie.frameCount() && i < kMaxFrames; ++i)
    (void)movie.ReadFrame(i, frame.data());
  if (movie.ReadFrame(movie.frameCount(), frame.data()).ok()) __builtin_trap();
  return 0;
}

#include "composer/tests/composer_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "common/targa.h"
#include "testing/test_support.h"

namespace quenda::testing {

std::vector<uint8_t> PatternPixel(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(seed) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  uint8_t alpha = (h >> 24) % 3 == 0 ? 0 : ((h >> 24) % 3 == 1 ? uint8_t(h >> 16) : 255);
  return {uint8_t(h), uint8_t(h >> 8), uint8_t(h >> 16), alpha};
}

ClipImage Pattern(int width, int height, bool alpha, int seed) {
  ClipImage image(width, height, alpha ? 4 : 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::vector<uint8_t> p = PatternPixel(x, y, seed);
      std::copy_n(p.begin(), image.channels(), image.At(x, y));
    }
  return image;
}

FrameBuffer Filled(int width, int height, uint8_t value, int matte) {
  FrameBuffer buffer{
      width, height, std::vector<uint8_t>(std::size_t(width * height * 3), value), {}};
  if (matte >= 0) buffer.matte.assign(std::size_t(width * height), uint8_t(matte));
  return buffer;
}

void WriteClipImage(const std::string& path, int width, int height, int depth, int seed) {
  const ClipImage picture = Pattern(width, height, depth == 32, seed);
  WriteBytes(path, EncodeTarga(width, height, depth / 8, picture.data()));
}

void WriteClipSequence(const std::string& directory, const std::string& name, int digits, int first,
                       int last, int width, int height) {
  for (int n = first; n <= last; ++n) {
    char number[32];
    std::snprintf(number, sizeof number, "%0*d", digits, n);
    WriteClipImage(directory + name + number + ".tga", width, height, 24, n);
  }
}

ClipRecord SequenceClip(const std::string& directory, const std::string& name, int digits,
                        int first, int last) {
  ClipRecord clip = FreshClipRecord();
  clip.directory = directory;
  clip.name = name;
  clip.digitCount = digits;
  clip.firstFrame = first;
  clip.lastFrame = last;
  clip.span = last - first;
  return clip;
}

ClipRecord StillClip(const std::string& directory, const std::string& name, double x, double y) {
  ClipRecord clip = FreshClipRecord();
  clip.directory = directory;
  clip.name = name;
  clip.singleImage = 1;
  clip.tracks[kPositionX] = KeyTrack({{0, x, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, y, 0, 0}});
  return clip;
}

Composition MovieOf(int width, int height, int frames) {
  Composition c;
  c.width = width;
  c.height = height;
  c.frames = frames;
  return c;
}

void StartNewMovie(CComposerDoc& doc, int width, int height, int frames, uint32_t backgroundColor) {
  auto none = [] { return std::optional<NewMovieValues>(); };
  doc.OnNewDocument(none);
  doc.OnNewDocument(none);
  NewMovieValues values;
  values.width = width, values.height = height, values.frames = frames;
  values.backgroundColor = backgroundColor;
  EXPECT_TRUE(doc.OnNewDocument([&] { return std::optional(values); }));
}

}  // namespace quenda::testing

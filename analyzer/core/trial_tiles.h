#pragma once
// What Test Settings left on the picture while the line settings are open: the tested
// rectangles' pixels, kept in square tiles made only where a test ran, so the window holds the
// few tested areas and never a picture of the whole drawing. Rows count from the bottom.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "analyzer/core/working_image.h"
#include "common/kept_samples.h"
#include "common/sample_grid.h"

namespace quenda {

class TrialTiles {
 public:
  static constexpr int kSide = 64;

  // Every tile goes; the picture is `width` x `height` from now on.
  void Reset(int width, int height);
  bool empty() const { return tiles_.empty(); }
  // The tiles that `rect` (cut to the picture) touches are made where missing, filled by
  // `under` with what shows there without them; then `pixel` writes each pixel of `rect`
  // (blue, green, red).
  using PixelWriter = std::function<void(int x, int y, uint8_t* bgr)>;
  void Write(PixelRect rect, const SampleSource& under, const PixelWriter& pixel);
  // The kept pixel (x, y), or null where no tile holds it.
  uint8_t* At(int x, int y);
  // The samples of `grid` that lie in a tile, over `out` (3 channels, at least columns x rows).
  void Overlay(const SampleGrid& grid, RasterView out) const;
  std::size_t bytes() const;

 private:
  long long Key(int tx, int ty) const { return (long long)ty * across_ + tx; }

  int width_ = 0;
  int height_ = 0;
  int across_ = 0;
  std::map<long long, std::vector<uint8_t>> tiles_;  // kSide * kSide * 3, bottom row first
};

}  // namespace quenda

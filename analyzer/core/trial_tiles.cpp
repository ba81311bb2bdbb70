#include "analyzer/core/trial_tiles.h"

#include <algorithm>

namespace quenda {
namespace {

constexpr int kSide = TrialTiles::kSide;
constexpr std::ptrdiff_t kStride = std::ptrdiff_t(kSide) * 3;

}  // namespace

void TrialTiles::Reset(int width, int height) {
  tiles_.clear();
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  across_ = (width_ + kSide - 1) / kSide;
}

void TrialTiles::Write(PixelRect rect, const SampleSource& under, const PixelWriter& pixel) {
  rect.x0 = std::clamp(rect.x0, 0, width_), rect.x1 = std::clamp(rect.x1, rect.x0, width_);
  rect.y0 = std::clamp(rect.y0, 0, height_), rect.y1 = std::clamp(rect.y1, rect.y0, height_);
  if (rect.x0 >= rect.x1 || rect.y0 >= rect.y1) return;
  for (int ty = rect.y0 / kSide; ty <= (rect.y1 - 1) / kSide; ++ty) {
    for (int tx = rect.x0 / kSide; tx <= (rect.x1 - 1) / kSide; ++tx) {
      const int x0 = tx * kSide, y0 = ty * kSide;
      auto [tile, made] = tiles_.try_emplace(Key(tx, ty));
      if (made) {
        // A tile at the picture's right or top edge keeps only the pixels inside it.
        tile->second.assign(std::size_t(kStride) * kSide, 0);
        const SampleGrid inside{x0, y0, std::min(kSide, width_ - x0), std::min(kSide, height_ - y0),
                                1};
        under(inside, {tile->second.data(), kSide, kSide, 3, kStride});
      }
      uint8_t* bytes = tile->second.data();
      for (int y = std::max(rect.y0, y0); y < std::min(rect.y1, y0 + kSide); ++y)
        for (int x = std::max(rect.x0, x0); x < std::min(rect.x1, x0 + kSide); ++x)
          pixel(x, y, bytes + (y - y0) * kStride + (x - x0) * 3);
    }
  }
}

uint8_t* TrialTiles::At(int x, int y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  auto tile = tiles_.find(Key(x / kSide, y / kSide));
  if (tile == tiles_.end()) return nullptr;
  return tile->second.data() + (y % kSide) * kStride + (x % kSide) * 3;
}

void TrialTiles::Overlay(const SampleGrid& grid, RasterView out) const {
  if (grid.IsEmpty() || out.channels != 3 || out.width < grid.columns || out.height < grid.rows)
    return;
  // The first sample index at or after picture position p, along one axis.
  auto firstFrom = [&](int p, int origin) {
    return p <= origin ? 0 : (p - origin + grid.step - 1) / grid.step;
  };
  for (const auto& [key, bytes] : tiles_) {
    const int x0 = int(key % across_) * kSide, y0 = int(key / across_) * kSide;
    const int i0 = firstFrom(x0, grid.x0),
              i1 = std::min(grid.columns, firstFrom(x0 + kSide, grid.x0));
    const int j0 = firstFrom(y0, grid.y0), j1 = std::min(grid.rows, firstFrom(y0 + kSide, grid.y0));
    for (int j = j0; j < j1; ++j) {
      const uint8_t* row = bytes.data() + (grid.Y(j) - y0) * kStride;
      uint8_t* to = out.Row(j);
      for (int i = i0; i < i1; ++i) {
        const uint8_t* from = row + (grid.X(i) - x0) * 3;
        to[3 * i] = from[0], to[3 * i + 1] = from[1], to[3 * i + 2] = from[2];
      }
    }
  }
}

std::size_t TrialTiles::bytes() const {
  std::size_t total = 0;
  for (const auto& [key, tile] : tiles_) total += tile.capacity();
  return total;
}

}  // namespace quenda

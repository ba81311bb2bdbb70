#include "common/kept_samples.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/floor_division.h"

namespace quenda {
namespace {

// The indices k, first <= k < last, of samples origin + k * step (0 <= k < count) that lie in
// from <= position < to.
struct Span {
  int first = 0;
  int last = 0;
};

Span SamplesIn(int origin, int step, int count, int from, int to) {
  const int first = std::clamp(CeilDiv(from - origin, step), 0, count);
  return {first, std::clamp(CeilDiv(to - origin, step), first, count)};
}

// Samples i0 <= i < i1, j0 <= j < j1 of `grid` into the same places of `rows` (4 channels):
// the source composes three channels, the fourth is opaque.
void ComposeBlock(RasterView rows, const SampleGrid& grid, Span columns, Span lines,
                  const SampleSource& source) {
  if (columns.first >= columns.last || lines.first >= lines.last) return;
  const SampleGrid block{grid.X(columns.first), grid.Y(lines.first), columns.last - columns.first,
                         lines.last - lines.first, grid.step};
  Raster composed(block.columns, block.rows, 3);
  source(block, composed.view());
  for (int j = 0; j < block.rows; ++j) {
    const uint8_t* from = composed.Row(j);
    uint8_t* to = rows.At(columns.first, lines.first + j);
    for (int i = 0; i < block.columns; ++i, from += 3, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = 255;
    }
  }
}

}  // namespace

RasterView KeptSamples::Rows() {
  if (grid_.IsEmpty()) return {};
  return {bytes_.data() + std::ptrdiff_t(grid_.rows - 1) * stride_, grid_.columns, grid_.rows, 4,
          -stride_};
}

ConstRasterView KeptSamples::samples() const {
  if (grid_.IsEmpty()) return {};
  return {bytes_.data() + std::ptrdiff_t(grid_.rows - 1) * stride_, grid_.columns, grid_.rows, 4,
          -stride_};
}

void KeptSamples::Cover(const SampleGrid& grid, const SampleSource& source) {
  if (grid == grid_) return;
  if (grid.IsEmpty()) return Clear();
  // What both grids show, in the new grid's indices: only grids of one step whose samples fall
  // on the same pixels share any.
  Span columns, lines;
  const int step = grid.step;
  if (!empty() && grid_.step == step && (grid.x0 - grid_.x0) % step == 0 &&
      (grid.y0 - grid_.y0) % step == 0) {
    columns = SamplesIn(grid.x0, step, grid.columns, grid_.x0, grid_.X(grid_.columns - 1) + 1);
    lines = SamplesIn(grid.y0, step, grid.rows, grid_.y0, grid_.Y(grid_.rows - 1) + 1);
    if (columns.first >= columns.last || lines.first >= lines.last) columns = lines = {};
  }
  const int di = (grid.x0 - grid_.x0) / step, dj = (grid.y0 - grid_.y0) / step;
  if (grid.columns == grid_.columns && grid.rows == grid_.rows) {
    // A scroll: one move of the whole buffer puts every shared sample in its place, as the rows
    // lie end to end; samples carried past a row's end land where the rest is composed anyway.
    const std::ptrdiff_t by = std::ptrdiff_t(di) * 4 - std::ptrdiff_t(dj) * stride_;
    const std::size_t size = bytes_.size(), moved = size - std::size_t(by < 0 ? -by : by);
    if (lines.first < lines.last && by > 0) std::memmove(bytes_.data(), bytes_.data() + by, moved);
    if (lines.first < lines.last && by < 0) std::memmove(bytes_.data() - by, bytes_.data(), moved);
    grid_ = grid;
  } else {
    KeptSamples next;
    next.grid_ = grid;
    next.stride_ = std::ptrdiff_t(grid.columns) * 4;
    next.bytes_.resize(std::size_t(next.stride_) * std::size_t(grid.rows));
    const RasterView to = next.Rows(), from = Rows();
    const std::size_t bytes = std::size_t(columns.last - columns.first) * 4;
    for (int j = lines.first; j < lines.last; ++j)
      std::memcpy(to.At(columns.first, j), from.At(columns.first + di, j + dj), bytes);
    *this = std::move(next);
  }
  // The rest: whole rows below and above what is shared, then its left and right.
  const RasterView to = Rows();
  ComposeBlock(to, grid, {0, grid.columns}, {0, lines.first}, source);
  ComposeBlock(to, grid, {0, grid.columns}, {lines.last, grid.rows}, source);
  ComposeBlock(to, grid, {0, columns.first}, lines, source);
  ComposeBlock(to, grid, {columns.last, grid.columns}, lines, source);
}

void KeptSamples::Refresh(const ImageRect& area, const SampleSource& source) {
  if (empty() || area.IsEmpty()) return;
  const Span columns = SamplesIn(grid_.x0, grid_.step, grid_.columns, area.x0, area.x1);
  const Span lines = SamplesIn(grid_.y0, grid_.step, grid_.rows, area.y0, area.y1);
  ComposeBlock(Rows(), grid_, columns, lines, source);
}

void KeptSamples::Clear() {
  grid_ = {};
  stride_ = 0;
  bytes_ = {};
}

}  // namespace quenda

#include "common/undo_journal.h"

#include <algorithm>

namespace quenda {

template <typename T>
void UndoJournal<T>::Reset(int width, int height) {
  tiles_.clear();
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  across_ = (width_ + kSide - 1) / kSide;
}

template <typename T>
void UndoJournal<T>::Keep(const std::vector<T>& map, const ImageRect& rect) {
  const ImageRect r = ClipRect(rect, width_, height_);
  if (r.IsEmpty() || map.size() != std::size_t(width_) * std::size_t(height_)) return;
  const std::size_t w = std::size_t(width_);
  for (int ty = r.y0 / kSide; ty <= (r.y1 - 1) / kSide; ++ty) {
    for (int tx = r.x0 / kSide; tx <= (r.x1 - 1) / kSide; ++tx) {
      auto [tile, made] = tiles_.try_emplace((long long)ty * across_ + tx);
      if (!made) continue;
      tile->second.assign(std::size_t(kSide) * kSide, T{});
      const int x0 = tx * kSide, y0 = ty * kSide;
      const int columns = std::min(kSide, width_ - x0), rows = std::min(kSide, height_ - y0);
      for (int y = 0; y < rows; ++y)
        std::copy_n(map.begin() + std::ptrdiff_t(std::size_t(y0 + y) * w + std::size_t(x0)),
                    columns, tile->second.begin() + std::ptrdiff_t(y) * kSide);
    }
  }
}

template <typename T>
ChangedRuns<T> UndoJournal<T>::Differences(const std::vector<T>& map) const {
  struct Piece {
    uint32_t start, count;
    const T* old;
  };
  std::vector<Piece> pieces;
  const std::size_t w = std::size_t(width_);
  if (map.size() != w * std::size_t(height_)) return {};
  for (const auto& [key, old] : tiles_) {
    const int x0 = int(key % across_) * kSide, y0 = int(key / across_) * kSide;
    const int columns = std::min(kSide, width_ - x0), rows = std::min(kSide, height_ - y0);
    for (int y = 0; y < rows; ++y) {
      const T* was = old.data() + std::ptrdiff_t(y) * kSide;
      const std::size_t row = std::size_t(y0 + y) * w + std::size_t(x0);
      for (int x = 0; x < columns;) {
        if (was[x] == map[row + std::size_t(x)]) {
          ++x;
          continue;
        }
        const int from = x;
        while (x < columns && was[x] != map[row + std::size_t(x)]) ++x;
        pieces.push_back({uint32_t(row + std::size_t(from)), uint32_t(x - from), was + from});
      }
    }
  }
  // Runs in map order, those that meet across a tile's edge joined.
  std::sort(pieces.begin(), pieces.end(),
            [](const Piece& a, const Piece& b) { return a.start < b.start; });
  ChangedRuns<T> changes;
  for (const Piece& piece : pieces) {
    if (!changes.runs.empty() &&
        changes.runs.back().start + changes.runs.back().count == piece.start)
      changes.runs.back().count += piece.count;
    else
      changes.runs.push_back({piece.start, piece.count});
    changes.old.insert(changes.old.end(), piece.old, piece.old + piece.count);
  }
  changes.runs.shrink_to_fit();
  changes.old.shrink_to_fit();
  return changes;
}

template <typename T>
std::size_t UndoJournal<T>::bytes() const {
  return tiles_.size() * std::size_t(kSide) * kSide * sizeof(T);
}

template class UndoJournal<uint8_t>;
template class UndoJournal<uint16_t>;

}  // namespace quenda

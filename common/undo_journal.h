#pragma once
// An undo of a per-pixel map taken while a change goes on, for changes whose extent grows as
// they go (a brush stroke) or is known just before (a rectangle): before each part changes, the
// old values of the rectangle it may touch are kept, in square tiles copied on first touch. A
// stroke then costs the tiles it crosses, never a copy of the whole map; once the change is
// complete it becomes the map's differences.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "common/image_rect.h"
#include "common/undo_differences.h"

namespace quenda {

template <typename T>
class UndoJournal {
 public:
  static constexpr int kSide = 64;

  // Nothing kept; the map is width x height (row-major, rows from the bottom) from now on.
  void Reset(int width, int height);
  // Before `rect` (cut to the map) of `map` changes.
  void Keep(const std::vector<T>& map, const ImageRect& rect);
  // The runs where `map` now differs from the values kept, with those values; the change must
  // have stayed inside the rectangles kept.
  ChangedRuns<T> Differences(const std::vector<T>& map) const;
  std::size_t bytes() const;

 private:
  int width_ = 0;
  int height_ = 0;
  int across_ = 0;
  std::map<long long, std::vector<T>> tiles_;  // kSide * kSide values, rows from the bottom
};

}  // namespace quenda

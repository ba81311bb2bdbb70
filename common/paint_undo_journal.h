#pragma once
// The journalled undo of a paint stroke: the line colours and flags its kind names, each kept
// tile by tile as the stroke goes, and made the undo's differences when it ends. The analyzer's
// and the painter's tools share it.

#include <cstddef>
#include <vector>

#include "common/image_rect.h"
#include "common/paint_tools.h"
#include "common/region_data.h"
#include "common/undo_journal.h"

namespace quenda {

class PaintUndoJournal {
 public:
  // From now on, Keep journals the maps `kind` names of a region width x height.
  void Begin(int kind, int width, int height);
  // A whole copy was taken instead: nothing is journalled.
  void Stop();
  bool active() const { return active_; }
  // Before `area` of `region` changes.
  void Keep(const RegionData& region, const ImageRect& area);
  // Before the pixels (indices into the maps) of a change of no compact extent change, as the
  // line a fill follows across the drawing: only the tiles they lie in are kept.
  void KeepPixels(const RegionData& region, const std::vector<std::size_t>& pixels);
  // The stroke is over: `copy` (if any) keeps the differences of what was journalled.
  void Finish(const RegionData& region, PaintUndoCopy* copy);
  std::size_t bytes() const { return active_ ? anim_.bytes() + flags_.bytes() : 0; }

 private:
  bool active_ = false;
  int kind_ = kUndoNothing;
  UndoJournal<uint16_t> anim_;
  UndoJournal<uint8_t> flags_;
};

}  // namespace quenda

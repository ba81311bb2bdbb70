#include "common/paint_undo_journal.h"

namespace quenda {

void PaintUndoJournal::Begin(int kind, int width, int height) {
  kind_ = kind;
  anim_.Reset(width, height);
  flags_.Reset(width, height);
  active_ = true;
}

void PaintUndoJournal::Stop() {
  active_ = false;
  anim_.Reset(0, 0);
  flags_.Reset(0, 0);
}

void PaintUndoJournal::Keep(const RegionData& region, const ImageRect& area) {
  if (!active_) return;
  if (kind_ & kUndoAnimColors) anim_.Keep(region.animColor, area);
  if (kind_ & kUndoFlags) flags_.Keep(region.flags, area);
}

void PaintUndoJournal::KeepPixels(const RegionData& region,
                                  const std::vector<std::size_t>& pixels) {
  if (!active_ || region.width <= 0) return;
  constexpr int kSide = UndoJournal<uint8_t>::kSide;
  const std::size_t w = std::size_t(region.width);
  // A fill walks along its line, so neighbours in the list mostly share a tile: a pixel in the
  // tile of the one before it asks nothing.
  int tileX = -1, tileY = -1;
  for (std::size_t i : pixels) {
    const int x = int(i % w), y = int(i / w);
    if (x / kSide == tileX && y / kSide == tileY) continue;
    tileX = x / kSide, tileY = y / kSide;
    Keep(region, {x, x + 1, y, y + 1});
  }
}

void PaintUndoJournal::Finish(const RegionData& region, PaintUndoCopy* copy) {
  if (copy && (copy->kind & kUndoAnimColors))
    copy->animChanges = anim_.Differences(region.animColor);
  if (copy && (copy->kind & kUndoFlags)) copy->flagChanges = flags_.Differences(region.flags);
  Stop();
}

}  // namespace quenda

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

void PaintUndoJournal::Finish(const RegionData& region, PaintUndoCopy* copy) {
  if (copy && (copy->kind & kUndoAnimColors))
    copy->animChanges = anim_.Differences(region.animColor);
  if (copy && (copy->kind & kUndoFlags)) copy->flagChanges = flags_.Differences(region.flags);
  Stop();
}

}  // namespace quenda

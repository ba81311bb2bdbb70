// The document's side of the views: drags in the composition view and on the timeline, and the
// view settings that are saved with the composition.

#include <algorithm>

#include "composer/core/composer_doc.h"

namespace quenda {

std::optional<DragStart> CComposerDoc::BeginDrag() {
  std::optional<DragStart> start =
      StartDrag(composition_, composition_.SelectedIndex(), composition_.currentFrame);
  if (start) TakeUndoCopy();
  return start;
}

bool CComposerDoc::DragTo(const std::vector<DragKey>& keys) {
  ClipRecord* clip = SelectedClip();
  if (!clip) return false;
  for (const DragKey& key : keys) {
    if (Status set =
            clip->tracks[std::size_t(key.track)].SetKey(composition_.currentFrame, key.value);
        !set) {
      prompt_.Message(set.message(), MessageIcon::Warning);
      UpdateAllViews(ComposerHint::All);
      return false;
    }
  }
  UpdateAllViews(ComposerHint::All);
  return true;
}

void CComposerDoc::EndDrag(const std::vector<DragKey>& keys) {
  if (DragTo(keys)) Changed();
}

void CComposerDoc::BeginTimeDrag() {
  TakeUndoCopy();
}

bool CComposerDoc::MoveClipInTime(int index, int start) {
  if (index < 0 || index >= composition_.clipCount()) return false;
  ClipRecord& clip = composition_.clips[std::size_t(index)];
  if (clip.movieStart == start) return false;
  clip.ShiftKeys(start);
  UpdateAllViews(ComposerHint::All);
  return true;
}

void CComposerDoc::EndTimeDrag() {
  Changed();
}

void CComposerDoc::SetViewZoom(float zoom) {
  composition_.viewZoom = zoom;
  Changed();
}

void CComposerDoc::SetQuality(int quality) {
  composition_.quality = std::clamp(quality, 0, 2);
  Changed();
}

void CComposerDoc::SetAntialias(bool on) {
  composition_.antialias = on ? 1 : 0;
  Changed();
}

void CComposerDoc::SetShowLabels(bool on) {
  composition_.showLabels = on ? 1 : 0;
  Changed();
}

void CComposerDoc::SetShowSafeFrame(bool on) {
  composition_.showSafeFrame = on ? 1 : 0;
  Changed();
}

void CComposerDoc::SetShowRuler(bool on) {
  composition_.showRuler = on ? 1 : 0;
  Changed();
}

void CComposerDoc::SetTimelineZoom(int zoom) {
  composition_.timelineZoom = std::clamp(zoom, kMinTimelineZoom, kMaxTimelineZoom);
  Changed();
}

}  // namespace quenda

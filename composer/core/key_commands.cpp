// The document's commands on keys, frames and a clip's start and end.

#include <algorithm>

#include "composer/core/composer_doc.h"

namespace quenda {

namespace {

std::vector<KeyKind> KindsWithKey(const ClipRecord& clip, int frame, bool present) {
  std::vector<KeyKind> kinds;
  if (clip.HasPositionKey(frame) == present) kinds.push_back(KeyKind::Position);
  if (clip.HasScaleKey(frame) == present) kinds.push_back(KeyKind::Scale);
  if (clip.HasRotationKey(frame) == present) kinds.push_back(KeyKind::Rotation);
  return kinds;
}

// The dialog's pick among the offered kinds; an effect clip has only its one kind.
std::optional<KeyKind> PickKind(const ClipRecord& clip, const std::vector<KeyKind>& offered,
                                const ChooseKeyKind& choose) {
  if (clip.IsEffect()) return KeyKind::Effect;
  if (offered.empty()) return std::nullopt;
  std::optional<KeyKind> kind = choose(offered);
  if (kind && std::find(offered.begin(), offered.end(), *kind) == offered.end())
    return std::nullopt;
  return kind;
}

const Key* KeyAt(const KeyTrack& track, int frame) {
  int index = track.IndexOfKey(frame);
  return index < 0 ? nullptr : &track.keys()[std::size_t(index)];
}

}  // namespace

bool CComposerDoc::InsertKey(const ChooseKeyKind& choose) {
  ClipRecord* clip = SelectedClip();
  if (!clip) {
    prompt_.Message("You must select a clip", MessageIcon::Warning);
    return false;
  }
  int frame = composition_.currentFrame;
  if (clip->HasPositionKey(frame) && clip->HasScaleKey(frame) && clip->HasRotationKey(frame)) {
    prompt_.Message("Keys exists.", MessageIcon::Warning);
    return false;
  }
  std::optional<KeyKind> kind = PickKind(*clip, KindsWithKey(*clip, frame, false), choose);
  if (!kind) return false;
  ClipRecord before = *clip;
  TakeUndoCopy();
  for (int track : TracksOfKind(*kind)) {
    if (Status set = clip->tracks[std::size_t(track)].InsertInterpolatedKey(frame); !set) {
      *clip = std::move(before);
      prompt_.Message(set.message(), MessageIcon::Warning);
      return false;
    }
  }
  Changed();
  return true;
}

std::optional<KeyKind> CComposerDoc::ChooseExistingKey(const ChooseKeyKind& choose,
                                                       ClipRecord*& clip) {
  clip = SelectedClip();
  if (!clip) {
    prompt_.Message("Select a clip", MessageIcon::Warning);
    return std::nullopt;
  }
  const int frame = composition_.currentFrame;
  if (!clip->HasAnyKey(frame)) {
    prompt_.Message("No key exists", MessageIcon::Warning);
    return std::nullopt;
  }
  return PickKind(*clip, KindsWithKey(*clip, frame, true), choose);
}

bool CComposerDoc::DeleteKey(const ChooseKeyKind& choose) {
  ClipRecord* clip = nullptr;
  std::optional<KeyKind> kind = ChooseExistingKey(choose, clip);
  if (!kind) return false;
  const int frame = composition_.currentFrame;
  if (*kind == KeyKind::Effect && !prompt_.AskYesNo("Delete Key?")) return false;
  ClipRecord before = *clip;
  TakeUndoCopy();
  for (int track : TracksOfKind(*kind)) {
    if (Status removed = clip->tracks[std::size_t(track)].DeleteKey(frame); !removed) {
      *clip = std::move(before);
      prompt_.Message(removed.message(), MessageIcon::Warning);
      return false;
    }
  }
  Changed();
  return true;
}

bool CComposerDoc::EditKey(const ChooseKeyKind& choose, const EditKeyDialog& dialog) {
  ClipRecord* clip = nullptr;
  std::optional<KeyKind> kind = ChooseExistingKey(choose, clip);
  if (!kind) return false;
  const int frame = composition_.currentFrame;
  std::vector<int> tracks = TracksOfKind(*kind);
  const KeyTrack& trackA = clip->tracks[std::size_t(tracks.front())];
  const KeyTrack& trackB = clip->tracks[std::size_t(tracks.back())];
  KeyEditValues current;
  current.kind = *kind;
  current.frame = frame;
  current.a = trackA.Evaluate(frame);
  current.b = trackB.Evaluate(frame);
  if (const Key* key = KeyAt(trackA, frame)) {
    current.easeInA = key->easeIn;
    current.easeOutA = key->easeOut;
  }
  if (const Key* key = KeyAt(trackB, frame)) {
    current.easeInB = key->easeIn;
    current.easeOutB = key->easeOut;
  }
  std::optional<KeyEditValues> edited = dialog(current);
  if (!edited) return false;
  if (Status checked = CheckKeyEditValues(*edited, clip->kind, composition_.frames); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return false;
  }
  if (edited->frame != frame) {
    for (int track : tracks) {
      if (clip->tracks[std::size_t(track)].HasKey(edited->frame)) {
        prompt_.Message(KeyExistsInChangedFrameMessage(*kind), MessageIcon::Warning);
        return false;
      }
    }
  }
  auto clampEase = [](int ease) { return std::clamp(ease, 0, kMaxEase); };
  std::vector<Key> keys;
  switch (*kind) {
    case KeyKind::Position:
      keys = {{edited->frame, edited->a, edited->easeInA, edited->easeOutA},
              {edited->frame, edited->b, edited->easeInB, edited->easeOutB}};
      break;
    case KeyKind::Scale:
      keys = {{edited->frame, edited->a, edited->easeInA, edited->easeOutA},
              {edited->frame, edited->b, edited->easeInA, edited->easeOutA}};
      break;
    case KeyKind::Rotation:
      keys = {{edited->frame, edited->a, edited->easeInA, edited->easeOutA}};
      break;
    case KeyKind::Effect:
      keys = {{edited->frame, edited->a, edited->easeInA, edited->easeOutB},
              {edited->frame, edited->b, edited->easeInA, edited->easeOutB}};
      break;
  }
  TakeUndoCopy();
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    std::vector<Key>& trackKeys = clip->tracks[std::size_t(tracks[i])].keys();
    Key key = keys[i];
    key.easeIn = clampEase(key.easeIn);
    key.easeOut = clampEase(key.easeOut);
    auto at = std::find_if(trackKeys.begin(), trackKeys.end(),
                           [&](const Key& k) { return k.frame == frame; });
    if (at != trackKeys.end())
      *at = key;
    else
      trackKeys.push_back(key);
  }
  Changed();
  return true;
}

bool CComposerDoc::CanCopyKey() const {
  const ClipRecord* clip = SelectedClip();
  return clip && clip->HasAnyKey(composition_.currentFrame);
}

void CComposerDoc::CopyKey() {
  const ClipRecord* clip = SelectedClip();
  if (!clip || !CanCopyKey()) return;
  int frame = composition_.currentFrame;
  KeyClipboard board;
  board.kind = clip->kind;
  int trackCount = clip->IsEffect() ? 2 : kTrackCount;
  for (int t = 0; t < trackCount; ++t)
    if (const Key* key = KeyAt(clip->tracks[std::size_t(t)], frame))
      board.keys[std::size_t(t)] = *key;
  board.full = true;
  clipboard_ = board;
}

bool CComposerDoc::CanPasteKey() const {
  return clipboard_.full && SelectedClip();
}

bool CComposerDoc::PasteKey() {
  ClipRecord* clip = SelectedClip();
  if (!clip || !clipboard_.full) return false;
  if (clip->kind != clipboard_.kind) {
    prompt_.Message("Can not paste to a different type of clip from source!", MessageIcon::Warning);
    return false;
  }
  int frame = composition_.currentFrame;
  if (clip->HasAnyKey(frame) && !prompt_.AskYesNo("Overwrite existing keys?")) return false;
  TakeUndoCopy();
  for (int t = 0; t < kTrackCount; ++t) {
    const std::optional<Key>& key = clipboard_.keys[std::size_t(t)];
    if (!key) continue;
    Key pasted = *key;
    pasted.frame = frame;
    if (Status put = clip->tracks[std::size_t(t)].PutKey(pasted); !put) {
      prompt_.Message(put.message(), MessageIcon::Warning);
      break;
    }
  }
  Changed();
  return true;
}

bool CComposerDoc::SetClipKey(int index, int track, const Key& key) {
  if (index < 0 || index >= composition_.clipCount() || track < 0 || track >= kTrackCount)
    return false;
  Key clamped = key;
  clamped.easeIn = std::clamp(key.easeIn, 0, kMaxEase);
  clamped.easeOut = std::clamp(key.easeOut, 0, kMaxEase);
  KeyTrack& keys = composition_.clips[std::size_t(index)].tracks[std::size_t(track)];
  if (!keys.HasKey(key.frame) && keys.count() + 1 >= kKeyRefusedCount) {
    prompt_.Message(kKeyLimitMessage, MessageIcon::Warning);
    return false;
  }
  TakeUndoCopy();
  (void)composition_.clips[std::size_t(index)].tracks[std::size_t(track)].PutKey(clamped);
  Changed();
  return true;
}

void CComposerDoc::GoToFrame(int frame) {
  composition_.currentFrame = std::clamp(frame, 0, std::max(composition_.frames - 1, 0));
  UpdateAllViews(ComposerHint::All);
}

void CComposerDoc::NextKeyFrame() {
  if (const ClipRecord* clip = SelectedClip()) {
    int next = clip->NextClipKeyFrame(composition_.currentFrame);
    if (next >= 0) GoToFrame(next);
  }
}

void CComposerDoc::PreviousKeyFrame() {
  if (const ClipRecord* clip = SelectedClip()) {
    int previous = clip->PreviousClipKeyFrame(composition_.currentFrame);
    if (previous >= 0) GoToFrame(previous);
  }
}

std::optional<int> CComposerDoc::LastStartFrame() const {
  const ClipRecord* clip = SelectedClip();
  if (!clip || !clip->IsImage() || clip->singleImage) return std::nullopt;
  return std::max(1, composition_.frames - (clip->lastFrame - clip->firstFrame));
}

bool CComposerDoc::SetStartEnd(EdgeBehaviour beforeStart, EdgeBehaviour afterEnd, int start) {
  std::optional<int> last = LastStartFrame();
  if (!last) return false;
  if (Status checked = CheckClipStart(start, *last); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return false;
  }
  TakeUndoCopy();
  ClipRecord* clip = SelectedClip();
  clip->beforeStart = beforeStart;
  clip->afterEnd = afterEnd;
  clip->ShiftKeys(start - 1);
  Changed();
  return true;
}

}  // namespace quenda

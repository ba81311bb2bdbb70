#include "composer/core/composition.h"

#include <algorithm>
#include <utility>

namespace quenda {

int Composition::SelectedIndex() const {
  for (int i = clipCount() - 1; i >= 0; --i)
    if (clips[std::size_t(i)].selected) return i;
  return -1;
}

void RemoveClip(Composition& composition, int index) {
  composition.clips.erase(composition.clips.begin() + index);
  for (ClipRecord& clip : composition.clips) {
    if (clip.parentIndex == index)
      clip.parentIndex = -1;
    else if (clip.parentIndex > index)
      --clip.parentIndex;
  }
}

void InsertClip(Composition& composition, int index, ClipRecord clip) {
  for (ClipRecord& other : composition.clips)
    if (other.parentIndex >= index) ++other.parentIndex;
  composition.clips.insert(composition.clips.begin() + index, std::move(clip));
}

void SwapClips(Composition& composition, int a, int b) {
  std::swap(composition.clips[std::size_t(a)], composition.clips[std::size_t(b)]);
  for (ClipRecord& clip : composition.clips) {
    if (clip.parentIndex == a)
      clip.parentIndex = b;
    else if (clip.parentIndex == b)
      clip.parentIndex = a;
  }
}

int NextLabelNumber(const Composition& composition, const std::string& name, int except) {
  int largest = 0;
  for (int i = 0; i < composition.clipCount(); ++i) {
    const ClipRecord& clip = composition.clips[std::size_t(i)];
    if (i != except && clip.name == name) largest = std::max(largest, clip.labelNumber);
  }
  return largest + 1;
}

}  // namespace quenda

// The document's commands that add, replace and parent clips.

#include <algorithm>

#include "composer/core/clip_source.h"
#include "composer/core/clip_transform.h"
#include "composer/core/composer_doc.h"
#include "composer/core/composition_file.h"

namespace quenda {

namespace {

constexpr const char* kExpandQuestion =
    "The new sequence does not fit in the current movie,\n\nWould you like to expand the movie "
    "so that the clip fits?";
constexpr const char* kClipLimitDot = "Sorry there is a limit of %d clips.";

bool CanBeParent(const ClipRecord& clip) {
  return (clip.IsImage() || clip.IsVirtual()) && clip.parentIndex < 0;
}

}  // namespace

int CComposerDoc::InsertInFrontOfSelection(ClipRecord clip) {
  int index = std::max(composition_.SelectedIndex(), 0);
  InsertClip(composition_, index, std::move(clip));
  return index;
}

void CComposerDoc::AskToExpand(int framesNeeded) {
  if (composition_.frames >= framesNeeded) return;
  int expanded = ExpandedFrameCount(framesNeeded);
  if (composition_.frames < expanded && !prompt_.AskYesNo(kExpandQuestion)) return;
  composition_.frames = expanded;
  if (Status fits = CheckExpandedFrames(framesNeeded); !fits)
    prompt_.Message(fits.message(), MessageIcon::Warning);
}

std::vector<int> CComposerDoc::ParentCandidates() const {
  std::vector<int> candidates;
  int index = composition_.SelectedIndex();
  if (index < 0) return candidates;
  int current = composition_.clips[std::size_t(index)].parentIndex;
  if (current >= 0) candidates.push_back(-1);
  // An effect works on the clip behind it in the layer order and has no transform of its own:
  // it can only lose a parent that a foreign file gave it.
  if (composition_.clips[std::size_t(index)].IsEffect()) return candidates;
  for (int i = 0; i < composition_.clipCount(); ++i)
    if (i != index && i != current && CanBeParent(composition_.clips[std::size_t(i)]))
      candidates.push_back(i);
  return candidates;
}

bool CComposerDoc::ChooseParent(int parent) {
  int index = composition_.SelectedIndex();
  if (index < 0) return false;
  std::vector<int> candidates = ParentCandidates();
  if (std::find(candidates.begin(), candidates.end(), parent) == candidates.end()) return false;
  int frame = composition_.currentFrame;
  ClipRecord before = composition_.clips[std::size_t(index)];
  if (composition_.clips[std::size_t(index)].parentIndex >= 0) Unparent(composition_, index, frame);
  if (parent >= 0 && !SetParent(composition_, index, parent, frame)) {
    composition_.clips[std::size_t(index)] = std::move(before);
    return false;
  }
  std::swap(composition_.clips[std::size_t(index)], before);
  TakeUndoCopy();
  std::swap(composition_.clips[std::size_t(index)], before);
  Changed();
  return true;
}

bool CComposerDoc::AddVirtualParent() {
  if (AtClipLimit(kClipLimitDot)) return false;
  TakeUndoCopy();
  ClipRecord clip = MakeVirtualClip(composition_.width, composition_.height);
  clip.labelNumber = NextLabelNumber(composition_, clip.name, -1);
  clip.label = ClipLabel(clip.name, clip.labelNumber);
  InsertInFrontOfSelection(std::move(clip));
  Changed();
  return true;
}

bool CComposerDoc::AddEffectClip(ClipKind kind) {
  if (!IsEffectKind(kind)) return false;
  if (AtClipLimit(kClipLimitDot)) return false;
  TakeUndoCopy();
  InsertInFrontOfSelection(MakeEffectClip(kind));
  Changed();
  return true;
}

bool CComposerDoc::AddClip() {
  if (AtClipLimit(kClipLimitDot)) return false;
  std::optional<std::string> path =
      prompt_.PickFile("Select An Image from a Clip", kTargaFilter, "");
  return path && AddClipFromFile(*path);
}

bool CComposerDoc::AddClipFromFile(const std::string& path) {
  if (AtClipLimit(kClipLimitDot)) return false;
  int selected = composition_.SelectedIndex();
  ClipRecord clip = FreshClipRecord();
  if (Status parsed = ParseClipFile(path, composition_.width, composition_.height, clip); !parsed) {
    prompt_.Message(parsed.message(), MessageIcon::Error);
    prompt_.Message("Could not add a new clip.", MessageIcon::Error);
    return false;
  }
  TakeUndoCopy();
  InsertClip(composition_, 0, std::move(clip));
  ClipRecord& added = composition_.clips[0];
  added.labelNumber = NextLabelNumber(composition_, added.name, 0);
  added.label = ClipLabel(added.name, added.labelNumber);
  if (!added.singleImage) AskToExpand(added.lastFrame - added.firstFrame + 1);
  int at = 0;
  if (selected > 0) {
    // The selected clip now stands at selected + 1; the new clip moves down to just before it.
    for (; at < selected; ++at) SwapClips(composition_, at, at + 1);
  }
  for (ClipRecord& c : composition_.clips) c.selected = 0;
  composition_.clips[std::size_t(at)].selected = 1;
  Changed();
  return true;
}

bool CComposerDoc::ReplaceClip() {
  std::optional<std::string> path =
      prompt_.PickFile("Select An Image Clip to replace the selected clip", kTargaFilter, "");
  return path && ReplaceClipWithFile(*path);
}

bool CComposerDoc::ReplaceClipWithFile(const std::string& path) {
  int index = composition_.SelectedIndex();
  if (index < 0) {
    prompt_.Message("No clip selected", MessageIcon::Warning);
    return false;
  }
  const ClipRecord& old = composition_.clips[std::size_t(index)];
  if (!old.IsImage()) {
    prompt_.Message("The selected clip is not an image clip", MessageIcon::Warning);
    return false;
  }
  ClipRecord replaced = old;
  if (Status pointed = PointClipAt(path, replaced); !pointed) {
    prompt_.Message(pointed.message(), MessageIcon::Error);
    return false;
  }
  if (!old.singleImage && replaced.singleImage) {
    if (!prompt_.AskYesNo("You are changing a sequence image clip to a single frame image "
                          "clip.\nYou will loose start/end properties and movie start frame of "
                          "the replaced clip.\nIs this OK?"))
      return false;
  } else if (old.singleImage && !replaced.singleImage) {
    if (!prompt_.AskYesNo("You are changing a single frame image clip to a sequence image "
                          "clip.\nDefault start/end properties and default movie start frame "
                          "will be used.\nIs this OK?"))
      return false;
  }
  TakeUndoCopy();
  if (old.singleImage != replaced.singleImage) {
    // Keys keep their frames; only the clip's start moves back to the movie's first frame.
    replaced.beforeStart = replaced.afterEnd = EdgeBehaviour::Stop;
    replaced.movieStart = 0;
  } else if (!replaced.singleImage) {
    AskToExpand(replaced.movieStart + replaced.span + 1);
  }
  replaced.labelNumber = NextLabelNumber(composition_, replaced.name, index);
  replaced.label = ClipLabel(replaced.name, replaced.labelNumber);
  composition_.clips[std::size_t(index)] = std::move(replaced);
  Changed();
  return true;
}

}  // namespace quenda

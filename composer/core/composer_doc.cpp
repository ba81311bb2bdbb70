#include "composer/core/composer_doc.h"

#include <algorithm>

#include "composer/core/composition_file.h"

namespace quenda {

void CComposerDoc::ToggleMotionPath() {
  showMotionPath_ = !showMotionPath_;
  UpdateAllViews(ComposerHint::All);
}

bool CComposerDoc::OnNewDocument(const std::function<std::optional<NewMovieValues>()>& dialog) {
  if (newDocumentSkips_ > 0) {
    --newDocumentSkips_;
    return true;
  }
  std::optional<NewMovieValues> values = dialog();
  if (!values) return false;
  composition_ = NewMovie(*values);
  undo_.Drop();
  hasMovie_ = true;
  SetModified(false);
  UpdateAllViews(ComposerHint::All);
  return true;
}

Status CComposerDoc::Open(const std::string& path) {
  bool changed = false;
  Result<Composition> loaded = LoadComposition(path, prompt_, &changed);
  if (!loaded) return loaded.status();
  composition_ = std::move(*loaded);
  hasMovie_ = true;
  // A clip found elsewhere or discarded is a change the file does not have yet: closing asks
  // to save it rather than losing it and asking again at the next open.
  SetModified(changed);
  UpdateAllViews(ComposerHint::DocumentLoaded);
  UpdateAllViews(ComposerHint::DocumentLoaded);
  undo_.Drop();
  return {};
}

Status CComposerDoc::Save(const std::string& path) {
  Status saved = SaveComposition(path, composition_);
  if (saved) SetModified(false);
  return saved;
}

bool CComposerDoc::ApplySettings(const OpenMovieValues& values) {
  if (Status safe = CheckOpenMovieValues(values); !safe) {
    prompt_.Message(safe.message(), MessageIcon::Warning);
    return false;
  }
  TakeUndoCopy();
  if (Status applied = ApplyMovieSettings(composition_, values); !applied) {
    prompt_.Message(applied.message(), MessageIcon::Warning);
    return false;
  }
  Changed();
  return true;
}

void CComposerDoc::TakeUndoCopy() {
  const Composition& c = composition_;
  undo_.Take(
      UndoCopy{c.clips, c.frames, c.backgroundColor, c.titleSafe, c.actionSafe, c.units, c.dpi});
}

void CComposerDoc::Undo() {
  std::optional<UndoCopy> copy = undo_.Release();
  if (!copy) return;
  Composition& c = composition_;
  c.clips = std::move(copy->clips);
  c.frames = copy->frames;
  c.backgroundColor = copy->backgroundColor;
  c.titleSafe = copy->titleSafe;
  c.actionSafe = copy->actionSafe;
  c.units = copy->units;
  c.dpi = copy->dpi;
  Changed();
}

void CComposerDoc::Changed() {
  SetModified(true);
  UpdateAllViews(ComposerHint::All);
}

ClipRecord* CComposerDoc::SelectedClip() {
  int index = composition_.SelectedIndex();
  return index < 0 ? nullptr : &composition_.clips[std::size_t(index)];
}

const ClipRecord* CComposerDoc::SelectedClip() const {
  int index = composition_.SelectedIndex();
  return index < 0 ? nullptr : &composition_.clips[std::size_t(index)];
}

void CComposerDoc::Select(int index) {
  for (ClipRecord& clip : composition_.clips) clip.selected = 0;
  if (index >= 0 && index < composition_.clipCount())
    composition_.clips[std::size_t(index)].selected = 1;
  UpdateAllViews(ComposerHint::All);
}

void CComposerDoc::SelectUp() {
  int index = composition_.SelectedIndex();
  if (index > 0) Select(index - 1);
}

void CComposerDoc::SelectDown() {
  int index = composition_.SelectedIndex();
  if (index >= 0 && index + 1 < composition_.clipCount()) Select(index + 1);
}

bool CComposerDoc::ToFront() {
  int index = composition_.SelectedIndex();
  if (index <= 0) return false;
  TakeUndoCopy();
  SwapClips(composition_, index, index - 1);
  Changed();
  return true;
}

bool CComposerDoc::ToBack() {
  int index = composition_.SelectedIndex();
  if (index < 0 || index + 1 >= composition_.clipCount()) return false;
  TakeUndoCopy();
  SwapClips(composition_, index, index + 1);
  Changed();
  return true;
}

bool CComposerDoc::ToggleHidden() {
  ClipRecord* clip = SelectedClip();
  if (!clip || !clip->IsImage()) return false;
  TakeUndoCopy();
  clip = SelectedClip();
  clip->hidden = clip->hidden ? 0 : 1;
  Changed();
  return true;
}

bool CComposerDoc::AtClipLimit(const char* message) {
  if (composition_.clipCount() < kMaxClips) return false;
  std::string text = message;
  text.replace(text.find("%d"), 2, std::to_string(kClipLimitShown));
  prompt_.Message(text, MessageIcon::Warning);
  return true;
}

bool CComposerDoc::DuplicateClip() {
  int s = composition_.SelectedIndex();
  if (s < 0) return false;
  const ClipRecord& selected = composition_.clips[std::size_t(s)];
  if (!prompt_.AskYesNo("Are you sure you want to duplicate clip \"" + selected.label + "\" ?"))
    return false;
  if (AtClipLimit("Sorry there is a limit of %d clips")) return false;
  TakeUndoCopy();
  ClipRecord copy = composition_.clips[std::size_t(s)];
  copy.selected = 0;
  for (ClipRecord& clip : composition_.clips)
    if (clip.parentIndex >= s) ++clip.parentIndex;
  composition_.clips.insert(composition_.clips.begin() + s, copy);
  ClipRecord& inserted = composition_.clips[std::size_t(s)];
  // The copy keeps the original's parent, whose index moved only if it stood at or behind s.
  inserted.parentIndex = composition_.clips[std::size_t(s + 1)].parentIndex;
  if (!inserted.IsEffect()) {
    inserted.labelNumber = NextLabelNumber(composition_, inserted.name, s);
    inserted.label = ClipLabel(inserted.name, inserted.labelNumber);
  }
  Changed();
  return true;
}

bool CComposerDoc::DeleteClip() {
  int index = composition_.SelectedIndex();
  if (index < 0) return false;
  const ClipRecord& clip = composition_.clips[std::size_t(index)];
  if (!prompt_.AskYesNo("Delete Clip \"" + clip.label + "\"")) return false;
  bool isParent = std::any_of(composition_.clips.begin(), composition_.clips.end(),
                              [&](const ClipRecord& c) { return c.parentIndex == index; });
  if (isParent && !prompt_.AskYesNo("This clip is parent of another clips, Delete?")) return false;
  if (clip.parentIndex >= 0 && !prompt_.AskYesNo("This clip is child of another clips, Delete?"))
    return false;
  TakeUndoCopy();
  RemoveClip(composition_, index);
  Changed();
  return true;
}

}  // namespace quenda

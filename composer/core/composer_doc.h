#pragma once
// The composer's document: the composition, one method per command, one level of undo, and a
// listener list that the views redraw from. Commands show their messages and questions through
// the Prompt; dialogs that gather values are callbacks, so the program only draws and routes.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/document.h"
#include "common/prompt.h"
#include "composer/core/composition.h"
#include "composer/core/key_clipboard.h"
#include "composer/core/key_edit.h"
#include "composer/core/movie_settings.h"
#include "composer/core/view_state.h"

namespace quenda {

// What changed, for the views.
enum class ComposerHint : int {
  All = 0,             // redraw everything
  DocumentLoaded = 3,  // a movie was opened
};
using ComposerListener = DocumentListener<ComposerHint>;

// The "Which Key?" dialog: picks one of the offered kinds, or nothing for Cancel.
using ChooseKeyKind = std::function<std::optional<KeyKind>(const std::vector<KeyKind>&)>;
// The key edit dialogs: given the keys as they are, the new values, or nothing for Cancel.
using EditKeyDialog = std::function<std::optional<KeyEditValues>(const KeyEditValues&)>;

inline constexpr const char* kNoneParent = "<NONE>";

class CComposerDoc : public Document<ComposerHint> {
 public:
  explicit CComposerDoc(Prompt& prompt) : prompt_(prompt) {}

  const Composition& composition() const { return composition_; }
  bool hasMovie() const { return hasMovie_; }
  bool CanUndo() const { return undo_.available(); }
  const KeyClipboard& keyClipboard() const { return clipboard_; }
  int mode() const { return mode_; }
  void SetMode(int mode) { mode_ = mode; }
  bool showMotionPath() const { return showMotionPath_; }
  void ToggleMotionPath();

  // File New: the first two requests after construction succeed without a dialog; later ones
  // take the dialog's values, nothing meaning Cancel (the old movie stays).
  bool OnNewDocument(const std::function<std::optional<NewMovieValues>()>& dialog);
  Status Open(const std::string& path);
  Status Save(const std::string& path);

  // The Settings dialog's OK: false (with the message shown) keeps the dialog open or changes
  // nothing.
  bool ApplySettings(const OpenMovieValues& values);
  void Undo();

  // Keys of the selected clip at the current frame.
  bool InsertKey(const ChooseKeyKind& choose);
  bool DeleteKey(const ChooseKeyKind& choose);
  bool EditKey(const ChooseKeyKind& choose, const EditKeyDialog& dialog);
  bool CanCopyKey() const;
  void CopyKey();
  bool CanPasteKey() const;
  // Fills the clipboard from elsewhere (a key clipboard file), as Copy Key would have.
  void SetKeyClipboard(const KeyClipboard& board) { clipboard_ = board; }
  bool PasteKey();

  // Sets one key of clip `index` (0-based frame) with its eases, as a drag in the views or a
  // script does: the value of an existing key is replaced, eases included.
  bool SetClipKey(int index, int track, const Key& key);

  // A drag of the selected clip in the composition view: the undo copy and the start values at
  // button-down (nothing for an effect clip or no selection), the keys of every move, and at
  // button-up the keys once more with the document marked modified. False when a track is
  // full (after its message): the drag ends there.
  std::optional<DragStart> BeginDrag();
  bool DragTo(const std::vector<DragKey>& keys);
  void EndDrag(const std::vector<DragKey>& keys);
  // A drag in time on the timeline: the undo copy at the press, the clip and all its keys moved
  // at every step, the document marked modified at the release.
  void BeginTimeDrag();
  bool MoveClipInTime(int index, int start);
  void EndTimeDrag();

  // View settings that travel with the document; each marks it modified.
  void SetViewZoom(float zoom);
  void SetQuality(int quality);
  void SetAntialias(bool on);
  void SetShowLabels(bool on);
  void SetShowSafeFrame(bool on);
  void SetShowRuler(bool on);
  void SetTimelineZoom(int zoom);

  // Frame navigation.
  void GoToFrame(int frame);
  void NextKeyFrame();
  void PreviousKeyFrame();

  // Start/End Properties of the selected sequence clip; `start` is 1-based.
  std::optional<int> LastStartFrame() const;
  bool SetStartEnd(EdgeBehaviour beforeStart, EdgeBehaviour afterEnd, int start);

  // Layer order, selection and visibility.
  bool ToFront();
  bool ToBack();
  void SelectUp();
  void SelectDown();
  void Select(int index);
  bool ToggleHidden();
  bool DuplicateClip();
  bool DeleteClip();

  // Parent dialog: the candidates (-1 standing for "<NONE>") and the choice.
  std::vector<int> ParentCandidates() const;
  bool ChooseParent(int parent);
  bool AddVirtualParent();

  // Clips from files and effects.
  bool AddClip();
  bool AddClipFromFile(const std::string& path);
  bool ReplaceClip();
  bool ReplaceClipWithFile(const std::string& path);
  bool AddEffectClip(ClipKind kind);

 private:
  struct UndoCopy {
    std::vector<ClipRecord> clips;
    int frames;
    uint32_t backgroundColor;
    float titleSafe;
    float actionSafe;
    int units;
    int dpi;
  };

  void TakeUndoCopy();
  void Changed();
  ClipRecord* SelectedClip();
  const ClipRecord* SelectedClip() const;
  // The kind of an existing key of the selected clip at the current frame, as the user picks
  // it; nothing after "Select a clip" or "No key exists", or when the user cancels.
  std::optional<KeyKind> ChooseExistingKey(const ChooseKeyKind& choose, ClipRecord*& clip);
  // Puts `clip` directly in front of the selected clip (index 0 when none is selected).
  int InsertInFrontOfSelection(ClipRecord clip);
  bool AtClipLimit(const char* message);
  void AskToExpand(int framesNeeded);

  Prompt& prompt_;
  Composition composition_;
  UndoSnapshot<UndoCopy> undo_;
  KeyClipboard clipboard_;
  bool hasMovie_ = false;
  int newDocumentSkips_ = 2;
  int mode_ = 0;
  bool showMotionPath_ = true;
};

}  // namespace quenda

#pragma once
// The exposure sheet document: the Picture Holder, the sheet, its one-step undo copy, the
// clipboard, the user's current cell and selection, and the sound track. One method per
// command; views learn what changed through UpdateAllViews hints and never change data.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/document.h"
#include "common/frame_sequence.h"
#include "common/prompt.h"
#include "common/result.h"
#include "common/sound_file.h"
#include "dopegrid/core/sheet_file.h"
#include "dopegrid/core/sheet_grid.h"
#include "dopegrid/core/sound_track.h"

namespace quenda {

// What changed, for the views: bits, so that one update can name several parts.
enum class SheetHint : int {
  Sequences = 1,  // the sequence list refills
  Pictures = 2,   // the frames of the selected sequence refill
  Sheet = 4,      // the sheet view repaints
  All = Sequences | Pictures | Sheet,
  SelectAllPictures = 8 | Pictures,  // 8: select every frame, after the refill
};
constexpr SheetHint operator|(SheetHint a, SheetHint b) {
  return SheetHint(int(a) | int(b));
}
// True when `hint` carries every bit of `part`.
constexpr bool HasHint(SheetHint hint, SheetHint part) {
  return (int(hint) & int(part)) == int(part);
}
using SheetListener = DocumentListener<SheetHint>;

inline constexpr int kLevelNameLimit = 18;
inline constexpr int kMaxTransferSpacing = 1000;
inline constexpr int kMaxFramesPerChange = 1000;

// The selected block, inclusive, first <= last on both axes.
struct SheetSelection {
  int firstLevel = 0;
  int firstFrame = 0;
  int lastLevel = 0;
  int lastFrame = 0;
  bool operator==(const SheetSelection&) const = default;
};

// Expand's question before it pushes `lost` used cells past the sheet's last frame.
std::string ExpandLossQuestion(int lost);

// The "Missing Sequence!" question about the sequence `name`: button 0 looks for it, button 1
// forgets it.
ChoiceQuestion MissingSequenceQuestion(std::string_view name);

class CDopegridDoc : public Document<SheetHint> {
 public:
  explicit CDopegridDoc(Prompt& prompt);

  // ---- Document life.
  void OnNewDocument();
  // False when the file cannot be read; the document is then as it was. Missing drawings are
  // reported and never stop the load; a sequence whose drawings are all gone is found again,
  // forgotten or kept as stored, as the prompt's OnLostPart and the Missing Sequence question
  // answer (a question closed without an answer keeps it as stored).
  bool OnOpenDocument(const std::string& path);
  bool OnSaveDocument(const std::string& path);

  // ---- Data, read by views.
  const CSheetGrid& sheet() const { return sheet_; }
  const std::vector<DrawingSequence>& sequences() const { return sequences_; }
  int sequenceCount() const { return int(sequences_.size()); }
  int selectedSequence() const { return selectedSequence_; }
  const std::vector<int>& selectedPictures() const { return selectedPictures_; }
  int currentLevel() const { return currentLevel_; }
  int currentFrame() const { return currentFrame_; }
  const SheetSelection& selection() const { return selection_; }
  bool insertMode() const { return insertMode_; }
  bool undoAvailable() const { return undo_.available(); }
  const CSheetGrid& clipboard() const { return clipboard_; }
  // "%c%s" for a key, a double quote for a hold, nothing for an empty cell.
  std::string CellLabel(const SheetCell& cell) const;
  std::string PictureLabel(int sequence, int frameIndex) const;

  // ---- Selection, as the views set it.
  void SelectSequence(int index);  // 0 when out of range
  // Indices into the selected sequence's frames; kept in ascending order, bad ones dropped.
  void SetSelectedPictures(std::vector<int> pictures);
  void SetCurrentCell(int level, int frame);           // clamped to the levels and frames in use
  void SetSelection(const SheetSelection& selection);  // ordered and clamped

  // ---- Enabling rules.
  bool HasSequences() const { return !sequences_.empty(); }
  bool CanTransfer() const { return !selectedPictures_.empty(); }
  bool CanAddSequence() const { return sequenceCount() < kMaxSequences; }
  bool CanAddLevel() const { return sheet_.levelCount < kMaxLevels; }
  bool CanDeleteFrames() const { return sheet_.frameCount >= 2; }
  bool HasSeveralLevels() const { return sheet_.levelCount >= 2; }

  // ---- Edit.
  void Undo();
  void Cut();
  void Copy();
  void Paste();
  // The clipboard of another run (a clipboard file's cells), for Paste.
  void SetClipboard(const CSheetGrid& cells) { clipboard_ = cells; }
  void Condense();
  // One duplicate more per exposure of the selection. When that would push used cells past
  // the sheet's last frame, asks first (ExpandLossQuestion); No leaves the sheet as it is.
  void Expand();
  // The used cells Expand would push past the last frame, and the frames the sheet would need
  // to keep them all.
  int ExpandLostCells() const;
  int FramesExpandNeeds() const;
  void Reverse();

  // ---- Picture Holder.
  // Asks for a drawing through the prompt and adds its sequence; false when cancelled or
  // refused.
  bool AddSequence();
  bool AddSequenceFile(const std::string& path);
  void RemoveSequence();  // asks first
  void Transfer(int spacing);
  void SelectAll();
  void ToggleInsertMode() { insertMode_ = !insertMode_; }

  // ---- Frames and levels. The dialog's answer is passed in; nothing means Cancel. The undo
  // copy of Add Level and of both frame commands is taken before the dialog, as if it opened.
  void AddFrames(std::optional<int> count);
  void DeleteFrames(std::optional<int> count);
  static Status CheckFrameChangeCount(int count);
  void AddLevel(std::optional<std::string> name);
  // Refuses a single level; otherwise confirms the chosen level and deletes it.
  bool CanDeleteLevelOrSay();
  void DeleteLevel(std::optional<int> level);
  bool CanSwapLevelsOrSay();
  // False, after the message, unless exactly two levels are chosen (the dialog then stays).
  bool SwapLevels(std::span<const int> chosen);
  void RenameLevel(int level, std::optional<std::string> name);

  // ---- Exchange with other programs.
  // A sheet and Picture Holder built from another program's file take the place of the
  // document's, as a newly opened document does, but unsaved (modified).
  void ReplaceContents(CSheetGrid sheet, std::vector<DrawingSequence> sequences);
  // Lays `drawings` (indices into the frames of `sequence`) on `level` from `firstFrame` on,
  // replacing those cells only, after an undo copy. Cells past the sheet's end are dropped; the
  // caller adds frames first.
  void ExposeDrawings(int level, int firstFrame, int sequence, std::span<const int> drawings);
  // The Picture Holder's index of the sequence of `drawing`, added when it is not there yet;
  // nothing when it cannot be added.
  std::optional<int> SequenceOfDrawing(const std::string& drawing);

  // ---- Sound.
  const SoundTrack& sound() const { return sound_; }
  bool soundShown() const { return showSound_; }
  void ToggleShowSound() { showSound_ = !showSound_, UpdateAllViews(SheetHint::Sheet); }
  // Reads the sound files the wave reader does not take (the programs give FFmpeg's); without
  // one only WAV loads.
  void SetSoundDecoder(const SoundDecoder* decoder) { soundDecoder_ = decoder; }
  // Asks for a sound file through the prompt; cancelling changes nothing.
  bool LoadSound();
  bool LoadSoundFile(const std::string& path);
  // The dialog's values; false after the message when the start frame is out of range.
  bool SetSoundSettings(int frameRate, int startFrame);
  // Samples under the selection; nothing when none play.
  std::optional<SampleRange> SelectionSamples() const;
  // Play All and Play Selection; false when nothing was played.
  bool PlayAll(AudioOutput& output, PlaybackWatch& watch);
  bool PlaySelection(AudioOutput& output, PlaybackWatch& watch);

 private:
  void TakeUndoCopy();
  void Changed(SheetHint hint);
  void ClampCursor();
  void ResetCursor();
  bool RelocateOrForget(std::size_t slot);
  void EmptyCellsBeyond(std::size_t slot);
  void InsertLevelAtFront();
  void RemoveCell(int level, int f);

  Prompt& prompt_;
  UndoSnapshot<CSheetGrid> undo_;
  bool insertMode_ = true;
  CSheetGrid clipboard_;
  SoundTrack sound_;
  const SoundDecoder* soundDecoder_ = nullptr;
  CSheetGrid sheet_;
  std::vector<DrawingSequence> sequences_;
  int selectedSequence_ = 0;
  std::vector<int> selectedPictures_;
  int currentLevel_ = 0;
  int currentFrame_ = 0;
  SheetSelection selection_;
  bool showSound_ = true;
};

}  // namespace quenda

#include "dopegrid/core/dopegrid_doc.h"

#include <algorithm>
#include <numeric>

#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/wave_file.h"

namespace quenda {
ChoiceQuestion MissingSequenceQuestion(std::string_view name) {
  return {"Missing Sequence!",
          "What happened to the sequence : ",
          std::string(name),
          {"Let's go find it", "Forget it"}};
}

CDopegridDoc::CDopegridDoc(Prompt& prompt) : prompt_(prompt), sheet_(MakeNewSheet()) {}

void CDopegridDoc::Changed(SheetHint hint) {
  SetModified(true);
  UpdateAllViews(hint);
}

void CDopegridDoc::TakeUndoCopy() {
  undo_.Take(sheet_);
}

void CDopegridDoc::ResetCursor() {
  selectedSequence_ = 0;
  selectedPictures_.clear();
  currentLevel_ = currentFrame_ = 0;
  selection_ = {};
  undo_.Drop();
  insertMode_ = true;
}

void CDopegridDoc::OnNewDocument() {
  sequences_.clear();
  sheet_ = MakeNewSheet();
  ResetCursor();
  SetModified(false);
  UpdateAllViews(SheetHint::All);
}

std::string CDopegridDoc::PictureLabel(int sequence, int frameIndex) const {
  if (sequence < 0 || sequence >= sequenceCount()) return {};
  const DrawingSequence& s = sequences_[std::size_t(sequence)];
  if (frameIndex < 0 || frameIndex >= int(s.frames.size())) return {};
  std::string label = s.name.empty() ? std::string() : std::string(1, s.name[0]);
  return label + FormatFrameTag(s.frames[std::size_t(frameIndex)]);
}

std::string CDopegridDoc::CellLabel(const SheetCell& cell) const {
  if (cell.kind == CellKind::Hold) return "\"";
  if (cell.kind == CellKind::Key) return PictureLabel(cell.sequence, cell.frame);
  return {};
}

// ---- Loading and saving.

bool CDopegridDoc::OnOpenDocument(const std::string& path) {
  Result<SheetFileContents> contents = LoadSheetFile(path);
  if (!contents) {
    prompt_.Message(contents.message(), MessageIcon::Error);
    return false;
  }
  sheet_ = std::move(contents->sheet);
  std::vector<DrawingSequence> stored = std::move(contents->sequences);
  sequences_.clear();
  SetModified(false);

  // Cells are trusted only as far as they name a sequence that was stored; anything else
  // (a damaged file) would send the compositor outside the Picture Holder.
  for (int l = 0; l < sheet_.levelCount; ++l) {
    for (int f = 0; f < sheet_.frameCount; ++f) {
      SheetCell& cell = sheet_.Cell(l, f);
      bool knownKind =
          cell.kind == CellKind::Empty || cell.kind == CellKind::Key || cell.kind == CellKind::Hold;
      if (!knownKind || (cell.used() && (cell.sequence < 0 || cell.sequence >= int(stored.size()) ||
                                         cell.frame < 0))) {
        cell.kind = CellKind::Empty;
        SetModified(true);
      }
    }
  }

  for (DrawingSequence& sequence : stored) {
    std::size_t slot = sequences_.size();
    sequences_.push_back(std::move(sequence));
    DrawingSequence& s = sequences_.back();
    int missing = 0;
    const FolderListing folder = SequenceFolder(s);
    for (int i = 0; i < int(s.frames.size()); ++i)
      if (!FileOpensForReading(FramePath(s, i, prompt_, folder))) ++missing;
    if (missing == int(s.frames.size())) {
      prompt_.Message("All frames of the sequence \"" + s.name +
                          "\" have either been moved to some place else or have been deleted",
                      MessageIcon::Warning);
      if (!RelocateOrForget(slot)) continue;
    } else if (missing > 0) {
      prompt_.Message(std::to_string(missing) + " frames of the sequence \"" + s.name +
                          "\" could not be found.",
                      MessageIcon::Warning);
    }
    EmptyCellsBeyond(slot);
  }
  ResetCursor();
  UpdateAllViews(SheetHint::All);
  return true;
}

bool CDopegridDoc::RelocateOrForget(std::size_t slot) {
  DrawingSequence& s = sequences_[slot];
  LostPart answer = prompt_.OnLostPart("sequence \"" + s.name + "\" (" + s.directory + ")");
  if (answer == LostPart::Keep) return true;
  std::optional<int> button;
  if (answer == LostPart::Ask) {
    button = prompt_.AskChoice(MissingSequenceQuestion(s.name));
    // Closing the box is no answer: nothing is lost without the user's word.
    if (!button) return true;
  }
  if (button == 0) {
    std::optional<std::string> picked = prompt_.PickFile(
        "Select A Sequence for :: " + s.name, "Quenda Drawing Files (*.qds)", s.directory);
    if (picked) {
      s = OpenSequence(*picked, TitleOf(*picked));
      SetModified(true);
      return true;
    }
  }
  sheet_.DropSequence(int(slot));
  sequences_.pop_back();
  SetModified(true);
  return false;
}

void CDopegridDoc::EmptyCellsBeyond(std::size_t slot) {
  int count = int(sequences_[slot].frames.size());
  bool emptied = false;
  for (int l = 0; l < sheet_.levelCount; ++l) {
    for (int f = 0; f < sheet_.frameCount; ++f) {
      SheetCell& cell = sheet_.Cell(l, f);
      if (cell.used() && cell.sequence == int(slot) && cell.frame >= count) {
        cell.kind = CellKind::Empty;
        emptied = true;
      }
    }
  }
  if (emptied) {
    prompt_.Message("Some images of the sequence could not be found", MessageIcon::Warning);
    SetModified(true);
  }
}

bool CDopegridDoc::OnSaveDocument(const std::string& path) {
  Status saved = SaveSheetFile(path, sheet_, sequences_);
  if (!saved) {
    prompt_.Message(saved.message(), MessageIcon::Error);
    return false;
  }
  SetModified(false);
  return true;
}

// ---- Selection.

void CDopegridDoc::SelectSequence(int index) {
  selectedSequence_ = index >= 0 && index < sequenceCount() ? index : 0;
  selectedPictures_.clear();
  UpdateAllViews(SheetHint::Pictures);
}

void CDopegridDoc::SetSelectedPictures(std::vector<int> pictures) {
  int count = HasSequences() ? int(sequences_[std::size_t(selectedSequence_)].frames.size()) : 0;
  std::erase_if(pictures, [count](int p) { return p < 0 || p >= count; });
  std::sort(pictures.begin(), pictures.end());
  pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
  selectedPictures_ = std::move(pictures);
}

void CDopegridDoc::SetCurrentCell(int level, int frame) {
  currentLevel_ = std::clamp(level, 0, sheet_.levelCount - 1);
  currentFrame_ = std::clamp(frame, 0, sheet_.frameCount - 1);
}

void CDopegridDoc::SetSelection(const SheetSelection& s) {
  auto level = [&](int l) { return std::clamp(l, 0, sheet_.levelCount - 1); };
  auto frame = [&](int f) { return std::clamp(f, 0, sheet_.frameCount - 1); };
  selection_.firstLevel = level(std::min(s.firstLevel, s.lastLevel));
  selection_.lastLevel = level(std::max(s.firstLevel, s.lastLevel));
  selection_.firstFrame = frame(std::min(s.firstFrame, s.lastFrame));
  selection_.lastFrame = frame(std::max(s.firstFrame, s.lastFrame));
}

void CDopegridDoc::ClampCursor() {
  SetCurrentCell(currentLevel_, currentFrame_);
  SetSelection(selection_);
}

// ---- Picture Holder.

bool CDopegridDoc::AddSequence() {
  std::optional<std::string> picked =
      prompt_.PickFile("Select A Sequence", "Quenda Drawing Files (*.qds)", {});
  return picked && AddSequenceFile(*picked);
}

bool CDopegridDoc::AddSequenceFile(const std::string& path) {
  if (!CanAddSequence()) return false;
  if (!IsSequenceFileName(path)) {
    prompt_.Message(kInvalidSequenceFileName, MessageIcon::Error);
    return false;
  }
  sequences_.push_back(OpenSequence(path, TitleOf(path)));
  Changed(SheetHint::Sequences);
  return true;
}

void CDopegridDoc::RemoveSequence() {
  if (!HasSequences()) return;
  if (!prompt_.AskYesNo("All cells from this sequence will be removed!\nAre You Sure?")) return;
  int removed = selectedSequence_;
  sequences_.erase(sequences_.begin() + removed);
  sheet_.DropSequence(removed);
  // The undo copy and the clipboard follow, so neither can bring back an index that now
  // names another sequence or none.
  if (CSheetGrid* copy = undo_.get()) copy->DropSequence(removed);
  clipboard_.DropSequence(removed);
  selectedSequence_ = 0;
  selectedPictures_.clear();
  Changed(SheetHint::All);
}

void CDopegridDoc::SelectAll() {
  if (!HasSequences()) return;
  int count = int(sequences_[std::size_t(selectedSequence_)].frames.size());
  selectedPictures_.resize(std::size_t(count));
  std::iota(selectedPictures_.begin(), selectedPictures_.end(), 0);
  UpdateAllViews(SheetHint::SelectAllPictures);
}

// ---- Sound.

bool CDopegridDoc::LoadSound() {
  std::optional<std::string> picked =
      prompt_.PickFile("Select an audio file",
                       soundDecoder_ ? kSoundFileFilter : std::string_view("Audio Files (*.wav)"),
                       DirectoryOf(sound_.path));
  return picked && LoadSoundFile(*picked);
}

bool CDopegridDoc::LoadSoundFile(const std::string& path) {
  sound_.loaded = false;
  sound_.path = path;
  Result<WaveSound> wave = ReadSheetSound(path, soundDecoder_);
  if (!wave) {
    sound_.samples.clear();
    // The menus and the sound column stop offering the sound that is gone before the box shows.
    UpdateAllViews(SheetHint::Sheet);
    prompt_.Message(wave.message(), MessageIcon::Error);
    return false;
  }
  sound_.format = wave->format;
  sound_.samples = std::move(wave->samples);
  sound_.loaded = true;
  UpdateAllViews(SheetHint::Sheet);
  if (!wave->conversion.empty()) prompt_.Message(wave->conversion, MessageIcon::Information);
  return true;
}

bool CDopegridDoc::SetSoundSettings(int frameRate, int startFrame) {
  if (startFrame < 1 || startFrame > sheet_.frameCount - 1) {
    prompt_.Message("The start frame must be between 1 and " +
                    std::to_string(sheet_.frameCount - 1) + ".");
    return false;
  }
  sound_.frameRate = std::clamp(frameRate, 1, kMaxSoundFrameRate);
  sound_.startFrame = startFrame;
  UpdateAllViews(SheetHint::Sheet);
  return true;
}

std::optional<SampleRange> CDopegridDoc::SelectionSamples() const {
  if (!sound_.loaded) return std::nullopt;
  return SelectionSampleRange(sound_, selection_.firstFrame, selection_.lastFrame);
}

bool CDopegridDoc::PlayAll(AudioOutput& output, PlaybackWatch& watch) {
  if (!sound_.loaded) return false;
  return PlaySound(sound_, {0, sound_.samples.size()}, kPlayingAll, output, watch, prompt_);
}

bool CDopegridDoc::PlaySelection(AudioOutput& output, PlaybackWatch& watch) {
  std::optional<SampleRange> range = SelectionSamples();
  return range && PlaySound(sound_, *range, kPlayingSelection, output, watch, prompt_);
}

}  // namespace quenda

// The editing commands of the sheet: undo, the clipboard, timing changes, transfer, frames
// and levels.
#include <algorithm>

#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

void CDopegridDoc::Undo() {
  if (!undo_.Restore(sheet_)) return;
  ClampCursor();
  Changed(SheetHint::All);
}

void CDopegridDoc::Copy() {
  if (!HasSequences()) return;
  clipboard_.levelCount = selection_.lastLevel - selection_.firstLevel + 1;
  clipboard_.frameCount = selection_.lastFrame - selection_.firstFrame + 1;
  for (int l = selection_.firstLevel; l <= selection_.lastLevel; ++l)
    for (int f = selection_.firstFrame; f <= selection_.lastFrame; ++f)
      clipboard_.Cell(l - selection_.firstLevel, f - selection_.firstFrame) = sheet_.Cell(l, f);
}

void CDopegridDoc::Cut() {
  if (!HasSequences()) return;
  TakeUndoCopy();
  Copy();
  for (int l = selection_.firstLevel; l <= selection_.lastLevel; ++l)
    for (int f = selection_.firstFrame; f <= selection_.lastFrame; ++f)
      sheet_.Cell(l, f).kind = CellKind::Empty;
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

void CDopegridDoc::Paste() {
  if (!HasSequences()) return;
  TakeUndoCopy();
  for (int l = 0; l < clipboard_.levelCount; ++l) {
    for (int f = 0; f < clipboard_.frameCount; ++f) {
      int level = currentLevel_ + l;
      int frame = currentFrame_ + f;
      if (level < sheet_.levelCount && frame < sheet_.frameCount)
        sheet_.Cell(level, frame) = clipboard_.Cell(l, f);
    }
  }
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

void CDopegridDoc::RemoveCell(int level, int f) {
  for (int i = f; i + 1 < sheet_.frameCount; ++i) sheet_.Cell(level, i) = sheet_.Cell(level, i + 1);
  // A blank comes in at the bottom rather than a second copy of the last cell.
  sheet_.Cell(level, sheet_.frameCount - 1).kind = CellKind::Empty;
}

namespace {

// Inserts a copy of cell p at p + 1 on `level`; the last cell of the level falls off the end.
// Answers whether that cell was in use.
bool DuplicateCell(CSheetGrid& sheet, int level, int p) {
  const bool lost = sheet.Cell(level, sheet.frameCount - 1).used();
  for (int i = sheet.frameCount - 2; i >= p + 1; --i)
    sheet.Cell(level, i + 1) = sheet.Cell(level, i);
  sheet.Cell(level, p + 1) = sheet.Cell(level, p);
  return lost;
}

// Expand's duplicates on `sheet`, without the hold normalisation; answers how many used cells
// fell off the end.
int ExpandCells(CSheetGrid& sheet, const SheetSelection& selection) {
  int lost = 0;
  const int limit = 2 * selection.lastFrame - selection.firstFrame;
  for (int l = selection.firstLevel; l <= selection.lastLevel; ++l) {
    for (int p = selection.firstFrame; p < limit && p + 1 < sheet.frameCount; ++p) {
      const SheetCell& here = sheet.Cell(l, p);
      const SheetCell& next = sheet.Cell(l, p + 1);
      if (here.used() && next.used() && !here.SameDrawing(next)) {
        lost += DuplicateCell(sheet, l, p);
        ++p;
      }
      if (p + 1 < sheet.frameCount && sheet.Cell(l, p).used() && !sheet.Cell(l, p + 1).used()) {
        lost += DuplicateCell(sheet, l, p);
        ++p;
      }
    }
  }
  return lost;
}

}  // namespace

std::string ExpandLossQuestion(int lost) {
  return "Expanding pushes " + std::to_string(lost) + (lost == 1 ? " cell" : " cells") +
         " past the last frame of the sheet, where " + (lost == 1 ? "it is" : "they are") +
         " lost.\nExpand anyway?";
}

int CDopegridDoc::ExpandLostCells() const {
  CSheetGrid expanded = sheet_;
  return ExpandCells(expanded, selection_);
}

int CDopegridDoc::FramesExpandNeeds() const {
  // The same expand on a sheet as long as a sheet can be: where its cells end is what it needs.
  CSheetGrid expanded = sheet_;
  for (int l = 0; l < expanded.levelCount; ++l)
    for (int f = expanded.frameCount; f < kMaxSheetFrames; ++f) expanded.Cell(l, f) = SheetCell{};
  expanded.frameCount = kMaxSheetFrames;
  ExpandCells(expanded, selection_);
  int needed = sheet_.frameCount;
  for (int l = selection_.firstLevel; l <= selection_.lastLevel; ++l)
    for (int f = expanded.frameCount - 1; f >= needed; --f)
      if (expanded.Cell(l, f).used()) {
        needed = f + 1;
        break;
      }
  return needed;
}

void CDopegridDoc::Condense() {
  if (!HasSequences()) return;
  TakeUndoCopy();
  for (int l = selection_.firstLevel; l <= selection_.lastLevel; ++l) {
    int end = selection_.lastFrame;
    for (int f = selection_.firstFrame; f < end; ++f) {
      const SheetCell* cell = &sheet_.Cell(l, f);
      if (cell->kind == CellKind::Hold && sheet_.Cell(l, f + 1).kind == CellKind::Key) {
        RemoveCell(l, f);
        --end;
      }
      if (f + 1 < sheet_.frameCount && cell->kind == CellKind::Hold &&
          !sheet_.Cell(l, f + 1).used()) {
        RemoveCell(l, f);
        --end;
      }
    }
  }
  Changed(SheetHint::Sheet);
}

void CDopegridDoc::Expand() {
  if (!HasSequences()) return;
  CSheetGrid expanded = sheet_;
  // Cells pushed off the end are the user's timing: they go only with the user's word.
  if (const int lost = ExpandCells(expanded, selection_);
      lost > 0 && !prompt_.AskYesNo(ExpandLossQuestion(lost)))
    return;
  TakeUndoCopy();
  sheet_ = std::move(expanded);
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

void CDopegridDoc::Reverse() {
  if (!HasSequences()) return;
  TakeUndoCopy();
  int a = selection_.firstFrame;
  int b = selection_.lastFrame;
  for (int l = selection_.firstLevel; l <= selection_.lastLevel; ++l)
    for (int j = 0; a + j <= a + (b - a) / 2; ++j)
      std::swap(sheet_.Cell(l, a + j), sheet_.Cell(l, b - j));
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

void CDopegridDoc::Transfer(int spacing) {
  TakeUndoCopy();
  if (!HasSequences() || selectedPictures_.empty()) return;
  if (spacing < 1 || spacing > kMaxTransferSpacing) return;
  int k = int(selectedPictures_.size()) * spacing;
  int level = currentLevel_;
  int start = currentFrame_;
  int frames = sheet_.frameCount;
  if (insertMode_) {
    for (int s = start + (frames - k - 1); s >= start; --s)
      if (s + k < frames) sheet_.Cell(level, s + k) = sheet_.Cell(level, s);
  }
  for (int i = 0; i < k && start + i < frames; ++i) {
    SheetCell& cell = sheet_.Cell(level, start + i);
    cell.sequence = selectedSequence_;
    cell.frame = selectedPictures_[std::size_t(i / spacing)];
    cell.kind = i % spacing == 0 ? CellKind::Key : CellKind::Hold;
  }
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

// ---- Frames.

Status CDopegridDoc::CheckFrameChangeCount(int count) {
  if (count < 0 || count > kMaxFramesPerChange)
    return Error{"Please enter an integer between 0 and " + std::to_string(kMaxFramesPerChange) +
                 "."};
  return Status::Ok();
}

void CDopegridDoc::AddFrames(std::optional<int> count) {
  TakeUndoCopy();
  if (!count || !CheckFrameChangeCount(*count)) return;
  if (sheet_.AddFrames(*count, prompt_)) Changed(SheetHint::Sheet);
}

void CDopegridDoc::DeleteFrames(std::optional<int> count) {
  TakeUndoCopy();
  if (!count || !CheckFrameChangeCount(*count)) return;
  if (!sheet_.DeleteFrames(*count, prompt_)) return;
  sound_.startFrame = std::min(sound_.startFrame, sheet_.frameCount - 1);
  ClampCursor();
  Changed(SheetHint::Sheet);
}

// ---- Levels.

void CDopegridDoc::InsertLevelAtFront() {
  for (int l = sheet_.levelCount - 1; l > 0; --l) sheet_.SwapLevels(l, l - 1);
}

void CDopegridDoc::AddLevel(std::optional<std::string> name) {
  TakeUndoCopy();
  if (!name || name->empty()) return;
  if (!CanAddLevel()) {
    prompt_.Message("Sorry, Maximum Level Number Reached!");
    return;
  }
  sheet_.AddLevel(name->substr(0, kLevelNameLimit));
  InsertLevelAtFront();
  Changed(SheetHint::All);
}

bool CDopegridDoc::CanDeleteLevelOrSay() {
  if (HasSeveralLevels()) return true;
  prompt_.Message("Sorry, Cannot delete last layer");
  return false;
}

void CDopegridDoc::DeleteLevel(std::optional<int> level) {
  if (!CanDeleteLevelOrSay() || !level || *level < 0 || *level >= sheet_.levelCount) return;
  if (!prompt_.AskYesNo("Are you sure you want to delete level \"" + sheet_.LevelName(*level) +
                        "\""))
    return;
  TakeUndoCopy();
  sheet_.DeleteLevel(*level);
  ClampCursor();
  Changed(SheetHint::Sheet);
}

bool CDopegridDoc::CanSwapLevelsOrSay() {
  if (HasSeveralLevels()) return true;
  prompt_.Message("There is only one level, Cannot swap levels");
  return false;
}

bool CDopegridDoc::SwapLevels(std::span<const int> chosen) {
  bool valid = chosen.size() == 2 && chosen[0] != chosen[1];
  for (int level : chosen) valid = valid && level >= 0 && level < sheet_.levelCount;
  if (!valid) {
    prompt_.Message("You must select exactly two levels to swap their places.");
    return false;
  }
  TakeUndoCopy();
  sheet_.SwapLevels(chosen[0], chosen[1]);
  Changed(SheetHint::Sheet);
  return true;
}

void CDopegridDoc::RenameLevel(int level, std::optional<std::string> name) {
  if (!name || name->empty() || level < 0 || level >= sheet_.levelCount) return;
  TakeUndoCopy();
  sheet_.SetLevelName(level, name->substr(0, kLevelNameLimit));
  Changed(SheetHint::Sheet);
}

}  // namespace quenda

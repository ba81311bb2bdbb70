// A scan's frame, and the frame on show, that another program writes while the scanner runs:
// a scan is never written over such a file unasked, the frame on show is read again on
// request, and it is deleted or renumbered over another program's change only when the user
// says so.

#include "common/changed_file_questions.h"
#include "common/path.h"
#include "scanner/core/scanner_doc.h"

namespace quenda::scanner {

std::optional<std::string> CScannerDoc::ScanTarget() {
  // The number was free when chosen (or past the last frame): a file there now is another
  // program's.
  if (!FrameExists(framePath_)) return framePath_;
  const ChangedFileAnswer answer =
      AskBeforeOverwriting(prompt_, "Quenda Scanner", {FileNameOf(framePath_)});
  if (answer == ChangedFileAnswer::Overwrite) return framePath_;
  if (answer == ChangedFileAnswer::Cancel || !pickSavePath_) return std::nullopt;
  std::optional<std::string> picked =
      pickSavePath_("Save Scan As", "Quenda Drawing Scan Files (*.qds)", framePath_);
  if (picked && !picked->ends_with(".qds")) *picked += ".qds";
  return picked;
}

std::vector<std::string> CScannerDoc::heldFiles() const {
  if (shownPath_.empty()) return {};
  return {shownPath_};
}

void CScannerDoc::HoldFrameFiles(int index) {
  onDisk_.Clear();
  shownPath_.clear();
  if (index < 0) return;
  // The region and paint files are no part of the picture, but Delete and Frame No take them
  // along: a paint file the painter wrote since is another program's change as well.
  shownPath_ = FramePath(sequence_, index, prompt_);
  for (const std::string& path :
       {shownPath_, RegionPath(sequence_, index, prompt_), PaintPath(sequence_, index, prompt_)})
    if (!path.empty()) onDisk_.Remember(path);
}

bool CScannerDoc::MayActOnFrameFiles(const std::string& consequence, const std::string& goOn) {
  const std::vector<std::string> changed = onDisk_.ChangedOnDisk();
  return changed.empty() || AskBeforeActingOnChanged(prompt_, "Quenda Scanner",
                                                     FileNamesOf(changed), consequence, goOn);
}

void CScannerDoc::ReloadFromDisk() {
  if (!frameLoaded_ || currentFrame_ < 0 || currentFrame_ >= sequence_.frameCount) return;
  // The other program may have added or removed frames: the one on show is found by its tag.
  const FrameTag shown = sequence_.frames[std::size_t(currentFrame_)];
  const DocumentFiles before = onDisk_;
  const std::string shownBefore = shownPath_;
  ListSequence();
  std::optional<int> index = FindFrame(sequence_.frames, shown);
  if (!index || !LoadFrame(*index) || shownPath_ != shownBefore) return;
  // Reading the drawing again says nothing of its region and paint files, which the scanner
  // never reads: what another program wrote there is still its change for Delete and Frame No.
  onDisk_ = before;
  onDisk_.Remember(shownPath_);
}

}  // namespace quenda::scanner

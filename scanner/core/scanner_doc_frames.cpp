// The frames already on disk: opening a sequence by one of them, going from frame to frame,
// deleting one and giving it another number, each with its region and paint files.

#include <filesystem>

#include "common/atomic_file.h"
#include "common/frame_renumber.h"
#include "common/path.h"
#include "scanner/core/scanner_doc.h"

namespace quenda::scanner {
namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace

bool CScannerDoc::OpenSequence() {
  auto path = prompt_.PickFile("Select One Frame from a Sequence", "Quenda Drawing Files (*.qds)",
                               sequence_.directory);
  if (!path) return false;
  return OpenSequenceAt(*path);
}

bool CScannerDoc::OpenSequenceAt(const std::string& path) {
  if (!IsSequenceFileName(path)) {
    Show(kInvalidSequenceFileName);
    return false;
  }
  const std::string title = FileNameOf(path);
  sequence_ = quenda::OpenSequence(path, title, kPainterSequenceCapacity);
  scanModeActive_ = false;
  std::optional<int> index = FindFrame(sequence_.frames, ParseFrameTag(title));
  return LoadFrame(index.value_or(0));
}

bool CScannerDoc::LoadFrame(int index) {
  const std::string path = FramePath(sequence_, index, prompt_);
  if (path.empty()) return false;
  if (!FrameExists(path)) {
    Show("Fatal: Image file does not exist: " + path);
    return false;
  }
  auto loaded = ReadDrawingScan(path, ScanReader::Scanner);
  if (!loaded) {
    Show(loaded.message());
    Show("Fatal: Image file invalid: " + path);
    return false;
  }
  frame_ = std::move(loaded->scan);
  currentFrame_ = index;
  frameLoaded_ = true;
  HoldFrameFiles(index);
  if (!scanModeActive_) picture_ = frame_;
  UpdateAllViews({ScannerHint::Everything});
  return true;
}

bool CScannerDoc::DeleteFrame() {
  if (!frameLoaded_ || currentFrame_ < 0) return false;
  const std::string text = sequence_.name + FormatFrameTag(sequence_.frames[currentFrame_]);
  if (!prompt_.AskYesNo("Are you sure you want to delete frame " + text)) return false;
  if (!MayActOnFrameFiles("Deleting frame " + text + " removes those changes.", "Delete"))
    return false;
  const std::string path = FramePath(sequence_, currentFrame_, prompt_);
  std::error_code ec;
  if (IsReadOnlyTarget(path) || !std::filesystem::remove(path, ec)) {
    Show("Can not delete frame, The file may be read-only");
    return false;
  }
  std::filesystem::remove(RegionPath(sequence_, currentFrame_, prompt_), ec);
  std::filesystem::remove(PaintPath(sequence_, currentFrame_, prompt_), ec);
  ListSequence();
  if (sequence_.frameCount == 0) {
    currentFrame_ = -1;
    frameLoaded_ = false;
    HoldFrameFiles(-1);
    frame_ = DrawingScan();
    if (!scanModeActive_) picture_ = DrawingScan();
    UpdateAllViews({ScannerHint::Everything});
    return true;
  }
  if (currentFrame_ >= sequence_.frameCount) currentFrame_ = sequence_.frameCount - 1;
  LoadFrame(currentFrame_);
  return true;
}

bool CScannerDoc::RenumberFrame() {
  if (!frameLoaded_ || currentFrame_ < 0) return false;
  const FrameTag current = sequence_.frames[currentFrame_];
  std::optional<FrameTag> tag = dialogs_.AskChangeFrameNumber(current);
  if (!tag || *tag == current) return false;
  if (tag->number < 1 || tag->number > kMaxFrameNumber) return false;
  if (FrameExists(SequenceFilePath(sequence_, *tag, ".qds"))) {
    Show(kFrameExists);
    return false;
  }
  if (!MayActOnFrameFiles("Renumbering moves the files as they are now to frame " + sequence_.name +
                              FormatFrameTag(*tag) + ".",
                          "Renumber"))
    return false;
  // Region and paint files left under the new number would describe the renamed drawing.
  const auto paths = [&](const FrameTag& frame, bool resolved) {
    const auto path = [&](const char* extension) {
      return resolved ? SequenceFilePath(sequence_, frame, extension)
                      : sequence_.directory + sequence_.name + FormatFrameTag(frame) + extension;
    };
    return FrameFilePaths{path(".qds"), path(".rgn"), path(".pnt")};
  };
  FrameFilePaths target = paths(*tag, false);
  // Stale files under the new number may differ in case from the names the scanner writes.
  const FrameFilePaths staleOnes = paths(*tag, true);
  if (Exists(staleOnes.region)) target.region = staleOnes.region;
  if (Exists(staleOnes.paint)) target.paint = staleOnes.paint;
  if (Status moved = RenumberFrameFiles(paths(current, true), target); !moved) {
    Show(moved.message());
    ListSequence();
    return false;
  }
  ListSequence();
  return LoadFrame(FindFrame(sequence_.frames, *tag).value_or(0));
}

bool CScannerDoc::NextFrame() {
  return frameLoaded_ && currentFrame_ + 1 < sequence_.frameCount && LoadFrame(currentFrame_ + 1);
}

bool CScannerDoc::PreviousFrame() {
  return frameLoaded_ && currentFrame_ > 0 && LoadFrame(currentFrame_ - 1);
}

bool CScannerDoc::FirstFrame() {
  return frameLoaded_ && currentFrame_ > 0 && LoadFrame(0);
}

bool CScannerDoc::LastFrame() {
  return frameLoaded_ && currentFrame_ + 1 < sequence_.frameCount &&
         LoadFrame(sequence_.frameCount - 1);
}

}  // namespace quenda::scanner

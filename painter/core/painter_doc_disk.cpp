// The files another program changes while the painter holds them: a re-analyzed drawing, a
// colour set saved elsewhere. The painter remembers each held file as it read or last wrote
// it, and asks before it writes over a newer one.

#include "common/changed_file_questions.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"
#include "painter/core/painter_doc.h"

namespace quenda {
namespace {

constexpr std::string_view kCaption = "Quenda Painter";
constexpr std::string_view kSaveFrameTitle = "Save Frame As";
constexpr std::string_view kPaintFileFilter = "Quenda Paint Files (*.pnt)";
constexpr std::string_view kSaveColorsTitle = "Save Colors As";
constexpr std::string_view kColorFileFilter = "Quenda Color Files (*.col)";

// "shot/walk3-mine" or "shot/walk3-mine.pnt" -> "shot/walk3-mine".
std::string WithoutExtension(const std::string& path, std::string_view extension) {
  return path.ends_with(extension) ? path.substr(0, path.size() - extension.size()) : path;
}

}  // namespace

std::optional<std::string> CPainterDoc::PickSavePath(std::string_view title,
                                                     std::string_view filter,
                                                     const std::string& startPath) {
  if (!pickSavePath_) return std::nullopt;
  return pickSavePath_(title, filter, startPath);
}

std::vector<std::string> CPainterDoc::heldFiles() const {
  if (!sequenceOpen_) return {};
  std::vector<std::string> files{ColorSetPath(sequence_)};
  if (!heldFrame_.region.empty()) files.push_back(heldFrame_.region);
  if (!heldFrame_.paint.empty()) files.push_back(heldFrame_.paint);
  return files;
}

void CPainterDoc::HoldFrameFiles() {
  onDisk_.Forget(heldFrame_.region);
  onDisk_.Forget(heldFrame_.paint);
  heldFrame_ = PathsOf(currentFrame_);
  onDisk_.Remember(heldFrame_.region);
  onDisk_.Remember(heldFrame_.paint);
}

void CPainterDoc::ReloadFromDisk() {
  if (!sequenceOpen_) return;
  LoadColorSet(colors_, ColorSetPath(sequence_), prompt_);
  onDisk_.Remember(ColorSetPath(sequence_));
  if (currentColor_ >= colors_.count) currentColor_ = kTransparentColor;
  penActive_ = false;
  GoToFrame(currentFrame_, PainterHint::SequenceOpened);
  UpdateAllViews(PainterHint::ColorsChanged);
}

CPainterDoc::FrameWrite CPainterDoc::WriteFrameFiles() {
  const FramePaths paths = PathsOf(currentFrame_);
  std::vector<std::string> theirs;
  if (frame_.regionChanged && onDisk_.ChangedOnDisk(paths.region)) theirs.push_back(paths.region);
  if (frame_.paintChanged && onDisk_.ChangedOnDisk(paths.paint)) theirs.push_back(paths.paint);
  if (!theirs.empty()) {
    const ChangedFileAnswer answer =
        AskBeforeOverwriting(prompt_, std::string(kCaption), FileNamesOf(theirs));
    if (answer == ChangedFileAnswer::Cancel) return FrameWrite::Kept;
    if (answer == ChangedFileAnswer::SaveAs) {
      const std::optional<std::string> picked =
          PickSavePath(kSaveFrameTitle, kPaintFileFilter, paths.paint);
      if (!picked) return FrameWrite::Kept;
      const std::string stem = WithoutExtension(*picked, ".pnt");
      // The frame's own name picked again is Overwrite by another way.
      if (stem + ".pnt" != paths.paint) return WriteFrameElsewhere(stem);
    }
  }
  const bool written = SavePainterFrame(frame_, paths, prompt_);
  // What did reach the disk is this window's own from now on.
  if (!frame_.regionChanged) onDisk_.Remember(paths.region);
  if (!frame_.paintChanged) onDisk_.Remember(paths.paint);
  return written ? FrameWrite::Written : FrameWrite::Failed;
}

CPainterDoc::FrameWrite CPainterDoc::WriteFrameElsewhere(const std::string& stem) {
  // The paint belongs to the regions held here, so both go, whichever changed.
  const bool paint = frame_.paintChanged, region = frame_.regionChanged, stale = frame_.paintStale;
  frame_.paintChanged = frame_.regionChanged = true;
  frame_.paintStale = false;
  if (!SavePainterFrame(frame_, {"", stem + ".rgn", stem + ".pnt"}, prompt_)) {
    frame_.paintChanged = paint;
    frame_.regionChanged = region;
    frame_.paintStale = stale;
    return FrameWrite::Failed;
  }
  // The window shows what the frame's own files now hold.
  frameLoaded_ = LoadFrameInto(frame_, currentFrame_);
  HoldFrameFiles();
  UpdateAllViews(PainterHint::RedrawAll);
  return FrameWrite::Written;
}

void CPainterDoc::WriteColors() {
  const std::string path = ColorSetPath(sequence_);
  if (onDisk_.ChangedOnDisk(path)) {
    const ChangedFileAnswer answer =
        AskBeforeOverwriting(prompt_, std::string(kCaption), {FileNameOf(path)});
    if (answer == ChangedFileAnswer::Cancel) return;
    if (answer == ChangedFileAnswer::SaveAs) {
      const std::optional<std::string> picked =
          PickSavePath(kSaveColorsTitle, kColorFileFilter, path);
      if (!picked || *picked == path) return;
      ColorSet elsewhere = colors_;
      elsewhere.path = *picked;
      SaveColorSet(elsewhere, prompt_);
      return;
    }
  }
  if (SaveColorSet(colors_, prompt_)) onDisk_.Remember(path);
}

}  // namespace quenda

// The files another program changes while the analyzer holds them: a frame painted in the
// painter during sequence paint, a drawing analyzed again by `quenda analyze`, a colour set
// saved elsewhere. Each held file is remembered as it was read or last written, and the user is
// asked before the analyzer writes over a newer one.

#include <algorithm>

#include "analyzer/core/analyzer_doc.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/recovered_paint.h"
#include "common/region_file.h"

namespace quenda {
namespace {

constexpr std::string_view kCaption = "Quenda Analyzer";
constexpr std::string_view kSaveFrameTitle = "Save Frame As";
constexpr std::string_view kPaintFileFilter = "Quenda Paint Files (*.pnt)";
constexpr std::string_view kFrameKept =
    "The frame was not written: its changes stay here, and its files as the other program left "
    "them.";

// "shot/walk3-mine" or "shot/walk3-mine.pnt" -> "shot/walk3-mine".
std::string WithoutExtension(const std::string& path, std::string_view extension) {
  return path.ends_with(extension) ? path.substr(0, path.size() - extension.size()) : path;
}

}  // namespace

bool CAnalyzerDoc::modified() const {
  if (sequence_)
    return image_.regionColor != sequence_->onDisk.regionColor ||
           image_.regions != sequence_->onDisk.regions;
  return painting_ && PaintedRegionCount(image_) > 0;
}

void CAnalyzerDoc::HoldFiles() {
  onDisk_.Clear();
  if (sequence_) {
    const SequencePaintState& s = *sequence_;
    onDisk_.Remember(ColorSetPath(s.sequence));
    onDisk_.Remember(RegionPath(s.sequence, s.current, prompt_));
    onDisk_.Remember(PaintPath(s.sequence, s.current, prompt_));
    return;
  }
  if (!colors_.path.empty()) onDisk_.Remember(colors_.path);
  if (!regionsPath_.empty()) onDisk_.Remember(regionsPath_);
}

ChangedFileAnswer CAnalyzerDoc::MayOverwrite(const std::string& path, std::string_view title,
                                             std::string_view filter, std::string& elsewhere) {
  elsewhere.clear();
  if (!onDisk_.ChangedOnDisk(path)) return ChangedFileAnswer::Overwrite;
  const ChangedFileAnswer answer =
      AskBeforeOverwriting(prompt_, std::string(kCaption), {FileNameOf(path)});
  if (answer != ChangedFileAnswer::SaveAs) return answer;
  std::optional<std::string> picked;
  if (pickSavePath_) picked = pickSavePath_(title, filter, path);
  if (!picked) return ChangedFileAnswer::Cancel;
  // The file's own name picked again is Overwrite by another way.
  if (*picked == path) return ChangedFileAnswer::Overwrite;
  elsewhere = *picked;
  return ChangedFileAnswer::SaveAs;
}

Status CAnalyzerDoc::WriteFrameInHand() {
  SequencePaintState& s = *sequence_;
  const std::string paint = PaintPath(s.sequence, s.current, prompt_);
  const std::string region = RegionPath(s.sequence, s.current, prompt_);
  const bool paintChanged = image_.regionColor != s.onDisk.regionColor;
  const bool regionChanged = image_.HasRegions() && image_.regions != s.onDisk.regions;
  std::vector<std::string> theirs;
  if (regionChanged && onDisk_.ChangedOnDisk(region)) theirs.push_back(region);
  if (paintChanged && onDisk_.ChangedOnDisk(paint)) theirs.push_back(paint);
  if (!theirs.empty()) {
    const ChangedFileAnswer answer =
        AskBeforeOverwriting(prompt_, std::string(kCaption), FileNamesOf(theirs));
    if (answer == ChangedFileAnswer::Cancel) return Error{std::string(kFrameKept)};
    if (answer == ChangedFileAnswer::SaveAs) {
      std::optional<std::string> picked;
      if (pickSavePath_) picked = pickSavePath_(kSaveFrameTitle, kPaintFileFilter, paint);
      if (!picked) return Error{std::string(kFrameKept)};
      const std::string stem = WithoutExtension(*picked, ".pnt");
      if (stem + ".pnt" != paint) return WriteFrameElsewhere(stem);
    }
  }
  Status saved = SaveSequenceFrame(image_, s.sequence, s.current, s.onDisk, prompt_);
  // What did reach the disk is this window's own from now on.
  if (paintChanged && image_.regionColor == s.onDisk.regionColor) onDisk_.Remember(paint);
  if (regionChanged && image_.regions == s.onDisk.regions) onDisk_.Remember(region);
  return saved;
}

Status CAnalyzerDoc::WriteFrameElsewhere(const std::string& stem) {
  // The paint belongs to the regions held here, so both go, whichever changed.
  const std::string paint = stem + ".pnt";
  if (Status written =
          WritePaintFile(paint, image_.regionColor, std::max(PaintedRegionCount(image_), 0));
      !written) {
    prompt_.Message(written.message());
    return written;
  }
  if (Status written = WriteRegionFile(stem + ".rgn", image_.regions, RegionWriter::Analyzer);
      !written) {
    prompt_.Message(written.message());
    return written;
  }
  // The frame's own files are the other program's: they are what the frame now holds.
  return ReloadFrameInHand();
}

Status CAnalyzerDoc::ReloadFrameInHand() {
  SequencePaintState& s = *sequence_;
  Result<SequenceFrame> frame = LoadSequenceFrame(s.sequence, s.current, colors_, prompt_);
  if (!frame) return frame.status();
  s.placement = frame->placement;
  s.onDisk = std::move(frame->onDisk);
  image_ = std::move(frame->image);
  settings_ = frame->settings;
  undo_.Drop();
  HoldFiles();
  ShowPaint();
  Notify(AnalyzerHint::SettingsChanged);
  Notify(AnalyzerHint::PictureChanged);
  return Status::Ok();
}

void CAnalyzerDoc::ReloadFromDisk() {
  if (sequence_) {
    const std::string setPath = ColorSetPath(sequence_->sequence);
    if (onDisk_.ChangedOnDisk(setPath) && FrameExists(setPath)) (void)LoadColorSetFile(setPath);
    (void)ReloadFrameInHand();
    return;
  }
  if (!colors_.path.empty() && onDisk_.ChangedOnDisk(colors_.path))
    (void)LoadColorSetFile(colors_.path);
  if (!regionsPath_.empty() && onDisk_.ChangedOnDisk(regionsPath_) && drawingLoaded_)
    (void)LoadRegionsFile(regionsPath_);
  HoldFiles();
}

Status CAnalyzerDoc::RestoreFrameChanges(std::span<const uint8_t> paint,
                                         std::span<const uint8_t> region) {
  if (!sequence_) return Error{"the sequence did not open"};
  Result<RecoveredPaint> kept =
      DecodeRecoveredPaint(paint, region, image_.width(), image_.height(), RegionReader::Analyzer,
                           image_.regions.regionCount, colors_.count);
  if (!kept) return kept.status();
  if (!kept->fits)
    return Error{"the kept paint does not fit the regions of " +
                 FramePath(sequence_->sequence, sequence_->current, prompt_) + " as they are now"};
  undo_.Drop();
  if (kept->regions) image_.regions = std::move(*kept->regions);
  image_.regionColor = std::move(kept->regionColor);
  ShowPaint();
  Notify(AnalyzerHint::PictureChanged);
  return Status::Ok();
}

}  // namespace quenda

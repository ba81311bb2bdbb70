// Sequence paint in the analyzer: one frame of a sequence in hand at a time, each loaded from its
// drawing scan, region file and paint file and written back when it is left.
#include "analyzer/core/analyzer_doc.h"
#include "common/file_io.h"
#include "common/path.h"

namespace quenda {
namespace {

// The entries of a colour set file, or nothing when there is none to read.
std::optional<ParsedColorSet> ReadColorSetEntries(const std::string& path) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) return std::nullopt;
  return ParseColorSet(*text);
}

}  // namespace

bool CAnalyzerDoc::ConfirmSequencePaint() {
  // The same question as before a batch run: the drawing in hand would be dropped.
  return ConfirmLoseDrawing();
}

Status CAnalyzerDoc::SelectPaintSequence(const std::string& scanPath, SequencePaintChoice& choice) {
  if (!IsSequenceFileName(scanPath)) {
    prompt_.Message(kInvalidSequenceFileName);
    return Error{std::string(kInvalidSequenceFileName)};
  }
  choice.sequence = OpenSequence(scanPath, TitleOf(scanPath));
  return Status::Ok();
}

Status CAnalyzerDoc::LoadPaintColorSet(const std::string& path, SequencePaintChoice& choice) {
  Status loaded = LoadColorSetFile(path);
  if (loaded) choice.colorSetLoaded = true;
  return loaded;
}

bool CAnalyzerDoc::SequencePaintChecks(const SequencePaintChoice& choice) {
  if (!choice.sequence) {
    prompt_.Message(kOpenBaseFileFirst);
    return false;
  }
  if (choice.colorSetLoaded) return true;
  return prompt_.AskOkCancel(kProcessWithCurrentColorModel);
}

Status CAnalyzerDoc::BeginSequencePaint(const DrawingSequence& sequence, bool colorSetChosen) {
  if (sequence_) return Status::Ok();
  // The sequence's paint files mean the colours of its own set: a set larger than the
  // analyzer's would come back shorter, and paint of the colours it lost with it.
  const std::string setPath = ColorSetPath(sequence);
  if (std::optional<ParsedColorSet> own = ReadColorSetEntries(setPath)) {
    const int count = int(own->entries.size());
    if (count > kAnalyzerColorLimit) {
      const std::string refusal = ColorSetTooLargeText(setPath, count);
      prompt_.Message(refusal, MessageIcon::Warning);
      return Error{refusal};
    }
    if (!colorSetChosen) {
      if (Status loaded = LoadColorSetFile(setPath); !loaded) return loaded;
    }
  }
  Result<SequenceFrame> frame = LoadSequenceFrame(sequence, 0, colors_, prompt_);
  if (!frame) return frame.status();
  if (lineSettingsOpen()) CancelLineSettings();
  // The path stays that of the first frame for the whole sequence, so the zoom is kept from
  // frame to frame.
  drawingPath_ = FramePath(sequence, 0, prompt_);
  sequence_ = SequencePaintState{sequence, 0, frame->placement, std::move(frame->onDisk)};
  HoldFiles();
  image_ = std::move(frame->image);
  settings_ = frame->settings;
  scanGrey_.clear();
  drawingLoaded_ = true;
  regionsMarked_ = true;
  painting_ = true;
  undo_.Drop();
  ShowPaint();
  SetTitle(PaintingFrameTitle(sequence, 0));
  Notify(AnalyzerHint::SettingsChanged);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

bool CAnalyzerDoc::ExitSequencePaint() {
  if (!sequence_) return true;
  if (!prompt_.AskOkCancel(kExitSequencePaintQuestion)) return false;
  if (!WriteFrameInHand()) return false;
  // A colour set that cannot be written is reported; the colours stay in the program, where
  // "Save Color Set" can still write them elsewhere. A file that holds more colours than the
  // analyzer's set (changed meanwhile, or a smaller set chosen) is kept as it is.
  const std::string setPath = ColorSetPath(sequence_->sequence);
  const std::optional<ParsedColorSet> onDisk = ReadColorSetEntries(setPath);
  if (onDisk && int(onDisk->entries.size()) > colors_.count)
    prompt_.Message(ColorSetKeptText(setPath, int(onDisk->entries.size()), colors_.count),
                    MessageIcon::Warning);
  else
    (void)SaveColorSetFile(setPath);
  sequence_.reset();
  HoldFiles();
  painting_ = false;
  image_ = WorkingImage();
  drawingPath_.clear();
  drawingLoaded_ = false;
  regionsMarked_ = false;
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return true;
}

Status CAnalyzerDoc::ShowSequenceFrame(int index) {
  // The frame is loaded before the one in hand is written, so a frame that cannot be loaded
  // leaves everything as it was.
  Result<SequenceFrame> frame = LoadSequenceFrame(sequence_->sequence, index, colors_, prompt_);
  if (!frame) return frame.status();
  if (Status saved = WriteFrameInHand(); !saved) return saved;
  sequence_->current = index;
  sequence_->placement = frame->placement;
  sequence_->onDisk = std::move(frame->onDisk);
  HoldFiles();
  image_ = std::move(frame->image);
  settings_ = frame->settings;
  undo_.Drop();  // the copy belongs to the frame left
  ShowPaint();
  SetTitle(PaintingFrameTitle(sequence_->sequence, index));
  Notify(AnalyzerHint::SettingsChanged);
  Notify(AnalyzerHint::PictureChanged);
  return Status::Ok();
}

Status CAnalyzerDoc::GoToFrame(int index) {
  if (!sequence_ || index < 0 || index >= sequence_->sequence.frameCount ||
      index == sequence_->current)
    return Status::Ok();
  return ShowSequenceFrame(index);
}

Status CAnalyzerDoc::NextFrame() {
  return sequence_ ? GoToFrame(sequence_->current + 1) : Status::Ok();
}

Status CAnalyzerDoc::PreviousFrame() {
  return sequence_ ? GoToFrame(sequence_->current - 1) : Status::Ok();
}

Status CAnalyzerDoc::FirstFrame() {
  return GoToFrame(0);
}

Status CAnalyzerDoc::LastFrame() {
  return sequence_ ? GoToFrame(sequence_->sequence.frameCount - 1) : Status::Ok();
}

Status CAnalyzerDoc::GoToFrameEntry(std::string_view text) {
  if (!sequence_) return Status::Ok();
  Result<int> index = FrameNumberEntry(text, sequence_->sequence);
  if (!index) {
    prompt_.Message(index.message());
    return index.status();
  }
  return GoToFrame(*index);
}

Status CAnalyzerDoc::AutoFillFrom(int sourceIndex) {
  TakePaintUndo(kUndoRegionColors | kUndoAnimColors);
  Status filled = AutoFillFromFrame(image_, sequence_->placement, sequence_->sequence, sourceIndex,
                                    colors_, prompt_);
  KeepPaintUndoChanges();
  if (!filled) return filled;
  ShowPaint();
  Notify(AnalyzerHint::RedrawRect, WholePicture(image_));
  return Status::Ok();
}

Status CAnalyzerDoc::AutoFillPrevious() {
  std::string_view refusal;
  if (!sequence_)
    refusal = kAutoFillInSingleFrame;
  else if (sequence_->current == 0)
    refusal = kAutoFillFirstFrame;
  if (!refusal.empty()) {
    prompt_.Message(refusal);
    return Error{std::string(refusal)};
  }
  return AutoFillFrom(sequence_->current - 1);
}

Status CAnalyzerDoc::AutoFillFromEntry(std::string_view text) {
  if (!sequence_) {
    prompt_.Message(kAutoFillInSingleFrame);
    return Error{std::string(kAutoFillInSingleFrame)};
  }
  Result<int> index = FrameNumberEntry(text, sequence_->sequence);
  if (index && *index == sequence_->current) index = Error{std::string(kAutoFillSameFrame)};
  if (!index) {
    prompt_.Message(index.message());
    return index.status();
  }
  return AutoFillFrom(*index);
}

std::optional<RenderRequest> CAnalyzerDoc::PrepareRender(const RenderEntries& entries) {
  if (!sequence_) return std::nullopt;
  Result<RenderRequest> request = CheckRenderEntries(entries, sequence_->sequence);
  if (!request) {
    prompt_.Message(request.message());
    return std::nullopt;
  }
  if (!WriteFrameInHand()) return std::nullopt;
  if (!UnpaintedFrames(*request, sequence_->sequence).empty() &&
      !prompt_.AskOkCancel(kRenderNotAllPainted))
    return std::nullopt;
  return std::move(*request);
}

RenderResult CAnalyzerDoc::RunRender(const RenderRequest& request, Prompt& prompt,
                                     Progress& progress, const RenderObserver& observer) const {
  if (!sequence_) return {};
  return RunRenderSequence(sequence_->sequence, request, colors_, prompt, progress, observer);
}

void CAnalyzerDoc::EndRender() {
  if (sequence_) SetTitle(PaintingFrameTitle(sequence_->sequence, sequence_->current));
}

}  // namespace quenda

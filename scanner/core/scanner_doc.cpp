#include "scanner/core/scanner_doc.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "common/path.h"
#include "scanner/core/scan_processing.h"

namespace quenda::scanner {

bool IsLetters(const std::string& text) {
  for (char c : text)
    if (!std::isalpha(static_cast<unsigned char>(c))) return false;
  return true;
}

Status CheckNewSequenceForm(const NewSequenceForm& form) {
  if (form.name.empty()) return Error{"You must enter a valid sequence name"};
  if (!IsLetters(form.name)) return Error{"Sorry, only letters are allowed for the sequence name."};
  if (form.directory.empty()) return Error{"You must select a storage path for the sequence."};
  std::error_code ec;
  if (!std::filesystem::is_directory(form.directory, ec))
    return Error{"Sorry, the storage path does not exist."};
  if (PegPositionOfButton(form.pegButton) < 0) return Error{"You must select a peg position."};
  if (form.dpi < 1) return Error{"You must select a dpi."};
  return Status::Ok();
}

CScannerDoc::CScannerDoc(Prompt& prompt, ScannerDialogs& dialogs, ScannerProfile& profile)
    : prompt_(prompt), dialogs_(dialogs), profile_(profile) {
  settings_ = LoadScannerSettings(profile_);
  calibration_ = {settings_.brightness, settings_.contrast};
  previewDpi_ = settings_.previewDpi;
  sequence_.capacity = kPainterSequenceCapacity;
}

void CScannerDoc::Show(std::string_view text) {
  prompt_.Message(text, MessageIcon::Information);
}

void CScannerDoc::Save(const Status& saved) {
  if (!saved) Show(saved.message());
}

void CScannerDoc::ClearPicture() {
  picture_ = DrawingScan();
  frame_ = DrawingScan();
}

void CScannerDoc::ListSequence() {
  // The listing starts from a file of the sequence; the first frame's name serves.
  const std::string first = sequence_.name + "1.qds";
  sequence_ = quenda::OpenSequence(sequence_.directory + first, first, kPainterSequenceCapacity);
}

bool CScannerDoc::NewSequence(const std::string& directory, const std::string& name,
                              int pegPosition, int dpi, AfterNewSequence after) {
  DrawingSequence previous = sequence_;
  sequence_.directory = directory;
  sequence_.name = name;
  ListSequence();
  if (sequence_.frameCount > 0) {
    Show("The sequence exists, Please open the sequence to edit it in scanner");
    sequence_ = previous;
    return false;
  }
  pegPosition_ = pegPosition;
  scanDpi_ = dpi;
  Save(twain::SaveScanDpi(profile_, dpi));
  Save(SaveLastSequenceName(profile_, name));
  Save(SaveLastDirectory(profile_, directory));
  settings_ = LoadScannerSettings(profile_);
  currentFrame_ = -1;
  frameLoaded_ = false;
  scanModeActive_ = false;
  firstPreview_ = true;
  ClearPicture();
  UpdateAllViews({ScannerHint::Everything});
  if (after == AfterNewSequence::Preview) Preview();
  return true;
}

void CScannerDoc::StartScan() {
  if (scanModeActive_ || !frameLoaded_) return;
  pegPosition_ = frame_.pegPosition;
  scanDpi_ = frame_.dpi;
  Preview();
}

void CScannerDoc::Preview() {
  if (!session_) return;
  acquireMode_ = AcquireMode::Preview;
  session_->SetProgress(progress_);
  if (session_->Acquire(0, 0, -1.0, -1.0, previewDpi_)) session_->DeliverEvents();
}

bool CScannerDoc::SetPreviewDpi(int dpi) {
  if (dpi < kMinPreviewDpi || dpi > kMaxPreviewDpi) return false;
  previewDpi_ = dpi;
  Save(SavePreviewDpi(profile_, dpi));
  firstPreview_ = true;
  return true;
}

bool CScannerDoc::ScanInto(const twain::BedFrame& area, std::optional<FrameTag> tag) {
  if (!session_ || !tag) return false;
  framePath_ = SequenceFilePath(sequence_, *tag, ".qds");
  scanTag_ = *tag;
  acquireMode_ = AcquireMode::Frame;
  frameWritten_ = false;
  session_->SetProgress(progress_);
  if (session_->Acquire(area.left, area.top, area.right, area.bottom, scanDpi_))
    session_->DeliverEvents();
  return frameWritten_;
}

namespace {

FrameTag NextFrameTag(const DrawingSequence& sequence) {
  return {sequence.frameCount == 0 ? 1 : sequence.frames.back().number + 1, kNoLetter};
}

}  // namespace

int CScannerDoc::ScanSelection() {
  if (!session_ || !scanModeActive_) return 0;
  auto width = session_->BedWidth();
  auto height = session_->BedHeight();
  if (!width || !height) {
    Show(!width ? width.message() : height.message());
    return 0;
  }
  const twain::BedFrame area =
      BedFrameOfSelection(selection_, previewDpi_, pegPosition_, *width, *height);
  int written = 0;
  for (;;) {
    ListSequence();
    FrameTag proposed = NextFrameTag(sequence_);
    std::optional<FrameTag> tag;
    for (;;) {
      tag = dialogs_.AskNewFrameNumber(proposed);
      if (!tag) return written;
      if (!FrameExists(SequenceFilePath(sequence_, *tag, ".qds"))) break;
      Show(kFrameExists);
      proposed = *tag;
    }
    if (!ScanInto(area, tag)) return written;
    // The area scanned is what the other programs that scan offer next.
    if (++written == 1) Save(twain::SaveScanArea(profile_, area));
    std::optional<int> choice = prompt_.AskChoice({"Quenda",
                                                   "Do you want to change the selection box?",
                                                   "",
                                                   {"No. Continue Scan", "Yes. Stop scan"}});
    if (choice != 0) return written;
  }
}

int CScannerDoc::ScanFrames(const twain::BedFrame& area, int count,
                            const std::function<void(const std::string&)>& onWritten) {
  int written = 0;
  while (written < count) {
    ListSequence();
    if (!ScanInto(area, NextFrameTag(sequence_))) break;
    ++written;
    if (onWritten) onWritten(framePath_);
  }
  return written;
}

void CScannerDoc::StopScan() {
  scanModeActive_ = false;
  // The source stays open after the last scan; leaving the scan mode lets it go, so that
  // Select Source and Calibration are offered again (the next scan opens it anew).
  if (session_ && session_->state() > 3) session_->CloseDownTo(3);
  picture_ = frameLoaded_ ? frame_ : DrawingScan();
  UpdateAllViews({ScannerHint::Everything});
}

bool CScannerDoc::CalibrationPreview() {
  if (!session_) return false;
  calibrationImage_ = Raster();
  acquireMode_ = AcquireMode::Calibration;
  session_->SetProgress(progress_);
  if (session_->Acquire(0, 0, -1.0, -1.0, kCalibrationDpi)) session_->DeliverEvents();
  return !calibrationImage_.empty();
}

bool CScannerDoc::SetCalibration(const Calibration& calibration) {
  if (std::abs(calibration.brightness) > kCalibrationLimit ||
      std::abs(calibration.contrast) > kCalibrationLimit)
    return false;
  calibration_ = calibration;
  Save(SaveCalibration(profile_, calibration.brightness, calibration.contrast));
  return true;
}

void CScannerDoc::SetSelection(const Selection& selection) {
  selection_ = selection;
  UpdateAllViews({ScannerHint::Selection});
}

bool CScannerDoc::MoveSelection(Handle handle, int dx, int dy) {
  if (!MoveHandle(selection_, handle, dx, dy)) return false;
  UpdateAllViews({ScannerHint::Selection});
  return true;
}

void CScannerDoc::OnImageArrived(twain::DeviceBitmap bitmap, int transferX, int transferY) {
  if (bitmap.empty()) {
    Show("Problem retrieving scanned image");
    return;
  }
  switch (acquireMode_) {
    case AcquireMode::Preview: {
      auto processed = ProcessBitmap(bitmap, 0, 0, previewDpi_, pegPosition_, calibration_);
      if (!processed) {
        Show(processed.message());
        Show("Problem in scanner");
        return;
      }
      picture_ = std::move(*processed);
      scanModeActive_ = true;
      if (firstPreview_) {
        selection_ = InitialSelection(picture_.picture.width(), picture_.picture.height());
        firstPreview_ = false;
        UpdateAllViews({ScannerHint::FitPreview});
      } else {
        UpdateAllViews({ScannerHint::Picture});
      }
      return;
    }
    case AcquireMode::Frame: {
      auto processed =
          ProcessBitmap(bitmap, transferX, transferY, scanDpi_, pegPosition_, calibration_);
      if (!processed) {
        Show(processed.message());
        Show("Problem in scanner");
        return;
      }
      const std::optional<std::string> target = ScanTarget();
      if (!target) return;  // the scan run ends; the other program's file stays
      Status written = WriteDrawingScan(*target, *processed, ScanWriter::Scanner);
      ListSequence();
      if (!written) {
        Show(written.message());
        UpdateAllViews({ScannerHint::Everything});
        return;
      }
      // Saved elsewhere, the scan is no frame of the sequence, and the run ends with it.
      if (*target != framePath_) return;
      frame_ = std::move(*processed);
      currentFrame_ = FindFrame(sequence_.frames, scanTag_).value_or(-1);
      HoldFrameFiles(currentFrame_);
      frameLoaded_ = currentFrame_ >= 0;
      frameWritten_ = true;
      UpdateAllViews({ScannerHint::Everything});
      return;
    }
    case AcquireMode::Calibration: {
      // The raw grey bytes as delivered, without the rows' padding.
      if (bitmap.bitsPerPixel != 8) return;
      calibrationImage_ = Raster(bitmap.width, bitmap.height, 1);
      for (int y = 0; y < bitmap.height; ++y)
        std::copy_n(bitmap.bits.data() + std::size_t(bitmap.RowBytes()) * y, bitmap.width,
                    calibrationImage_.Row(y));
      return;
    }
  }
}

}  // namespace quenda::scanner

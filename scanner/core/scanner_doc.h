#pragma once
// The scanner's document: one drawing sequence being scanned frame after frame, its preview
// and scan area, and the frames already on disk (browse, renumber, delete).
//
// The owning window keeps a ScannerSession (below) for the whole run and attaches it; images
// the session receives come back through OnImageArrived. Transfers are delivered before
// Preview, ScanSelection and the calibration preview return.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/document.h"
#include "common/drawing_scan.h"
#include "common/file_identity.h"
#include "common/frame_sequence.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "scanner/core/calibration.h"
#include "scanner/core/scan_area.h"
#include "scanner/core/scanner_settings.h"
#include "twain/twain_session.h"

namespace quenda::scanner {

enum class ScannerHint {
  Everything,  // a new sequence or a frame loaded: views, tool panel and frame list
  FitPreview,  // the first preview: views fit it anew
  Picture,     // the picture shown changed
  Selection,   // the scan area moved
};
struct ScannerUpdate {
  ScannerHint hint = ScannerHint::Everything;
};

// The program's dialogs with fields of their own; the rest goes through Prompt.
class ScannerDialogs {
 public:
  virtual ~ScannerDialogs() = default;
  // "New frame number ?": "Frame Number:" (1..5000) and "Padding:" (blank or a to z), filled
  // with `proposed`; nothing for Cancel.
  virtual std::optional<FrameTag> AskNewFrameNumber(const FrameTag& proposed) = 0;
  // "Change Frame Number": "Enter new frame number:" and "Change Padding To:".
  virtual std::optional<FrameTag> AskChangeFrameNumber(const FrameTag& current) = 0;
};

inline constexpr int kMaxFrameNumber = 5000;
inline constexpr std::string_view kFrameExists = "Sorry, that frame exists.";
inline constexpr int kFreshScanDpi = 72;
inline constexpr int kCalibrationDpi = 72;

// The "Scan New Sequence" dialog's values; `pegButton` and `dpi` are -1 when none is chosen.
struct NewSequenceForm {
  std::string name;
  std::string directory;  // ends with '/'
  int pegButton = -1;
  int dpi = -1;
};
// Letters only, as every sequence name is (a digit would run into the frame number).
bool IsLetters(const std::string& text);
// "Start"'s checks in their order, with their messages.
Status CheckNewSequenceForm(const NewSequenceForm& form);

enum class AcquireMode { Preview = 0, Frame = 1, Calibration = 2 };
enum class AfterNewSequence { Preview, NoPreview };

class CScannerDoc final : public Document<ScannerUpdate> {
 public:
  CScannerDoc(Prompt& prompt, ScannerDialogs& dialogs, ScannerProfile& profile);

  void AttachSession(twain::TwainSession* session) { session_ = session; }
  // STOP during transfers.
  void SetProgress(Progress* progress) { progress_ = progress; }

  // New sequence after the dialog's checks: refuses a sequence that has frames already.
  bool NewSequence(const std::string& directory, const std::string& name, int pegPosition, int dpi,
                   AfterNewSequence after = AfterNewSequence::Preview);
  // Asks for one frame of a sequence and loads it.
  bool OpenSequence();
  bool OpenSequenceAt(const std::string& path);
  bool LoadFrame(int index);

  // Scanner menu.
  void StartScan();
  void Preview();
  bool SetPreviewDpi(int dpi);
  // Frame after frame into the drawn scan area, each number confirmed, until the user keeps
  // the selection box or a scan fails or is stopped. The number of frames written.
  int ScanSelection();
  // `count` frames numbered on from the sequence's last into `area` (inches on the bed; -1.0
  // for the far edges), asking nothing; `written` hears each file's path. The number of frames
  // written: fewer when a scan failed or was stopped.
  int ScanFrames(const twain::BedFrame& area, int count,
                 const std::function<void(const std::string&)>& written = {});
  void StopScan();

  // Calibration dialog.
  bool CalibrationPreview();
  const Raster& calibrationImage() const { return calibrationImage_; }
  void FreeCalibrationImage() { calibrationImage_ = Raster(); }
  bool SetCalibration(const Calibration& calibration);
  const Calibration& calibration() const { return calibration_; }

  // Edit and Frames menus. Delete and Frame No ask first when another program changed the
  // frame's drawing, region or paint file since it was shown here; Cancel changes nothing.
  bool DeleteFrame();
  bool RenumberFrame();
  bool NextFrame();
  bool PreviousFrame();
  bool FirstFrame();
  bool LastFrame();

  // The selection on the preview; the view moves it through these.
  const Selection& selection() const { return selection_; }
  void SetSelection(const Selection& selection);
  bool MoveSelection(Handle handle, int dx, int dy);

  // Notification of the session: an image arrived.
  void OnImageArrived(twain::DeviceBitmap bitmap, int transferX, int transferY);

  // The frame on show, as read or written here, which another program may change meanwhile:
  // the window watches it and offers to read it again.
  std::vector<std::string> heldFiles() const;
  bool ChangedOnDisk(const std::string& path) const { return onDisk_.ChangedOnDisk(path); }
  void ReloadFromDisk();
  // Where Save As… puts a scan whose frame another program wrote while it ran; without one,
  // Save As… is Cancel.
  using SavePathPicker = std::function<std::optional<std::string>(
      std::string_view title, std::string_view filter, const std::string& start)>;
  void SetSavePathPicker(SavePathPicker picker) { pickSavePath_ = std::move(picker); }

  const DrawingSequence& sequence() const { return sequence_; }
  int currentFrame() const { return currentFrame_; }
  bool frameLoaded() const { return frameLoaded_; }
  bool scanModeActive() const { return scanModeActive_; }
  bool hasPicture() const { return !picture_.picture.empty(); }
  // The picture shown: the loaded frame, or the last preview while scanning.
  const DrawingScan& picture() const { return picture_; }
  // The frame loaded or last scanned, for the tool panel.
  const DrawingScan& frame() const { return frame_; }
  int pegPosition() const { return pegPosition_; }
  int scanDpi() const { return scanDpi_; }
  int previewDpi() const { return previewDpi_; }
  const ScannerSettings& settings() const { return settings_; }

 private:
  void ListSequence();
  bool ScanInto(const twain::BedFrame& area, std::optional<FrameTag> tag);
  void Show(std::string_view text);
  void Save(const Status& saved);
  void ClearPicture();

  // The file a scanned frame goes to: its own path, unless another program wrote a file there
  // since the number was chosen; then the user's answer (Save As… a path of theirs), or
  // nothing for Cancel.
  std::optional<std::string> ScanTarget();
  // The frame `index`'s drawing, region and paint files as they are now, read or written here.
  void HoldFrameFiles(int index);
  // Before Delete or Frame No touches the frame's files: true when none changed on disk since
  // the frame was shown, or the user goes on (`goOn`) knowing `consequence`.
  bool MayActOnFrameFiles(const std::string& consequence, const std::string& goOn);

  Prompt& prompt_;
  DocumentFiles onDisk_;   // the frame on show's drawing, region and paint files
  std::string shownPath_;  // its drawing, the file read here
  SavePathPicker pickSavePath_;
  ScannerDialogs& dialogs_;
  ScannerProfile& profile_;
  twain::TwainSession* session_ = nullptr;
  Progress* progress_ = nullptr;
  ScannerSettings settings_;
  Calibration calibration_;

  DrawingSequence sequence_;
  int currentFrame_ = -1;
  bool frameLoaded_ = false;
  int pegPosition_ = kPegBottom;
  int scanDpi_ = kFreshScanDpi;
  int previewDpi_ = 45;
  AcquireMode acquireMode_ = AcquireMode::Preview;
  bool scanModeActive_ = false;
  DrawingScan picture_;
  DrawingScan frame_;
  Raster calibrationImage_;
  bool firstPreview_ = true;
  std::string framePath_;
  FrameTag scanTag_;
  bool frameWritten_ = false;
  Selection selection_;
};

// The window's session: reads the image's place on the bed before each transfer and hands
// every image to the document.
class ScannerSession final : public twain::TwainSession {
 public:
  ScannerSession(twain::ScanDeviceManager& manager, Prompt& prompt, CScannerDoc& doc)
      : TwainSession(manager, prompt), doc_(doc) {}

 protected:
  void OnTransferReady() override { TransferImagesWithInfo(); }
  void OnImage(twain::DeviceBitmap bitmap) override {
    doc_.OnImageArrived(std::move(bitmap), transferX(), transferY());
  }

 private:
  CScannerDoc& doc_;
};

}  // namespace quenda::scanner

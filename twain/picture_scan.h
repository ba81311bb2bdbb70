#pragma once
// Scans that take the whole picture the source delivers: one colour picture for the background
// maker, and the analyzer's own scan mode, which writes every image as a drawing scan.

#include <optional>
#include <string>

#include "common/result.h"
#include "twain/scan_settings.h"
#include "twain/twain_session.h"

namespace quenda::twain {

// One picture of the whole bed (or the frame given, in inches) through the session: 24-bit
// for Color, 8-bit grey for Gray. Nothing when the scan failed (the session has shown why) or
// was stopped.
class PictureScanSession final : public TwainSession {
 public:
  using TwainSession::TwainSession;
  std::optional<DeviceBitmap> ScanPicture(int dpi, PixelType type = PixelType::Color,
                                          BedFrame frame = {0, 0, -1.0, -1.0});

 protected:
  void OnTransferReady() override { TransferImagesWithInfo(); }
  void OnImage(DeviceBitmap bitmap) override { picture_ = std::move(bitmap); }

 private:
  std::optional<DeviceBitmap> picture_;
};

// The analyzer's "Start" checks for its scan selection, with their messages.
Status CheckAnalyzerScanSelection(const std::string& directory, const std::string& name);

// The analyzer's reduced scan mode: the user picks the source, every image the source delivers
// is turned by the peg position (grey as the mean of red, green and blue), placed on the bed by
// the transfer's own resolution and written as directory + name + counter + ".qds" with the
// resolution it was scanned at. The scans take the resolution, area and mode of the scan
// settings chosen.
class AnalyzerScanMode final : public TwainSession {
 public:
  AnalyzerScanMode(ScanDeviceManager& manager, Prompt& prompt);

  // Opens the manager, lets the user choose the source (a cancel ends quietly: false with no
  // message), opens it, sets `settings` up on it and enables it. `directory` ends with '/'.
  bool Enter(const std::string& directory, const std::string& name, int pegPosition,
             const ScanSettings& settings, int firstCounter = 1);
  // Scans one image as the source's own Scan button does; false when the scan mode ended.
  bool ScanOne();
  // Disables and closes the source and closes the manager.
  void Leave();

  bool active() const { return active_; }
  // The number the next image is written under.
  int counter() const { return counter_; }
  void SetCounter(int counter) { counter_ = counter; }
  const std::string& lastWritten() const { return lastWritten_; }

 protected:
  void OnTransferReady() override;

 private:
  bool active_ = false;
  std::string directory_;
  std::string name_;
  int peg_ = 0;
  int dpi_ = 0;
  int counter_ = 1;
  std::string lastWritten_;
};

}  // namespace quenda::twain

#include "twain/picture_scan.h"

#include <cctype>
#include <utility>

#include "common/drawing_scan.h"
#include "common/frame_sequence.h"
#include "common/peg_turn.h"

namespace quenda::twain {

std::optional<DeviceBitmap> PictureScanSession::ScanPicture(int dpi, PixelType type,
                                                            BedFrame frame) {
  picture_.reset();
  if (Acquire(frame.left, frame.top, frame.right, frame.bottom, dpi, type)) DeliverEvents();
  return std::move(picture_);
}

Status CheckAnalyzerScanSelection(const std::string& directory, const std::string& name) {
  if (directory.empty()) return Error{"You must select an output directory"};
  if (name.empty()) return Error{"You must give a valid header"};
  for (char c : name)
    if (!std::isalpha(static_cast<unsigned char>(c)))
      return Error{"Only Letters are allowed for the sequence name!,Sorry."};
  return Status::Ok();
}

AnalyzerScanMode::AnalyzerScanMode(ScanDeviceManager& manager, Prompt& prompt)
    : TwainSession(manager, prompt) {
  AppIdentity identity;
  identity.versionMajor = 3;
  identity.versionMinor = 5;
  identity.versionInfo = "3.5";
  identity.language = 13;
  identity.country = 1;
  identity.productFamily = "Painting";
  identity.productName = "Quenda Animation Paint System";
  SetAppIdentity(identity);
}

bool AnalyzerScanMode::Enter(const std::string& directory, const std::string& name, int pegPosition,
                             const ScanSettings& settings, int firstCounter) {
  directory_ = directory;
  name_ = name;
  peg_ = pegPosition;
  counter_ = firstCounter;
  dpi_ = settings.dpi;
  if (!OpenSourceManager()) {
    prompt().Message("Error opening Data Source Manager", MessageIcon::Information);
    return false;
  }
  if (!SelectSource()) {
    if (lastReturnCode() == kRcFailure)
      prompt().Message("Error Selecting Data Source", MessageIcon::Information);
    CloseDownTo(1);
    return false;
  }
  if (!OpenSource()) {
    prompt().Message("Error opening Data Source", MessageIcon::Information);
    CloseDownTo(1);
    return false;
  }
  // The source's own defaults would scan at whatever it was left at; the failure is shown.
  if (!SetUpScan(FrameToScan(settings), settings.dpi, settings.type)) {
    CloseDownTo(1);
    return false;
  }
  if (!EnableSource()) {
    prompt().Message("Error enabling Data Source", MessageIcon::Information);
    CloseDownTo(1);
    return false;
  }
  active_ = true;
  return true;
}

bool AnalyzerScanMode::ScanOne() {
  if (!active_ || !RequestScan()) return false;
  DeliverEvents();
  return active_;
}

void AnalyzerScanMode::Leave() {
  active_ = false;
  if (state() >= 4 && !CloseSource())
    prompt().Message("Error closing Data Source", MessageIcon::Information);
  CloseDownTo(1);
}

void AnalyzerScanMode::OnTransferReady() {
  ImageInfo info;
  BedFrame frame;
  DeviceBitmap bitmap;
  if (CallImageInfo(info) == kRcFailure || CallImageLayout(frame) == kRcFailure ||
      CallNativeTransfer(bitmap) == kRcFailure) {
    prompt().Message("Error Getting Image data", MessageIcon::Information);
    ResetTransfers();
    Leave();
    return;
  }
  EndTransfer();
  if (bitmap.empty()) return;  // stopped

  // Grey as the analyzer reads any picture: the truncated mean of the three colours.
  const int channels = bitmap.bitsPerPixel / 8;
  Raster grey(bitmap.width, bitmap.height, 1);
  ConstRasterView topDown = bitmap.TopDownView();
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      const uint8_t* pixel = topDown.At(x, y);
      int sum = 0;
      if (channels == 1) {
        const PaletteEntry& entry = bitmap.palette[pixel[0]];
        sum = entry.red + entry.green + entry.blue;
      } else {
        sum = pixel[0] + pixel[1] + pixel[2];
      }
      *grey.At(x, y) = uint8_t(float(sum) * 0.33333334f);
    }
  }
  const double r = info.width / (frame.right - frame.left);
  DrawingScan scan;
  scan.picture = TurnForPeg(std::as_const(grey).view(), peg_);
  // The resolution set, not the one the device's rounded frame gives back a hair under it.
  scan.dpi = dpi_;
  scan.pegPosition = peg_;
  scan.xPosition = RoundHalfUp(frame.left * r);
  scan.yPosition = RoundHalfUp(frame.top * r);
  // The number was free when the scan began; a drawing another program wrote under it since
  // is never written over: the scan takes the next free number.
  std::string path = directory_ + name_ + std::to_string(counter_) + ".qds";
  while (FrameExists(path)) path = directory_ + name_ + std::to_string(++counter_) + ".qds";
  if (Status written = WriteDrawingScan(path, scan, ScanWriter::Analyzer); !written) {
    prompt().Message(written.message(), MessageIcon::Information);
    return;
  }
  lastWritten_ = path;
  ++counter_;
}

}  // namespace quenda::twain

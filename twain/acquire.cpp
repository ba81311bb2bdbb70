// The acquisition: the transfer loops that bring the images, and the sequence that opens a
// fresh session, sets the scan up and enables the source.
#include "twain/twain_session.h"

namespace quenda::twain {

void TwainSession::TransferImages() {
  do {
    DeviceBitmap bitmap;
    const uint16_t rc = CallNativeTransfer(bitmap);
    const bool image = rc == kRcXferDone;
    if (rc == kRcFailure) {
      Report(StatusReport());
      // A failed transfer leaves the source in state 6; without resetting it the loop would
      // ask for the same image for ever.
      ResetTransfers();
    }
    EndTransfer();
    if (image) OnImage(std::move(bitmap));
  } while (state_ == 6);
}

uint16_t TwainSession::CallImageInfo(ImageInfo& info) {
  CallData data;
  const uint16_t rc = SourceCall(Op::GetImageInfo, data);
  info = data.info;
  return rc;
}

uint16_t TwainSession::CallImageLayout(BedFrame& frame) {
  CallData data;
  const uint16_t rc = SourceCall(Op::GetLayout, data);
  // The layout travels in fixed point.
  frame = {FromFix32(ToFix32(data.frame.left)), FromFix32(ToFix32(data.frame.top)),
           FromFix32(ToFix32(data.frame.right)), FromFix32(ToFix32(data.frame.bottom))};
  return rc;
}

uint16_t TwainSession::CallNativeTransfer(DeviceBitmap& bitmap) {
  CallData data;
  const uint16_t rc = SourceCall(Op::ImageNativeXfer, data);
  bitmap = std::move(data.bitmap);
  return rc;
}

void TwainSession::TransferImagesWithInfo() {
  ImageInfo info;
  if (CallImageInfo(info) != kRcSuccess) {
    Report("Could not get image info");
    Report(StatusReport());
  }
  BedFrame frame;
  if (CallImageLayout(frame) != kRcSuccess) {
    Report("Could not get image info");
    Report(StatusReport());
  }
  const double r = info.width / (frame.right - frame.left);
  transferX_ = RoundHalfUp(frame.left * r);
  transferY_ = RoundHalfUp(frame.top * r);
  transferWidth_ = info.width;
  transferHeight_ = info.length;
  TransferImages();
}

bool TwainSession::SetUpScan(const BedFrame& area, int dpi, PixelType type) {
  double value = 0;
  if (!GetCapabilityOneValue(kCapPhysicalHeight, value)) {
    Report("Could not get physical height of scanner!");
    Report(StatusReport());
    return false;
  }
  bedHeight_ = value - 0.001;
  if (!GetCapabilityOneValue(kCapPhysicalWidth, value)) {
    Report(StatusReport());
    return false;
  }
  bedWidth_ = value - 0.001;
  const double right = area.right == -1.0 ? bedWidth_ : area.right;
  const double bottom = area.bottom == -1.0 ? bedHeight_ : area.bottom;
  const bool gray = type == PixelType::Gray;
  if (!SetCapability(kCapPixelType, gray ? kPixelTypeGray : kPixelTypeRgb)) {
    Report(gray ? "Could not set gray scan" : "Could not set color scan");
    Report(StatusReport());
    return false;
  }
  if (!SetCapability(kCapXResolution, dpi) || !SetCapability(kCapYResolution, dpi)) {
    Report("Could not set x resolution to requested dpi");
    Report(StatusReport());
    return false;
  }
  if (!SetScanArea(area.left, area.top, right - area.left, bottom - area.top)) {
    Report("Could not transfer layout");
    Report(StatusReport());
    return false;
  }
  return true;
}

bool TwainSession::Acquire(double left, double top, double right, double bottom, int dpi,
                           PixelType type) {
  CloseDownTo(1);
  savedState_ = state_;
  bool failed = false;
  if (state_ < 3 && !OpenSourceManager()) {
    OnFailure(SessionFailure::SourceManager);
    failed = true;
  } else if (state_ < 4 && !OpenSource()) {
    OnFailure(SessionFailure::Source);
    failed = true;
  }
  if (!failed) {
    if (!SetUpScan({left, top, right, bottom}, dpi, type)) return false;
    if (state_ <= 4 && !EnableSource()) {
      OnFailure(SessionFailure::Enable);
      failed = true;
    }
  }
  if (failed) {
    CloseDownTo(savedState_);
    return false;
  }
  return true;
}

}  // namespace quenda::twain

#include "twain/twain_session.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace quenda::twain {
namespace {

constexpr std::array<std::string_view, 16> kConditionEntries{
    "It worked!",
    "Failure due to unknown causes",
    "Not enough memory to perform operation",
    "No Data Source",
    "DS is connected to max possible apps",
    "DS or DSM reported error, app shouldn't",
    "Unknown capability",
    "",
    "",
    "Unrecognized MSG DG DAT combination",
    "Data parameter out of range",
    "DG DAT MSG out of expected sequence",
    "Unknown destination App/Src in DSM_Entry",
    "Capability not supported by source",
    "Operation not supported by capability",
    "Capability has dependancy on other capability",
};

constexpr int kCcBadDest = 12;
constexpr std::size_t kReadBlock = 64 * 1024;

}  // namespace

std::string ConditionText(int conditionCode) {
  if (conditionCode < 0 || conditionCode >= int(kConditionEntries.size()))
    return "error no out of range";
  return "Condition Code: " + std::string(kConditionEntries[conditionCode]);
}

int ConditionCodeOf(DeviceStatus status) {
  switch (status) {
    case DeviceStatus::Good:
      return kCcSuccess;
    case DeviceStatus::Unsupported:
      return kCcCapUnsupported;
    case DeviceStatus::DeviceBusy:
      return kCcMaxConnections;
    case DeviceStatus::Invalid:
      return kCcBadValue;
    case DeviceStatus::NoMemory:
      return kCcLowMemory;
    // The scanner itself went wrong: nothing the program asked was at fault.
    case DeviceStatus::EndOfData:
    case DeviceStatus::Jammed:
    case DeviceStatus::NoDocuments:
    case DeviceStatus::CoverOpen:
    case DeviceStatus::IoError:
      return kCcOperationError;
    case DeviceStatus::Cancelled:
    case DeviceStatus::AccessDenied:
      break;
  }
  return kCcBummer;
}

int32_t ToFix32(double value) {
  return int32_t(std::lround(value * 65536.0));
}

double FromFix32(int32_t fixed) {
  const int16_t whole = int16_t(uint32_t(fixed) >> 16);
  const uint16_t fraction = uint16_t(uint32_t(fixed) & 0xFFFF);
  return whole + fraction / 65536.0;
}

int RoundHalfUp(double value) {
  if (!std::isfinite(value)) return 0;
  return int(std::floor(value + 0.5));
}

TwainSession::TwainSession(ScanDeviceManager& manager, Prompt& prompt)
    : manager_(manager), prompt_(prompt) {}

TwainSession::~TwainSession() {
  CloseDownTo(1);
}

void TwainSession::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  OnStateChanged(state);
}

void TwainSession::Report(std::string_view text) {
  prompt_.Message(text, MessageIcon::Information);
}

uint16_t TwainSession::Fail(DeviceStatus status) {
  condition_ = ConditionCodeOf(status);
  return kRcFailure;
}

uint16_t TwainSession::ManagerCall(Op op, CallData& data) {
  if (!entryHeld_) return kRcFailure;
  condition_ = kCcSuccess;
  lastReturnCode_ = Perform(op, data);
  if (lastReturnCode_ == kRcSuccess) {
    if (op == Op::OpenDsm) SetState(3);
    if (op == Op::CloseDsm) SetState(2);
    if (op == Op::OpenDs) SetState(4);
  }
  return lastReturnCode_;
}

uint16_t TwainSession::SourceCall(Op op, CallData& data) {
  if (!entryHeld_) return kRcFailure;
  if (op != Op::GetStatus) condition_ = kCcSuccess;
  if (!device_) {
    // No source is open to take the call.
    condition_ = kCcBadDest;
    lastReturnCode_ = kRcFailure;
    return lastReturnCode_;
  }
  const uint16_t rc = Perform(op, data);
  lastReturnCode_ = rc;
  switch (op) {
    case Op::ImageNativeXfer:
      if (rc == kRcXferDone || rc == kRcCancel) SetState(7);
      break;
    case Op::ProcessEvent:
      if (data.message == kMsgXferReady) SetState(6);
      if (data.message == kMsgCloseDsReq) SetState(5);
      break;
    case Op::ResetXfers:
      if (rc == kRcSuccess) SetState(5);
      break;
    case Op::EndXfer:
      if (rc == kRcSuccess) SetState(pendingTransfers_ > 0 ? 6 : 5);
      break;
    case Op::DisableDs:
      if (rc == kRcSuccess) SetState(4);
      break;
    case Op::EnableDs:
      if (rc == kRcSuccess) SetState(5);
      break;
    case Op::CloseDs:
      if (rc == kRcSuccess) SetState(3);
      break;
    default:
      break;
  }
  return rc;
}

uint16_t TwainSession::Perform(Op op, CallData& data) {
  switch (op) {
    case Op::OpenDsm: {
      if (state_ >= 3) {
        condition_ = kCcSeqError;
        return kRcFailure;
      }
      std::vector<DeviceInfo> listed;
      if (DeviceStatus status = manager_.ListDevices(listed); status != DeviceStatus::Good)
        return Fail(status);
      sources_ = std::move(listed);
      return kRcSuccess;
    }
    case Op::CloseDsm:
      sources_.clear();
      return kRcSuccess;
    case Op::GetDefault:
      if (sources_.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      return kRcSuccess;
    case Op::UserSelect: {
      if (sources_.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      ChoiceQuestion question{"Select Source", "Sources:", "", {}};
      for (const DeviceInfo& source : sources_) question.buttons.push_back(source.name);
      std::optional<int> chosen = prompt_.AskChoice(question);
      if (!chosen || *chosen < 0 || *chosen >= int(sources_.size())) return kRcCancel;
      defaultSource_ = sources_[*chosen].name;
      return kRcSuccess;
    }
    case Op::OpenDs: {
      std::string name = defaultSource_;
      if (name.empty() && !sources_.empty()) name = sources_.front().name;
      if (name.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      std::unique_ptr<ScanDevice> device;
      DeviceStatus status = manager_.Open(name, device);
      if (status != DeviceStatus::Good || !device) {
        // A source that is not there is "No Data Source", whatever the library calls it.
        condition_ = status == DeviceStatus::Invalid ? kCcNoDs : ConditionCodeOf(status);
        return kRcFailure;
      }
      device_ = std::move(device);
      sourceIdentity_ = name;
      return kRcSuccess;
    }
    case Op::CloseDs:
      device_->Cancel();
      device_.reset();
      sourceIdentity_.clear();
      return kRcSuccess;
    case Op::EnableDs:
      scanPending_ = true;
      pendingTransfers_ = 0;
      return kRcSuccess;
    case Op::DisableDs:
      scanPending_ = false;
      return kRcSuccess;
    case Op::ProcessEvent: {
      data.message = kMsgNull;
      if (!scanPending_ || state_ != 5) return kRcNotDsEvent;
      scanPending_ = false;
      DeviceStatus status = device_->Start();
      if (status == DeviceStatus::Good) {
        pendingTransfers_ = 1;
        data.message = kMsgXferReady;
        return kRcDsEvent;
      }
      // The scan could not start: the source says why (unless the user cancelled it) and asks
      // to be closed, as a source with its own window would.
      device_->Cancel();
      if (status != DeviceStatus::Cancelled) {
        condition_ = ConditionCodeOf(status);
        Report(ConditionText(condition_));
      }
      data.message = kMsgCloseDsReq;
      return kRcDsEvent;
    }
    case Op::ImageNativeXfer:
      if (state_ != 6) {
        condition_ = kCcSeqError;
        return kRcFailure;
      }
      return NativeTransfer(data.bitmap);
    case Op::EndXfer:
    case Op::ResetXfers:
      device_->Cancel();
      pendingTransfers_ = 0;
      return kRcSuccess;
    case Op::SetCapability:
      switch (data.capability) {
        case kCapPixelType:
          if (data.intValue != kPixelTypeGray && data.intValue != kPixelTypeRgb) {
            condition_ = kCcBadValue;
            return kRcFailure;
          }
          if (DeviceStatus status = device_->SetPixelType(
                  data.intValue == kPixelTypeRgb ? PixelType::Color : PixelType::Gray);
              status != DeviceStatus::Good)
            return Fail(status);
          return kRcSuccess;
        case kCapXResolution:
        case kCapYResolution:
          if (DeviceStatus status = device_->SetResolution(data.intValue);
              status != DeviceStatus::Good)
            return Fail(status);
          return kRcSuccess;
        default:
          condition_ = kCcBadCap;
          return kRcFailure;
      }
    case Op::GetCapability: {
      if (data.capability != kCapPhysicalWidth && data.capability != kCapPhysicalHeight) {
        condition_ = kCcBadCap;
        return kRcFailure;
      }
      double width = 0, height = 0;
      if (DeviceStatus status = device_->GetBedSize(width, height); status != DeviceStatus::Good)
        return Fail(status);
      data.value = data.capability == kCapPhysicalWidth ? width : height;
      return kRcSuccess;
    }
    case Op::SetLayout:
      if (DeviceStatus status = device_->SetFrame(data.frame); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetLayout:
      if (DeviceStatus status = device_->GetFrame(data.frame); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetImageInfo:
      if (DeviceStatus status = device_->GetImageInfo(data.info); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetStatus:
      data.condition = condition_;
      return kRcSuccess;
  }
  return kRcFailure;
}

uint16_t TwainSession::NativeTransfer(DeviceBitmap& bitmap) {
  ImageInfo info;
  if (DeviceStatus status = device_->GetImageInfo(info); status != DeviceStatus::Good)
    return Fail(status);
  const int channels = info.type == PixelType::Color ? 3 : 1;
  if (info.bitsPerSample != 8 || info.width < 1) return Fail(DeviceStatus::Unsupported);
  const std::size_t lineBytes = std::size_t(info.width) * channels;
  if (info.bytesPerLine < int(lineBytes)) return Fail(DeviceStatus::Invalid);

  // Lines arrive top first in blocks that need not end on a line; keep only the pixels of each.
  std::vector<uint8_t> lines;
  if (info.length > 0) lines.reserve(lineBytes * std::size_t(info.length));
  std::vector<uint8_t> block(std::max<std::size_t>(kReadBlock, info.bytesPerLine));
  std::vector<uint8_t> partial;
  partial.reserve(info.bytesPerLine);
  const long long total = info.length > 0 ? (long long)info.bytesPerLine * info.length : -1;
  long long received = 0;
  for (;;) {
    if (progress_ && progress_->StopRequested()) {
      device_->Cancel();
      return kRcCancel;
    }
    std::size_t got = 0;
    DeviceStatus status = device_->Read(block, got);
    if (status == DeviceStatus::EndOfData) break;
    if (status == DeviceStatus::Cancelled) return kRcCancel;
    if (status != DeviceStatus::Good) return Fail(status);
    received += (long long)got;
    for (std::size_t i = 0; i < got;) {
      std::size_t take = std::min<std::size_t>(got - i, info.bytesPerLine - partial.size());
      partial.insert(partial.end(), block.begin() + i, block.begin() + i + take);
      i += take;
      if (partial.size() == std::size_t(info.bytesPerLine)) {
        lines.insert(lines.end(), partial.begin(), partial.begin() + lineBytes);
        partial.clear();
      }
    }
    if (progress_ && total > 0) progress_->SetPercent(int(received * 100 / total));
  }
  const int height = int(lines.size() / lineBytes);
  if (height < 1 || (info.length > 0 && height != info.length)) return Fail(DeviceStatus::IoError);

  bitmap.width = info.width;
  bitmap.height = height;
  bitmap.bitsPerPixel = channels * 8;
  bitmap.palette = channels == 1 ? GreyPalette() : std::vector<PaletteEntry>{};
  const std::size_t rowBytes = bitmap.RowBytes();
  bitmap.bits.assign(rowBytes * height, 0);
  for (int line = 0; line < height; ++line) {
    const uint8_t* from = lines.data() + lineBytes * line;
    uint8_t* to = bitmap.bits.data() + rowBytes * (height - 1 - line);
    if (channels == 1) {
      std::memcpy(to, from, lineBytes);
    } else {
      for (int x = 0; x < info.width; ++x) {  // red, green, blue -> blue, green, red
        to[3 * x] = from[3 * x + 2];
        to[3 * x + 1] = from[3 * x + 1];
        to[3 * x + 2] = from[3 * x];
      }
    }
  }
  pendingTransfers_ = 0;
  return kRcXferDone;
}

void TwainSession::StartUp() {
  if (IsTwainAvailable() && !OpenSourceManager()) OnFailure(SessionFailure::SourceManager);
}

bool TwainSession::IsTwainAvailable() {
  if (entryHeld_) return true;
  if (availability_ == Availability::Untested)
    availability_ = LoadSourceManager() ? Availability::Available : Availability::Unavailable;
  return availability_ == Availability::Available;
}

bool TwainSession::LoadSourceManager() {
  if (state_ >= 2) return true;
  if (manager_.Init() != DeviceStatus::Good) return false;
  entryHeld_ = true;
  SetState(2);
  return true;
}

bool TwainSession::OpenSourceManager() {
  LoadSourceManager();
  CallData data;
  ManagerCall(Op::OpenDsm, data);
  return state_ >= 3;
}

bool TwainSession::OpenSource() {
  if (state_ != 3) return false;
  sourceIdentity_.clear();
  CallData data;
  ManagerCall(Op::OpenDs, data);
  return state_ == 4;
}

bool TwainSession::EnableSource() {
  if (state_ != 4) return false;
  CallData data;
  SourceCall(Op::EnableDs, data);
  return state_ == 5;
}

bool TwainSession::DisableSource() {
  if (state_ == 5) {
    CallData data;
    SourceCall(Op::DisableDs, data);
  }
  return state_ < 5;
}

bool TwainSession::CloseSource() {
  if (state_ == 5) DisableSource();
  if (state_ == 4) {
    CallData data;
    SourceCall(Op::CloseDs, data);
  }
  return state_ < 4;
}

bool TwainSession::CloseSourceManager() {
  CloseSource();
  if (state_ >= 3) {
    CallData data;
    ManagerCall(Op::CloseDsm, data);
  }
  return state_ < 3;
}

bool TwainSession::UnloadSourceManager() {
  if (state_ == 2) {
    manager_.Exit();
    entryHeld_ = false;
    SetState(1);
  }
  return state_ == 1;
}

bool TwainSession::EndTransfer() {
  if (state_ == 7) {
    CallData data;
    SourceCall(Op::EndXfer, data);
  }
  return state_ < 7;
}

bool TwainSession::ResetTransfers() {
  EndTransfer();
  if (state_ == 6) {
    CallData data;
    SourceCall(Op::ResetXfers, data);
  }
  return state_ < 6;
}

bool TwainSession::CloseDownTo(int target) {
  while (state_ > target) {
    bool stepped = false;
    switch (state_) {
      case 7:
        stepped = EndTransfer();
        break;
      case 6:
        stepped = ResetTransfers();
        break;
      case 5:
        stepped = DisableSource();
        break;
      case 4:
        stepped = CloseSource();
        break;
      case 3:
        stepped = CloseSourceManager();
        break;
      case 2:
        stepped = UnloadSourceManager();
        break;
      default:
        return false;
    }
    if (!stepped) return false;
  }
  return true;
}

bool TwainSession::SelectSource() {
  const int remembered = state_;
  bool chosen = false;
  if (!OpenSourceManager()) {
    OnFailure(SessionFailure::SourceManager);
  } else {
    CallData data;
    ManagerCall(Op::GetDefault, data);
    chosen = ManagerCall(Op::UserSelect, data) == kRcSuccess;
  }
  CloseDownTo(remembered);
  return chosen;
}

bool TwainSession::SetCapability(uint16_t capability, int value) {
  if (state_ < 4) return false;
  CallData data;
  data.capability = capability;
  data.intValue = value;
  return SourceCall(Op::SetCapability, data) == kRcSuccess;
}

bool TwainSession::SetScanArea(double left, double top, double width, double height) {
  if (state_ < 4) return false;
  // The layout travels in the protocol's fixed point, so the device sees what it would.
  CallData data;
  data.frame = {FromFix32(ToFix32(left)), FromFix32(ToFix32(top)), FromFix32(ToFix32(left + width)),
                FromFix32(ToFix32(top + height))};
  return SourceCall(Op::SetLayout, data) == kRcSuccess;
}

bool TwainSession::GetCapabilityOneValue(uint16_t capability, double& value) {
  CallData data;
  data.capability = capability;
  if (SourceCall(Op::GetCapability, data) != kRcSuccess) return false;
  value = FromFix32(ToFix32(data.value));
  return true;
}

bool TwainSession::ProcessEvent() {
  if (state_ < 5) return false;
  CallData data;
  const bool consumed = SourceCall(Op::ProcessEvent, data) == kRcDsEvent;
  if (data.message == kMsgXferReady) OnTransferReady();
  if (data.message == kMsgCloseDsReq) OnCloseRequest();
  return consumed;
}

bool TwainSession::RequestScan() {
  if (state_ != 5) return false;
  scanPending_ = true;
  return true;
}

void TwainSession::DeliverEvents() {
  while (state_ >= 5 && ProcessEvent()) {
  }
}

std::string TwainSession::StatusReport() {
  CallData data;
  if (SourceCall(Op::GetStatus, data) != kRcSuccess) return "Could not get error status";
  return ConditionText(data.condition);
}

Result<double> TwainSession::BedWidth() const {
  if (bedWidth_ < 0) return Error{"Internal Error : Flatbed width not initialized!"};
  return bedWidth_;
}

Result<double> TwainSession::BedHeight() const {
  if (bedHeight_ < 0) return Error{"Internal Error : Flatbed height not initialized!"};
  return bedHeight_;
}

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
    if (right == -1.0) right = bedWidth_;
    if (bottom == -1.0) bottom = bedHeight_;
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
    if (!SetScanArea(left, top, right - left, bottom - top)) {
      Report("Could not transfer layout");
      Report(StatusReport());
      return false;
    }
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
